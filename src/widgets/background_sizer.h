// Measures the trees of many entries on worker threads, so the window never waits for a disk.
#pragma once

#include <vector>

#include <QObject>

#include "listing/listing.h"
#include "platform/tree_size.h"
#include "scan/size_walks.h"

namespace versweep {

/// Sizes one batch of entries at a time on the core's pool of size walks (the one versweep-scan measures on), by
/// what deleting each frees (MeasureDiskUsage), and hands every result back on the thread the sizer lives on,
/// named by its entry.
/// Starting a batch, or cancelling, drops the batch before: its waiting entries are never measured and its late
/// results never arrive.
class BackgroundSizer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BackgroundSizer)

public:
    explicit BackgroundSizer(QObject* parent = nullptr);
    /// Drops the batch and waits for the walks already under way.
    ~BackgroundSizer() override;

    /// Measures the entries at `paths`; each result comes as measured.
    void start(std::vector<EntryPath> paths);
    void cancel();

signals:
    void measured(versweep::EntryId id, versweep::platform::TreeSize size);
    /// The batch is measured in full.
    void finished();
    /// One walk of batch `batch` ended (from a pool thread).
    void walked(quint64 batch, versweep::EntryId id, versweep::platform::TreeSize size);

private:
    void deliver(quint64 batch, EntryId id, platform::TreeSize size);

    quint64 m_batch = 0; // results of any other batch are dropped, even those already queued
    int m_pending = 0;
    SizeWalks m_walks;
};

} // namespace versweep
