#pragma once

#include "analysis/search/MoverSearch.h"

#include <optional>
#include <span>
#include <vector>

// Looks for a mover where it is expected on each frame (`expected`, one place a frame: another
// camera's candidate seen from here): the frames cropped to those places and `box` pixels about
// them, searched with a lower threshold (`minScore` sigmas, a chance track being unlikely in so
// small a field), and the best candidate that keeps within `box` pixels of the places (root mean
// square), in the frames' own pixels. Nothing where there is none.
std::optional<Candidate> searchNear(std::span<const SearchFrame> frames, const std::vector<QPointF>& expected,
                                    double box, double minScore = 6);
