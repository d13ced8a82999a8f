// The background sizing of entries: one pool task per entry, results queued back to the sizer's thread.
#include "widgets/background_sizer.h"

#include <algorithm>
#include <utility>

#include "platform/tree_size.h"

namespace versweep {

namespace {

// Walks wait on the disk far more than on the processor, so a few more than the cores keep it busy.
constexpr int kWalksAtOnce = 4;

} // namespace

BackgroundSizer::BackgroundSizer(QObject* parent) : QObject(parent)
{
    m_pool.setMaxThreadCount(std::max(kWalksAtOnce, QThread::idealThreadCount()));
    // Emitted on a pool thread, handled on this object's own.
    connect(this, &BackgroundSizer::Walked, this, &BackgroundSizer::Deliver, Qt::QueuedConnection);
}

BackgroundSizer::~BackgroundSizer()
{
    Cancel();
    m_pool.waitForDone();
}

void BackgroundSizer::Start(std::vector<std::string> paths)
{
    Cancel();
    m_dropped = std::make_shared<std::atomic<bool>>(false);
    const quint64 batch = ++m_batch;
    m_pending = static_cast<int>(paths.size());
    for (std::size_t index = 0; index < paths.size(); ++index) {
        m_pool.start([this, dropped = m_dropped, path = std::move(paths[index]), index, batch] {
            if (dropped->load())
                return;
            // A dropped batch also stops the walk under way, so a large tree never delays the next batch.
            const platform::TreeSize size = platform::MeasureDiskUsage(path, dropped.get());
            emit Walked(batch, static_cast<int>(index), EntrySize{size.bytes, size.complete});
        });
    }
    if (m_pending == 0)
        emit Finished();
}

void BackgroundSizer::Cancel()
{
    ++m_batch;
    m_dropped->store(true);
    m_pool.clear();
    m_pending = 0;
}

void BackgroundSizer::Deliver(quint64 batch, int index, EntrySize size)
{
    if (batch != m_batch)
        return;
    emit Measured(index, size);
    if (--m_pending == 0)
        emit Finished();
}

} // namespace versweep
