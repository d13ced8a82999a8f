// The window's listing pass (the pass, the model's reset and the view's layout and paint, offscreen)
// against the windowless pass on the same folder.
#include <map>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include <QApplication>

#include "app/quarry_manager.h"
#include "ini/ini_file.h"
#include "scan/refresh_list.h"
#include "temp_dir.h"
#include "widgets/check_list.h"

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

class NoMenu final : public versweep::GroupMenuSink
{
public:
    void ClearGroupMenu() override {}
    void AddGroupEntry(const std::string& /*tag*/) override {}
};

void WindowlessPass(benchmark::State& state)
{
    const versweep::test::TempDir& folder = ReleaseFolder(static_cast<int>(state.range(0)));
    const versweep::IniFile settings(folder / "missing.ini");
    versweep::CheckList list;
    NoMenu menu;
    for (auto _ : state)
        benchmark::DoNotOptimize(versweep::RefreshList(list, folder.Path(), settings, {}, menu));
    state.counters["entries"] = list.ItemCount() - 1;
}

// The real window on the same folder: every pass ends when the view has laid out and painted the rows.
void WindowPass(benchmark::State& state)
{
    const versweep::test::TempDir& folder = ReleaseFolder(static_cast<int>(state.range(0)));
    const versweep::test::TempDir settingsFolder;
    const std::string settings = settingsFolder / "versweep.ini";
    versweep::IniFile(settings).WriteString("CONFIG", "vPath", folder.Path());
    versweep::QuarryManagerFm window(settings);
    window.show();
    QApplication::processEvents();
    for (auto _ : state) {
        window.RefreshList();
        QApplication::processEvents();
    }
}

BENCHMARK(WindowlessPass)->Arg(16000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(WindowPass)->Arg(16000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
