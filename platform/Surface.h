#pragma once

#include <QImage>
#include <QRect>
#include <QRgb>

// An off-screen 32-bit RGB drawing surface (0xffRRGGBB per pixel). Everything the view shows
// is composed on surfaces with the raster operations below and then copied to the screen.
class Surface
{
public:
    Surface() = default;
    Surface(int width, int height);

    // Makes the surface width x height; the content is undefined afterwards.
    void resize(int width, int height);
    bool isNull() const { return m_image.isNull(); }
    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }
    QRect rect() const { return m_image.rect(); }

    QRgb pixel(int x, int y) const { return m_image.pixel(x, y); }
    const QRgb* scanLine(int y) const { return reinterpret_cast<const QRgb*>(m_image.constScanLine(y)); }
    QRgb* scanLine(int y) { return reinterpret_cast<QRgb*>(m_image.scanLine(y)); }

    // The underlying image, for text and line drawing with QPainter and for showing on screen.
    QImage& image() { return m_image; }
    const QImage& image() const { return m_image; }

    // Fills the part of `area` that lies on the surface with one colour.
    void fill(const QRect& area, QRgb colour);

private:
    QImage m_image;
};

enum class RasterOp
{
    Copy, // destination := source
    And,  // destination := destination AND source
    Xor,  // destination := destination XOR source
    Or,   // destination := destination OR source
};

// Combines `area` of `source` into the same rectangle of `destination`, pixel by pixel,
// clipped to both surfaces.
void blit(Surface& destination, const QRect& area, const Surface& source, RasterOp op);
