#include "pictures/LoadPictureFile.h"

#include "pictures/Completeness.h"
#include "platform/Dpi.h"
#include "platform/Himetric.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

QString fileNameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

std::unique_ptr<Picture> decodePicture(const QByteArray& bytes, int dpiX, int dpiY)
{
    if (bytes.isEmpty() || !isCompletePicture(bytes))
        return nullptr;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    // The reader is told the format the signature gave: no other image plugin sees the bytes.
    QImageReader reader(&buffer, pictureFormat(bytes));
    // Refuse what would be too large to hold before the reader allocates it: the declared size,
    // and for a GIF also its first frame, which may lie far outside the declared screen.
    const auto tooLarge = [](QSize size) {
        return size.isValid() && qint64(size.width()) * size.height() * 4 > maxPictureBytes;
    };
    // A GIF whose screen has no area has nothing to show; Qt would make up a size for it (a
    // 32-byte GIF with a 24749 x 0 screen came out 24749 x 514, 50 MB from nothing).
    const QSize screen = gifScreenSize(bytes);
    if (screen.isValid() && screen.isEmpty())
        return nullptr;
    if (tooLarge(reader.size()) || tooLarge(screen) || tooLarge(gifFirstFrameSize(bytes)))
        return nullptr;
    QImage image;
    if (!reader.read(&image) || image.isNull() || image.width() <= 0 || image.height() <= 0)
        return nullptr;
    if (qint64(image.width()) * image.height() * 4 > maxPictureBytes)
        return nullptr;
    const int himetricWidth = pixelsToHimetric(image.width(), dpiX);
    const int himetricHeight = pixelsToHimetric(image.height(), dpiY);
    return std::make_unique<Picture>(std::move(image), himetricWidth, himetricHeight);
}

std::optional<LoadedPicture> LoadPictureFile(const QString& path, int dpiX, int dpiY)
{
    // Only regular files: opening a FIFO would wait for a writer that may never come, and a
    // device or directory is no picture. Linux has no exclusive open; the file is read whole
    // and closed at once, so a later change to it cannot touch the loaded picture.
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const qint64 size = file.size();
    if (size <= 0 || size > maxPictureFileBytes)
        return std::nullopt;
    QByteArray bytes = file.read(size);
    file.close();
    if (bytes.size() != size)
        return std::nullopt;
    auto picture = decodePicture(bytes, dpiX, dpiY);
    if (!picture)
        return std::nullopt;
    return LoadedPicture{std::move(picture), fileNameOf(path)};
}

std::optional<LoadedPicture> LoadPictureFile(const QString& path)
{
    return LoadPictureFile(path, displayDpiX(), displayDpiY());
}
