// Putting a folder's entries in the lists' order and showing them in the listing.
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <benchmark/benchmark.h>

#include "listing/listing.h"
#include "listing/listing_pass.h"
#include "platform/collation.h"

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

void SortAndShow(benchmark::State& state)
{
    const std::vector<std::string> names = ReleaseNames(static_cast<std::size_t>(state.range(0)));
    versweep::platform::Collation collation("en_US");
    versweep::Listing listing;
    for (auto _ : state) {
        versweep::ListedFolder listed;
        listed.entries.resize(names.size());
        for (std::size_t i = 0; i < names.size(); ++i)
            listed.entries[i].name = names[i];
        versweep::SortForLists(listed.entries, collation);
        listing.Show(std::move(listed));
        benchmark::DoNotOptimize(listing.Entries().size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(SortAndShow)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

} // namespace
