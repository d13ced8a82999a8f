// The background sizing of entries: the core's size walks, each result queued back to the sizer's thread.
#include "widgets/background_sizer.h"

#include <cstddef>
#include <utility>

namespace versweep {

BackgroundSizer::BackgroundSizer(QObject* parent) : QObject(parent)
{
    // Emitted on a pool thread, handled on this object's own.
    connect(this, &BackgroundSizer::walked, this, &BackgroundSizer::deliver, Qt::QueuedConnection);
}

BackgroundSizer::~BackgroundSizer()
{
    cancel();
}

void BackgroundSizer::start(std::vector<EntryPath> paths)
{
    const quint64 batch = ++m_batch;
    m_pending = static_cast<int>(paths.size());
    // Starting drops the batch before; its results already queued are told apart by their batch number.
    m_walks.Start(std::move(paths), [this, batch](std::size_t /*index*/, const MeasuredEntry& measured) {
        emit walked(batch, measured.id, measured.size);
    });
    if (m_pending == 0)
        emit finished();
}

void BackgroundSizer::cancel()
{
    ++m_batch;
    m_walks.Stop();
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
