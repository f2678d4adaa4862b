#pragma once

#include "pictures/LoadFailure.h"

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// A FITS image as the program shows it: the first plane of the primary image, or of the first
// image extension when the primary holds none.
struct FitsImage
{
    int width = 0;  // picture pixels (NAXIS1)
    int height = 0; // picture pixels (NAXIS2)
    // Physical values (BSCALE and BZERO applied), row by row from the top row as shown. FITS
    // row 1 is the bottom row, so it is the last row here: north up, as the LASCO JPEG of the
    // same frame shows it. NaN where the data hold NaN, infinity or the BLANK value; a value
    // beyond a float's range is clamped to the largest float of its sign.
    std::vector<float> values;
    // Header keyword -> value as text: string quotes and trailing blanks removed, the first
    // card of a repeated keyword. From the image's own header; an extension's image also gets
    // the primary header's keywords it lacks (DATE-OBS, DETECTOR, TELESCOP, ...).
    QHash<QString, QString> keywords;
    // Cards left out of `keywords`, each "KEYWORD: why" (a character FITS does not allow).
    QStringList setAside;

    float at(int x, int y) const { return values[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
};

// Whether the bytes begin with a FITS primary header: the first card is SIMPLE = T, the value
// in column 30.
bool isFits(const QByteArray& bytes);

// Decodes a FITS file held in memory with cfitsio, reading the bytes in place (a copy only when
// the last 2880-byte block lacks its padding). BITPIX 8, 16, 32, 64, -32 and -64; two or more
// axes (the first plane of a cube); a tile-compressed image (Rice, as PUNCH writes its frames)
// through cfitsio's decompression, its header keywords giving the image's own shape. Nothing is
// returned, and nothing is printed, for content that is not FITS, a header cfitsio refuses or
// would overrun its buffers on (a card with '=' before column 9), an image with no pixels or
// more than `maxValues`
// of them, and a file that ends before the declared data do (the padding of the last block may
// be missing); `why`, when given, is then set to the reason. Safe to call on several threads at
// once.
std::optional<FitsImage> decodeFits(const QByteArray& bytes, qint64 maxValues, LoadFailure* why = nullptr);

// The primary header's keywords from the first bytes of a FITS file alone (as a Range request
// gives them), up to its END card or the bytes' end, read without cfitsio: values as
// `FitsImage::keywords` has them, cards with a character FITS does not allow left out. Empty for
// bytes that do not begin a FITS file.
QHash<QString, QString> fitsHeadKeywords(const QByteArray& head);

// A grey picture (Format_RGB32) of the values, mapped linearly: `low` and below black, `high`
// and above white, NaN black. With `high` not above `low`, values above `low` are white.
QImage fitsToGrey(const FitsImage& image, float low, float high);
