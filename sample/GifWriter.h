#pragma once

#include <QByteArray>
#include <QRgb>

#include <vector>

// Encodes an 8-bit indexed picture as a GIF89a file (one frame, the palette as its global colour
// table, the indices kept exactly). Qt reads GIF but cannot write it.
QByteArray encodeGif(int width, int height, const std::vector<unsigned char>& indices,
                     const std::vector<QRgb>& palette);
