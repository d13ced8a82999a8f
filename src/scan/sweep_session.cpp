// One sweep of one folder: the listing, the commands that correct its marks, sizes, the trash and the way back.
#include "scan/sweep_session.h"

#include <utility>

#include "platform/file_system.h"
#include "scan/empty_folder.h"
#include "tools/text_tools.h"

namespace versweep {

SweepSession::SweepSession(std::string undoRecord, const char* collationLocale)
    : m_collationLocale(collationLocale == nullptr ? std::nullopt : std::optional<std::string>(collationLocale)),
      m_collation(collationLocale), m_undoRecord(std::move(undoRecord))
{}

std::optional<platform::SystemError> SweepSession::List(const std::string& folder, const ListOptions& options)
{
    return Show(ListFolder(folder, options, m_collation));
}

ListedFolder SweepSession::ListPass(const std::string& folder, const ListOptions& options,
                                    const platform::ListingControl& control) const
{
    platform::Collation collation(m_collationLocale ? m_collationLocale->c_str() : nullptr);
    return ListFolder(folder, options, collation, control);
}

std::optional<platform::SystemError> SweepSession::Show(ListedFolder listed)
{
    std::optional<platform::SystemError> error = listed.error;
    m_listing.Show(std::move(listed));
    return error;
}

std::size_t SweepSession::CheckEmptyFolders()
{
    return CheckEmpty(FindEmptyFolders(EntryPaths()));
}

std::vector<EntryId> SweepSession::FindEmptyFolders(const std::vector<EntryPath>& paths,
                                                    const std::atomic<bool>* stop)
{
    std::vector<EntryId> empty;
    for (const EntryPath& entry : paths) {
        if (stop != nullptr && stop->load())
            break;
        if (IsEmptyFolder(entry.path))
            empty.push_back(entry.id);
    }
    return empty;
}

std::size_t SweepSession::CheckEmpty(const std::vector<EntryId>& ids)
{
    std::size_t checked = 0;
    for (const EntryId id : ids) {
        if (m_listing.SetChecked(id, true, MarkReason::Empty))
            ++checked;
    }
    return checked;
}

std::size_t SweepSession::CheckGroup(std::string_view tag, bool checked)
{
    const std::string wanted = UpperCaseAscii(tag);
    std::vector<EntryId> members;
    for (const Entry& entry : m_listing.Entries()) {
        if (UpperCaseAscii(entry.groupTag) == wanted)
            members.push_back(entry.id);
    }
    std::size_t changed = 0;
    for (const EntryId id : members) {
        if (m_listing.SetChecked(id, checked, MarkReason::Group))
            ++changed;
    }
    return changed;
}

std::vector<EntryPath> SweepSession::EntryPaths() const
{
    std::vector<EntryPath> paths;
    paths.reserve(m_listing.Entries().size());
    for (const Entry& entry : m_listing.Entries())
        paths.push_back(EntryPath{entry.id, platform::JoinPath(m_listing.Folder(), entry.name)});
    return paths;
}

std::vector<MeasuredEntry> SweepSession::MeasureSizes() const
{
    std::vector<EntryPath> paths = EntryPaths();
    std::vector<MeasuredEntry> sizes(paths.size());
    SizeWalks walks;
    walks.Start(std::move(paths),
                [&sizes](std::size_t index, const MeasuredEntry& measured) { sizes[index] = measured; });
    walks.Wait();
    return sizes;
}

TrashBatch SweepSession::CheckedBatch() const
{
    TrashBatch batch{m_listing.Folder(), {}};
    for (const Entry& entry : m_listing.Entries()) {
        if (entry.checked)
            batch.entries.push_back(BatchEntry{entry.name, entry.identity});
    }
    return batch;
}

BatchReport SweepSession::MoveToTrash(const TrashBatch& batch, const BatchControl& control) const
{
    return TrashEntries(batch.folder, batch.entries, m_undoRecord, control);
}

BatchReport SweepSession::UndoLastMove(const BatchControl& control) const
{
    return UndoLastBatch(m_undoRecord, control);
}

bool SweepSession::CanUndo() const
{
    return HasUndoableBatch(m_undoRecord);
}

} // namespace versweep
