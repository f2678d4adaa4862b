#include "GifWriter.h"

#include "pictures/GifAnimation.h"

#include <QImage>

#include <algorithm>
#include <span>

QByteArray encodeGif(int width, int height, const std::vector<unsigned char>& indices,
                     const std::vector<QRgb>& palette)
{
    if (width <= 0 || height <= 0 || indices.size() != size_t(width) * size_t(height))
        return {};
    QImage picture(width, height, QImage::Format_Indexed8);
    // A full table of 256 entries, so that every index has one.
    QList<QRgb> table(palette.begin(), palette.end());
    table.resize(256, qRgb(0, 0, 0));
    picture.setColorTable(table);
    for (int y = 0; y < height; ++y)
        std::copy_n(indices.begin() + qsizetype(y) * width, width, picture.scanLine(y));
    return encodeGif(std::span<const QImage>(&picture, 1), 0);
}
