// Moving the checked entries of the list to the trash as one batch, and taking the last batch back.
#include "scan/trash_batch.h"

#include <algorithm>
#include <utility>

#include "platform/file_system.h"
#include "platform/trash.h"
#include "scan/undo_record.h"
#include "widgets/check_list.h"

namespace versweep {

namespace {

std::optional<platform::SystemError> ErrorOf(const platform::Status& status)
{
    if (status)
        return std::nullopt;
    return status.Error();
}

} // namespace

BatchReport TrashCheckedEntries(const CheckList& list, const std::string& folder, const std::string& undoRecord)
{
    BatchReport report;
    std::vector<platform::TrashedEntry> moved;
    for (int i = 0; i < list.ItemCount(); ++i) {
        if (list.IsGroupHeader(i) || !list.IsChecked(i))
            continue;
        const std::string& name = list.ItemText(i);
        platform::Result<platform::TrashedEntry> trashed =
            platform::DeleteToRecycleBin(platform::EntryPath(folder, name));
        if (trashed) {
            moved.push_back(std::move(trashed).Value());
            report.entries.push_back(EntryOutcome{name, true, {}});
        } else {
            report.entries.push_back(EntryOutcome{name, false, trashed.Error().message});
        }
    }
    if (!moved.empty())
        report.recordError = ErrorOf(WriteUndoRecord(undoRecord, moved));
    return report;
}

BatchReport UndoLastBatch(const std::string& undoRecord)
{
    const std::vector<platform::TrashedEntry> batch = ReadUndoRecord(undoRecord);
    BatchReport report;
    report.entries.resize(batch.size());
    std::vector<platform::TrashedEntry> left;
    // The last moved first: had the batch held a folder and then something from inside it, the folder
    // must be back before the entry can go into it.
    for (std::size_t i = batch.size(); i-- > 0;) {
        const platform::Status restored = platform::RestoreFromTrash(batch[i]);
        report.entries[i] = EntryOutcome{batch[i].originalPath, static_cast<bool>(restored),
                                         restored ? std::string() : restored.Error().message};
        if (!restored && platform::IsInTrash(batch[i]))
            left.push_back(batch[i]);
    }
    std::reverse(left.begin(), left.end());
    report.recordError = ErrorOf(WriteUndoRecord(undoRecord, left));
    return report;
}

bool HasUndoableBatch(const std::string& undoRecord)
{
    const std::vector<platform::TrashedEntry> batch = ReadUndoRecord(undoRecord);
    return std::any_of(batch.begin(), batch.end(), platform::IsInTrash);
}

} // namespace versweep
