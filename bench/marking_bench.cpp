// Times the grouped marking step against the plain quadratic loop on folders of typical release names.
#include <algorithm>
#include <cstddef>
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include "reference_marking.h"
#include "scan/duplicate_marking.h"
#include "tools/text_tools.h"

namespace {

// About three versions per title, some titles spelled with dots or underscores, a few without a
// version, in the case-insensitive order the list shows them.
versweep::MarkingInput MakeFolder(std::size_t count)
{
    std::mt19937 random(20240531U);
    const std::size_t titles = std::max<std::size_t>(1, count / 3);
    std::uniform_int_distribution<std::size_t> pickTitle(0, titles - 1);
    std::uniform_int_distribution<int> pickPart(0, 12);
    std::uniform_int_distribution<int> pickStyle(0, 9);

    versweep::MarkingInput input;
    input.names.reserve(count + 1);
    input.names.emplace_back("//releases");
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
    std::sort(input.names.begin() + 1, input.names.end(), [](const std::string& a, const std::string& b) {
        return versweep::UpperCaseAscii(a) < versweep::UpperCaseAscii(b);
    });
    input.whiteList = "SOMETITLENUMBER7,KEEP";
    input.blackList = "SOMETITLENUMBER11";
    input.onlyDuplicate = true;
    return input;
}

void BM_GroupedMarking(benchmark::State& state)
{
    const versweep::MarkingInput input = MakeFolder(static_cast<std::size_t>(state.range(0)));
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

BENCHMARK(BM_GroupedMarking)->Arg(1000)->Arg(5000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainLoopMarking)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);
