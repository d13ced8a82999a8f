// The check list's Qt model: rows read live from the listing, the folder's header drawn as row 0.
#include "widgets/check_list_model.h"

#include <QFont>
#include <QLocale>

#include "tools/text_tools.h"
#include "widgets/display_name.h"

namespace versweep {

QString FormattedSize(std::int64_t bytes)
{
    return QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeIecFormat);
}

namespace {

QString SizeText(const std::optional<platform::TreeSize>& size)
{
    if (!size)
        return QStringLiteral("…");
    const QString amount = FormattedSize(size->bytes);
    return size->complete ? amount : QStringLiteral("≥ ") + amount;
}

} // namespace

CheckListModel::CheckListModel(Listing& listing, QObject* parent) : QAbstractListModel(parent), m_listing(listing)
{
    m_listing.SetObserver(this);
    resetSizes();
}

CheckListModel::~CheckListModel()
{
    m_listing.SetObserver(nullptr);
}

const Entry* CheckListModel::entryAt(const QModelIndex& index) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) || index.row() == 0)
        return nullptr;
    return &m_listing.Entries()[positionAt(index.row())];
}

int CheckListModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !m_listing.IsListed())
        return 0;
    return static_cast<int>(m_filter.isEmpty() ? m_listing.Entries().size() : m_shown.size()) + 1;
}

QVariant CheckListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Entry* entry = entryAt(index);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return DisplayName(entry != nullptr ? entry->name : m_listing.Folder());
    case Qt::CheckStateRole:
        if (entry == nullptr)
            return {};
        return entry->checked ? Qt::Checked : Qt::Unchecked;
    case Qt::FontRole:
        if (entry != nullptr)
            return {};
        {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
    case Qt::ToolTipRole: {
        // Rich text on purpose, with the name escaped: a plain string that looks like markup would be
        // rendered as markup, and a name is whatever the folder holds.
        QString tip = data(index, Qt::DisplayRole).toString().toHtmlEscaped();
        const QString why = entry != nullptr ? explanation(*entry) : QString();
        if (!why.isEmpty())
            tip += QStringLiteral("<br>") + why.toHtmlEscaped().replace('\n', QStringLiteral("<br>"));
        return QStringLiteral("<p style='white-space:pre'>") + tip + QStringLiteral("</p>");
    }
    case Qt::AccessibleDescriptionRole: {
        // A screen reader hears what a sighted user sees beside the name: the size, or on the header the
        // checked total, and why the entry is marked.
        const QString size = data(index, SizeTextRole).toString();
        if (entry == nullptr)
            return size.isEmpty() ? tr("文件夹标题") : tr("文件夹标题，已选中 %1").arg(size);
        const QString why = explanation(*entry);
        return why.isEmpty() ? size : size + QStringLiteral("\n") + why;
    }
    case IsHeaderRole:
        return entry == nullptr;
    case TitleKeyRole:
        return entry != nullptr ? QByteArray::fromStdString(entry->mark.titleKey) : QByteArray();
    case AmbiguousRole:
        return entry != nullptr && entry->mark.ambiguous;
    case SizeTextRole:
        if (entry != nullptr)
            return SizeText(m_sizes[positionAt(index.row())].size);
        if (m_checkedEntries == 0)
            return m_sizing ? QStringLiteral("…") : QString();
        return SizeText(checkedTotal()) + (m_sizing ? QStringLiteral(" …") : QString());
    default:
        return {};
    }
}

Qt::ItemFlags CheckListModel::flags(const QModelIndex& index) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    return index.row() == 0 ? flags : flags | Qt::ItemIsUserCheckable;
}

bool CheckListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    const Entry* entry = entryAt(index);
    if (role != Qt::CheckStateRole || entry == nullptr ||
        entry->checked == (value.value<Qt::CheckState>() == Qt::Checked))
        return false;
    return toggle(index);
}

bool CheckListModel::toggle(const QModelIndex& index)
{
    const Entry* entry = entryAt(index);
    if (entry == nullptr || !m_listing.Toggle(entry->id))
        return false;
    emit entryToggled();
    return true;
}

int CheckListModel::setMarks(const QModelIndexList& rows, bool checked)
{
    std::vector<EntryId> ids;
    for (const QModelIndex& row : rows) {
        if (const Entry* entry = entryAt(row))
            ids.push_back(entry->id);
    }
    // By id: each change notifies the views, which must not leave a later index pointing elsewhere.
    int changed = 0;
    for (const EntryId id : ids) {
        if (m_listing.SetChecked(id, checked, MarkReason::Hand))
            ++changed;
    }
    if (changed > 0)
        emit entryToggled();
    return changed;
}

QString CheckListModel::explanation(const Entry& entry) const
{
    const EntryMark& mark = entry.mark;
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
        const QString tag = DisplayName(entry.groupTag);
        why = entry.checked ? tr("由组标签 %1 选中").arg(tag) : tr("由组标签 %1 取消选中").arg(tag);
        break;
    }
    case MarkReason::Hand:
        why = entry.checked ? tr("手动选中") : tr("手动取消选中");
        break;
    }
    if (mark.ambiguous)
        why += (why.isEmpty() ? QString() : QStringLiteral("\n")) + tr("该标题的版本号有两种读法");
    return why;
}

void CheckListModel::setSize(EntryId id, platform::TreeSize size)
{
    const std::optional<std::size_t> position = m_listing.PositionOf(id);
    if (!position)
        return;
    EntrySize& entry = m_sizes[*position];
    count(entry, -1);
    entry.size = size;
    count(entry, +1);
    if (const int row = rowOf(*position); row > 0)
        emit dataChanged(index(row), index(row), {SizeTextRole});
    if (entry.counted)
        totalChanged();
}

void CheckListModel::setSizing(bool sizing)
{
    if (m_sizing != sizing) {
        m_sizing = sizing;
        totalChanged();
    }
}

platform::TreeSize CheckListModel::checkedTotal() const
{
    return platform::TreeSize{m_checkedBytes, m_checkedPartial == 0};
}

void CheckListModel::count(const EntrySize& entry, int sign)
{
    if (!entry.counted)
        return;
    m_checkedEntries += sign;
    if (!entry.size || !entry.size->complete)
        m_checkedPartial += sign;
    if (entry.size)
        m_checkedBytes =
            sign > 0 ? SaturatingAdd(m_checkedBytes, entry.size->bytes) : m_checkedBytes - entry.size->bytes;
}

// The entry's mark is compared with the one its size was counted under, so every way a mark can change (a user
// toggle, a command) keeps the total right.
void CheckListModel::recount(std::size_t position)
{
    EntrySize& entry = m_sizes[position];
    const bool counted = m_listing.Entries()[position].checked;
    if (entry.counted == counted)
        return;
    count(entry, -1);
    entry.counted = counted;
    count(entry, +1);
    totalChanged();
}

// The header shows the total; it is the row a view repaints when the total moves.
void CheckListModel::totalChanged()
{
    if (m_listing.IsListed())
        emit dataChanged(index(0), index(0), {SizeTextRole});
}

void CheckListModel::ListingAboutToReset()
{
    beginResetModel();
}

void CheckListModel::ListingReset()
{
    resetSizes();
    applyFilter();
    endResetModel();
}

void CheckListModel::setFilter(const QString& text)
{
    if (text == m_filter)
        return;
    beginResetModel();
    m_filter = text;
    applyFilter();
    endResetModel();
}

// The positions of the entries whose shown name holds the filter text, and each entry's row.
void CheckListModel::applyFilter()
{
    m_shown.clear();
    m_rows.clear();
    if (m_filter.isEmpty())
        return;
    const std::vector<Entry>& entries = m_listing.Entries();
    m_rows.assign(entries.size(), 0);
    for (std::size_t position = 0; position < entries.size(); ++position) {
        if (DisplayName(entries[position].name).contains(m_filter, Qt::CaseInsensitive)) {
            m_shown.push_back(position);
            m_rows[position] = static_cast<int>(m_shown.size());
        }
    }
}

std::size_t CheckListModel::positionAt(int row) const
{
    const auto shownRow = static_cast<std::size_t>(row - 1);
    return m_filter.isEmpty() ? shownRow : m_shown[shownRow];
}

int CheckListModel::rowOf(std::size_t position) const
{
    return m_filter.isEmpty() ? static_cast<int>(position) + 1 : m_rows[position];
}

// A new listing starts with every size unknown.
void CheckListModel::resetSizes()
{
    m_sizes.assign(m_listing.Entries().size(), EntrySize{});
    m_checkedBytes = 0;
    m_checkedEntries = 0;
    m_checkedPartial = 0;
    for (std::size_t position = 0; position < m_sizes.size(); ++position) {
        m_sizes[position].counted = m_listing.Entries()[position].checked;
        count(m_sizes[position], +1);
    }
}

void CheckListModel::EntryChanged(std::size_t position)
{
    if (const int row = rowOf(position); row > 0)
        emit dataChanged(index(row), index(row));
    recount(position);
}

} // namespace versweep
