// The check list's model: sorted byte-string items with check states and one "//" group header.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "widgets/entry_mark.h"

namespace versweep {

namespace platform {
class Collation;
}

/// Raised by CheckList::ItemText for an index that does not exist.
class ListIndexError : public std::out_of_range
{
public:
    explicit ListIndexError(int index);
};

/// Told about structural changes, so a view adapter can forward them (begin/end pairs as Qt wants).
class CheckListObserver
{
public:
    virtual ~CheckListObserver() = default;
    virtual void BeginReset() = 0;
    virtual void EndReset() = 0;
    virtual void BeginInsert(int first, int last) = 0;
    virtual void EndInsert() = 0;
    virtual void BeginRemove(int first, int last) = 0;
    virtual void EndRemove() = 0;
    virtual void ItemChanged(int index) = 0;
};

/// Items kept sorted by the user's locale, case ignored, ties in byte order; an item whose text begins
/// with "//" is a group header, has no check box of its own and sorts before every normal item.
/// Texts are raw bytes; only their collation decodes them (as UTF-8, invalid bytes as U+FFFD).
class CheckList
{
public:
    enum CheckState : std::uint8_t
    {
        Unchecked = 0,
        Checked = 1,
        Grayed = 2,
    };
    /// Asked before a user toggle; clearing `allow` refuses it.
    using ChangingHandler = std::function<void(int index, CheckState newState, bool& allow)>;
    /// Told after a user toggle was applied.
    using ChangeHandler = std::function<void(int index, CheckState newState)>;
    /// Told after a click on a row selected it.
    using ClickHandler = std::function<void()>;

    /// Collates by the process's default locale.
    CheckList();
    /// Collates by the ICU locale named (for example "en_US", "de_DE", "zh_CN"). A locale that cannot be
    /// opened, or whose rules tell case apart (the POSIX one, which is what LANG=C gives), yields to the
    /// root locale.
    explicit CheckList(const char* icuLocale);
    ~CheckList();
    CheckList(const CheckList&) = delete;
    CheckList& operator=(const CheckList&) = delete;

    /// Adds "//" + text; returns the index it landed at.
    int AddGroupHeader(std::string_view text);
    /// Sorted add of one unchecked, enabled item; returns its index.
    int AddItem(std::string_view text);
    /// Sorted add of many items at once, in O(n log n) overall. In a list that is in order the items end
    /// up where one AddItem call per text, in the order given, would have put them.
    void AddItems(const std::vector<std::string>& texts);

    int ItemCount() const;
    /// The stored text, "//" included; throws ListIndexError out of range.
    const std::string& ItemText(int index) const;
    /// The text without a header's "//"; empty out of range.
    std::string ItemDisplayText(int index) const;
    /// Whether the text begins with "//"; false out of range.
    bool IsGroupHeader(int index) const;

    CheckState State(int index) const;
    bool IsChecked(int index) const;
    /// Sets checked or unchecked; fires no handler. Out of range: nothing happens.
    void SetChecked(int index, bool checked);
    /// Checked items that are not group headers.
    int CheckedCount() const;

    /// Why the item is marked as it is; an empty record out of range.
    const EntryMark& Mark(int index) const;
    /// Replaces the item's record. Out of range: nothing happens.
    void SetMark(int index, EntryMark mark);
    /// Sets checked or unchecked and, when that changes the state, records `reason`; fires no handler.
    /// A state that is already right keeps the reason it has, which says more than the command.
    void ChangeMark(int index, bool checked, MarkReason reason);

    /// False out of range.
    bool IsItemEnabled(int index) const;
    /// Out of range: nothing happens.
    void SetItemEnabled(int index, bool enabled);
    /// Sets every item's enabled flag, as enabling or disabling the whole list does.
    void SetEnabled(bool enabled);
    void SetAllowGrayed(bool allow) { m_allowGrayed = allow; }

    /// Replaces the text in place (no re-sorting), keeping check state and enabled flag. Later sorted
    /// adds still land between two neighbours that bracket them, though the list as a whole may stay
    /// out of order.
    void SetItemText(int index, std::string_view text);
    void DeleteItem(int index);
    /// Deletes every item whose flag in `doomed` is set (indexes past its end are kept), in one pass;
    /// the others keep their order, states and, when it survives, the selection.
    void DeleteItems(const std::vector<bool>& doomed);
    void Clear();

    /// -1 when nothing is selected.
    int SelectedIndex() const { return m_selected; }
    /// Selects `index`, or nothing when it is out of range.
    void SetSelectedIndex(int index);
    /// A click on row `index`; out of range (empty space) changes nothing. A left click selects the row
    /// and fires OnClick; a right click does so only when the row is not the selected one already.
    void ClickItem(int index, bool rightButton);

    /// A press on the selected item's check box, or the space bar going down: remembers the selection.
    void BeginUserToggle();
    /// The matching release: toggles when a toggle is pending, the selection is unchanged and the
    /// release happened inside the list. Every release ends the pending toggle.
    void EndUserToggle(bool releasedInside);
    /// The toggle step on the selected item: headers and disabled items are left alone; otherwise
    /// OnChanging may refuse, and OnChange follows an applied toggle, whose reason is the user's hand.
    void ToggleSelected();

    void SetOnChanging(ChangingHandler handler) { m_onChanging = std::move(handler); }
    void SetOnChange(ChangeHandler handler) { m_onChange = std::move(handler); }
    void SetOnClick(ClickHandler handler) { m_onClick = std::move(handler); }
    /// Not owned; may be null.
    void SetObserver(CheckListObserver* observer) { m_observer = observer; }

private:
    struct Item;

    int InsertSorted(std::string_view text);
    Item MakeItem(std::string_view text);
    std::string SortKey(std::string_view text);
    bool InRange(int index) const;
    void MoveIndexesOnInsert(int index);
    void MoveIndexesOnRemove(int index);

    std::unique_ptr<platform::Collation> m_collation;
    std::vector<Item> m_items;
    int m_selected = -1;
    bool m_allowGrayed = false;
    bool m_togglePending = false;
    int m_toggleIndex = -1;
    ChangingHandler m_onChanging;
    ChangeHandler m_onChange;
    ClickHandler m_onClick;
    CheckListObserver* m_observer = nullptr;
};

} // namespace versweep
