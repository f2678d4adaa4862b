#pragma once

#include "pictures/FrameInfo.h"

#include <QSize>
#include <QString>
#include <QStringList>

#include <vector>

// A run of frames as an archive serves them, made a sequence to search. The archives' own ways:
// a frame served twice under two file numbers, file numbers out of time order, a stray frame of
// another size in a day of one size, frames that the Earth eclipses.

struct FrameFacts
{
    QString name;          // the file name
    FrameInfo info;        // its time (from DATE-OBS where the header gives it) and camera
    QSize size;            // picture pixels
    bool eclipsed = false; // the Earth stands in the field (CCOR-1 around the equinoxes)
};

struct FrameSet
{
    std::vector<int> kept; // indices of the frames given, oldest first; untimed ones after, as given
    QStringList left;      // one line for each frame left out: "NAME: why"
};

// The frames of the size most of them have (the larger on a tie), each time of a camera once
// (the lowest file name kept), not eclipsed, in time order. The others are named in `left`.
FrameSet arrangeFrames(const std::vector<FrameFacts>& frames);
