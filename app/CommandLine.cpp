#include "app/CommandLine.h"

#include "analysis/Composite.h"
#include "analysis/SequenceStretch.h"
#include "analysis/SungrazerReport.h"
#include "analysis/search/MoverSearch.h"
#include "app/ScanConfirm.h"
#include "app/ScanCutouts.h"
#include "feeds/Feed.h"
#include "model/OpenFrames.h"
#include "model/SkyrakeWork.h"
#include "pictures/DecodeAhead.h"
#include "platform/Language.h"
#include "viewer/SkyrakeView.h"

#include <QTextStream>
#include <QUrl>

#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

void printError(const QString& text)
{
    std::fprintf(stderr, "skyrake: %s\n", text.toLocal8Bit().constData());
}

// A time as the command line gives it: YYYY-MM-DDTHH:MM, UT.
std::optional<QDateTime> timeFrom(const QString& text)
{
    const QDateTime time = QDateTime::fromString(text, QStringLiteral("yyyy-MM-ddTHH:mm"));
    if (!time.isValid())
        return std::nullopt;
    return QDateTime(time.date(), time.time(), Qt::UTC);
}

// The fetch's options; true when `arguments[i]` was one (its value taken, any fault in `line.error`).
bool readFetchOption(const QStringList& arguments, qsizetype& i, CommandLine& line)
{
    static const QStringList options = {QStringLiteral("--fetch"), QStringLiteral("--last"),
                                        QStringLiteral("--from"),  QStringLiteral("--to"),
                                        QStringLiteral("--size"),  QStringLiteral("--into"),
                                        QStringLiteral("--source")};
    const QString option = arguments[i];
    if (!options.contains(option) && option != QLatin1String("--refresh"))
        return false;
    if (!line.fetch)
        line.fetch.emplace();
    FetchLine& fetch = *line.fetch;
    if (option == QLatin1String("--refresh")) {
        fetch.refresh = true;
        return true;
    }
    if (i + 1 >= arguments.size()) {
        line.error = QStringLiteral("%1 needs a value").arg(option);
        return true;
    }
    const QString value = arguments[++i];
    bool ok = true;
    if (option == QLatin1String("--fetch")) {
        fetch.feed = value.toLower();
        ok = feedNamed(value).has_value();
    } else if (option == QLatin1String("--last")) {
        fetch.last = value.toInt(&ok);
        ok = ok && fetch.last >= 1 && fetch.last <= 10000;
    } else if (option == QLatin1String("--from") || option == QLatin1String("--to")) {
        const std::optional<QDateTime> time = timeFrom(value);
        ok = time.has_value();
        if (ok && option == QLatin1String("--from"))
            fetch.from = time;
        else if (ok)
            fetch.to = *time;
    } else if (option == QLatin1String("--size")) {
        fetch.size = value.toInt(&ok);
        ok = ok && (fetch.size == 512 || fetch.size == 1024);
    } else if (option == QLatin1String("--into")) {
        fetch.into = value;
        ok = !value.isEmpty();
    } else {
        fetch.source = value;
        const QUrl url(value);
        ok = url.isValid() &&
             (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
    }
    if (!ok)
        line.error = QStringLiteral("%1 %2: not a valid value").arg(option, value);
    return true;
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments)
{
    CommandLine line;
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            line.pictures << argument;
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            line.showHelp = true;
        } else if (argument == QLatin1String("--version")) {
            line.showVersion = true;
        } else if (argument == QLatin1String("--composite")) {
            if (i + 1 >= arguments.size()) {
                line.error = QStringLiteral("--composite needs an output file");
                return line;
            }
            line.compositeOut = arguments[++i];
        } else if (argument.startsWith(QLatin1String("--composite="))) {
            line.compositeOut = argument.mid(12);
        } else if (argument == QLatin1String("--lang") || argument.startsWith(QLatin1String("--lang="))) {
            if (argument == QLatin1String("--lang") && i + 1 >= arguments.size()) {
                line.error = QStringLiteral("--lang needs a language: zh or en");
                return line;
            }
            line.language = argument == QLatin1String("--lang") ? arguments[++i] : argument.mid(7);
            if (!interfaceLanguages().contains(line.language)) {
                line.error = QStringLiteral("unknown language %1 (zh or en)").arg(line.language);
                return line;
            }
        } else if (readFetchOption(arguments, i, line)) {
            continue;
        } else if (argument == QLatin1String("--scan")) {
            line.scan = true;
        } else if (argument == QLatin1String("--sky")) {
            line.sky = true;
        } else if (argument == QLatin1String("--sweep")) {
            line.sweep = true;
        } else if (argument == QLatin1String("--merge")) {
            line.merge = true;
        } else if (argument == QLatin1String("--db") || argument == QLatin1String("--csv") ||
                   argument == QLatin1String("--plan") || argument == QLatin1String("--list")) {
            if (i + 1 >= arguments.size()) {
                line.error = QStringLiteral("%1 needs a file").arg(argument);
                return line;
            }
            (argument == QLatin1String("--db")     ? line.database
             : argument == QLatin1String("--csv")  ? line.csvOut
             : argument == QLatin1String("--list") ? line.mergeList
                                                   : line.planFile) = arguments[++i];
        } else if (argument == QLatin1String("--window")) {
            bool ok = false;
            line.window = i + 1 < arguments.size() ? arguments[++i].toInt(&ok) : -1;
            if (!ok || *line.window < 0) {
                line.error = QStringLiteral("--window needs a window's number, 0 and up");
                return line;
            }
        } else if (argument == QLatin1String("--sungrazer")) {
            line.sungrazer = true;
        } else if (argument == QLatin1String("--confirm-in")) {
            if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
                line.error = QStringLiteral("--confirm-in needs a folder");
                return line;
            }
            line.confirmIn = arguments[++i];
        } else if (argument == QLatin1String("--cutouts") ||
                   argument.startsWith(QLatin1String("--cutouts="))) {
            if (argument == QLatin1String("--cutouts") && i + 1 >= arguments.size()) {
                line.error = QStringLiteral("--cutouts needs a folder");
                return line;
            }
            line.cutoutsDir = argument == QLatin1String("--cutouts") ? arguments[++i] : argument.mid(10);
            if (line.cutoutsDir.isEmpty()) {
                line.error = QStringLiteral("--cutouts needs a folder");
                return line;
            }
        } else {
            line.error = QStringLiteral("unknown option %1").arg(argument);
            return line;
        }
    }
    if (!line.compositeOut.isEmpty() && line.pictures.size() < 2 && !line.showHelp && !line.showVersion)
        line.error = QStringLiteral("--composite needs at least two pictures");
    if (line.sungrazer && !line.scan)
        line.error = QStringLiteral("--sungrazer goes with --scan");
    if (!line.cutoutsDir.isEmpty() && !line.scan && !line.sweep)
        line.error = QStringLiteral("--cutouts goes with --scan or --sweep");
    if (!line.confirmIn.isEmpty() && (!line.scan || line.sungrazer || line.fetch) && line.error.isEmpty())
        line.error = QStringLiteral("--confirm-in goes with --scan, without --sungrazer or --fetch");
    if (line.scan && !line.compositeOut.isEmpty())
        line.error = QStringLiteral("--scan and --composite do not go together");
    if (line.sky && (line.scan || !line.compositeOut.isEmpty() || line.fetch))
        line.error = QStringLiteral("--sky goes with no --scan, --composite or --fetch");
    if (line.sky && line.pictures.isEmpty() && line.error.isEmpty())
        line.error = QStringLiteral("--sky needs at least one frame");
    const bool oneWindow = line.window && !line.planFile.isEmpty();
    if (line.sweep &&
        ((line.pictures.isEmpty() && !oneWindow && line.mergeList.isEmpty()) || line.scan || line.sky ||
         line.fetch || !line.compositeOut.isEmpty()) &&
        line.error.isEmpty())
        line.error =
            QStringLiteral("--sweep needs folders (or --plan and --window), and no --scan, --sky, --fetch "
                           "or --composite");
    if (line.sweep && line.window && line.planFile.isEmpty() && line.error.isEmpty())
        line.error = QStringLiteral("--window goes with --plan");
    if (line.sweep && line.merge && line.database.isEmpty() && line.error.isEmpty())
        line.error = QStringLiteral("--merge needs --db for the merged database");
    if (!line.mergeList.isEmpty() && !line.merge && line.error.isEmpty())
        line.error = QStringLiteral("--list goes with --merge");
    if (!line.sweep &&
        (!line.database.isEmpty() || !line.csvOut.isEmpty() || !line.planFile.isEmpty() || line.window ||
         line.merge) &&
        line.error.isEmpty())
        line.error = QStringLiteral("--db, --csv, --plan, --window and --merge go with --sweep");
    if (line.fetch && line.fetch->feed.isEmpty() && line.error.isEmpty())
        line.error = QStringLiteral("--fetch needs a feed: %1").arg(feedKeys());
    if (line.fetch && (!line.pictures.isEmpty() || !line.compositeOut.isEmpty()) && line.error.isEmpty())
        line.error = QStringLiteral("--fetch takes no pictures and no --composite");
    return line;
}

QString helpText()
{
    return QStringLiteral(
        "Usage: skyrake [OPTIONS] [PICTURE...]\n"
        "Blink, compare and measure a sequence of coronagraph pictures (JPEG, GIF, PNG or FITS).\n"
        "\n"
        "Pictures named on the command line are loaded in the given order and the first is shown.\n"
        "A file that gives no picture is skipped and named on standard error with the reason,\n"
        "as in \"skyrake: frames/0612.jpg: cut off\".\n"
        "\n"
        "Options:\n"
        "  --composite OUT.png  write the difference composite of the pictures (the first is the\n"
        "                       reference) at zoom 1 to OUT.png and exit, without a window\n"
        "  --scan               search the pictures (at least four of one size) for objects moving\n"
        "                       steadily in a straight line; print one line per candidate and frame,\n"
        "                       best first: N, frame name, x, y (1-based picture pixels) and score,\n"
        "                       separated by tabs; exit without a window\n"
        "  --sungrazer          with --scan: print the best candidate's Sungrazer report instead\n"
        "  --cutouts DIR        with --scan: also write DIR/candidate-N.gif for each candidate N, its\n"
        "                       64x64-pixel cutouts of every frame around its track, enlarged four\n"
        "                       times and looping at 500 ms a frame (DIR is created if needed)\n"
        "  --confirm-in DIR     with --scan: look for each candidate in DIR's frames, another camera's\n"
        "                       of the same hours, where that camera would see it from its own place,\n"
        "                       and print its lines on those frames too where it is seen there\n"
        "  --fetch FEED         fetch frames of FEED from its archive into the frame library (or\n"
        "                       --into DIR), print the local path of each, in time order, and exit;\n"
        "                       with --scan, then search them. FEED: c2, c3 (SOHO LASCO browse\n"
        "                       JPEGs); lasco-fits-c2, lasco-fits-c3 (LASCO level-0.5 FITS, the time\n"
        "                       read from each header with a Range request); ccor1 (GOES-19 CCOR-1\n"
        "                       JPEGs), ccor1-l1b, ccor1-l3 (its level-1b and level-3 FITS); ccor2\n"
        "                       (SWFO-L1 CCOR-2 JPEGs); punch-nfi, punch-mosaic (PUNCH level-3 FITS,\n"
        "                       the latest version of each frame)\n"
        "    --last N           the latest N frames (default 10) up to --to, or now\n"
        "    --from TIME        every frame from TIME up to --to (TIME: YYYY-MM-DDTHH:MM, UT)\n"
        "    --to TIME          the request's last time (default: now)\n"
        "    --size 512|1024    the frames' size (default 1024; c2 and c3 only)\n"
        "    --into DIR         the frames straight into DIR instead of the frame library\n"
        "    --source URL       the archive's address for this run (a mirror)\n"
        "    --refresh          ask for the day folders' lists again, even within 15 minutes\n"
        "  --sky                print for each frame NAME, the sun's centre X and Y (1-based picture\n"
        "                       pixels), arcseconds per pixel and how they are known (header, disc or\n"
        "                       none), tab-separated, then NAME, BODY, X and Y for each planet and known\n"
        "                       comet in its field, and exit\n"
        "  --sweep DIR...       search every window of 8 frames (overlapping by 4) of the frames under\n"
        "                       the folders, by camera and size; results in an SQLite database; an\n"
        "                       interrupted sweep goes on where it stopped; progress on stderr; one\n"
        "                       sweep writes a database at a time; exit 0 when every window was\n"
        "                       searched, 3 when frames could not be decoded (named) or windows had\n"
        "                       too few, 1 when the results could not be stored\n"
        "    --db FILE          the database (default: skyrake-sweep.sqlite here)\n"
        "    --csv FILE         also write the tracks found: TRACK,SCORE,SPEED,ANGLE,FRAMES,FIRST,\n"
        "                       LAST,POSITIONS\n"
        "    --plan FILE        with folders: write the windows to FILE, one a line, and exit;\n"
        "    --window K         with --plan FILE: search window K (from 0) alone, as a cluster task\n"
        "    --merge DB...      merge the tasks' databases into --db, as one sweep would have stored them\n"
        "      --list FILE      the databases to merge, one a line, in any order (for many)\n"
        "    --cutouts DIR      also write DIR/track-N.gif for each track, its cutouts looping; with\n"
        "                       --csv, their paths in a last column\n"
        "  --lang zh|en         show the interface in Chinese (zh) or English (en) instead of the\n"
        "                       language chosen in the View menu or, by default, the system's\n"
        "  -h, --help           show this help and exit\n"
        "  --version            show the version and exit\n");
}

namespace {

// Decodes `paths` in order on worker threads and hands each readable picture to `take`; a file
// that can't be decoded is skipped and named on standard error with the reason.
void loadInOrder(const QStringList& paths, int dpiX, int dpiY,
                 const std::function<void(LoadedPicture, const QString& path)>& take)
{
    DecodeAhead decoder(paths, dpiX, dpiY);
    for (qsizetype i = 0; i < paths.size(); ++i) {
        LoadResult loaded = decoder.take(i, paths.size());
        if (loaded)
            take(std::move(*loaded), paths[i]);
        else
            printError(
                QStringLiteral("%1: %2").arg(paths[i], QLatin1String(loadFailureText(loaded.failure()))));
    }
}

} // namespace

void appendPictures(CSkyrakeView& view, const QStringList& paths)
{
    QStringList skipped;
    appendFrames(view, paths, view.dpiX(), view.dpiY(), &skipped);
    for (const QString& file : skipped)
        printError(file);
    view.ShowFirst();
}

int runScan(const QStringList& pictures, bool sungrazer, const QString& cutoutsDir, const QString& confirmIn)
{
    // No display: pictures sized for 96 pixels per inch, as the composite does.
    constexpr int dpi = 96;
    SkyrakeWork work;
    // The frames as an archive served them: in time order, each once, of one size.
    for (const QString& note : appendArranged(work, pictures, dpi, dpi))
        printError(note);
    const SearchSnapshot snapshot = work.searchSnapshot();
    const std::vector<Candidate> found = runSearch(snapshot);
    const QStringList names = work.frameNames();
    QTextStream out(stdout);
    if (sungrazer && !found.empty()) {
        // The best track's positions as the frames' measurements.
        for (int i = 0; i < int(snapshot.frames.size()); ++i) {
            const QPointF at = found.front().positions[size_t(i)];
            work.setMeasurement(i, at, at, true);
        }
        out << sungrazerReport(work.measurements(), {});
    }
    for (size_t n = 0; n < found.size() && !sungrazer; ++n) {
        for (size_t i = 0; i < found[n].positions.size() && i < snapshot.frames.size(); ++i) {
            const QPointF at = oneBased(found[n].positions[i]);
            out << n + 1 << '\t' << names[qsizetype(i)] << '\t' << QString::number(at.x(), 'f', 1) << '\t'
                << QString::number(at.y(), 'f', 1) << '\t' << QString::number(found[n].score, 'f', 1) << '\n';
        }
    }
    if (!confirmIn.isEmpty())
        confirmInOtherCamera(work, found, confirmIn, out);
    out.flush();
    if (cutoutsDir.isEmpty())
        return 0;
    // The cutouts show the frames as the window does: 8-bit pictures as decoded, FITS frames
    // through the sequence's stretch.
    return writeCutoutGifs(cutoutsDir, work.shownFrames(), found) ? 0 : 1;
}

int runHeadlessComposite(const QString& out, const QStringList& pictures)
{
    // No display: pictures are sized for the usual 96 pixels per inch, which shows them at
    // exactly their pixel size at zoom 1, as a window would.
    constexpr int dpi = 96;
    std::vector<std::unique_ptr<Picture>> frames;
    loadInOrder(pictures, dpi, dpi, [&frames](LoadedPicture loaded, const QString&) {
        frames.push_back(std::move(loaded.picture));
    });
    if (frames.size() < 2) {
        printError(QStringLiteral("the composite needs at least two readable pictures"));
        return 1;
    }
    std::vector<const Picture*> sequence;
    for (const auto& frame : frames)
        sequence.push_back(frame.get());
    // As the window shows them at start: 8-bit pictures as decoded, FITS frames through the
    // sequence's stretch.
    SequenceStretch stretch;
    stretch.measure(sequence);
    std::vector<std::shared_ptr<const Picture>> stretched;
    for (const Picture*& frame : sequence) {
        if (std::shared_ptr<const Picture> shown = stretch.shownOf(*frame)) {
            stretched.push_back(std::move(shown));
            frame = stretched.back().get();
        }
    }
    const QImage composite = differenceComposite(sequence, dpi, dpi);
    // Quality 89 is zlib's fastest level in Qt's PNG writer: a file about a quarter larger than at
    // the default level, written in a third of the time, which is most of this command's own work.
    constexpr int fastPng = 89;
    if (composite.isNull() || !composite.save(out, nullptr, fastPng)) {
        printError(QStringLiteral("cannot write %1").arg(out));
        return 1;
    }
    return 0;
}
