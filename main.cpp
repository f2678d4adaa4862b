#include "app/MainFrame.h"
#include "app/SkyrakeApp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    CSkyrakeApp skyrake;
    if (!skyrake.InitInstance())
        return 1;
    skyrake.mainFrame()->showMaximized();
    return application.exec();
}
