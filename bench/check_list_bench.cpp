// Filling the check list: one bulk add against one sorted add per name.
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "widgets/check_list.h"

namespace {

// Release-like folder names in varied case, e.g. "Deep.Space.Miner.v2.14-GRP".
std::vector<std::string> ReleaseNames(std::size_t count)
{
    static const char* const words[] = {"Deep",     "space", "MINER",  "Photo", "studio",    "Net", "Tool",  "Pro",
                                        "ultimate", "Suite", "Office", "video", "CONVERTER", "Zip", "editor"};
    static const char* const groups[] = {"GRP", "grp", "TeamX", "CORE", "zwt", "Lz0"};
    std::mt19937 random(42);
    std::vector<std::string> names;
    names.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::string name;
        for (unsigned w = 0, n = 1 + random() % 3; w < n; ++w) {
            name.append(words[random() % std::size(words)]).append(".");
        }
        name.append("v").append(std::to_string(random() % 10)).append(".");
        name.append(std::to_string(random() % 100)).append("-").append(groups[random() % std::size(groups)]);
        names.push_back(std::move(name));
    }
    return names;
}

void AddItemsInBulk(benchmark::State& state)
{
    const std::vector<std::string> names = ReleaseNames(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        versweep::CheckList list("en_US");
        list.AddGroupHeader("/srv/releases");
        list.AddItems(names);
        benchmark::DoNotOptimize(list.ItemCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(AddItemsInBulk)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

void AddItemOneByOne(benchmark::State& state)
{
    const std::vector<std::string> names = ReleaseNames(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        versweep::CheckList list("en_US");
        list.AddGroupHeader("/srv/releases");
        for (const std::string& name : names) {
            list.AddItem(name);
        }
        benchmark::DoNotOptimize(list.ItemCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(AddItemOneByOne)->Arg(10'000)->Unit(benchmark::kMillisecond);

} // namespace
