// The sizing pool: a few threads take the batch's entries one by one, walk them and hand the results over.
#include "scan/size_walks.h"

#include <algorithm>
#include <utility>

namespace versweep {

struct SizeWalks::Batch
{
    std::vector<EntryPath> paths; // never changed once started, so walks read them without the lock
    Delivery deliver;
    std::atomic<bool> stop = false; // set when the batch ends; the walks under way watch it
    std::size_t next = 0;           // the first entry nobody walks yet
    std::size_t pending = 0;        // entries not delivered yet
};

SizeWalks::SizeWalks()
{
    // Walks wait on the disk far more than on the processor, so a few more than the cores keep it busy.
    const std::size_t walksAtOnce = std::max<std::size_t>(4, std::thread::hardware_concurrency());
    m_threads.reserve(walksAtOnce);
    for (std::size_t k = 0; k < walksAtOnce; ++k)
        m_threads.emplace_back([this] { Walk(); });
}

SizeWalks::~SizeWalks()
{
    Stop();
    {
        const std::lock_guard lock(m_mutex);
        m_closing = true;
    }
    m_work.notify_all();
}

void SizeWalks::Start(std::vector<EntryPath> paths, Delivery deliver)
{
    auto batch = std::make_shared<Batch>();
    batch->pending = paths.size();
    batch->paths = std::move(paths);
    batch->deliver = std::move(deliver);
    {
        std::unique_lock lock(m_mutex);
        Drop(lock);
        m_batch = std::move(batch);
    }
    m_work.notify_all();
}

void SizeWalks::Stop()
{
    std::unique_lock lock(m_mutex);
    Drop(lock);
}

void SizeWalks::Drop(std::unique_lock<std::mutex>& lock)
{
    if (!m_batch)
        return;
    m_batch->stop = true;
    m_batch.reset();
    lock.unlock();
    m_done.notify_all();
    // A result of the dropped batch may be in the callback right now; once it is out, every later one sees the
    // stop flag, which is checked under the same lock.
    {
        const std::lock_guard delivering(m_delivering);
    }
    lock.lock();
}

void SizeWalks::Wait()
{
    std::unique_lock lock(m_mutex);
    const std::shared_ptr<Batch> batch = m_batch;
    if (batch)
        m_done.wait(lock, [&batch] { return batch->pending == 0 || batch->stop; });
}

void SizeWalks::Walk()
{
    for (;;) {
        std::shared_ptr<Batch> batch;
        std::size_t index = 0;
        {
            std::unique_lock lock(m_mutex);
            m_work.wait(lock, [this] { return m_closing || (m_batch && m_batch->next < m_batch->paths.size()); });
            if (m_closing)
                return;
            batch = m_batch;
            index = batch->next++;
        }
        const EntryPath& entry = batch->paths[index];
        const MeasuredEntry measured{entry.id, platform::MeasureDiskUsage(entry.path, &batch->stop)};
        {
            const std::lock_guard delivering(m_delivering);
            if (batch->stop)
                continue;
            batch->deliver(index, measured);
        }
        bool done = false;
        {
            const std::lock_guard lock(m_mutex);
            done = --batch->pending == 0;
        }
        if (done)
            m_done.notify_all();
    }
}

} // namespace versweep
