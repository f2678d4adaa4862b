#pragma once
// A FITS file written by hand, as the standard lays it out: 80-character cards in blocks of
// 2880 bytes, then 16-bit big-endian values, bottom row first, padded to a block.
#include <QFile>
#include <QString>
#include <QStringList>
#include <QtEndian>

#include <functional>
#include <utility>
#include <vector>

inline bool writeFits(const QString& path, int width, int height,
                      const std::vector<std::pair<QString, QString>>& cards,
                      const std::function<qint16(int x, int row)>& value)
{
    QByteArray header;
    const auto card = [&](const QString& key, const QString& text) {
        header += (key.leftJustified(8, QLatin1Char(' ')) + QStringLiteral("= ") + text.rightJustified(20))
                      .leftJustified(80, QLatin1Char(' '), true)
                      .toLatin1();
    };
    card(QStringLiteral("SIMPLE"), QStringLiteral("T"));
    card(QStringLiteral("BITPIX"), QStringLiteral("16"));
    card(QStringLiteral("NAXIS"), QStringLiteral("2"));
    card(QStringLiteral("NAXIS1"), QString::number(width));
    card(QStringLiteral("NAXIS2"), QString::number(height));
    for (const auto& [key, text] : cards)
        card(key, text);
    header += QByteArray("END").leftJustified(80, ' ');
    header = header.leftJustified((header.size() + 2879) / 2880 * 2880, ' ');
    QByteArray data;
    for (int row = 0; row < height; ++row)
        for (int x = 0; x < width; ++x) {
            const qint16 big = qToBigEndian(value(x, row));
            data.append(reinterpret_cast<const char*>(&big), 2);
        }
    data = data.leftJustified((data.size() + 2879) / 2880 * 2880, '\0');
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(header + data) == header.size() + data.size();
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
                       [](int x, int row) { return qint16(1000 + (x * 7 + row * 13) % 50); }))
            return {};
    }
    return paths;
}
