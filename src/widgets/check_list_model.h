// Shows the check list's items to Qt views; the items themselves stay in the core's CheckList.
#pragma once

#include <QAbstractListModel>

#include "widgets/check_list.h"

namespace versweep {

/// A list model over one CheckList: it forwards the list's change notices to the views and reads each
/// row from the list when a view asks, converting only what is shown. Rows are the list's indexes.
class CheckListModel final : public QAbstractListModel, private CheckListObserver
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CheckListModel)

public:
    enum Role
    {
        IsGroupHeaderRole = Qt::UserRole, ///< bool: the row is the group header (no check box)
        RawTextRole,                      ///< QByteArray: the item's stored text, bytes unchanged
    };

    /// Observes `list` for its whole life; `list` must outlive the model.
    explicit CheckListModel(CheckList& list, QObject* parent = nullptr);
    ~CheckListModel() override;

    CheckList& List() const { return m_list; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    /// A check state set through the model (assistive technology toggling a row) is a user toggle of
    /// that row: it selects the row and runs the list's toggle step, change event included.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    void BeginReset() override;
    void EndReset() override;
    void BeginInsert(int first, int last) override;
    void EndInsert() override;
    void BeginRemove(int first, int last) override;
    void EndRemove() override;
    void ItemChanged(int index) override;

    CheckList& m_list;
};

} // namespace versweep
