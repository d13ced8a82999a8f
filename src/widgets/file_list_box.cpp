// The file preview's reading, ordering and icons.
#include "widgets/file_list_box.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include <QApplication>
#include <QFileIconProvider>
#include <QHash>
#include <QPointer>
#include <QStyledItemDelegate>

#include "platform/file_system.h"
#include "tools/text_tools.h"
#include "widgets/busy_cursor.h"
#include "widgets/display_name.h"

namespace versweep {

namespace {

class FixedRowDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(FileListBox::kRowHeight);
        return size;
    }
};

struct FileRecord
{
    std::string name;
    std::string sortKey;
    QIcon icon;
};

// Files share their type's icon, found once per lower-case extension for all file lists; programs, links
// and icon files may each carry an icon of their own. The cache lives as long as the application, so no
// icon outlives the GUI it was made for.
class IconCache final : public QObject
{
public:
    using QObject::QObject;

    static QIcon For(const std::string& folder, const std::string& name)
    {
        static QPointer<IconCache> cache;
        if (cache.isNull())
            cache = new IconCache(QCoreApplication::instance());
        return cache->Lookup(folder, name);
    }

private:
    QIcon Lookup(const std::string& folder, const std::string& name)
    {
        // Decoded only to ask for an icon; a name that does not decode gets its extension's icon.
        const QFileInfo info(QString::fromLocal8Bit(platform::JoinPath(folder, name)));
        const std::size_t dot = name.rfind('.');
        const QByteArray extension =
            dot == std::string::npos ? QByteArray() : QByteArray::fromStdString(LowerCaseAscii(name.substr(dot)));
        if (extension == ".exe" || extension == ".lnk" || extension == ".ico" || extension == ".scr")
            return m_provider.icon(info);
        auto found = m_byExtension.find(extension);
        if (found == m_byExtension.end())
            found = m_byExtension.insert(extension, m_provider.icon(info));
        return *found;
    }

    QFileIconProvider m_provider;
    QHash<QByteArray, QIcon> m_byExtension;
};

} // namespace

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent)
{
    setItemDelegate(new FixedRowDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void FileListBox::showFolder(const std::string& folder)
{
    const std::string shown = platform::WithoutTrailingSeparators(folder);
    if (shown == m_folder)
        return;
    m_folder = shown;
    clear();
    std::vector<FileRecord> records;
    std::optional<BusyCursor> busy;
    platform::Result<std::vector<platform::DirEntry>> listing = platform::ListDirectory(m_folder);
    if (listing) {
        for (platform::DirEntry& entry : listing.Value()) {
            // Only ordinary files: folders, hidden files and links that lead to no file stay out.
            const bool link = entry.kind == platform::EntryKind::Link;
            if (entry.kind == platform::EntryKind::Folder || entry.hidden ||
                (link && !platform::FileExists(platform::JoinPath(m_folder, entry.name))))
                continue;
            if (records.size() == kBusyCursorFrom && !busy)
                busy.emplace();
            QIcon icon = IconCache::For(m_folder, entry.name);
            std::string key = m_collation.SortKey(entry.name);
            records.push_back(FileRecord{std::move(entry.name), std::move(key), std::move(icon)});
        }
    }
    // Folders are never listed here, so the order is the names' order alone.
    std::sort(records.begin(), records.end(),
              [](const FileRecord& a, const FileRecord& b) { return a.sortKey < b.sortKey; });
    for (FileRecord& record : records) {
        auto* item = new QListWidgetItem(record.icon, DisplayName(record.name));
        item->setData(Qt::UserRole, QByteArray::fromStdString(record.name));
        addItem(item);
    }
}

} // namespace versweep
