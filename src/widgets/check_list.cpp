// The check list's model: collation-keyed sorted insertion, check states, selection and user toggles.
#include "widgets/check_list.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "platform/collation.h"

namespace versweep {

namespace {

constexpr std::string_view kHeaderMarker = "//";

bool IsHeaderText(std::string_view text)
{
    return text.starts_with(kHeaderMarker);
}

} // namespace

ListIndexError::ListIndexError(int index)
    : std::out_of_range("List index out of bounds (" + std::to_string(index) + ")")
{}

struct CheckList::Item
{
    std::string text;
    std::string key;
    CheckState state = Unchecked;
    bool enabled = true;
    EntryMark mark;
};

CheckList::CheckList() : CheckList(nullptr) {}

CheckList::CheckList(const char* icuLocale) : m_collation(std::make_unique<platform::Collation>(icuLocale)) {}

CheckList::~CheckList() = default;

// A rank byte that puts group headers before every normal item, then the collation's key.
std::string CheckList::SortKey(std::string_view text)
{
    std::string key(1, IsHeaderText(text) ? '\0' : '\1');
    key.append(m_collation->SortKey(text));
    return key;
}

CheckList::Item CheckList::MakeItem(std::string_view text)
{
    Item item;
    item.text = std::string(text);
    item.key = SortKey(text);
    return item;
}

int CheckList::AddGroupHeader(std::string_view text)
{
    std::string header(kHeaderMarker);
    header.append(text);
    return InsertSorted(header);
}

int CheckList::AddItem(std::string_view text)
{
    return InsertSorted(text);
}

int CheckList::InsertSorted(std::string_view text)
{
    Item item = MakeItem(text);
    // Plain bisection: it ends after log n steps even when an in-place replacement left the items out of
    // order, and then still lands after a neighbour that does not follow the new item and before one
    // that does. Equal texts go after the ones already there.
    std::size_t low = 0;
    std::size_t high = m_items.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (item.key < m_items[middle].key) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    // Growing first keeps the insertion itself from failing between the observer's begin and end.
    if (m_items.size() == m_items.capacity()) {
        m_items.reserve(std::max<std::size_t>(16, 2 * m_items.size()));
    }
    const int index = static_cast<int>(low);
    if (m_observer != nullptr) {
        m_observer->BeginInsert(index, index);
    }
    m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(low), std::move(item));
    MoveIndexesOnInsert(index);
    if (m_observer != nullptr) {
        m_observer->EndInsert();
    }
    return index;
}

void CheckList::AddItems(const std::vector<std::string>& texts)
{
    if (texts.empty()) {
        return;
    }
    std::vector<Item> batch;
    batch.reserve(texts.size());
    for (const std::string& text : texts) {
        batch.push_back(MakeItem(text));
    }
    std::stable_sort(batch.begin(), batch.end(), [](const Item& a, const Item& b) { return a.key < b.key; });

    // The merged order is settled before anything moves, so the observer hears of the change first and
    // a failed allocation leaves the list as it was. On equal keys the items already there come first,
    // as single adds would have it.
    const std::size_t total = m_items.size() + batch.size();
    std::vector<bool> takeBatch(total);
    std::size_t firstNew = total;
    std::size_t lastNew = 0;
    for (std::size_t out = 0, oldPos = 0, newPos = 0; out < total; ++out) {
        takeBatch[out] =
            newPos < batch.size() && (oldPos == m_items.size() || batch[newPos].key < m_items[oldPos].key);
        if (takeBatch[out]) {
            firstNew = std::min(firstNew, out);
            lastNew = out;
            ++newPos;
        } else {
            ++oldPos;
        }
    }
    std::vector<Item> merged;
    merged.reserve(total);

    const bool oneRun = lastNew - firstNew + 1 == batch.size();
    if (m_observer != nullptr) {
        if (oneRun) {
            m_observer->BeginInsert(static_cast<int>(firstNew), static_cast<int>(lastNew));
        } else {
            m_observer->BeginReset();
        }
    }
    int selected = -1;
    int toggleIndex = -1;
    for (std::size_t out = 0, oldPos = 0, newPos = 0; out < total; ++out) {
        if (takeBatch[out]) {
            merged.push_back(std::move(batch[newPos++]));
            continue;
        }
        if (static_cast<int>(oldPos) == m_selected) {
            selected = static_cast<int>(out);
        }
        if (static_cast<int>(oldPos) == m_toggleIndex) {
            toggleIndex = static_cast<int>(out);
        }
        merged.push_back(std::move(m_items[oldPos++]));
    }
    m_items.swap(merged);
    m_selected = selected;
    m_toggleIndex = toggleIndex;
    if (m_observer != nullptr) {
        if (oneRun) {
            m_observer->EndInsert();
        } else {
            m_observer->EndReset();
        }
    }
}

int CheckList::ItemCount() const
{
    return static_cast<int>(m_items.size());
}

bool CheckList::InRange(int index) const
{
    return index >= 0 && static_cast<std::size_t>(index) < m_items.size();
}

const std::string& CheckList::ItemText(int index) const
{
    if (!InRange(index)) {
        throw ListIndexError(index);
    }
    return m_items[static_cast<std::size_t>(index)].text;
}

std::string CheckList::ItemDisplayText(int index) const
{
    if (!InRange(index)) {
        return {};
    }
    const std::string& text = m_items[static_cast<std::size_t>(index)].text;
    return IsHeaderText(text) ? text.substr(kHeaderMarker.size()) : text;
}

bool CheckList::IsGroupHeader(int index) const
{
    return InRange(index) && IsHeaderText(m_items[static_cast<std::size_t>(index)].text);
}

CheckList::CheckState CheckList::State(int index) const
{
    return InRange(index) ? m_items[static_cast<std::size_t>(index)].state : Unchecked;
}

bool CheckList::IsChecked(int index) const
{
    return State(index) == Checked;
}

void CheckList::SetChecked(int index, bool checked)
{
    if (!InRange(index)) {
        return;
    }
    Item& item = m_items[static_cast<std::size_t>(index)];
    const CheckState state = checked ? Checked : Unchecked;
    if (item.state == state) {
        return;
    }
    item.state = state;
    if (m_observer != nullptr) {
        m_observer->ItemChanged(index);
    }
}

int CheckList::CheckedCount() const
{
    return static_cast<int>(std::count_if(m_items.begin(), m_items.end(), [](const Item& item) {
        return item.state == Checked && !IsHeaderText(item.text);
    }));
}

const EntryMark& CheckList::Mark(int index) const
{
    static const EntryMark kNone;
    return InRange(index) ? m_items[static_cast<std::size_t>(index)].mark : kNone;
}

void CheckList::SetMark(int index, EntryMark mark)
{
    if (!InRange(index)) {
        return;
    }
    m_items[static_cast<std::size_t>(index)].mark = std::move(mark);
    if (m_observer != nullptr) {
        m_observer->ItemChanged(index);
    }
}

void CheckList::ChangeMark(int index, bool checked, MarkReason reason)
{
    if (!InRange(index) || State(index) == (checked ? Checked : Unchecked)) {
        return;
    }
    m_items[static_cast<std::size_t>(index)].mark.reason = reason;
    SetChecked(index, checked);
}

bool CheckList::IsItemEnabled(int index) const
{
    return InRange(index) && m_items[static_cast<std::size_t>(index)].enabled;
}

void CheckList::SetItemEnabled(int index, bool enabled)
{
    if (!InRange(index) || m_items[static_cast<std::size_t>(index)].enabled == enabled) {
        return;
    }
    m_items[static_cast<std::size_t>(index)].enabled = enabled;
    if (m_observer != nullptr) {
        m_observer->ItemChanged(index);
    }
}

void CheckList::SetEnabled(bool enabled)
{
    for (int index = 0; index < ItemCount(); ++index) {
        SetItemEnabled(index, enabled);
    }
}

void CheckList::SetItemText(int index, std::string_view text)
{
    if (!InRange(index)) {
        return;
    }
    // Built before anything changes: `text` may point into the item's own text.
    std::string newText(text);
    std::string key = SortKey(text);
    Item& item = m_items[static_cast<std::size_t>(index)];
    item.text = std::move(newText);
    item.key = std::move(key);
    if (m_observer != nullptr) {
        m_observer->ItemChanged(index);
    }
}

void CheckList::DeleteItem(int index)
{
    if (!InRange(index)) {
        return;
    }
    if (m_observer != nullptr) {
        m_observer->BeginRemove(index, index);
    }
    m_items.erase(m_items.begin() + index);
    MoveIndexesOnRemove(index);
    if (m_observer != nullptr) {
        m_observer->EndRemove();
    }
}

void CheckList::DeleteItems(const std::vector<bool>& doomed)
{
    const auto isDoomed = [&doomed](std::size_t index) { return index < doomed.size() && doomed[index]; };
    std::size_t firstDoomed = 0;
    while (firstDoomed < m_items.size() && !isDoomed(firstDoomed)) {
        ++firstDoomed;
    }
    if (firstDoomed == m_items.size()) {
        return;
    }
    if (m_observer != nullptr) {
        m_observer->BeginReset();
    }
    // Survivors slide down over the gaps in order; the selection and a pending toggle follow their item.
    int selected = -1;
    int toggleIndex = -1;
    std::size_t out = firstDoomed;
    for (std::size_t in = firstDoomed; in < m_items.size(); ++in) {
        if (isDoomed(in)) {
            continue;
        }
        if (static_cast<int>(in) == m_selected) {
            selected = static_cast<int>(out);
        }
        if (static_cast<int>(in) == m_toggleIndex) {
            toggleIndex = static_cast<int>(out);
        }
        m_items[out++] = std::move(m_items[in]);
    }
    m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(out), m_items.end());
    if (m_selected >= 0 && static_cast<std::size_t>(m_selected) < firstDoomed) {
        selected = m_selected;
    }
    if (m_toggleIndex >= 0 && static_cast<std::size_t>(m_toggleIndex) < firstDoomed) {
        toggleIndex = m_toggleIndex;
    }
    m_selected = selected;
    m_toggleIndex = toggleIndex;
    m_togglePending = m_togglePending && toggleIndex >= 0;
    if (m_observer != nullptr) {
        m_observer->EndReset();
    }
}

void CheckList::Clear()
{
    m_selected = -1;
    m_togglePending = false;
    m_toggleIndex = -1;
    if (m_items.empty()) {
        return;
    }
    if (m_observer != nullptr) {
        m_observer->BeginReset();
    }
    m_items.clear();
    if (m_observer != nullptr) {
        m_observer->EndReset();
    }
}

void CheckList::SetSelectedIndex(int index)
{
    m_selected = InRange(index) ? index : -1;
}

void CheckList::ClickItem(int index, bool rightButton)
{
    if (!InRange(index) || (rightButton && index == m_selected)) {
        return;
    }
    m_selected = index;
    if (m_onClick) {
        const ClickHandler handler = m_onClick;
        handler();
    }
}

void CheckList::BeginUserToggle()
{
    m_togglePending = true;
    m_toggleIndex = m_selected;
}

void CheckList::EndUserToggle(bool releasedInside)
{
    const bool toggle = m_togglePending && releasedInside && m_selected == m_toggleIndex;
    // A pending toggle that outlived its release would turn a later plain click on the text into a toggle.
    m_togglePending = false;
    m_toggleIndex = -1;
    if (toggle) {
        ToggleSelected();
    }
}

void CheckList::ToggleSelected()
{
    if (!InRange(m_selected)) {
        return;
    }
    const int index = m_selected;
    const Item& item = m_items[static_cast<std::size_t>(index)];
    if (!item.enabled || IsHeaderText(item.text)) {
        return;
    }
    CheckState next = Checked;
    if (item.state == Unchecked && m_allowGrayed) {
        next = Grayed;
    } else if (item.state == Checked) {
        next = Unchecked;
    }
    bool allow = true;
    if (m_onChanging) {
        const ChangingHandler handler = m_onChanging;
        handler(index, next, allow);
    }
    m_togglePending = false;
    // The handler may have reshaped the list; the toggle belongs to the item it was asked about only.
    if (!allow || m_selected != index) {
        return;
    }
    m_items[static_cast<std::size_t>(index)].state = next;
    m_items[static_cast<std::size_t>(index)].mark.reason = MarkReason::Hand;
    if (m_observer != nullptr) {
        m_observer->ItemChanged(index);
    }
    if (m_onChange) {
        const ChangeHandler handler = m_onChange;
        handler(index, next);
    }
}

void CheckList::MoveIndexesOnInsert(int index)
{
    if (m_selected >= index) {
        ++m_selected;
    }
    if (m_toggleIndex >= index) {
        ++m_toggleIndex;
    }
}

void CheckList::MoveIndexesOnRemove(int index)
{
    if (m_selected == index) {
        m_selected = -1;
    } else if (m_selected > index) {
        --m_selected;
    }
    if (m_toggleIndex == index) {
        m_togglePending = false;
        m_toggleIndex = -1;
    } else if (m_toggleIndex > index) {
        --m_toggleIndex;
    }
}

} // namespace versweep
