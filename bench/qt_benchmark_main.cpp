// The main of the window's benchmarks: Qt started on the offscreen platform, then Google Benchmark.
#include <cstdlib>

#include <benchmark/benchmark.h>

#include <QApplication>

int main(int argc, char** argv)
{
    // No display is needed: the window paints into memory.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
