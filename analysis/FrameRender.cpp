#include "analysis/FrameRender.h"

#include "analysis/Geometry.h"
#include "platform/Himetric.h"
#include "platform/Picture.h"
#include "platform/Surface.h"

namespace {

constexpr QRgb black = 0xff000000u;

// Fills the part of `area` outside `hole` black.
void fillAround(Surface& surface, const QRect& area, const QRect& hole)
{
    for (const QRect& part : around(area, hole))
        surface.fill(part, black);
}

// ANDs every pixel of `area` with `mask`. In blocks of a fixed size, which the compiler turns into
// vector instructions; the rest of a row pixel by pixel.
void andWithColour(Surface& surface, const QRect& area, QRgb mask)
{
    const QRect clipped = area.intersected(surface.rect());
    constexpr int block = 8;
    const int width = clipped.width();
    const int blocked = width - width % block;
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        QRgb* line = surface.scanLine(y) + clipped.left();
        for (int x = 0; x < blocked; x += block) {
            for (int k = 0; k < block; ++k)
                line[x + k] &= mask;
        }
        for (int x = blocked; x < width; ++x)
            line[x] &= mask;
    }
}

// Draws `picture` with the source extent of `extentOf` at (x, y), `size` pixels large.
bool drawUpright(const Picture& picture, const Picture& extentOf, Surface& target, int x, int y, QSize size)
{
    const int himWidth = extentOf.himetricWidth();
    const int himHeight = extentOf.himetricHeight();
    return picture.render(target, x, y, size.width(), size.height(), 0, himHeight, himWidth, -himHeight);
}

} // namespace

QRgb Channels::mask() const
{
    QRgb mask = 0xffffffffu;
    if (!red)
        mask &= qRgb(0, 255, 255);
    if (!green)
        mask &= qRgb(255, 0, 255);
    if (!blue)
        mask &= qRgb(255, 255, 0);
    return mask;
}

QSize FrameLayout::displayedSize(const Picture& picture) const
{
    return {::displayedSize(dpiX, picture.himetricWidth(), zoom),
            ::displayedSize(dpiY, picture.himetricHeight(), zoom)};
}

QRect FrameLayout::shownPart(const Picture& picture, const QRect& area) const
{
    const QSize size = displayedSize(picture);
    return visiblePart(area, offsetX, offsetY, size.width(), size.height());
}

void maskChannels(Surface& surface, const QRect& area, Channels channels)
{
    const QRgb mask = channels.mask();
    if (mask != 0xffffffffu)
        andWithColour(surface, area, mask | 0xff000000u);
}

bool renderFrame(const Picture& picture, const FrameLayout& layout, Channels channels, Surface& target,
                 const QRect& area)
{
    // The whole picture is drawn over every pixel of its displayed rectangle, so only the ground
    // around it is filled black first; a failed render leaves that rectangle to be filled after.
    const QRect shown = layout.shownPart(picture, area);
    fillAround(target, area, shown);
    const bool rendered =
        drawUpright(picture, picture, target, layout.offsetX, layout.offsetY, layout.displayedSize(picture));
    if (!rendered)
        target.fill(shown, black);
    // The ground is black, and black stays black under any mask: only the picture's own
    // rectangle needs the pass.
    maskChannels(target, shown, channels);
    return rendered;
}

void renderReference(const Picture& reference, const Picture& frame, const FrameLayout& layout,
                     Channels channels, Surface& target, const QRect& area)
{
    const QRect drawn = layout.shownPart(frame, area);
    // Where the reference covers the whole destination (it is at least as large as the frame),
    // only the ground around that rectangle needs filling.
    if (reference.himetricWidth() >= frame.himetricWidth() &&
        reference.himetricHeight() >= frame.himetricHeight() && !drawn.isEmpty())
        fillAround(target, area, drawn);
    else
        target.fill(area, black);
    drawUpright(reference, frame, target, layout.offsetX, layout.offsetY, layout.displayedSize(frame));
    maskChannels(target, drawn, channels);
}
