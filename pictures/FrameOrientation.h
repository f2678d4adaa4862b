#pragma once

#include <QHash>
#include <QPointF>
#include <QSize>
#include <QString>

#include <optional>

// How a frame's stored pixels are shown. Every place that goes between the two (the decoder,
// the header's world coordinates, positions read from the archives' own lists) goes through
// these functions, so a picture and its sky agree to the pixel.
//
// FITS stores row 1 at the bottom, and the program shows a frame north up as the archive's
// JPEG of it looks: FITS row 1 is the picture's bottom row. A frame taken while the spacecraft
// flew turned half round (SOHO's CROTA near 180 degrees, CCOR-1's YAWFLIP 2) is stored upside
// down; the archive's JPEGs of it are turned back, and so is the picture. Whatever roll is left
// after the half turn (a few degrees) stays in the frame's world coordinates.
struct FrameOrientation
{
    QSize size;              // stored and shown, picture pixels
    bool bottomUp = false;   // rows stored from the bottom (FITS)
    bool turnedBack = false; // shown turned half round from the stored rows
};

// The header's roll in degrees, the AIPS convention's CROTA1 (LASCO), CROTA2 or CROTA: the
// first of them that reads as a number; nothing without one.
std::optional<double> headerRoll(const QHash<QString, QString>& keywords);

// Whether a header says the frame was taken turned half round: its roll more than 90 degrees
// from 0 (CROTA, or else the one its PC or CD matrix stands for), or without either, YAWFLIP 2
// (CCOR-1).
bool turnedHalfRound(const QHash<QString, QString>& keywords);

// A FITS frame of `size` with this header.
FrameOrientation fitsOrientation(const QHash<QString, QString>& keywords, QSize size);

// A FITS pixel position (1-based, pixel p covering [p - 0.5, p + 0.5) along each axis) as a
// shown picture position (pixel i covering [i, i + 1)), and back.
QPointF shownFromFits(const FrameOrientation& orientation, QPointF fits);
QPointF fitsFromShown(const FrameOrientation& orientation, QPointF shown);

// The stored array index (0-based column, 0-based row in stored order) of a shown pixel, and
// back: the decoder's and the archives' lists' pixel for pixel mapping.
QPoint storedFromShown(const FrameOrientation& orientation, QPoint shown);
QPoint shownFromStored(const FrameOrientation& orientation, QPoint stored);
