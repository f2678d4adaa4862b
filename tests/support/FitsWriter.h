#pragma once

// FITS files for the tests, written by cfitsio in memory: a float image with the given cards,
// plain in the primary HDU or, as PUNCH writes its frames, Rice tile-compressed in HDU 1 after an
// empty primary, with an uncertainty image in HDU 2.
#include <QByteArray>

#include <utility>
#include <vector>

struct FitsContent
{
    int width = 0;
    int height = 0;
    std::vector<float> values; // row after row from FITS row 1 (the bottom one)
    // Key and value as they stand in the card: numbers bare, strings in quotes ("'2025-06-01'").
    std::vector<std::pair<QByteArray, QByteArray>> cards;
    bool riceCompressed = false;
};

QByteArray fitsBytes(const FitsContent& content);
