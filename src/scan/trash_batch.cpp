// Moving entries of a folder to the trash as one batch, and taking the last batch back.
#include "scan/trash_batch.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <utility>

#include "platform/file_content.h"
#include "platform/file_system.h"
#include "platform/trash.h"
#include "scan/undo_record.h"

namespace versweep {

namespace {

// A batch holds the record's lock while it moves; moving a few hundred entries takes about this long.
constexpr std::chrono::milliseconds kRecordWait(5000);
constexpr const char* kRecordBusy = "another versweep is moving entries to the trash or back; try again";

std::optional<platform::SystemError> ErrorOf(const platform::Status& status)
{
    if (status)
        return std::nullopt;
    return status.Error();
}

// The file an entry is to be: the one the listing saw, or, when it saw none, the one there now.
platform::FileId IdToMove(const BatchEntry& entry, const std::string& path)
{
    if (entry.identity.Known())
        return entry.identity;
    const platform::Result<platform::FileId> now = platform::EntryIdOf(path);
    return now ? now.Value() : platform::FileId{};
}

// Where an entry of the record is now: in the trash as recorded, or, for a move cut short, wherever a trash
// holds that file under its path. Nothing for an entry that never moved.
std::optional<platform::TrashedEntry> Locate(const RecordedMove& move, std::string& reason)
{
    const platform::TrashedEntry& entry = move.entry;
    if (move.stage == RecordedMove::Stage::Moved)
        return entry;
    // An entry that could not even be looked at before its move cannot have moved.
    if (move.stage == RecordedMove::Stage::Stayed || !entry.id.Known())
        return std::nullopt;
    const platform::Result<platform::FileId> now = platform::EntryIdOf(entry.originalPath);
    if (now && now.Value() == entry.id)
        return std::nullopt;
    std::optional<platform::TrashedEntry> found =
        platform::FindInTrash(entry.originalPath, entry.id, entry.folderId);
    if (!found)
        reason = "its move was cut short, and no trash holds it";
    return found;
}

bool Stopped(const BatchControl& control)
{
    return control.stop != nullptr && control.stop->load();
}

void Report(const BatchControl& control, std::size_t tried, std::size_t total)
{
    if (control.progress)
        control.progress(tried, total);
}

} // namespace

BatchReport TrashEntries(const std::string& folder, const std::vector<BatchEntry>& entries,
                         const std::string& undoRecord, const BatchControl& control)
{
    BatchReport report;
    if (entries.empty())
        return report;
    // The lock file lies beside the record; without the folder there is no lock to be had.
    static_cast<void>(platform::MakeFolders(platform::FolderOf(undoRecord)));
    const platform::FileLock lock(undoRecord, kRecordWait);
    const platform::Result<std::string> absolute = platform::AbsoluteFolder(folder);
    const platform::Result<platform::FileId> folderId =
        absolute ? platform::FolderIdOf(absolute.Value()) : platform::Result<platform::FileId>(absolute.Error());
    if (lock.Outcome() == platform::FileLock::State::Busy || !folderId) {
        for (const BatchEntry& entry : entries)
            report.entries.push_back(
                EntryOutcome{entry.name, false, folderId ? kRecordBusy : folderId.Error().message});
        return report;
    }

    const platform::Result<std::string> previous = platform::ReadFileContent(undoRecord);
    std::optional<UndoLog> log;
    if (platform::Result<UndoLog> made = UndoLog::Start(undoRecord))
        log.emplace(std::move(made).Value());
    else
        report.recordError = made.Error();
    const bool replaced = log.has_value();
    bool anyMoved = false;
    const auto dropLog = [&](const platform::Status& status) {
        if (!status) {
            report.recordError = status.Error();
            log.reset();
        }
    };
    for (const BatchEntry& entry : entries) {
        if (Stopped(control))
            break;
        const std::string path = platform::JoinPath(absolute.Value(), entry.name);
        const platform::FileId id = IdToMove(entry, path);
        if (log)
            dropLog(log->Intend(path, id, folderId.Value()));
        const platform::Result<platform::TrashedEntry> trashed = platform::DeleteToRecycleBin(path, id);
        if (log)
            dropLog(log->Complete(trashed ? &trashed.Value() : nullptr));
        anyMoved = anyMoved || trashed;
        report.entries.push_back(EntryOutcome{
            entry.name, trashed.HasValue(), trashed ? trashed.Value().unrecordedReason : trashed.Error().message});
        Report(control, report.entries.size(), entries.size());
    }
    // The new record replaced the previous batch's; a batch that moved nothing leaves that one undoable.
    if (replaced && !anyMoved)
        report.recordError = ErrorOf(previous ? platform::ReplaceFileContent(undoRecord, previous.Value())
                                              : platform::RemoveFile(undoRecord));
    return report;
}

BatchReport UndoLastBatch(const std::string& undoRecord, const BatchControl& control)
{
    BatchReport report;
    const platform::FileLock lock(undoRecord, kRecordWait);
    if (lock.Outcome() == platform::FileLock::State::Busy) {
        report.recordError = platform::SystemError{EBUSY, kRecordBusy};
        return report;
    }
    const platform::Result<std::string> content = platform::ReadFileContent(undoRecord);
    if (!content)
        return report;
    const std::vector<RecordedMove> batch = ParseUndoRecord(content.Value());
    std::vector<platform::TrashedEntry> left;
    // The last moved first: had the batch held a folder and then something from inside it, the folder
    // must be back before the entry can go into it.
    std::size_t tried = 0;
    for (auto move = batch.rbegin(); move != batch.rend(); ++move, Report(control, ++tried, batch.size())) {
        std::string reason;
        const std::optional<platform::TrashedEntry> entry = Locate(*move, reason);
        if (entry && Stopped(control)) {
            if (platform::IsInTrash(*entry))
                left.push_back(*entry);
            continue;
        }
        if (!entry) {
            if (!reason.empty())
                report.entries.push_back(EntryOutcome{move->entry.originalPath, false, std::move(reason)});
            continue;
        }
        const platform::Status restored = platform::RestoreFromTrash(*entry);
        report.entries.push_back(EntryOutcome{entry->originalPath, static_cast<bool>(restored),
                                              restored ? std::string() : restored.Error().message});
        if (!restored && platform::IsInTrash(*entry))
            left.push_back(*entry);
    }
    std::reverse(report.entries.begin(), report.entries.end());
    std::reverse(left.begin(), left.end());
    // Only the record that was read is rewritten: one that changed meanwhile belongs to someone else.
    const platform::Result<std::string> now = platform::ReadFileContent(undoRecord);
    if (!now || now.Value() != content.Value())
        report.recordError = platform::SystemError{ESTALE, "the record changed meanwhile and was left as it is"};
    else
        report.recordError = ErrorOf(WriteUndoRecord(undoRecord, left));
    return report;
}

bool HasUndoableBatch(const std::string& undoRecord)
{
    const std::vector<RecordedMove> batch = ReadUndoRecord(undoRecord);
    return std::any_of(batch.begin(), batch.end(), [](const RecordedMove& move) {
        std::string reason;
        const std::optional<platform::TrashedEntry> entry = Locate(move, reason);
        return entry && platform::IsInTrash(*entry);
    });
}

} // namespace versweep
