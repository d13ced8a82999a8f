// The pool of threads that measure listed entries' trees, several walks at once, for the window and versweep-scan.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "listing/listing.h"
#include "platform/tree_size.h"

namespace versweep {

/// A listed entry's path, for measuring it elsewhere.
struct EntryPath
{
    EntryId id = 0;
    std::string path;
};

/// What a walk of one listed entry found.
struct MeasuredEntry
{
    EntryId id = 0;
    platform::TreeSize size;
};

/// Measures one batch of entries at a time by what deleting each frees (MeasureDiskUsage), on a few threads of its
/// own, and hands every result to the batch's callback as soon as it is measured.
///
/// The callback runs on a pool thread, never two calls at once, and must not call back into the pool. A batch
/// ends for good when Stop or the next Start returns: its waiting entries are never walked, the walks under way
/// stop soon after, and none of its results reaches the callback any more, even one measured just before.
class SizeWalks
{
public:
    /// Receives the entry at `index` of the batch as measured.
    using Delivery = std::function<void(std::size_t index, const MeasuredEntry& measured)>;

    SizeWalks();
    /// Stops the batch and waits for the walks under way, which end soon after.
    ~SizeWalks();
    SizeWalks(const SizeWalks&) = delete;
    SizeWalks& operator=(const SizeWalks&) = delete;
    SizeWalks(SizeWalks&&) = delete;
    SizeWalks& operator=(SizeWalks&&) = delete;

    /// Measures `paths` in place of the batch before.
    void Start(std::vector<EntryPath> paths, Delivery deliver);
    /// Ends the batch: nothing of it is delivered after this returns.
    void Stop();
    /// Returns once every entry of the batch under way has been delivered, or the batch has ended.
    void Wait();

private:
    struct Batch;

    void Walk();
    void Drop(std::unique_lock<std::mutex>& lock);

    std::mutex m_mutex; // guards m_batch, m_closing and a batch's queue and count
    std::condition_variable m_work;
    std::condition_variable m_done;
    std::shared_ptr<Batch> m_batch;
    bool m_closing = false;
    std::mutex m_delivering;             // held while a result is handed over, so that Stop can wait for that one
    std::vector<std::jthread> m_threads; // last: joined before the rest goes
};

} // namespace versweep
