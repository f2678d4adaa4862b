#pragma once

#include <QByteArray>
#include <QImage>

#include <span>
#include <vector>

// Writes GIF files through giflib (Qt reads GIF but cannot write it).
//
// Every frame shares one global colour table, so that a blink of the frames changes only what
// changed in the pictures, never the colours. Frames of Format_Indexed8 that share one colour
// table keep it and their indices exactly (a lossless picture stays lossless); any other frames
// are reduced together to at most 256 colours: exactly when they hold no more, otherwise by a
// median cut over all their pixels.

// The frames (at least one, all of one size) as a GIF89a file. With more than one frame each
// shows for `delayMs` (rounded to the format's hundredths of a second) and the animation loops
// forever. Empty when there are no frames or their sizes differ.
QByteArray encodeGif(std::span<const QImage> frames, int delayMs);

// The frames reduced to one colour table of at most 256 entries, as Format_Indexed8 images.
std::vector<QImage> indexedFrames(std::span<const QImage> frames);
