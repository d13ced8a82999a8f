// Times the grouped marking step against the plain quadratic loop on folders of typical release names.
#include <algorithm>
#include <cstddef>
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include "listing/duplicate_marking.h"
#include "reference_marking.h"
#include "tools/text_tools.h"

namespace {

// About `perTitle` versions per title, a few entries without a version, in the case-insensitive order
// the list shows them.
versweep::MarkingInput MakeFolder(std::size_t count, std::size_t perTitle = 3)
{
    std::mt19937 random(20240531U);
    const std::size_t titles = std::max<std::size_t>(1, count / perTitle);
    std::uniform_int_distribution<std::size_t> pickTitle(0, titles - 1);
    std::uniform_int_distribution<int> pickPart(0, 12);
    std::uniform_int_distribution<int> pickStyle(0, 9);

    versweep::MarkingInput input;
    input.names.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t title = pickTitle(random);
        std::string name = "Some.Title.Number." + std::to_string(title);
        const int style = pickStyle(random);
        if (style == 0) {
            name += ".Setup-GRP";
        } else {
            name += ".v" + std::to_string(pickPart(random)) + "." + std::to_string(pickPart(random));
            if (style == 1) {
                name += ".build." + std::to_string(pickPart(random) * 100);
            }
            name += "-GRP" + std::to_string(pickPart(random));
        }
        input.names.push_back(std::move(name));
    }
    std::sort(input.names.begin(), input.names.end(), [](const std::string& a, const std::string& b) {
        return versweep::UpperCaseAscii(a) < versweep::UpperCaseAscii(b);
    });
    input.whiteList = "SOMETITLENUMBER7,KEEP";
    input.blackList = "SOMETITLENUMBER11";
    input.onlyDuplicate = true;
    return input;
}

// Arguments: entries, keep count.
void BM_GroupedMarking(benchmark::State& state)
{
    versweep::MarkingInput input = MakeFolder(static_cast<std::size_t>(state.range(0)));
    input.keepCount = static_cast<int>(state.range(1));
    for (auto _ : state) {
        benchmark::DoNotOptimize(versweep::MarkDuplicates(input));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The worst case for keeping several versions: every entry shares one title, so one group's values
// are sorted.
void BM_GroupedMarkingOneTitle(benchmark::State& state)
{
    versweep::MarkingInput input =
        MakeFolder(static_cast<std::size_t>(state.range(0)), static_cast<std::size_t>(state.range(0)));
    input.keepCount = static_cast<int>(state.range(1));
    for (auto _ : state) {
        benchmark::DoNotOptimize(versweep::MarkDuplicates(input));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_PlainLoopMarking(benchmark::State& state)
{
    const versweep::MarkingInput input = MakeFolder(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(versweep::test::ReferenceMarkDuplicates(input));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(BM_GroupedMarking)
    ->ArgsProduct({{1000, 5000, 10000, 100000}, {1, 3}})
    ->ArgNames({"entries", "keep"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GroupedMarkingOneTitle)
    ->ArgsProduct({{10000, 100000}, {1, 3}})
    ->ArgNames({"entries", "keep"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainLoopMarking)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);
