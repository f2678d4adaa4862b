#pragma once

#include "feeds/FrameFetch.h"

// What the observer set for fetching, kept in the settings: the frame library, each feed's
// archive address, and the window's last request (feed, size, count).
QString frameLibrary();
void setFrameLibrary(const QString& library);
QUrl feedSource(const Feed& feed);
void setFeedSource(const Feed& feed, const QUrl& source);

// The window's last request, with the library and the feed's address as set; the latest ten
// frames of LASCO C3 at 1024 pixels the first time.
FetchRequest lastFetchRequest();
void rememberFetchRequest(const FetchRequest& request);
