// The view's display step (RenderCurrent + PresentWork) on the real 1024 x 1024 LASCO frame in a
// 1600 x 1000 client, against the baseline of one memcpy of a surface of that size. The ratios
// are read off one run: README.md lists the goals.
#include "BenchView.h"
#include "viewer/CoordinateModel.h"
#include "viewer/SkyrakeView.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QMainWindow>
#include <QPainter>

#include <cstring>
#include <memory>

namespace {

constexpr int clientWidth = 1600;
constexpr int clientHeight = 1000;

// One window for every benchmark: the view in a main window with its status panes, painted
// once, the LASCO frame current.
struct ViewBench : BenchView
{
    ViewBench() : BenchView(clientWidth, clientHeight, 1) {}

    // Back to the start state between benchmarks: zoom 1, no offset, every channel shown.
    void reset()
    {
        view->setPlacement(Placement{});
        if (!view->channels().red)
            view->OnChannelRed();
        view->setGridShown(true);
    }
};

void zoom(CSkyrakeView& view, double factor)
{
    Placement placement;
    placement.setZoom(factor);
    view.setPlacement(placement);
}

ViewBench& bench()
{
    // Kept to the end of the process: a static widget would be destroyed after the application.
    static ViewBench* instance = new ViewBench;
    instance->reset();
    return *instance;
}

// The window's own paint (the window image copied to the screen) follows each step from the
// event loop. Left pending, it would run inside the next step, when pane 3's immediate repaint
// flushes the whole window, so it is done here with the clock stopped; BM_DisplayAndPaint
// measures a step with it.
void paintWindow(benchmark::State& state, QWidget& window)
{
    state.PauseTiming();
    window.repaint();
    state.ResumeTiming();
}

void displayStep(benchmark::State& state, CSkyrakeView* view, QWidget& window)
{
    for (auto _ : state) {
        const bool rendered = view->RenderCurrent();
        benchmark::DoNotOptimize(rendered);
        view->PresentWork();
        benchmark::ClobberMemory();
        paintWindow(state, window);
    }
}

void BM_Baseline_Memcpy1600x1000(benchmark::State& state)
{
    QImage from(clientWidth, clientHeight, QImage::Format_RGB32);
    QImage to(clientWidth, clientHeight, QImage::Format_RGB32);
    from.fill(Qt::darkGray);
    to.fill(Qt::black);
    const size_t bytes = size_t(from.sizeInBytes());
    for (auto _ : state) {
        std::memcpy(to.bits(), from.constBits(), bytes);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Baseline_Memcpy1600x1000)->Unit(benchmark::kMicrosecond);

void BM_Display_Zoom1(benchmark::State& state)
{
    ViewBench& b = bench();
    displayStep(state, b.view, b.window);
}
BENCHMARK(BM_Display_Zoom1)->Unit(benchmark::kMicrosecond);

void BM_Display_Zoom1_RedHidden(benchmark::State& state)
{
    ViewBench& b = bench();
    CSkyrakeView* view = b.view;
    view->OnChannelRed();
    displayStep(state, view, b.window);
}
BENCHMARK(BM_Display_Zoom1_RedHidden)->Unit(benchmark::kMicrosecond);

// The same step with a display stretch in force (linear between zscale limits).
void BM_Display_Zoom1_Stretched(benchmark::State& state)
{
    ViewBench& b = bench();
    CSkyrakeView* view = b.view;
    view->setStretchSettings({StretchCurve::Linear, StretchLimits::ZScale, 99.5, false});
    displayStep(state, view, b.window);
    view->setStretchSettings({});
}
BENCHMARK(BM_Display_Zoom1_Stretched)->Unit(benchmark::kMicrosecond);

void BM_Display_Zoom3_375(benchmark::State& state)
{
    ViewBench& b = bench();
    CSkyrakeView* view = b.view;
    zoom(*view, 1.5 * 1.5 * 1.5);
    displayStep(state, view, b.window);
}
BENCHMARK(BM_Display_Zoom3_375)->Unit(benchmark::kMicrosecond);

void BM_Display_Zoom0_444(benchmark::State& state)
{
    ViewBench& b = bench();
    CSkyrakeView* view = b.view;
    zoom(*view, 0.6666666666666666 * 0.6666666666666666);
    displayStep(state, view, b.window);
}
BENCHMARK(BM_Display_Zoom0_444)->Unit(benchmark::kMicrosecond);

// One pointer move of a drag: the offsets follow the pointer, then a full render and copy.
void BM_DragStep(benchmark::State& state)
{
    ViewBench& b = bench();
    CSkyrakeView* view = b.view;
    view->OnLButtonDown(QPoint(800, 500));
    int step = 0;
    for (auto _ : state) {
        // Alternate between two points so every move changes the offsets.
        view->OnMouseMove(QPoint(800 + (step & 1 ? 7 : -7), 500 + (step & 1 ? 5 : -5)));
        ++step;
        benchmark::ClobberMemory();
        paintWindow(state, b.window);
    }
    view->OnLButtonUp();
}
BENCHMARK(BM_DragStep)->Unit(benchmark::kMicrosecond);

// A display step followed by the window's paint, as the user sees it: the step and one more
// client-sized copy to the screen.
void BM_DisplayAndPaint_Zoom1(benchmark::State& state)
{
    ViewBench& b = bench();
    for (auto _ : state) {
        b.view->RenderCurrent();
        b.view->PresentWork();
        b.window.repaint();
    }
}
BENCHMARK(BM_DisplayAndPaint_Zoom1)->Unit(benchmark::kMicrosecond);

} // namespace

// The parts of a display step, to see what bounds it.
namespace {

const QRect client(0, 0, clientWidth, clientHeight);

void BM_Part_FillWork(benchmark::State& state)
{
    Surface work(clientWidth, clientHeight);
    for (auto _ : state) {
        work.fill(client, qRgb(0, 0, 0));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Part_FillWork)->Unit(benchmark::kMicrosecond);

void BM_Part_CopyToWindow(benchmark::State& state)
{
    Surface work(clientWidth, clientHeight);
    Surface window(clientWidth, clientHeight);
    for (auto _ : state) {
        blit(window, client, work, RasterOp::Copy);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Part_CopyToWindow)->Unit(benchmark::kMicrosecond);

void BM_Part_RenderPicture(benchmark::State& state)
{
    const Picture& picture = *PictureList::GetAt(bench().view->pictures().GetHeadPosition())->m_pPicture;
    Surface work(clientWidth, clientHeight);
    const int w = picture.himetricWidth();
    const int h = picture.himetricHeight();
    for (auto _ : state) {
        picture.render(work, 0, 0, 1024, 1024, 0, h, w, -h);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Part_RenderPicture)->Unit(benchmark::kMicrosecond);

void BM_Part_Grid(benchmark::State& state)
{
    CSkyrakeView* view = bench().view;
    Surface window(clientWidth, clientHeight);
    for (auto _ : state) {
        QPainter painter(&window.image());
        view->DrawGrid(painter);
    }
}
BENCHMARK(BM_Part_Grid)->Unit(benchmark::kMicrosecond);

} // namespace

namespace {
void BM_Part_PaneText(benchmark::State& state)
{
    ViewBench& b = bench();
    for (auto _ : state)
        b.panes->setPaneText(Pane::Name, QStringLiteral("lasco_c3_20130513_1654_1024.jpg"));
}
BENCHMARK(BM_Part_PaneText)->Unit(benchmark::kMicrosecond);

void BM_Part_GridLinesOnly(benchmark::State& state)
{
    Surface window(clientWidth, clientHeight);
    for (auto _ : state) {
        QPainter painter(&window.image());
        painter.setPen(QColor(0x80, 0x80, 0x80));
        for (const GridLine& line : gridLines(0, 100, clientWidth))
            painter.drawLine(line.position, 0, line.position, clientHeight - 1);
        for (const GridLine& line : gridLines(0, 100, clientHeight))
            painter.drawLine(0, line.position, clientWidth - 1, line.position);
    }
}
BENCHMARK(BM_Part_GridLinesOnly)->Unit(benchmark::kMicrosecond);
} // namespace
