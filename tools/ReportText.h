#pragma once

#include <QString>

// The position report's texts.

// The report's header line, and the whole report after a clear.
QString reportHeaderLine();
// One report line: "%s\t(%.0f,%.0f)\r\n" of the picture's name and its picture coordinates.
// Control characters and line separators in the name (a Linux file name may hold tabs or line
// breaks) become blanks, so that every entry stays one line of two columns.
QString reportLine(const QString& name, double x, double y);
// The size header above the report: "picture size: %d * %d\r\n\r\n".
QString reportSizeHeader(int width, int height);
