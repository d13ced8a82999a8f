// The background sizing of entries: one pool task per entry, results queued back to the sizer's thread.
#include "widgets/background_sizer.h"

#include <algorithm>
#include <utility>

namespace versweep {

namespace {

// Walks wait on the disk far more than on the processor, so a few more than the cores keep it busy.
constexpr int kWalksAtOnce = 4;

} // namespace

BackgroundSizer::BackgroundSizer(QObject* parent) : QObject(parent)
{
    m_pool.setMaxThreadCount(std::max(kWalksAtOnce, QThread::idealThreadCount()));
    // Emitted on a pool thread, handled on this object's own.
    connect(this, &BackgroundSizer::walked, this, &BackgroundSizer::deliver, Qt::QueuedConnection);
}

BackgroundSizer::~BackgroundSizer()
{
    cancel();
    m_pool.waitForDone();
}

void BackgroundSizer::start(std::vector<EntryPath> paths)
{
    cancel();
    m_dropped = std::make_shared<std::atomic<bool>>(false);
    const quint64 batch = ++m_batch;
    m_pending = static_cast<int>(paths.size());
    for (EntryPath& entry : paths) {
        m_pool.start([this, dropped = m_dropped, entry = std::move(entry), batch] {
            if (dropped->load())
                return;
            // A dropped batch also stops the walk under way, so a large tree never delays the next batch.
            emit walked(batch, entry.id, platform::MeasureDiskUsage(entry.path, dropped.get()));
        });
    }
    if (m_pending == 0)
        emit finished();
}

void BackgroundSizer::cancel()
{
    ++m_batch;
    m_dropped->store(true);
    m_pool.clear();
    m_pending = 0;
}

void BackgroundSizer::deliver(quint64 batch, EntryId id, platform::TreeSize size)
{
    if (batch != m_batch)
        return;
    emit measured(id, size);
    if (--m_pending == 0)
        emit finished();
}

} // namespace versweep
