// The check list's Qt model: rows read live from the core list, notices forwarded as Qt's begin/end pairs.
#include "widgets/check_list_model.h"

#include <algorithm>

#include <QFont>
#include <QLocale>

#include "release/release_name.h"
#include "tools/text_tools.h"
#include "widgets/display_name.h"

namespace versweep {

namespace {

QString SizeText(const std::optional<EntrySize>& size)
{
    if (!size)
        return QStringLiteral("…");
    const QString amount = QLocale().formattedDataSize(size->bytes, 1, QLocale::DataSizeTraditionalFormat);
    return size->complete ? amount : QStringLiteral("≥ ") + amount;
}

} // namespace

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
    case Qt::ToolTipRole: {
        // Rich text on purpose, with the name escaped: a plain string that looks like markup would be
        // rendered as markup, and a name is whatever the folder holds.
        QString tip = DisplayName(m_list.ItemDisplayText(row)).toHtmlEscaped();
        const QString explanation = Explanation(row);
        if (!explanation.isEmpty())
            tip += QStringLiteral("<br>") + explanation.toHtmlEscaped().replace('\n', QStringLiteral("<br>"));
        return QStringLiteral("<p style='white-space:pre'>") + tip + QStringLiteral("</p>");
    }
    case Qt::AccessibleDescriptionRole:
        return Explanation(row);
    case IsGroupHeaderRole:
        return header;
    case TitleKeyRole:
        return QByteArray::fromStdString(m_list.Mark(row).titleKey);
    case AmbiguousRole:
        return m_list.Mark(row).ambiguous;
    case SizeTextRole:
        if (!header)
            return SizeText(m_sizes[static_cast<std::size_t>(row)].size);
        if (m_checkedRows == 0)
            return m_sizing ? QStringLiteral("…") : QString();
        return SizeText(CheckedTotal()) + (m_sizing ? QStringLiteral(" …") : QString());
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

QString CheckListModel::Explanation(int row) const
{
    const EntryMark& mark = m_list.Mark(row);
    const bool checked = m_list.IsChecked(row);
    QString why;
    switch (mark.reason) {
    case MarkReason::None:
        break;
    case MarkReason::Older:
        why = tr("比 %1 旧").arg(DisplayName(mark.supersededBy));
        break;
    case MarkReason::BlackList:
        why = tr("标题在黑名单中");
        break;
    case MarkReason::WhiteList:
        why = tr("标题在白名单中");
        break;
    case MarkReason::Newest:
        why = tr("保留为该标题的最新版本");
        break;
    case MarkReason::NoVersion:
        why = tr("名称中没有版本号");
        break;
    case MarkReason::OnlyVersion:
        why = tr("该标题唯一的版本");
        break;
    case MarkReason::AmbiguousKept:
        why = tr("按一种读法是最新版本，保留");
        break;
    case MarkReason::Empty:
        why = tr("空目录，由命令选中");
        break;
    case MarkReason::Group: {
        const QString tag = DisplayName(ExtractGroupTag(m_list.ItemText(row)));
        why = checked ? tr("由组标签 %1 选中").arg(tag) : tr("由组标签 %1 取消选中").arg(tag);
        break;
    }
    case MarkReason::Hand:
        why = checked ? tr("手动选中") : tr("手动取消选中");
        break;
    }
    if (mark.ambiguous)
        why += (why.isEmpty() ? QString() : QStringLiteral("\n")) + tr("该标题的版本号有两种读法");
    return why;
}

void CheckListModel::SetSize(int row, EntrySize size)
{
    if (row < 0 || static_cast<std::size_t>(row) >= m_sizes.size())
        return;
    RowSize& entry = m_sizes[static_cast<std::size_t>(row)];
    Count(entry, -1);
    entry.size = size;
    Count(entry, +1);
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed, {SizeTextRole});
    if (entry.counted)
        TotalChanged();
}

void CheckListModel::SetSizing(bool sizing)
{
    if (m_sizing != sizing) {
        m_sizing = sizing;
        TotalChanged();
    }
}

EntrySize CheckListModel::CheckedTotal() const
{
    return EntrySize{m_checkedBytes, m_checkedPartial == 0};
}

void CheckListModel::Count(const RowSize& row, int sign)
{
    if (!row.counted)
        return;
    m_checkedRows += sign;
    if (!row.size || !row.size->complete)
        m_checkedPartial += sign;
    if (row.size)
        m_checkedBytes =
            sign > 0 ? SaturatingAdd(m_checkedBytes, row.size->bytes) : m_checkedBytes - row.size->bytes;
}

// The row's check state is compared with the one its size was counted under, so every way a mark can
// change (a user toggle, a mark set from code, a renamed item) keeps the total right.
void CheckListModel::RecountRow(int row)
{
    RowSize& entry = m_sizes[static_cast<std::size_t>(row)];
    const bool counted = m_list.IsChecked(row) && !m_list.IsGroupHeader(row);
    if (entry.counted == counted)
        return;
    Count(entry, -1);
    entry.counted = counted;
    Count(entry, +1);
    TotalChanged();
}

// The header shows the total; it is the row a view repaints when the total moves.
void CheckListModel::TotalChanged()
{
    emit CheckedTotalChanged();
    for (int row = 0; row < static_cast<int>(m_sizes.size()) && m_list.IsGroupHeader(row); ++row) {
        const QModelIndex header = index(row);
        emit dataChanged(header, header, {SizeTextRole});
    }
}

void CheckListModel::BeginReset()
{
    beginResetModel();
}

void CheckListModel::EndReset()
{
    m_sizes.assign(static_cast<std::size_t>(m_list.ItemCount()), RowSize{});
    m_checkedBytes = 0;
    m_checkedRows = 0;
    m_checkedPartial = 0;
    for (int row = 0; row < m_list.ItemCount(); ++row) {
        RowSize& entry = m_sizes[static_cast<std::size_t>(row)];
        entry.counted = m_list.IsChecked(row) && !m_list.IsGroupHeader(row);
        Count(entry, +1);
    }
    endResetModel();
    TotalChanged();
}

void CheckListModel::BeginInsert(int first, int last)
{
    m_insertFirst = first;
    m_insertLast = last;
    beginInsertRows(QModelIndex(), first, last);
}

void CheckListModel::EndInsert()
{
    const auto count = static_cast<std::size_t>(m_insertLast) - static_cast<std::size_t>(m_insertFirst) + 1;
    m_sizes.insert(m_sizes.begin() + m_insertFirst, count, RowSize{});
    endInsertRows();
    for (int row = m_insertFirst; row <= m_insertLast; ++row)
        RecountRow(row);
}

void CheckListModel::BeginRemove(int first, int last)
{
    beginRemoveRows(QModelIndex(), first, last);
    m_removeFirst = first;
    m_removeLast = last;
}

void CheckListModel::EndRemove()
{
    bool counted = false;
    for (int row = m_removeFirst; row <= m_removeLast; ++row) {
        counted = counted || m_sizes[static_cast<std::size_t>(row)].counted;
        Count(m_sizes[static_cast<std::size_t>(row)], -1);
    }
    m_sizes.erase(m_sizes.begin() + m_removeFirst, m_sizes.begin() + m_removeLast + 1);
    endRemoveRows();
    if (counted)
        TotalChanged();
}

void CheckListModel::ItemChanged(int index)
{
    const QModelIndex changed = this->index(index);
    emit dataChanged(changed, changed);
    RecountRow(index);
}

} // namespace versweep
