// The main of the window's benchmarks: a private home, Qt started on the offscreen platform, then Google
// Benchmark.
#include <cstdlib>

#include <benchmark/benchmark.h>

#include <QApplication>

#include "temp_dir.h"

int main(int argc, char** argv)
{
    // Nothing a benchmark moves reaches the user's trash or undo record; the trash code reads these folders
    // once per process, so they are set before anything else.
    const versweep::test::TempDir home;
    setenv("HOME", home.Path().c_str(), 1);
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    setenv("XDG_STATE_HOME", (home / "state").c_str(), 1);
    // No display is needed: the window paints into memory.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
