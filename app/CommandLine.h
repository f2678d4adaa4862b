#pragma once

#include <QString>
#include <QStringList>

class CSkyrakeView;

// skyrake [OPTIONS] [PICTURE...]
struct CommandLine
{
    QStringList pictures; // appended as File Open appends them, in this order
    QString compositeOut; // --composite OUT.png: write the difference composite and exit
    bool showHelp = false;
    bool showVersion = false;
    QString error; // a usage error, shown with the help text
};

CommandLine parseCommandLine(const QStringList& arguments);
QString helpText();

// Appends the pictures at the tail of the view's sequence and shows the first picture of the
// sequence. A file that can't be decoded is skipped with one line on standard error.
void appendPictures(CSkyrakeView& view, const QStringList& paths);

// Writes the difference composite of `pictures` (the first is the reference) at zoom 1 and the
// first picture's size to `out`, exactly as the view composes it on screen. Returns the exit code.
int runHeadlessComposite(const QString& out, const QStringList& pictures);
