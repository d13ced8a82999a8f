// Moving a batch of 1,000 entries to the trash and back, into a trash that is empty or already holds
// 10,000 items: the cost per entry must not grow with what the trash holds.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "scan/trash_batch.h"
#include "temp_dir.h"

namespace {

constexpr int kEntries = 1000;

// A private home whose trash holds `items` earlier entries (written as the trash writes them), and a folder
// to fill with release folders. Made once per trash size: GIO reads the data folder once per process, so
// every trash size lives under the one private data folder and differs by the items put in it.
struct Scene
{
    versweep::test::TempDir home;
    std::string trash;
    std::string folder;
    std::string record;
};

Scene& SceneWith(int items)
{
    static std::unique_ptr<Scene> scene;
    static int filled = 0;
    if (!scene) {
        scene = std::make_unique<Scene>();
        ::setenv("HOME", scene->home.Path().c_str(), 1);
        ::setenv("XDG_DATA_HOME", (scene->home / "data").c_str(), 1);
        scene->trash = scene->home / "data/Trash";
        scene->folder = scene->home / "organise";
        scene->record = scene->home / "state/last-trash-batch";
        scene->home.MakeDir("data/Trash/files");
        scene->home.MakeDir("data/Trash/info");
        scene->home.MakeDir("organise");
    }
    for (; filled < items; ++filled) {
        const std::string name = "Earlier.Title" + std::to_string(filled) + ".v1.0-OLD";
        scene->home.MakeDir("data/Trash/files/" + name);
        std::ofstream(scene->trash + "/info/" + name + ".trashinfo")
            << "[Trash Info]\nPath=/old/" << name << "\nDeletionDate=2024-01-01T00:00:00\n";
    }
    return *scene;
}

std::vector<versweep::BatchEntry> MakeEntries(const Scene& scene)
{
    std::vector<versweep::BatchEntry> entries;
    for (int i = 0; i < kEntries; ++i) {
        const std::string name = "Release.Title" + std::to_string(i) + ".v1." + std::to_string(i % 9) + "-GRP";
        scene.home.MakeFile("organise/" + name + "/setup.exe", 100);
        entries.push_back(versweep::BatchEntry{name, {}});
    }
    return entries;
}

void MoveToTrash(benchmark::State& state)
{
    const Scene& scene = SceneWith(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        const std::vector<versweep::BatchEntry> entries = MakeEntries(scene);
        state.ResumeTiming();
        benchmark::DoNotOptimize(versweep::TrashEntries(scene.folder, entries, scene.record));
        state.PauseTiming();
        versweep::UndoLastBatch(scene.record);
        std::filesystem::remove_all(scene.folder);
        scene.home.MakeDir("organise");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
}

void UndoFromTrash(benchmark::State& state)
{
    const Scene& scene = SceneWith(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        versweep::TrashEntries(scene.folder, MakeEntries(scene), scene.record);
        state.ResumeTiming();
        benchmark::DoNotOptimize(versweep::UndoLastBatch(scene.record));
        state.PauseTiming();
        std::filesystem::remove_all(scene.folder);
        scene.home.MakeDir("organise");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
}

// Benchmarks run in the order registered; the empty trash comes first, as the scene only ever grows.
BENCHMARK(MoveToTrash)->Arg(0)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(UndoFromTrash)->Arg(0)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(MoveToTrash)->Arg(10'000)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(UndoFromTrash)->Arg(10'000)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
