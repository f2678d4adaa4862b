#pragma once

#include "pictures/FrameInfo.h"

#include <QPointF>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// One measured position of a moving object: where the observer clicked in a frame and the
// centre found there. Positions are picture pixels, 0-based, pixel (i, j) covering
// [i, i + 1) x [j, j + 1): its centre is (i + 0.5, j + 0.5).
struct Measurement
{
    QString frame;    // the frame's name
    FrameInfo info;   // its time and camera, where known
    QSize frameSize;  // picture pixels
    QPointF clicked;  // picture pixels
    QPointF position; // the object's centre, or the click where none stood out
    bool refined = false;
};

// A position in picture pixels (pixel i spans i to i + 1) as the position report and the command
// line count it: 1-based, pixel i's centre at i + 1.
inline QPointF oneBased(QPointF picture)
{
    return picture + QPointF(0.5, 0.5);
}

// The same as the Sungrazer report counts it: 0-based, pixel i's centre at i.
inline QPointF zeroBased(QPointF picture)
{
    return picture - QPointF(0.5, 0.5);
}

// Straight-line motion x(t), y(t) fitted by least squares to the timed measurements.
struct TrackFit
{
    QDateTime origin;      // t = 0
    double x0 = 0, vx = 0; // picture pixels, pixels per hour
    double y0 = 0, vy = 0;

    // Picture pixels per hour.
    double speed() const;
    // Direction of motion as a position angle in the picture, degrees from up (north in a LASCO
    // frame) through left (east), 0 to 360.
    double positionAngle() const;
    QPointF at(const QDateTime& time) const;
};

// The fit of the measurements that have a time; none with fewer than two of them, or when all
// share one time.
std::optional<TrackFit> fitTrack(const std::vector<Measurement>& measurements);

// The checks a report needs, each a plain sentence: residuals above 1.5 pixels, too few
// positions for the camera, frames of several cameras or sizes, times not increasing with the
// sequence's order (`measurements` are in that order), a track crossing midnight UT, frames
// without a time.
QStringList trackFlags(const std::vector<Measurement>& measurements, const std::optional<TrackFit>& fit);

// The largest residual a position may have before it is flagged, picture pixels.
inline constexpr double maxResidual = 1.5;
