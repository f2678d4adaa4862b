#include "app/SkyrakeApp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    CSkyrakeApp skyrake;
    if (!skyrake.InitInstance())
        return 1;
    const int result = application.exec();
    skyrake.ExitInstance();
    return result;
}
