#pragma once

#include <QImage>
#include <QPointF>
#include <QString>

#include <span>
#include <vector>

class Picture;
struct Candidate;

// Cutouts: small squares of every frame around a candidate's place in it, blinked to vet the
// candidate by eye, in the candidate list and as animated GIFs from the command line.

// A cutout's side, picture pixels.
inline constexpr int cutoutSide = 64;

// A frame of the sequence as the cutouts need it.
struct CutoutFrame
{
    const Picture* picture;
    QString name;
};

// The square of cutoutSide picture pixels of what `picture` shows around `at` (picture pixels,
// 0-based, pixel i's centre at i + 0.5): the pixel under `at` is the square's pixel
// (cutoutSide / 2, cutoutSide / 2). Black beyond the picture's edges, and all black for a place
// that is not a number. Format_RGB32, nothing drawn over it.
QImage cutout(const Picture& picture, QPointF at);

// The candidate's cutout of every frame, in frame order (as many as there are both frames and
// positions).
std::vector<QImage> cutouts(std::span<const CutoutFrame> frames, const Candidate& candidate);

// `crop` enlarged `scale` times (nearest neighbour, each picture pixel a square), with four short
// ticks pointing at its middle pixel (the candidate's, in a cutout) from a few pixels away, so
// that the eye finds the candidate and the ticks never cover it.
QImage enlargedCutout(const QImage& crop, int scale);
