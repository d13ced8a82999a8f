// The listed folder and its entries: ids, marks and the notices a view follows.
#include "listing/listing.h"

#include <algorithm>
#include <utility>

namespace versweep {

void Listing::Show(ListedFolder listed)
{
    Replace(std::move(listed), true);
}

void Listing::Clear()
{
    Replace(ListedFolder(), false);
}

void Listing::Replace(ListedFolder content, bool listed)
{
    if (m_observer != nullptr)
        m_observer->ListingAboutToReset();
    m_firstId += m_content.entries.size();
    m_content = std::move(content);
    m_listed = listed;
    for (std::size_t position = 0; position < m_content.entries.size(); ++position)
        m_content.entries[position].id = m_firstId + position;
    m_checked = static_cast<std::size_t>(std::count_if(m_content.entries.begin(), m_content.entries.end(),
                                                       [](const Entry& entry) { return entry.checked; }));
    if (m_observer != nullptr)
        m_observer->ListingReset();
}

std::optional<std::size_t> Listing::PositionOf(EntryId id) const
{
    if (id < m_firstId || id - m_firstId >= m_content.entries.size())
        return std::nullopt;
    return static_cast<std::size_t>(id - m_firstId);
}

bool Listing::SetChecked(EntryId id, bool checked, MarkReason reason)
{
    const std::optional<std::size_t> position = PositionOf(id);
    if (!position || m_content.entries[*position].checked == checked)
        return false;
    Change(*position, checked, reason);
    return true;
}

bool Listing::Toggle(EntryId id)
{
    const std::optional<std::size_t> position = PositionOf(id);
    if (!position)
        return false;
    Change(*position, !m_content.entries[*position].checked, MarkReason::Hand);
    return true;
}

void Listing::Change(std::size_t position, bool checked, MarkReason reason)
{
    Entry& entry = m_content.entries[position];
    if (entry.checked != checked)
        m_checked = checked ? m_checked + 1 : m_checked - 1;
    entry.checked = checked;
    entry.mark.reason = reason;
    if (m_observer != nullptr)
        m_observer->EntryChanged(position);
}

} // namespace versweep
