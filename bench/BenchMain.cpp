// Entry point of the benchmarks: a QApplication on the offscreen platform (the view benchmarks
// need widgets), then Google Benchmark.
#include <benchmark/benchmark.h>

#include "platform/HeapBlocks.h"

#include <QApplication>

int main(int argc, char** argv)
{
    keepLargeBlocksInHeap(); // as the program does
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
