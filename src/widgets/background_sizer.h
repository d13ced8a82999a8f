// Measures the trees of many entries on worker threads, so the window never waits for a disk.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include <QObject>
#include <QThreadPool>

#include "widgets/check_list_model.h"

namespace versweep {

/// Sizes one batch of paths at a time, each path a task of its own on a private thread pool, and hands
/// every result back on the thread the sizer lives on. Starting a batch, or cancelling, drops the
/// batch before: its waiting paths are never measured and its late results never arrive.
class BackgroundSizer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BackgroundSizer)

public:
    explicit BackgroundSizer(QObject* parent = nullptr);
    /// Drops the batch and waits for the walks already under way.
    ~BackgroundSizer() override;

    /// Measures `paths`; each result comes as Measured with the path's index in `paths`.
    void Start(std::vector<std::string> paths);
    void Cancel();
    bool IsRunning() const { return m_pending > 0; }

signals:
    void Measured(int index, versweep::EntrySize size);
    /// The batch is measured in full.
    void Finished();
    /// One walk of batch `batch` ended (from a pool thread).
    void Walked(quint64 batch, int index, versweep::EntrySize size);

private:
    void Deliver(quint64 batch, int index, EntrySize size);

    QThreadPool m_pool;
    std::shared_ptr<std::atomic<bool>> m_dropped = std::make_shared<std::atomic<bool>>(false); // stops the walks
    quint64 m_batch = 0; // results of any other batch are dropped
    int m_pending = 0;
};

} // namespace versweep
