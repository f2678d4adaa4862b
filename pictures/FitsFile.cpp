#include "pictures/FitsFile.h"

#include <fitsio.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <mutex>
#include <string>
#include <string_view>

namespace {

constexpr qint64 fitsBlockBytes = 2880;
// Cards read per header into the keywords; solar headers have a few hundred.
constexpr int maxKeywordCards = 4096;

// The card that ends a header.
const std::string& endCard()
{
    static const std::string card = std::string("END") + std::string(77, ' ');
    return card;
}

// Closes the file and empties cfitsio's message stack, whatever happened: cfitsio only keeps
// messages (it never prints them), and a refused file leaves none behind.
struct FitsHandle
{
    fitsfile* file = nullptr;
    ~FitsHandle()
    {
        int status = 0;
        if (file)
            fits_close_file(file, &status);
        fits_clear_errmsg();
    }
};

// Debian builds cfitsio reentrant (each thread must use its own fitsfile, as here). A build that
// is not gets its calls one at a time.
std::unique_lock<std::mutex> cfitsioGuard()
{
    static std::once_flag initialised;
    // cfitsio sets up its drivers on first use without guarding against two first users.
    std::call_once(initialised, [] { fits_init_cfitsio(); });
    static const bool reentrant = fits_is_reentrant() != 0;
    static std::mutex serial;
    return reentrant ? std::unique_lock<std::mutex>() : std::unique_lock<std::mutex>(serial);
}

// A card's value as text: a string without its quotes (a doubled quote stands for one) and its
// trailing blanks, anything else as written.
QString valueText(const char* value)
{
    QByteArray text(value);
    if (text.startsWith('\'')) {
        QByteArray inner;
        for (qsizetype i = 1; i < text.size(); ++i) {
            if (text[i] == '\'') {
                if (i + 1 >= text.size() || text[i + 1] != '\'')
                    break;
                ++i;
            }
            inner += text[i];
        }
        while (inner.endsWith(' '))
            inner.chop(1);
        return QString::fromLatin1(inner);
    }
    return QString::fromLatin1(text.trimmed());
}

// The first byte of the card's text that FITS does not allow (printable ASCII only), or 0.
unsigned char nonPrintable(const char* name, const char* value, const char* comment)
{
    for (const char* text : {name, value, comment}) {
        for (const char* c = text; *c; ++c) {
            const auto byte = static_cast<unsigned char>(*c);
            if (byte < 0x20 || byte > 0x7e)
                return byte;
        }
    }
    return 0;
}

// Adds the current header's keywords that `keywords` lacks. Cards without a value (COMMENT,
// HISTORY, blank) are left out. A card holding a character FITS does not allow is set aside,
// named in `setAside` with the reason; the archives serve such frames, and the rest of the
// header and the pixels are sound.
void readKeywords(fitsfile* file, QHash<QString, QString>& keywords, QStringList& setAside, int* status)
{
    int count = 0;
    int room = 0;
    if (fits_get_hdrspace(file, &count, &room, status) > 0)
        return;
    // Room for a whole card each, whatever cfitsio makes of one (see headerIsSafe).
    char name[2 * FLEN_CARD];
    char value[2 * FLEN_CARD];
    char comment[2 * FLEN_CARD];
    for (int i = 1; i <= std::min(count, maxKeywordCards); ++i) {
        if (fits_read_keyn(file, i, name, value, comment, status) > 0)
            return;
        const QString key = QString::fromLatin1(name);
        if (name[0] == '\0' || value[0] == '\0' || keywords.contains(key))
            continue;
        if (const unsigned char bad = nonPrintable(name, value, comment)) {
            setAside << QStringLiteral("%1: a non-printable character (0x%2)")
                            .arg(key.trimmed())
                            .arg(bad, 2, 16, QLatin1Char('0'));
            continue;
        }
        keywords.insert(key, valueText(value));
    }
}

// cfitsio 4.2 parses a card's value and comment into buffers sized for a value that starts in
// column 11. A card whose '=' stands before column 9, or in column 9 without a blank after it,
// makes cfitsio write past them on its own stack whenever it reads that card: a header holding
// one is refused before cfitsio sees it. The header at `start` runs to its END card, or to the
// end of the bytes.
bool headerIsSafe(const QByteArray& bytes, qint64 start)
{
    for (qint64 at = start; at >= 0 && at + 80 <= bytes.size(); at += 80) {
        // cfitsio reads a card as a C string: a NUL ends it.
        const std::string_view card(bytes.constData() + at, strnlen(bytes.constData() + at, 80));
        if (card == endCard())
            return true;
        const bool noValue = card.size() < 9 || card.starts_with("COMMENT ") ||
                             card.starts_with("HISTORY ") || card.starts_with("CONTINUE") ||
                             card.starts_with("        ") || card.starts_with("END     ") ||
                             card.starts_with("HIERARCH ");
        const std::size_t equals = card.find('=');
        if (!noValue && (equals < 8 || (equals == 8 && card.size() > 9 && card[9] != ' ')))
            return false;
    }
    return true;
}

// Moves to the image to show: the primary, or the first image extension after a primary with
// no data.
bool moveToImage(fitsfile* file, const QByteArray& bytes, int* status)
{
    int axes = 0;
    if (fits_get_img_dim(file, &axes, status) > 0)
        return false;
    if (axes > 0)
        return true;
    int type = 0;
    do {
        // The next header starts where this data unit ends.
        LONGLONG headStart = 0;
        LONGLONG dataStart = 0;
        LONGLONG dataEnd = 0;
        if (fits_get_hduaddrll(file, &headStart, &dataStart, &dataEnd, status) > 0 ||
            !headerIsSafe(bytes, dataEnd))
            return false;
        if (fits_movrel_hdu(file, 1, &type, status) > 0)
            return false;
    } while (type != IMAGE_HDU);
    return true;
}

// Whether the primary header's END card is among the bytes: a file without it was cut off in
// its header.
bool hasEndCard(const QByteArray& bytes)
{
    for (qint64 at = 0; at + 80 <= bytes.size(); at += 80) {
        if (std::string_view(bytes.constData() + at, 80) == endCard())
            return true;
    }
    return false;
}

} // namespace

bool isFits(const QByteArray& bytes)
{
    return bytes.startsWith("SIMPLE  =                    T");
}

std::optional<FitsImage> decodeFits(const QByteArray& bytes, qint64 maxValues, LoadFailure* why)
{
    const auto refuse = [why](LoadFailure reason) {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    // A header is whole 2880-byte blocks: anything shorter is a cut-off file.
    if (!isFits(bytes))
        return refuse(LoadFailure::NotAPicture);
    if (bytes.size() < fitsBlockBytes)
        return refuse(LoadFailure::CutOff);
    // cfitsio reads whole 2880-byte blocks: from a file whose last block lacks its padding it
    // would read past the end. Such a file is read from a copy padded with zeros.
    QByteArray padded;
    if (bytes.size() % fitsBlockBytes != 0) {
        padded.reserve(bytes.size() + fitsBlockBytes);
        padded.append(bytes).append(QByteArray(fitsBlockBytes - bytes.size() % fitsBlockBytes, '\0'));
    }
    const QByteArray& source = padded.isEmpty() ? bytes : padded;
    const auto guard = cfitsioGuard();
    // Read-only, with no reallocation function: cfitsio reads the bytes where they are and
    // never writes to them. It keeps the addresses of both variables until the file is closed.
    void* memory = const_cast<char*>(source.constData());
    size_t memorySize = size_t(source.size());
    if (!headerIsSafe(source, 0))
        return refuse(LoadFailure::Damaged);
    FitsHandle fits;
    int status = 0;
    if (fits_open_memfile(&fits.file, "skyrake", READONLY, &memory, &memorySize, 0, nullptr, &status) > 0)
        return refuse(hasEndCard(bytes) ? LoadFailure::Damaged : LoadFailure::CutOff);

    QHash<QString, QString> primaryKeywords;
    QStringList setAside;
    readKeywords(fits.file, primaryKeywords, setAside, &status);
    if (status > 0 || !moveToImage(fits.file, source, &status))
        return refuse(LoadFailure::Damaged);
    // A tile-compressed image (Rice, as PUNCH writes its frames) is a binary table that cfitsio
    // presents as the image it holds: its dimensions are the image's, its data unit the table's.
    int compressed = fits_is_compressed_image(fits.file, &status);
    int bitpix = 0;
    int axisCount = 0;
    fits_get_img_type(fits.file, &bitpix, &status);
    fits_get_img_dim(fits.file, &axisCount, &status);
    if (status > 0 || axisCount < 2 || axisCount > 999)
        return refuse(axisCount < 2 ? LoadFailure::NotAPicture : LoadFailure::Damaged);
    std::vector<LONGLONG> axes(std::size_t(axisCount), 0);
    LONGLONG headStart = 0;
    LONGLONG dataStart = 0;
    LONGLONG dataEnd = 0;
    fits_get_img_sizell(fits.file, axisCount, axes.data(), &status);
    fits_get_hduaddrll(fits.file, &headStart, &dataStart, &dataEnd, &status);
    if (status > 0)
        return refuse(LoadFailure::Damaged);
    if (dataStart < fitsBlockBytes)
        return refuse(LoadFailure::Damaged);
    if (compressed) {
        // The table and its heap must be there; the image's size is bounded like any other, and
        // so is a tile, which cfitsio decompresses whole.
        if (dataEnd > source.size())
            return refuse(LoadFailure::CutOff);
        qint64 values = 1;
        for (const LONGLONG length : axes) {
            if (length < 1)
                return refuse(LoadFailure::Damaged);
            if (length > maxValues || (values *= length) > maxValues)
                return refuse(LoadFailure::PictureTooLarge);
        }
        // Tiles are whole rows unless ZTILEn says otherwise.
        long tile[2] = {long(axes[0]), 1};
        for (int n = 0; n < 2; ++n) {
            const std::string key = "ZTILE" + std::to_string(n + 1);
            int keyStatus = 0;
            if (fits_read_key_lng(fits.file, key.c_str(), &tile[n], nullptr, &keyStatus) > 0 &&
                keyStatus != KEY_NO_EXIST)
                return refuse(LoadFailure::Damaged);
        }
        fits_clear_errmsg();
        if (tile[0] < 1 || tile[1] < 1 || tile[0] > axes[0] || tile[1] > axes[1])
            return refuse(LoadFailure::Damaged);
    } else {
        // The whole declared data unit must be present, all planes of a cube included; only the
        // padding of its last block may be missing. Bounded by the file's size, nothing
        // overflows. Data declared beyond the file's end are taken for a file cut off.
        qint64 dataBytes = std::abs(bitpix) / 8;
        for (const LONGLONG length : axes) {
            if (length < 1)
                return refuse(LoadFailure::Damaged);
            if (length > bytes.size())
                return refuse(LoadFailure::CutOff);
            dataBytes *= length;
            if (dataBytes > bytes.size())
                return refuse(LoadFailure::CutOff);
        }
        if (dataStart + dataBytes > bytes.size())
            return refuse(LoadFailure::CutOff);
    }
    if (axes[0] > INT_MAX || axes[1] > INT_MAX || axes[0] * axes[1] > maxValues)
        return refuse(LoadFailure::PictureTooLarge);

    FitsImage image;
    image.width = int(axes[0]);
    image.height = int(axes[1]);
    image.values.resize(std::size_t(axes[0]) * std::size_t(axes[1]));
    std::vector<LONGLONG> first(axes.size(), 1);
    float blank = std::numeric_limits<float>::quiet_NaN();
    int anyBlank = 0;
    // FITS row 1 (the bottom) goes last: the rows are read in the order they are shown. A
    // compressed image is read in one call, so that each tile is decompressed once.
    if (compressed) {
        if (fits_read_pixll(fits.file, TFLOAT, first.data(), LONGLONG(image.values.size()), &blank,
                            image.values.data(), &anyBlank, &status) > 0)
            return refuse(LoadFailure::Damaged);
        for (int top = 0, bottom = image.height - 1; top < bottom; ++top, --bottom)
            std::swap_ranges(image.values.begin() + qsizetype(top) * image.width,
                             image.values.begin() + qsizetype(top + 1) * image.width,
                             image.values.begin() + qsizetype(bottom) * image.width);
    }
    for (int row = 1; row <= image.height; ++row) {
        float* out = image.values.data() + std::size_t(image.height - row) * std::size_t(image.width);
        first[1] = row;
        if (!compressed && fits_read_pixll(fits.file, TFLOAT, first.data(), image.width, &blank, out,
                                           &anyBlank, &status) > 0)
            return refuse(LoadFailure::Damaged);
        // Infinity in the file is no data (NaN); a value beyond a float's range, which cfitsio
        // turns into infinity, is the brightest or darkest a float holds.
        for (float* v = out; v != out + image.width; ++v) {
            if (std::isinf(*v))
                *v = std::copysign(std::numeric_limits<float>::max(), *v);
        }
    }

    int hdu = 1;
    fits_get_hdu_num(fits.file, &hdu);
    if (hdu > 1)
        readKeywords(fits.file, image.keywords, image.setAside, &status);
    if (compressed) {
        // The table's own shape gives way to the image's, which the Z keywords keep.
        for (const char* key : {"BITPIX", "NAXIS", "NAXIS1", "NAXIS2", "NAXIS3"}) {
            const QString name = QLatin1String(key);
            const auto z = image.keywords.constFind(QLatin1Char('Z') + name);
            if (z != image.keywords.cend())
                image.keywords.insert(name, z.value());
        }
    }
    image.setAside += setAside;
    if (status > 0)
        return refuse(LoadFailure::Damaged);
    for (auto it = primaryKeywords.cbegin(); it != primaryKeywords.cend(); ++it) {
        if (!image.keywords.contains(it.key()))
            image.keywords.insert(it.key(), it.value());
    }
    return image;
}

QHash<QString, QString> fitsHeadKeywords(const QByteArray& head)
{
    QHash<QString, QString> keywords;
    if (!isFits(head))
        return keywords;
    for (qsizetype at = 0; at + 80 <= head.size(); at += 80) {
        const QByteArray card = head.mid(at, 80);
        if (card == QByteArray::fromStdString(endCard()))
            break;
        if (card.mid(8, 2) != "= " ||
            std::any_of(card.begin(), card.end(), [](char c) { return c < 0x20 || c > 0x7e; }))
            continue;
        const QString key = QString::fromLatin1(card.left(8)).trimmed();
        QByteArray value = card.mid(10).trimmed();
        if (!value.startsWith('\'')) {
            // A number or logical, its comment after the slash.
            if (const qsizetype slash = value.indexOf('/'); slash >= 0)
                value = value.left(slash).trimmed();
        } else {
            // A string runs to its closing quote; a doubled quote stands for one.
            qsizetype end = 1;
            while (end < value.size() &&
                   (value[end] != '\'' || (end + 1 < value.size() && value[end + 1] == '\'')))
                end += value[end] == '\'' ? 2 : 1;
            value = value.left(end + 1);
        }
        if (!key.isEmpty() && !keywords.contains(key))
            keywords.insert(key, valueText(value.constData()));
    }
    return keywords;
}

QImage fitsToGrey(const FitsImage& image, float low, float high)
{
    if (image.width < 1 || image.height < 1 ||
        image.values.size() != std::size_t(image.width) * std::size_t(image.height))
        return {};
    QImage grey(image.width, image.height, QImage::Format_RGB32);
    // In double: the range between two floats may exceed the largest float.
    const double range = high > low ? double(high) - double(low) : 0.0;
    for (int y = 0; y < image.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < image.width; ++x) {
            // NaN is not above `low`: black. With no range, anything above `low` is white.
            const float value = image.at(x, y);
            const double level = !(value > low) ? 0.0
                                 : range > 0.0  ? (double(value) - double(low)) * 255.0 / range
                                                : 255.0;
            const int g = level >= 255.0 ? 255 : (level > 0.0 ? int(level + 0.5) : 0);
            line[x] = qRgb(g, g, g);
        }
    }
    return grey;
}
