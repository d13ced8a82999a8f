// The window's listing pass (the pass, the model's reset and the view's layout and paint, offscreen)
// against the windowless pass on the same folder.
#include <map>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include <QApplication>

#include "app/main_window.h"
#include "ini/ini_file.h"
#include "scan/sweep_session.h"
#include "temp_dir.h"

namespace {

// A folder of `count` release folders: four versions of each title, a group tag for every fifty titles.
const versweep::test::TempDir& ReleaseFolder(int count)
{
    static std::map<int, std::unique_ptr<versweep::test::TempDir>> folders;
    std::unique_ptr<versweep::test::TempDir>& folder = folders[count];
    if (!folder) {
        folder = std::make_unique<versweep::test::TempDir>();
        for (int i = 0; i < count; ++i) {
            folder->MakeDir("Title" + std::to_string(i / 4) + ".Tool.v" + std::to_string(1 + i % 4) + "." +
                            std::to_string(i % 13) + "-GRP" + std::to_string(i / 200));
        }
    }
    return *folder;
}

void WindowlessPass(benchmark::State& state)
{
    const versweep::test::TempDir& folder = ReleaseFolder(static_cast<int>(state.range(0)));
    versweep::SweepSession session(folder / "undo");
    for (auto _ : state)
        benchmark::DoNotOptimize(session.List(folder.Path(), {}));
    state.counters["entries"] = static_cast<double>(session.CurrentListing().Entries().size());
}

// The real window on the same folder: every pass ends when its result is shown and the view has laid out and
// painted the rows.
void WindowPass(benchmark::State& state)
{
    const versweep::test::TempDir& folder = ReleaseFolder(static_cast<int>(state.range(0)));
    const versweep::test::TempDir settingsFolder;
    const std::string settings = settingsFolder / "versweep.ini";
    versweep::IniFile(settings).WriteString("CONFIG", "vPath", folder.Path());
    versweep::MainWindow window(settings);
    window.show();
    for (auto _ : state) {
        window.relist();
        while (window.isListing())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QApplication::processEvents();
    }
}

BENCHMARK(WindowlessPass)->Arg(16000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(WindowPass)->Arg(16000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
