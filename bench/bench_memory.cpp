// Memory held by SkyRake with ten 1024x1024 pictures loaded, against what it must hold: the
// decoded pixels, the view's surfaces and the window image, plus a measured baseline of the
// empty main window. Resident memory is read from /proc; the ratio is the goal (at most 1.3).
#include "app/CommandLine.h"
#include "app/MainFrame.h"
#include "app/SkyrakeApp.h"
#include "viewer/SkyrakeView.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

double residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) : 0;
}

void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

void BM_MemoryTenPictures(benchmark::State& state)
{
    const QString source = QStringLiteral(SKYRAKE_FIXTURES "/real/lasco_c3_20130513_1654_1024.jpg");
    for (auto _ : state) {
        CSkyrakeApp app;
        app.InitInstance();
        CMainFrame* frame = app.mainFrame();
        frame->resize(1600, 1100);
        frame->show();
        settle();
        const double empty = residentBytes();

        QStringList paths;
        for (int i = 0; i < 10; ++i)
            paths << source;
        appendPictures(*frame->view(), paths);
        settle();
        const double loaded = residentBytes();

        const CSkyrakeView& view = *frame->view();
        double pixels = 0;
        for (POSITION pos = view.pictures().GetHeadPosition(); pos; pos = PictureList::next(pos))
            pixels += double(PictureList::GetAt(pos)->byteCount());
        const double surfaces = double(view.memoryInUse()) - pixels;
        // The empty window already holds its surfaces; what loading may add is the pictures.
        state.counters["empty_MB"] = empty / 1e6;
        state.counters["loaded_MB"] = loaded / 1e6;
        state.counters["pixels_MB"] = pixels / 1e6;
        state.counters["surfaces_MB"] = surfaces / 1e6;
        state.counters["ratio"] = loaded / (empty + pixels);
    }
}
// Once per process: a second round would start from the first round's heap.
BENCHMARK(BM_MemoryTenPictures)->Iterations(1)->Repetitions(1)->Unit(benchmark::kMillisecond);

} // namespace
