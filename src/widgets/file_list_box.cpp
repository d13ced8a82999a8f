// The file preview's reading, ordering and icons.
#include "widgets/file_list_box.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <unordered_set>
#include <utility>
#include <vector>

#include <fnmatch.h>

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

bool HasWildcard(std::string_view text)
{
    return text.find_first_of("*?") != std::string_view::npos;
}

// "*.*" is the match-everything mask of the file lists, names without a dot included.
bool MatchesMask(const std::string& mask, const std::string& name)
{
    StringList patterns;
    SplitText(";", mask, patterns);
    return std::any_of(patterns.begin(), patterns.end(), [&name](const std::string& pattern) {
        return pattern == "*.*" || ::fnmatch(pattern.c_str(), name.c_str(), 0) == 0;
    });
}

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

platform::Result<std::string> Absolute(const std::string& folder)
{
    if (!folder.empty() && folder.front() == '/')
        return platform::WithoutTrailingSeparators(folder);
    platform::Result<std::string> current = platform::CurrentDirectory();
    if (!current || folder.empty())
        return current;
    return platform::WithoutTrailingSeparators(platform::JoinPath(current.Value(), folder));
}

} // namespace

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent)
{
    setItemDelegate(new FixedRowDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

platform::Status FileListBox::ApplyFilePath(const std::string& path)
{
    if (path.empty() || path == m_filePath)
        return platform::Ok();
    std::string target = path;
    if (target.size() > 2 && target.front() == '[' && target.back() == ']')
        target = target.substr(1, target.size() - 2);
    target = platform::WithoutTrailingSeparators(target);

    // The last component is a file part only when it is a pattern or names a file; else it must be a folder.
    const std::size_t slash = target.rfind('/');
    std::string folder =
        slash == std::string::npos ? std::string() : target.substr(0, std::max<std::size_t>(slash, 1));
    std::string filePart = slash == std::string::npos ? target : target.substr(slash + 1);
    if (!HasWildcard(filePart) && !platform::FileExists(target)) {
        if (!platform::DirectoryExists(target))
            return platform::ErrorFromErrno(ENOENT);
        folder = target;
        filePart.clear();
    }
    platform::Result<std::string> directory = Absolute(folder);
    if (!directory)
        return directory.Error();

    m_filePath = path;
    if (directory.Value() != m_directory) {
        m_directory = std::move(directory.Value());
        Reread();
    }
    if (HasWildcard(filePart)) {
        m_mask = filePart;
        Reread();
    } else if (!filePart.empty() && !SelectName(filePart)) {
        if (!platform::FileExists(platform::JoinPath(m_directory, filePart)))
            return platform::SystemError{ENOENT, "The " + path + " file does not exist"};
        m_mask = filePart;
        Reread();
        SelectName(filePart);
    }
    return platform::Ok();
}

void FileListBox::Reread()
{
    clear();
    std::vector<FileRecord> records;
    std::optional<BusyCursor> busy;
    platform::Result<std::vector<platform::DirEntry>> listing = platform::ListDirectory(m_directory);
    if (listing) {
        std::unordered_set<std::string> seen;
        for (platform::DirEntry& entry : listing.Value()) {
            // Only ordinary files: folders, hidden files and links that lead to no file stay out.
            const bool link = entry.kind == platform::EntryKind::Link;
            if (entry.kind == platform::EntryKind::Folder || entry.hidden ||
                (link && !platform::FileExists(platform::JoinPath(m_directory, entry.name))) ||
                !MatchesMask(m_mask, entry.name) || !seen.insert(entry.name).second)
                continue;
            if (records.size() == kBusyCursorFrom && !busy)
                busy.emplace();
            QIcon icon = IconCache::For(m_directory, entry.name);
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
    emit Changed();
}

bool FileListBox::SelectName(const std::string& name)
{
    const QByteArray wanted = QByteArray::fromStdString(name);
    for (int row = 0; row < count(); ++row) {
        if (item(row)->data(Qt::UserRole).toByteArray() == wanted) {
            setCurrentRow(row);
            return true;
        }
    }
    return false;
}

} // namespace versweep
