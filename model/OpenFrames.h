#pragma once

#include "model/SkyrakeWork.h"

#include <QStringList>

#include <vector>

// Appends the frames at `paths` to the work's sequence in their order, decoded ahead on worker
// threads; a file that gives no picture is left out and, when `skipped` is given, named there as
// "PATH: REASON". Returns the index in `paths` of each frame appended.
std::vector<int> appendFrames(SkyrakeWork& work, const QStringList& paths, int dpiX, int dpiY,
                              QStringList* skipped = nullptr);

// Appends the frames at `paths` as a run an archive served (arrangeFrames): in time order, each
// time once, of the size most of them have, without frames the Earth eclipses. Files that give
// no picture, frames left out and header cards set aside are named in the list returned,
// "PATH: REASON" or "NAME: why".
QStringList appendArranged(SkyrakeWork& work, const QStringList& paths, int dpiX, int dpiY);

// Makes the sequence the frames at `paths`, oldest first, as a watch keeps the latest frames: a
// picture of one of those files stays with its measurement, every other picture leaves, and the
// files not yet in the sequence are appended. Returns the files left out, as above.
QStringList keepFrames(SkyrakeWork& work, const QStringList& paths, int dpiX, int dpiY);
