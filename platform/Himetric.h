#pragma once

// Picture sizes are kept in HIMETRIC units (hundredths of a millimetre, 2540 to the inch) and
// shown in window pixels. These are the conversions every part of the program shares.

// 1/2540 as the nearest double; the conversions multiply by it rather than divide.
inline constexpr double himetricPerInchInverse = 0.0003937007874015748;

// Displayed size in window pixels: the whole part of dpi x himetric x zoom / 2540, evaluated
// left to right in double (the integer product first). Kept within int range so extreme zooms
// can't overflow; a NaN zoom gives 0.
int displayedSize(int dpi, int himetric, double zoom);

// Natural size in pixels to the nearest pixel, as the report header quotes it.
int naturalSize(int dpi, int himetric);

// The HIMETRIC size for a picture `pixels` wide at `dpi`: the smallest value whose displayed size
// at zoom 1 is exactly `pixels` (plain rounding of pixels x 2540 / dpi comes out one pixel short
// for many sizes). Being the smallest, its natural size rounds to `pixels` as well.
int pixelsToHimetric(int pixels, int dpi);
