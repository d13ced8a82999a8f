// Tests of the sizing pool: each entry measured once as a walk alone measures it, and a batch that ends delivers
// nothing afterwards, whether it is stopped, superseded or the pool goes.
#include "scan/size_walks.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "case_name.h"
#include "temp_dir.h"

namespace versweep {
namespace {

// One row an entry, in the batch's order, with a result appended each time it comes.
SizeWalks::Delivery Into(std::vector<std::string>& rows)
{
    return [&rows](std::size_t index, const MeasuredEntry& measured) {
        rows.at(index) += std::to_string(measured.id) + ": " + std::to_string(measured.size.bytes) +
                          (measured.size.complete ? " " : " incomplete ");
    };
}

// The rows of each entry measured once, alone.
std::vector<std::string> AsAlone(const std::vector<EntryPath>& paths)
{
    std::vector<std::string> rows(paths.size());
    for (std::size_t k = 0; k < paths.size(); ++k)
        Into(rows)(k, MeasuredEntry{paths[k].id, platform::MeasureDiskUsage(paths[k].path)});
    return rows;
}

// Small release trees, more of them than the pool walks at once.
std::vector<EntryPath> ManyTrees(const test::TempDir& dir, int count)
{
    std::vector<EntryPath> paths;
    for (int k = 0; k < count; ++k) {
        const std::string name = "Tree" + std::to_string(k) + ".v1-GRP";
        for (int file = 0; file < 3; ++file)
            dir.MakeFile(name + "/part" + std::to_string(file % 2) + "/f" + std::to_string(file), 100 + file);
        paths.push_back({static_cast<EntryId>(1000 + k), dir / name});
    }
    return paths;
}

// One pool measures batch after batch; odd entries (gone, a plain file, a link) are measured as a walk alone
// measures them, and a batch of nothing ends at once.
TEST(SizeWalksTest, MeasuresEveryEntryOfEachBatchOnce)
{
    const test::TempDir dir;
    dir.MakeFile("Big.v1-A/a/b/c/data", 70000);
    dir.MakeFile("Big.v1-A/a/other", 5);
    dir.MakeDir("Empty.v1-A");
    dir.MakeFile("File.v1-A", 3000);
    std::vector<EntryPath> odd{
        {1, dir / "Big.v1-A"}, {2, dir / "Empty.v1-A"}, {3, dir / "File.v1-A"}, {4, dir / "Gone.v1-A"}};
    if (test::LinksAndAnyNames()) {
        dir.MakeSymlink("Link.v1-A", dir / "Big.v1-A");
        odd.push_back({5, dir / "Link.v1-A"});
    }
    const std::vector<std::vector<EntryPath>> batches{odd, {}, ManyTrees(dir, 40), odd};

    SizeWalks walks;
    for (const std::vector<EntryPath>& paths : batches) {
        std::vector<std::string> got(paths.size());
        walks.Start(paths, Into(got));
        walks.Wait();
        EXPECT_EQ(got, AsAlone(paths));
    }
}

enum class Ending
{
    Stop,
    NextBatch,
    PoolGoes
};

struct EndingCase
{
    const char* name;
    Ending ending;
};

class BatchEndingTest : public testing::TestWithParam<EndingCase>
{};

// Whatever ends a batch while its walks are under way, nothing of it arrives after that returns, and a pool that
// goes waits for its walks without hanging.
TEST_P(BatchEndingTest, NothingOfTheBatchArrivesAfterItEnds)
{
    const test::TempDir dir;
    const std::vector<EntryPath> many = ManyTrees(dir, 40);
    const std::vector<EntryPath> next{{7, dir / "Tree7.v1-GRP"}, {8, dir / "Tree8.v1-GRP"}};
    std::vector<std::string> nextGot(next.size());
    std::atomic<bool> handing = false;
    std::atomic<bool> ending = false;
    std::atomic<int> delivered = 0;
    int deliveredWhenEnded = 0;
    auto walks = std::make_unique<SizeWalks>();
    // The first result stays in hand until the batch is being ended, so the end meets a result being handed
    // over and others measured behind it.
    walks->Start(many, [&](std::size_t, const MeasuredEntry&) {
        if (!handing.exchange(true)) {
            while (!ending)
                std::this_thread::yield();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ++delivered;
    });
    while (!handing)
        std::this_thread::yield();
    ending = true;
    switch (GetParam().ending) {
    case Ending::Stop:
        walks->Stop();
        deliveredWhenEnded = delivered;
        walks->Wait();
        break;
    case Ending::NextBatch:
        walks->Start(next, Into(nextGot));
        deliveredWhenEnded = delivered;
        walks->Wait();
        EXPECT_EQ(nextGot, AsAlone(next));
        break;
    case Ending::PoolGoes:
        walks.reset();
        deliveredWhenEnded = delivered;
        break;
    }
    walks.reset(); // joins every walk, so a late result would have come by now
    EXPECT_EQ(delivered, deliveredWhenEnded);
    EXPECT_LT(deliveredWhenEnded, static_cast<int>(many.size()));
}

const EndingCase kEndings[] = {
    {"Stopped", Ending::Stop}, {"Superseded", Ending::NextBatch}, {"PoolDestroyed", Ending::PoolGoes}};

INSTANTIATE_TEST_SUITE_P(Endings, BatchEndingTest, testing::ValuesIn(kEndings), test::CaseName());

} // namespace
} // namespace versweep
