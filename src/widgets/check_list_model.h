// Shows the listing to Qt views: the folder as a bold header row, then one row per entry.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QAbstractListModel>

#include "listing/listing.h"
#include "platform/tree_size.h"

namespace versweep {

/// `bytes` in binary units with IEC names and one decimal ("24.2 MiB"), as the whole window writes sizes.
QString FormattedSize(std::int64_t bytes);

/// A list model over one Listing. Row 0 is the listed folder's header (no check box; its size column shows
/// the checked entries' total), rows 1 and on are the entries in list order; nothing is listed, no rows. It
/// reads each row from the listing when a view asks, converting only what is shown. Each entry's tooltip
/// gives its full name and why it is marked as it is, which is also its accessible description. Beside the
/// rows it keeps each entry's size once measured, by entry id, and the total of the checked entries, kept up to
/// date by every change of a mark, so it never needs summing anew. A filter may hide entries from the rows; the
/// total still counts every checked entry.
class CheckListModel final : public QAbstractListModel, private ListingObserver
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CheckListModel)

public:
    enum Role
    {
        IsHeaderRole = Qt::UserRole, ///< bool: the row is the folder's header (no check box)
        /// QString: an entry's size in human units ("…" while unknown, "≥ " before a partial one); on the
        /// header, the total of the checked entries, empty when none is checked
        SizeTextRole,
        /// QByteArray: the entry's title as the marking compared it; empty for the header
        TitleKeyRole,
        /// bool: the two readings of the entry's title's versions keep different entries
        AmbiguousRole,
    };

    /// Observes `listing` for its whole life; `listing` must outlive the model.
    explicit CheckListModel(Listing& listing, QObject* parent = nullptr);
    ~CheckListModel() override;

    /// The entry the row `index` shows; null for the header.
    const Entry* entryAt(const QModelIndex& index) const;
    /// The user's toggle of the entry the row `index` shows: its mark changes, by hand, and entryToggled
    /// follows. The header never toggles. Returns whether it toggled.
    bool toggle(const QModelIndex& index);

    /// The user's setting of every entry among `rows` to `checked`, by hand (the header is skipped);
    /// entryToggled follows when any changed. Returns how many changed.
    int setMarks(const QModelIndexList& rows, bool checked);

    /// Shows only the entries whose name holds `text`, case ignored (the header stays); empty shows all.
    void setFilter(const QString& text);

    /// Records the size measured for the entry `id`; an entry no longer listed is left alone.
    void setSize(EntryId id, platform::TreeSize size);
    /// Whether sizes are still being measured; the header's total says so.
    void setSizing(bool sizing);
    /// The checked entries' sizes added up; complete only when each of them is known and complete.
    platform::TreeSize checkedTotal() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    /// A check state set through the model (assistive technology toggling a row) is a user toggle of that row.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

signals:
    /// The user changed an entry's mark.
    void entryToggled();

private:
    struct EntrySize
    {
        std::optional<platform::TreeSize> size;
        bool counted = false; ///< checked: part of the total
    };

    /// Why `entry` is checked or not, in the window's language; empty when nothing is known.
    QString explanation(const Entry& entry) const;
    void count(const EntrySize& entry, int sign);
    void recount(std::size_t position);
    void resetSizes();
    void applyFilter();
    /// The entry position the row `row` (1 and on) shows.
    std::size_t positionAt(int row) const;
    /// The row showing the entry at `position`; 0 when the filter hides it.
    int rowOf(std::size_t position) const;
    void totalChanged();

    void ListingAboutToReset() override;
    void ListingReset() override;
    void EntryChanged(std::size_t position) override;

    Listing& m_listing;
    std::vector<EntrySize> m_sizes; // one per entry, in list order
    std::int64_t m_checkedBytes = 0;
    int m_checkedEntries = 0;
    int m_checkedPartial = 0; // checked entries whose size is unknown or partial
    bool m_sizing = false;
    QString m_filter;
    std::vector<std::size_t> m_shown; // while filtering: the positions shown, in list order
    std::vector<int> m_rows;          // while filtering: each position's row, 0 when hidden
};

} // namespace versweep
