// The listed folder and its entries as both faces show them: each entry's name, kind, mark and why.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "listing/entry_mark.h"
#include "platform/file_system.h"
#include "platform/system_error.h"

namespace versweep {

/// Names one entry of one listing. Ids are never reused, so a result that outlives its listing (a size
/// measured meanwhile) finds no entry rather than another one.
using EntryId = std::uint64_t;

/// One entry directly inside the listed folder.
struct Entry
{
    EntryId id = 0;
    std::string name; ///< as the folder holds it, raw bytes
    platform::EntryKind kind = platform::EntryKind::Folder;
    /// The name as the marking read it: underscores as dots, and a plain file's extension dropped, so that
    /// "Tool.v1.2.7z" reads as the folder it was packed from.
    std::string readName;
    std::string groupTag; ///< the text after the name's last '-'; empty when there is none
    bool checked = false;
    EntryMark mark;
    platform::FileId identity; ///< the file the listing saw; unknown when it could not look
};

/// What one listing pass found.
struct ListedFolder
{
    std::string folder;
    std::vector<Entry> entries;         ///< in the lists' order (collation, ties in byte order)
    std::vector<std::string> groupTags; ///< each once, in byte order
    std::size_t ambiguousTitles = 0;    ///< titles whose two readings of their versions keep different entries
    std::optional<platform::SystemError> error; ///< why the folder could not be listed
};

/// Told when the listing changes, so that a view can follow.
class ListingObserver
{
public:
    virtual ~ListingObserver() = default;
    virtual void ListingAboutToReset() = 0;
    virtual void ListingReset() = 0;
    /// The entry at `position` changed its check mark or its reason.
    virtual void EntryChanged(std::size_t position) = 0;
};

/// The folder listed last and its entries, with their marks. Before the first listing, and after Clear, no
/// folder is listed at all.
class Listing
{
public:
    bool IsListed() const { return m_listed; }
    const std::string& Folder() const { return m_content.folder; }
    const std::vector<Entry>& Entries() const { return m_content.entries; }
    const std::vector<std::string>& GroupTags() const { return m_content.groupTags; }
    std::size_t AmbiguousTitles() const { return m_content.ambiguousTitles; }
    std::size_t CheckedCount() const { return m_checked; }
    /// Why the listed folder could not be read; none when it was.
    const std::optional<platform::SystemError>& Error() const { return m_content.error; }

    /// Shows what a listing pass found, each entry with an id of its own.
    void Show(ListedFolder listed);
    /// No folder listed.
    void Clear();

    /// Where the entry `id` stands in Entries(); none when no entry has the id (any more).
    std::optional<std::size_t> PositionOf(EntryId id) const;

    /// Checks or unchecks the entry; where that changes its mark, `reason` becomes its reason (a mark that is
    /// already right keeps the reason it has, which says more than the command). Returns whether it changed.
    bool SetChecked(EntryId id, bool checked, MarkReason reason);
    /// The user's toggle of the entry: it says why from now on.
    bool Toggle(EntryId id);

    /// Not owned; may be null.
    void SetObserver(ListingObserver* observer) { m_observer = observer; }

private:
    void Replace(ListedFolder content, bool listed);
    void Change(std::size_t position, bool checked, MarkReason reason);

    ListedFolder m_content;
    bool m_listed = false;
    EntryId m_firstId = 1; // the ids of one listing run on from here, in list order
    std::size_t m_checked = 0;
    ListingObserver* m_observer = nullptr;
};

} // namespace versweep
