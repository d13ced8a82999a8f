// Shows the check list's items to Qt views; the items themselves stay in the core's CheckList.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QAbstractListModel>

#include "widgets/check_list.h"

namespace versweep {

/// The measured size of an entry's tree.
struct EntrySize
{
    std::int64_t bytes = 0;
    bool complete = false; ///< every part was read; else `bytes` is what could be counted
};

/// A list model over one CheckList: it forwards the list's change notices to the views and reads each
/// row from the list when a view asks, converting only what is shown. Rows are the list's indexes. Each
/// entry's tooltip gives its full name and why it is marked as it is, which is also its accessible
/// description.
/// Beside the rows it keeps each entry's size once measured and the total of the checked entries, kept
/// up to date by every change of the list, so it never needs summing anew.
class CheckListModel final : public QAbstractListModel, private CheckListObserver
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CheckListModel)

public:
    enum Role
    {
        IsGroupHeaderRole = Qt::UserRole, ///< bool: the row is the group header (no check box)
        RawTextRole,                      ///< QByteArray: the item's stored text, bytes unchanged
        /// QString: an entry's size in human units ("…" while unknown, "≥ " before a partial one); on the
        /// header, the total of the checked entries, empty when none is checked
        SizeTextRole,
        /// QByteArray: the entry's title as the marking compared it; empty for the header
        TitleKeyRole,
        /// bool: the two readings of the entry's title's versions keep different entries
        AmbiguousRole,
    };

    /// Observes `list` for its whole life; `list` must outlive the model.
    explicit CheckListModel(CheckList& list, QObject* parent = nullptr);
    ~CheckListModel() override;

    CheckList& List() const { return m_list; }

    /// Records the size measured for the entry at `row`. Sizes move with their rows when rows come and go
    /// one run at a time; a list that is reshaped as a whole (cleared, or a batch that resets it) starts
    /// over with every size unknown.
    void SetSize(int row, EntrySize size);
    /// Whether sizes are still being measured; the header's total says so.
    void SetSizing(bool sizing);
    /// The checked entries' sizes added up; complete only when each of them is known and complete.
    EntrySize CheckedTotal() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    /// A check state set through the model (assistive technology toggling a row) is a user toggle of
    /// that row: it selects the row and runs the list's toggle step, change event included.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

signals:
    void CheckedTotalChanged();

private:
    struct RowSize
    {
        std::optional<EntrySize> size;
        bool counted = false; ///< checked, not a header: part of the total
    };

    /// Why the entry at `row` is checked or not, in the window's language; empty when nothing is known.
    QString Explanation(int row) const;
    void Count(const RowSize& row, int sign);
    void RecountRow(int row);
    void TotalChanged();

    void BeginReset() override;
    void EndReset() override;
    void BeginInsert(int first, int last) override;
    void EndInsert() override;
    void BeginRemove(int first, int last) override;
    void EndRemove() override;
    void ItemChanged(int index) override;

    CheckList& m_list;
    std::vector<RowSize> m_sizes; // one per row
    int m_insertFirst = 0;        // the range between a begin and its end notice
    int m_insertLast = -1;
    int m_removeFirst = 0;
    int m_removeLast = -1;
    std::int64_t m_checkedBytes = 0;
    int m_checkedRows = 0;
    int m_checkedPartial = 0; // checked rows whose size is unknown or partial
    bool m_sizing = false;
};

} // namespace versweep
