#pragma once

#include "feeds/FrameFetch.h"

#include <optional>

class QWidget;

// Runs a request with a progress dialog over `parent` (frames done of those wanted, and the bytes
// received) that cancels it; the window keeps painting meanwhile. Nothing when cancelled: the
// frames already whole stay in the library, nothing else does.
std::optional<FetchOutcome> fetchWithProgress(const FetchRequest& request, QWidget* parent,
                                              const DownloadRules& rules = {});
