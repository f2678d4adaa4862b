#pragma once

// Logical pixels per inch of the display (LOGPIXELSX/Y), 96 when no screen is known.
int displayDpiX();
int displayDpiY();
