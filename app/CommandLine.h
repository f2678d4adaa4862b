#pragma once

#include <QString>
#include <QStringList>

class CSkyrakeView;

// skyrake [OPTIONS] [PICTURE...]
struct CommandLine
{
    QStringList pictures;   // appended as File Open appends them, in this order
    QString compositeOut;   // --composite OUT.png: write the difference composite and exit
    bool scan = false;      // --scan: print the search's candidates and exit
    bool sungrazer = false; // with --scan: print the best candidate's Sungrazer report instead
    QString cutoutsDir;     // with --scan: also write each candidate's cutouts as a GIF there
    QString language;       // --lang zh|en: the interface's language; empty for the usual choice
    bool showHelp = false;
    bool showVersion = false;
    QString error; // a usage error, shown with the help text
};

CommandLine parseCommandLine(const QStringList& arguments);
QString helpText();

// Appends the pictures at the tail of the view's sequence and shows the first picture of the
// sequence. A file that can't be decoded is skipped with one line on standard error that
// gives the reason.
void appendPictures(CSkyrakeView& view, const QStringList& paths);

// Writes the difference composite of `pictures` (the first is the reference) at zoom 1 and the
// first picture's size to `out`, exactly as the view composes it on screen. Returns the exit code.
int runHeadlessComposite(const QString& out, const QStringList& pictures);

// Searches `pictures` for movers and prints, best candidate first, one line per candidate and
// frame: "N<TAB>NAME<TAB>X<TAB>Y<TAB>SCORE" (X and Y 1-based picture positions); with
// `sungrazer`, the best candidate's Sungrazer report instead. With `cutoutsDir`, also writes
// each candidate's cutouts there as an animated GIF. Returns the exit code.
int runScan(const QStringList& pictures, bool sungrazer, const QString& cutoutsDir = {});
