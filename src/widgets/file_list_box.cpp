// The file preview's reading, ordering and icons.
#include "widgets/file_list_box.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include <QApplication>
#include <QFileIconProvider>
#include <QHash>
#include <QIcon>
#include <QMimeDatabase>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QThreadPool>

#include "platform/file_system.h"
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

// The plain files directly in `folder`, in the names' order; none when the folder cannot be listed. Touches
// nothing but the folder and `collation`, so it runs on the box's reading thread.
std::optional<std::vector<std::string>> ReadFiles(const std::string& folder, platform::Collation& collation,
                                                  const std::atomic<bool>& stop)
{
    platform::Result<std::vector<platform::DirEntry>> listing = platform::ListDirectory(folder, {&stop, nullptr});
    if (!listing)
        return std::nullopt;
    std::vector<std::pair<std::string, std::string>> keyed; // sort key, name
    for (platform::DirEntry& entry : listing.Value()) {
        // Only ordinary files: folders, hidden files and links that lead to no file stay out.
        const bool link = entry.kind == platform::EntryKind::Link;
        if (entry.kind == platform::EntryKind::Folder || entry.hidden ||
            (link && !platform::FileExists(platform::JoinPath(folder, entry.name))))
            continue;
        std::string key = collation.SortKey(entry.name);
        keyed.emplace_back(std::move(key), std::move(entry.name));
    }
    // Folders are never listed here, so the order is the names' order alone.
    std::sort(keyed.begin(), keyed.end());
    std::vector<std::string> names;
    names.reserve(keyed.size());
    for (auto& [key, name] : keyed)
        names.push_back(std::move(name));
    return names;
}

// Files share their type's icon, found once per type for all file lists. The type is read from the name alone,
// so drawing a folder of a thousand files on a slow share never opens or examines one of them on the window's
// thread. The cache lives as long as the application, so no icon outlives the GUI it was made for.
class IconCache final : public QObject
{
public:
    using QObject::QObject;

    static QIcon For(const std::string& name)
    {
        static QPointer<IconCache> cache;
        if (cache.isNull())
            cache = new IconCache(QCoreApplication::instance());
        return cache->Lookup(name);
    }

private:
    QIcon Lookup(const std::string& name)
    {
        // Decoded only to match the name against the types' patterns; one that does not decode still ends in
        // its extension.
        const QMimeType type =
            m_types.mimeTypeForFile(QString::fromLocal8Bit(name.data(), static_cast<qsizetype>(name.size())),
                                    QMimeDatabase::MatchExtension);
        auto found = m_byType.find(type.name());
        if (found == m_byType.end()) {
            const QIcon plainFile = m_provider.icon(QAbstractFileIconProvider::File);
            found = m_byType.insert(
                type.name(),
                QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName(), plainFile)));
        }
        return *found;
    }

    QMimeDatabase m_types;
    QFileIconProvider m_provider;
    QHash<QString, QIcon> m_byType;
};

} // namespace

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent)
{
    setItemDelegate(new FixedRowDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pool = new QThreadPool(this);
    m_pool->setMaxThreadCount(1);
    connect(this, &FileListBox::filesRead, this, &FileListBox::showFiles, Qt::QueuedConnection);
}

FileListBox::~FileListBox()
{
    m_stopRead->store(true);
    m_pool->waitForDone();
}

void FileListBox::showFolder(const std::string& folder)
{
    const std::string shown = platform::WithoutTrailingSeparators(folder);
    if (shown == m_folder)
        return;
    m_folder = shown;
    clear();
    const quint64 read = ++m_read;
    // A read under way would only be dropped: on a slow share it ends at its next entry rather than hold up
    // this one.
    m_stopRead->store(true);
    m_stopRead = std::make_shared<std::atomic<bool>>(false);
    m_reading = !m_folder.empty();
    if (!m_reading)
        return;
    m_pool->start([this, read, shown, stop = m_stopRead] {
        std::optional<std::vector<std::string>> names = ReadFiles(shown, m_collation, *stop);
        const bool listed = names.has_value();
        emit filesRead(
            read,
            std::make_shared<std::vector<std::string>>(listed ? std::move(*names) : std::vector<std::string>()),
            listed);
    });
}

void FileListBox::showFiles(quint64 read, const std::shared_ptr<std::vector<std::string>>& names, bool listed)
{
    if (read != m_read)
        return; // another folder was asked for since
    m_reading = false;
    for (const std::string& name : *names) {
        auto* item = new QListWidgetItem(IconCache::For(name), DisplayName(name));
        item->setData(Qt::UserRole, QByteArray::fromStdString(name));
        addItem(item);
    }
    emit folderRead(listed);
}

} // namespace versweep
