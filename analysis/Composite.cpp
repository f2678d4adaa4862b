#include "analysis/Composite.h"

#include "platform/Picture.h"
#include "platform/Surface.h"

#include <optional>

namespace {

// target := target OR (frame XOR first) over `area`, in one pass over the rows, reading each
// surface once: the two raster operations of the composite without an intermediate surface.
void accumulateDifference(Surface& target, const Surface& frame, const Surface& reference, const QRect& area)
{
    const QRect clipped = area & target.rect() & frame.rect() & reference.rect();
    if (clipped.isEmpty())
        return;
    const int width = clipped.width();
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        // Three distinct surfaces: telling the compiler lets it vectorise the loop.
        QRgb* __restrict shown = target.scanLine(y) + clipped.left();
        const QRgb* __restrict drawn = frame.scanLine(y) + clipped.left();
        const QRgb* __restrict first = reference.scanLine(y) + clipped.left();
        // The alpha byte stays 0xff: XOR clears it, the OR sets it again.
        for (int x = 0; x < width; ++x)
            shown[x] |= (drawn[x] ^ first[x]) | 0xff000000u;
    }
}

} // namespace

void differenceComposite(std::span<const Picture* const> frames, const FrameLayout& layout, Channels channels,
                         Surface& target, const QRect& area, Surface& work, Surface& reference)
{
    if (frames.size() < 2)
        return;
    target.fill(area, 0xff000000u);
    // The reference drawn for one frame serves the next as long as the frames have the same
    // extent and displayed size (the usual case: one field, one camera).
    struct Geometry
    {
        int himWidth, himHeight;
        QSize size;
        bool operator==(const Geometry&) const = default;
    };
    std::optional<Geometry> referenceDrawnFor;
    for (const Picture* frame : frames.subspan(1)) {
        renderFrame(*frame, layout, channels, work, area);
        const Geometry geometry{frame->himetricWidth(), frame->himetricHeight(),
                                layout.displayedSize(*frame)};
        if (referenceDrawnFor != geometry) {
            renderReference(*frames.front(), *frame, layout, channels, reference, area);
            referenceDrawnFor = geometry;
        }
        // Both the frame and the reference draw only inside the frame's rectangle; outside it both
        // surfaces are black, their difference is nothing and the target stays as it is.
        accumulateDifference(target, work, reference, layout.shownPart(*frame, area));
    }
}

QImage differenceComposite(std::span<const Picture* const> frames, int dpiX, int dpiY)
{
    if (frames.size() < 2)
        return {};
    const FrameLayout layout{0, 0, 1.0, dpiX, dpiY};
    const QSize size(frames.front()->pixelWidth(), frames.front()->pixelHeight());
    if (size.isEmpty())
        return {};
    Surface target(size.width(), size.height());
    Surface work(size.width(), size.height());
    Surface reference(size.width(), size.height());
    differenceComposite(frames, layout, Channels{}, target, target.rect(), work, reference);
    return std::move(target.image());
}
