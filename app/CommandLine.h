#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

class CSkyrakeView;

// skyrake --fetch FEED [--last N] [--from TIME] [--to TIME] [--size 512|1024] [--into DIR] [--source URL]
struct FetchLine
{
    QString feed; // c2, c3 or ccor1
    int last = 10;
    std::optional<QDateTime> from; // UTC
    QDateTime to;                  // UTC; invalid: now
    int size = 1024;
    QString into;
    QString source;       // the archive's base address for this run
    bool refresh = false; // --refresh: ask for the day folders' lists even within 15 minutes
};

// skyrake [OPTIONS] [PICTURE...]
struct CommandLine
{
    QStringList pictures;   // appended as File Open appends them, in this order
    QString compositeOut;   // --composite OUT.png: write the difference composite and exit
    bool scan = false;      // --scan: print the search's candidates and exit
    bool sungrazer = false; // with --scan: print the best candidate's Sungrazer report instead
    QString cutoutsDir;     // with --scan: also write each candidate's cutouts as a GIF there
    QString confirmIn;      // with --scan: --confirm-in DIR, another camera's frames of the same hours
    QString language;       // --lang zh|en: the interface's language; empty for the usual choice
    std::optional<FetchLine> fetch; // --fetch FEED ...: fetch frames, print their paths and exit
    bool sky = false;               // --sky: print each frame's geometry and the bodies in its field
    bool sweep = false;             // --sweep DIR...: search every window of the frames under the folders
    QString database;               // with --sweep: --db FILE, the results' database
    QString csvOut;                 // with --sweep: --csv FILE, the tracks found
    QString planFile;               // with --sweep: --plan FILE, the windows for a cluster's tasks
    std::optional<int> window;      // with --sweep --plan FILE: --window K, only that window
    bool merge = false;             // with --sweep: --merge DB...: the tasks' databases into --db
    QString mergeList;              // with --merge: --list FILE, the databases to merge, one a line
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
// each candidate's cutouts there as an animated GIF. With `confirmIn`, then looks for each candidate
// in the frames of that folder (another camera's) and prints its lines on them, where it is seen.
// Returns the exit code.
int runScan(const QStringList& pictures, bool sungrazer, const QString& cutoutsDir = {},
            const QString& confirmIn = {});

// Fetches the frames `fetch` asks for and prints the local path of each that is there, in time
// order, one a line; names each failure on standard error with its reason. With `scan`, then
// searches them as runScan does. Exit code 0 when at least one frame of the request is there.
int runFetch(const FetchLine& fetch, bool scan, bool sungrazer, const QString& cutoutsDir);

// Prints, for each frame, "NAME<TAB>SUNX<TAB>SUNY<TAB>ARCSEC_PER_PX<TAB>HOW" (the sun's centre in
// 1-based picture pixels; HOW header, disc or none, with "-" for what is unknown), then
// "NAME<TAB>BODY<TAB>X<TAB>Y" for each planet and known comet (from the settings) in the frame's
// field. A file that can't be read is
// named on standard error. Exit code 0 when at least one frame was read.
int runSky(const QStringList& frames);

// Sweeps the frames under the line's folders: every window of eight frames searched, the results
// in the SQLite database --db, an interrupted sweep resumed; progress on standard error; with
// --csv, the tracks written there. With --plan and folders, writes the plan instead; with --plan
// and --window K, searches that window alone; with --merge, merges the databases given into --db.
// Returns the exit code.
int runSweepCommand(const CommandLine& line);
