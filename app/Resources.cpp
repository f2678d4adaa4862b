#include "app/Resources.h"

// The resources live in a static library: nothing there refers to them, so the linker would
// drop them unless someone registers them by name.
static void registerResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(skyrake);
        return true;
    }();
    (void)done;
}

QIcon programIcon()
{
    registerResources();
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/res/icons/skyrake-%1.png").arg(size), QSize(size, size));
    return icon;
}

QIcon toolbarIcon(const QString& name)
{
    registerResources();
    return QIcon(QStringLiteral(":/res/toolbar/%1.svg").arg(name));
}
