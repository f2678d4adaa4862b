#pragma once

#include <memory>
#include <span>
#include <vector>

class Picture;

// Each frame less the window's background, as hunters look at science frames and as the search
// sees them: the per-pixel median over the frames (their values brought to one exposure, lost
// telemetry left out) taken from each, shown grey from -5 to +5 sigmas of the first frame's
// residual noise, mid-grey for nothing, so that blinking shows only what changed. One picture
// per frame, of its size; nothing for fewer than two frames or frames of different sizes.
std::vector<std::shared_ptr<const Picture>> backgroundRemoved(std::span<const Picture* const> frames);
