#pragma once
// FITS frames written to files (FitsWriter.h), their values given pixel by pixel.
#include "FitsWriter.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

// `value(x, row)`: row 0 the bottom one, as FITS stores an image.
inline bool writeFits(const QString& path, int width, int height,
                      const std::vector<std::pair<QString, QString>>& cards,
                      const std::function<float(int x, int row)>& value)
{
    FitsContent content;
    content.width = width;
    content.height = height;
    for (int row = 0; row < height; ++row)
        for (int x = 0; x < width; ++x)
            content.values.push_back(value(x, row));
    for (const auto& [key, text] : cards)
        content.cards.emplace_back(key.toLatin1(), text.toLatin1());
    const QByteArray bytes = fitsBytes(content);
    QFile file(path);
    return !bytes.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// CCOR-1 frames 256 pixels a side at 156" a pixel, flat but for a faint pattern, of the night of
// the 2025 equinox at `times` ("HHMM"): GOES-19 passes behind the Earth about 05:01, whose disc
// reaches into such a frame from about 04:00. Their paths.
inline QStringList writeEquinoxFrames(const QString& dir, const QStringList& times)
{
    QStringList paths;
    for (const QString& hhmm : times) {
        paths << dir + QStringLiteral("/20250923_%1_ccor1_256by256.fts").arg(hhmm);
        if (!writeFits(paths.last(), 256, 256,
                       {{"CTYPE1", "'HPLN-TAN'"},
                        {"CTYPE2", "'HPLT-TAN'"},
                        {"CUNIT1", "'arcsec'"},
                        {"CUNIT2", "'arcsec'"},
                        {"CRPIX1", "128.5"},
                        {"CRPIX2", "128.5"},
                        {"CDELT1", "156.0"},
                        {"CDELT2", "156.0"},
                        {"CRVAL1", "0.0"},
                        {"CRVAL2", "0.0"}},
                       [](int x, int row) { return float(1000 + (x * 7 + row * 13) % 50); }))
            return {};
    }
    return paths;
}
