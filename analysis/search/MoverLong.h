#pragma once

#include "analysis/search/MoverSearch.h"

// Windows of more frames than this are searched as windows of eight, four frames apart.
inline constexpr size_t longWindowFrames = 11;

// The candidates of a long window, as searchMovers gives them: a mover found in several of its
// windows of eight, on the same frames about the same places, is one candidate, placed on each
// frame where those windows placed it (their mean) and beyond them on the line through its places
// nearest in time; its score and figures those of its best window, its false alarms as many times
// more as the window holds windows of eight.
std::vector<Candidate> searchLongWindow(std::span<const SearchFrame> frames, const SearchOptions& options,
                                        const std::function<bool(int)>& progress);
