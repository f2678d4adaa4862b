#pragma once

#include "analysis/Stretch.h"

class QSettings;

// The display stretch kept between sessions, in the "Display" group of the settings. Values out
// of range (an edited file, a later version's choice) fall back to the defaults.
StretchSettings readStretchSettings(QSettings& settings);
void writeStretchSettings(QSettings& settings, const StretchSettings& stretch);
