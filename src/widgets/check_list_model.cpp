// The check list's Qt model: rows read live from the core list, notices forwarded as Qt's begin/end pairs.
#include "widgets/check_list_model.h"

#include <QFont>

#include "widgets/display_name.h"

namespace versweep {

CheckListModel::CheckListModel(CheckList& list, QObject* parent) : QAbstractListModel(parent), m_list(list)
{
    m_list.SetObserver(this);
}

CheckListModel::~CheckListModel()
{
    m_list.SetObserver(nullptr);
}

int CheckListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_list.ItemCount();
}

QVariant CheckListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const int row = index.row();
    const bool header = m_list.IsGroupHeader(row);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return DisplayName(m_list.ItemDisplayText(row));
    case Qt::CheckStateRole:
        if (header)
            return {};
        return m_list.IsChecked(row) ? Qt::Checked : Qt::Unchecked;
    case Qt::FontRole:
        if (!header)
            return {};
        {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
    case IsGroupHeaderRole:
        return header;
    case RawTextRole: {
        const std::string& text = m_list.ItemText(row);
        return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
    }
    default:
        return {};
    }
}

Qt::ItemFlags CheckListModel::flags(const QModelIndex& index) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (m_list.IsItemEnabled(index.row()))
        flags |= Qt::ItemIsEnabled;
    if (!m_list.IsGroupHeader(index.row()))
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

bool CheckListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole ||
        !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    const int row = index.row();
    const bool wanted = value.value<Qt::CheckState>() == Qt::Checked;
    if (m_list.IsGroupHeader(row) || !m_list.IsItemEnabled(row) || m_list.IsChecked(row) == wanted)
        return false;
    m_list.ClickItem(row, false);
    m_list.ToggleSelected();
    return m_list.IsChecked(row) == wanted;
}

void CheckListModel::BeginReset()
{
    beginResetModel();
}

void CheckListModel::EndReset()
{
    endResetModel();
}

void CheckListModel::BeginInsert(int first, int last)
{
    beginInsertRows(QModelIndex(), first, last);
}

void CheckListModel::EndInsert()
{
    endInsertRows();
}

void CheckListModel::BeginRemove(int first, int last)
{
    beginRemoveRows(QModelIndex(), first, last);
}

void CheckListModel::EndRemove()
{
    endRemoveRows();
}

void CheckListModel::ItemChanged(int index)
{
    const QModelIndex changed = this->index(index);
    emit dataChanged(changed, changed);
}

} // namespace versweep
