#pragma once

#include "analysis/Track.h"

#include <QString>

#include <vector>

// The position report the Sungrazer project's form asks for.
struct SungrazerOptions
{
    enum class Corner
    {
        UpperLeft,
        LowerLeft,
    };
    Corner origin = Corner::UpperLeft;
    // The image size to report positions in, picture pixels a side: the frames' own (0), or
    // 512 or 1024 with the positions scaled to it.
    int size = 0;
};

// The report's text, lines ended by "\n":
//   Camera: C3
//   Image size: 1024x1024
//   (0,0) position: upper left
//   Date of first image: 2013-05-13
//   16:54 257,282
// For a known camera other than LASCO C2 and C3, whose positions the project's form does not
// take, a sentence saying so after the camera, no date line, and each line the frame's whole
// UT date and time ("2025-10-01 12:24:05 UT  257,282").
// One line per measurement in time order (untimed ones last, as "--:--"); positions are the
// centres, 0-based pixels from the chosen corner in the chosen size, rounded half away from zero.
QString sungrazerReport(std::vector<Measurement> measurements, const SungrazerOptions& options);

// A measured centre as the report gives it: 0-based pixel column and row from the corner, in a
// frame of `size` pixels a side (0: the frame's own).
QPoint reportedPosition(const Measurement& measurement, const SungrazerOptions& options);
