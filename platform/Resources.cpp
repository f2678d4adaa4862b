#include "platform/Resources.h"

#include <QPixmap>

// The resources live in this static library: nothing refers to them, so the linker would drop
// them unless they are registered by name, once, before the first use.
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

QCursor handCursor()
{
    registerResources();
    static const QCursor cursor(QPixmap(QStringLiteral(":/res/hand.xpm")), 0, 0);
    return cursor;
}
