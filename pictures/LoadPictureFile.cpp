#include "pictures/LoadPictureFile.h"

#include "pictures/Completeness.h"
#include "pictures/FitsFile.h"
#include "pictures/FrameOrientation.h"
#include "pictures/Gzip.h"
#include "platform/Dpi.h"
#include "platform/Himetric.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <cmath>
#include <limits>

QString fileNameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

namespace {

// Gives no picture, for the reason given.
std::unique_ptr<Picture> refuse(LoadFailure* why, LoadFailure reason)
{
    if (why)
        *why = reason;
    return nullptr;
}

// A FITS frame: its values kept, its pixels linear between its smallest and largest value until
// a display stretch shows them otherwise.
std::unique_ptr<Picture> decodeFitsPicture(const QByteArray& bytes, int dpiX, int dpiY, LoadFailure* why)
{
    std::optional<FitsImage> image = decodeFits(bytes, maxPictureBytes / 4, why);
    if (!image)
        return nullptr;
    // The rows come bottom row last; a frame taken turned half round is turned back, as the
    // archive's JPEGs of it are (FrameOrientation.h). Turning the whole array end for end is
    // that half turn, pixel for pixel.
    if (fitsOrientation(image->keywords, QSize(image->width, image->height)).turnedBack)
        std::reverse(image->values.begin(), image->values.end());
    float low = std::numeric_limits<float>::max();
    float high = std::numeric_limits<float>::lowest();
    for (const float value : image->values) {
        if (std::isfinite(value)) {
            low = std::min(low, value);
            high = std::max(high, value);
        }
    }
    QImage pixels = fitsToGrey(*image, low, high);
    if (pixels.isNull())
        return refuse(why, LoadFailure::Damaged);
    return std::make_unique<Picture>(std::move(pixels), pixelsToHimetric(image->width, dpiX),
                                     pixelsToHimetric(image->height, dpiY), std::move(image->values),
                                     std::move(image->keywords), std::move(image->setAside));
}

} // namespace

std::unique_ptr<Picture> decodePicture(const QByteArray& bytes, int dpiX, int dpiY, LoadFailure* why)
{
    // A gzipped file (NNNNNNNN.fts.gz, as FITS archives serve them) is the file it holds; what it
    // holds may be no larger than a file read whole, and is not unpacked again.
    if (isGzip(bytes)) {
        std::optional<QByteArray> inner = gunzip(bytes, maxPictureFileBytes, why);
        if (!inner)
            return nullptr;
        if (isGzip(*inner))
            return refuse(why, LoadFailure::NotAPicture);
        return decodePicture(*inner, dpiX, dpiY, why);
    }
    if (isFits(bytes))
        return decodeFitsPicture(bytes, dpiX, dpiY, why);
    if (bytes.isEmpty())
        return refuse(why, LoadFailure::Empty);
    if (pictureFormat(bytes).isEmpty())
        return refuse(why, isHtmlPage(bytes) ? LoadFailure::HtmlPage : LoadFailure::NotAPicture);
    if (const Completeness end = pictureCompleteness(bytes); end != Completeness::Whole)
        return refuse(why, end == Completeness::CutOff ? LoadFailure::CutOff : LoadFailure::Damaged);
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
        return refuse(why, LoadFailure::Damaged);
    if (tooLarge(reader.size()) || tooLarge(screen) || tooLarge(gifFirstFrameSize(bytes)))
        return refuse(why, LoadFailure::PictureTooLarge);
    QImage image;
    if (!reader.read(&image) || image.isNull() || image.width() <= 0 || image.height() <= 0)
        return refuse(why, LoadFailure::Damaged);
    if (tooLarge(image.size()))
        return refuse(why, LoadFailure::PictureTooLarge);
    const int himetricWidth = pixelsToHimetric(image.width(), dpiX);
    const int himetricHeight = pixelsToHimetric(image.height(), dpiY);
    return std::make_unique<Picture>(std::move(image), himetricWidth, himetricHeight);
}

LoadResult LoadPictureFile(const QString& path, int dpiX, int dpiY)
{
    // Only regular files: opening a FIFO would wait for a writer that may never come, and a
    // device or directory is no picture. Linux has no exclusive open; the file is read whole
    // and closed at once, so a later change to it cannot touch the loaded picture.
    const QFileInfo info(path);
    if (!info.exists())
        return LoadFailure::Missing;
    if (info.isDir())
        return LoadFailure::Directory;
    if (!info.isFile())
        return LoadFailure::NotAFile;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return LoadFailure::Unreadable;
    const qint64 size = file.size();
    if (size == 0)
        return LoadFailure::Empty;
    if (size > maxPictureFileBytes)
        return LoadFailure::FileTooLarge;
    QByteArray bytes = file.read(size);
    file.close();
    if (bytes.size() != size)
        return LoadFailure::Unreadable;
    LoadFailure why = LoadFailure::NotAPicture;
    auto picture = decodePicture(bytes, dpiX, dpiY, &why);
    if (!picture)
        return why;
    return LoadedPicture{std::move(picture), fileNameOf(path)};
}

LoadResult LoadPictureFile(const QString& path)
{
    return LoadPictureFile(path, displayDpiX(), displayDpiY());
}
