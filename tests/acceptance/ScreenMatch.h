#pragma once

// Pixel comparisons between screenshots of the X screen and the pictures SkyRake shows.
// All images are expected in QImage::Format_RGB32.

#include <QImage>
#include <QPoint>
#include <QRect>

#include <vector>

struct Placement
{
    QPoint at;          // screen position of the picture's top-left pixel
    double score = 0.0; // share of the compared pixels that matched, 0 to 1
};

// The picture pixels worth comparing: a sparse, scattered sample of pixels that are not near black,
// so that the black corners and the occulter cannot make a wrong picture or place look right.
std::vector<QPoint> informativePixels(const QImage& picture, int wanted);

// The share of `sample` that matches the screen within `tolerance` per channel when the picture's
// top-left pixel sits at `at`. Pixels that fall off the screen count as mismatches.
double matchScore(const QImage& screen, const QImage& picture, QPoint at, const std::vector<QPoint>& sample,
                  int tolerance);

// The place within `search` (candidate positions of the picture's top-left pixel) where the
// picture matches the screen best.
Placement findPicture(const QImage& screen, const QImage& picture, const QRect& search);

// Mean grey level, (r + g + b) / 3, over a rectangle of the image (clipped to it).
double meanGrey(const QImage& image, const QRect& area);

// The brightest grey level within `radius` pixels (a square) of a point.
int brightestNear(const QImage& image, QPoint centre, int radius);
