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
    const QSize declared = reader.size();
    if (declared.isValid() && qint64(declared.width()) * declared.height() * 4 > maxPictureBytes)
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
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
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
