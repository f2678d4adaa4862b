#include "platform/Desktop.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

namespace {
Desktop* installed = nullptr;
}

Desktop& Desktop::instance()
{
    static QtDesktop real;
    return installed ? *installed : real;
}

void Desktop::install(Desktop* desktop)
{
    installed = desktop;
}

void QtDesktop::messageBox(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, QApplication::applicationDisplayName(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

std::optional<QStringList> QtDesktop::choosePictureFiles()
{
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    // GIF and JPEG first, as they always were; the others read what SkyRake reads beyond them.
    const QString gif = tr("GIF文件(*.gif)");
    dialog.setNameFilters({gif, tr("JPEG文件(*.jpg)"), tr("PNG文件(*.png)"),
                           tr("FITS文件(*.fts *.fits *.fit *.fts.gz *.fits.gz)"),
                           tr("所有图片(*.gif *.jpg *.jpeg *.png *.fts *.fits *.fit *.fts.gz *.fits.gz)")});
    dialog.selectNameFilter(gif);
    dialog.setDefaultSuffix(QStringLiteral("gif"));
    dialog.selectFile(QStringLiteral("*.gif"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedFiles();
}

std::optional<QString> QtDesktop::chooseSessionFile()
{
    const QString path = QFileDialog::getOpenFileName(QApplication::activeWindow(), QString(), QString(),
                                                      tr("SkyRake工作(*.skyrake);;所有文件(*)"));
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QString> QtDesktop::chooseSaveFile()
{
    const QString path = QFileDialog::getSaveFileName(QApplication::activeWindow());
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

void QtDesktop::openLink(const QString& target)
{
    QDesktopServices::openUrl(QUrl(target));
}

void QtDesktop::notify(const QString& title, const QString& text, QWidget* window)
{
    // Sent without waiting for an answer: a desktop without the service simply shows nothing.
    QDBusMessage message = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    message << QStringLiteral("SkyRake") << 0u << QStringLiteral("skyrake") << title << text << QStringList()
            << QVariantMap() << -1;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected())
        bus.send(message);
    if (window)
        QApplication::alert(window);
}
