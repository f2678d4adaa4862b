#pragma once

#include <QHash>
#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>

#include <vector>

class Surface;

// A decoded picture: its pixels, converted once to 32-bit RGB, and its size in HIMETRIC
// (hundredths of a millimetre) as the view's coordinate model expects it. A picture made from
// data values (a FITS frame) keeps them, and its file's header keywords, beside its pixels.
// It never changes once made, so that any thread may read it: a display stretch shows another
// picture made from it.
class Picture
{
public:
    Picture(QImage pixels, int himetricWidth, int himetricHeight);
    // `values`: one per pixel, row by row from the top row as shown; NaN for none.
    // `setAside`: header cards the decoder left out of `keywords`, each "KEYWORD: why".
    Picture(QImage pixels, int himetricWidth, int himetricHeight, std::vector<float> values,
            QHash<QString, QString> keywords, QStringList setAside = {});

    int himetricWidth() const { return m_himetricWidth; }
    int himetricHeight() const { return m_himetricHeight; }
    int pixelWidth() const { return m_pixels.width(); }
    int pixelHeight() const { return m_pixels.height(); }
    // The pixels, 32-bit RGB.
    const QImage& pixels() const { return m_pixels; }
    // The same pixels, read as the levels the file held (what the search and the measuring read).
    const QImage& decoded() const { return m_pixels; }
    // The data values behind the pixels; empty for a picture of 8-bit levels.
    const std::vector<float>& values() const { return m_values; }
    // The file's header keywords (FITS), keyword -> value as text; empty for other pictures.
    const QHash<QString, QString>& keywords() const { return m_keywords; }
    // Header cards left out of the keywords, with the reason ("KEYWORD: why").
    const QStringList& setAside() const { return m_setAside; }
    // Pixels and values, for memory accounting.
    qsizetype byteCount() const;

    // Draws the HIMETRIC source rectangle (srcX, srcY, srcWidth, srcHeight) scaled into the
    // destination rectangle (dstX, dstY, dstWidth, dstHeight) of `target`, in window pixels. HIMETRIC y runs
    // upward from the picture's bottom edge, so a negative source height (srcY = height, srcHeight = -height)
    // draws the picture upright. Nearest neighbour, sampled at destination pixel centres: at
    // zoom 1 an exact copy. Clipped to the surface; source area beyond the picture's own extent
    // leaves the destination untouched. Fails when the source rectangle is empty.
    bool render(Surface& target, int dstX, int dstY, int dstWidth, int dstHeight, int srcX, int srcY,
                int srcWidth, int srcHeight) const;

private:
    QImage m_pixels;
    int m_himetricWidth;
    int m_himetricHeight;
    std::vector<float> m_values;
    QHash<QString, QString> m_keywords;
    QStringList m_setAside;
};
