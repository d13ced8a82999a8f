// Sizing release folders: the tree walk of each entry one after the other on one thread, against the
// window's background sizer.
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include <QEventLoop>

#include "scan/empty_folder.h"
#include "scan/sweep_session.h"
#include "temp_dir.h"
#include "widgets/background_sizer.h"

namespace {

constexpr int kFolders = 1000;
constexpr int kFilesPerFolder = 300;

// 1,000 release folders, each a small tree as an unpacked release has: 300 files in a few subfolders.
const std::vector<versweep::EntryPath>& ReleaseTrees()
{
    static std::unique_ptr<versweep::test::TempDir> root;
    static std::vector<versweep::EntryPath> paths;
    if (!root) {
        root = std::make_unique<versweep::test::TempDir>();
        for (int folder = 0; folder < kFolders; ++folder) {
            const std::string name =
                "Release" + std::to_string(folder) + ".v1." + std::to_string(folder % 9) + "-GRP";
            for (int file = 0; file < kFilesPerFolder; ++file) {
                root->MakeFile(name + "/part" + std::to_string(file % 6) + "/file" + std::to_string(file) + ".dat",
                               static_cast<std::uint64_t>(1000 + file));
            }
            paths.push_back({static_cast<versweep::EntryId>(folder), *root / name});
        }
    }
    return paths;
}

void OneThread(benchmark::State& state)
{
    const std::vector<versweep::EntryPath>& paths = ReleaseTrees();
    for (auto _ : state) {
        std::int64_t total = 0;
        for (const versweep::EntryPath& entry : paths)
            total += versweep::FolderSize(entry.path, 0).bytes;
        benchmark::DoNotOptimize(total);
    }
}

void BackgroundSizer(benchmark::State& state)
{
    const std::vector<versweep::EntryPath>& paths = ReleaseTrees();
    versweep::BackgroundSizer sizer;
    for (auto _ : state) {
        QEventLoop loop;
        QObject::connect(&sizer, &versweep::BackgroundSizer::finished, &loop, &QEventLoop::quit);
        sizer.start(paths);
        loop.exec();
    }
}

BENCHMARK(OneThread)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BackgroundSizer)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
