#pragma once

#include "analysis/Cutout.h"

#include <QString>

#include <span>

struct Candidate;

// The command line's cutouts: each candidate's cutouts of every frame as an animated GIF, for
// vetting the candidates of many sequences outside the program.

// Cutouts are written this many times their size: a comet's head of two or three picture pixels
// is then a spot the eye takes in at once, in any picture viewer, without that viewer's own
// (smoothing) zoom; it is also how the candidate list shows them.
inline constexpr int cutoutGifEnlargement = 4;
// Milliseconds each frame shows.
inline constexpr int cutoutGifDelay = 500;

// Creates `dir` if needed and writes DIR/STEM-N.gif for each candidate (N its rank, counted from
// `first`): its cutouts of `frames`, enlarged, looping. Names each failure on standard error;
// false after any.
bool writeCutoutGifs(const QString& dir, std::span<const CutoutFrame> frames,
                     std::span<const Candidate> candidates, const QString& stem = QStringLiteral("candidate"),
                     int first = 1);
