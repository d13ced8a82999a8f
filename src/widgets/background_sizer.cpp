// The background sizing of entries: one pool task per entry, results queued back to the sizer's thread.
#include "widgets/background_sizer.h"

#include <algorithm>
#include <utility>

#include <QMetaObject>

#include "scan/empty_folder.h"

namespace versweep {

namespace {

// Walks wait on the disk far more than on the processor, so a few more than the cores keep it busy.
constexpr int kWalksAtOnce = 4;

} // namespace

BackgroundSizer::BackgroundSizer(QObject* parent) : QObject(parent)
{
    m_pool.setMaxThreadCount(std::max(kWalksAtOnce, QThread::idealThreadCount()));
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
    m_pending = static_cast<int>(paths.size());
    for (std::size_t index = 0; index < paths.size(); ++index) {
        m_pool.start([this, dropped = m_dropped, path = std::move(paths[index]), index] {
            if (dropped->load())
                return;
            // A dropped batch also stops the walk under way, so a large tree never delays the next batch.
            const platform::TreeSize size = FolderSize(path, 0, dropped.get());
            const EntrySize result{size.bytes, size.complete};
            QMetaObject::invokeMethod(
                this, [this, dropped, index, result] { Deliver(static_cast<int>(index), result, dropped); },
                Qt::QueuedConnection);
        });
    }
    if (m_pending == 0)
        emit Finished();
}

void BackgroundSizer::Cancel()
{
    m_dropped->store(true);
    m_pool.clear();
    m_pending = 0;
}

void BackgroundSizer::Deliver(int index, EntrySize size, const std::shared_ptr<const std::atomic<bool>>& dropped)
{
    if (dropped->load())
        return;
    emit Measured(index, size);
    if (--m_pending == 0)
        emit Finished();
}

} // namespace versweep
