#pragma once

#include <QImage>
#include <QRect>

class Surface;

// A decoded picture: its pixels, converted once to 32-bit RGB, and its size in HIMETRIC
// (hundredths of a millimetre) as the view's coordinate model expects it.
class Picture
{
public:
    Picture(QImage pixels, int himetricWidth, int himetricHeight);

    int himetricWidth() const { return m_himetricWidth; }
    int himetricHeight() const { return m_himetricHeight; }
    int pixelWidth() const { return m_pixels.width(); }
    int pixelHeight() const { return m_pixels.height(); }
    const QImage& pixels() const { return m_pixels; }
    // Decoded pixels plus bookkeeping, for memory accounting.
    qsizetype byteCount() const { return m_pixels.sizeInBytes(); }

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
};
