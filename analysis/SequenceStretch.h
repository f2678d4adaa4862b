#pragma once

#include "analysis/Stretch.h"

#include <memory>
#include <optional>
#include <span>

class Picture;

// One display stretch for every frame of a sequence, so that blinking shows motion and not
// flicker: the limits (and the histogram, for equalisation) are measured once, on the reference
// frame, and the same tables then map every frame. Pictures of 8-bit levels take a table over
// their channel levels, frames of data values (FITS) one over their values; the first frame of
// each kind is its reference.
//
// Frames of data values have no decoded levels to keep: with the curve None they show linear
// between zscale limits, the view astronomers expect of a raw frame.
class SequenceStretch
{
public:
    const StretchSettings& settings() const { return m_settings; }
    // New settings; the limits are measured again on the next measure().
    void setSettings(const StretchSettings& settings);

    // Measures the limits on the reference frames of `frames` (in sequence order).
    void measure(std::span<const Picture* const> frames);
    // Whether limits were measured for pictures like `picture`.
    bool measuredFor(const Picture& picture) const;
    // `picture` through its table, a picture of its own; null where the stretch changes nothing.
    std::shared_ptr<const Picture> shownOf(const Picture& picture) const;

    // The settings frames of data values are shown with.
    StretchSettings valueSettings() const;

private:
    StretchSettings m_settings;
    std::optional<StretchTable> m_levels; // 8-bit pictures
    std::optional<StretchTable> m_values; // frames of data values
};
