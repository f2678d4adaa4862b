#pragma once

inline constexpr char injectUsage[] =
    "       skyrake-sample --inject OUTPUT_DIR [OPTION...] FRAME...\n"
    "  Injects one comet into real frames of one field (two or more, in time order) and writes them\n"
    "  into OUTPUT_DIR under their own names: a GIF losslessly, a JPEG at its own quality, any other\n"
    "  picture as PNG. comet.txt gives the head's centre in each frame, in 1-based picture pixels.\n"
    "  The frames' times come from their names (LASCO's YYYYMMDD_HHMM_...), else 12 minutes apart.\n"
    "  --peak K        the head's peak in sigmas of the frames' noise about the track (default 5)\n"
    "  --speed V       pixels per hour (default: drawn as sungrazers move in the camera)\n"
    "  --at X,Y        the head in the first frame, 1-based pixels; it then heads for the Sun\n"
    "                  (default: a track drawn in the field)\n"
    "  --sun X,Y       the Sun's centre, 1-based pixels (default: the picture's centre)\n"
    "  --seed N        draws the track and speed (default 1)\n";

// Runs `skyrake-sample --inject ...` (argv[1] is --inject); the program's exit code.
int runInject(int argc, char** argv);
