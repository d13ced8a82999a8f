// The file preview: lists the plain files of one folder with their type icons.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include <QListWidget>

#include "platform/collation.h"

class QThreadPool;

namespace versweep {

/// Shows the files of one folder (no folders, no hidden files, no links that lead to no file), sorted as the
/// check list sorts names. The folder is read on a thread of the box's own, so a slow disk never holds up the
/// window. Names stay raw bytes (Qt::UserRole holds them as a QByteArray); only their display is decoded.
/// Unlike a shell file list it never moves the process's current directory.
class FileListBox final : public QListWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FileListBox)

public:
    static constexpr int kRowHeight = 18;

    explicit FileListBox(QWidget* parent = nullptr);
    /// Stops a read under way, whose answer would have no box to go to, and waits for it to end.
    ~FileListBox() override;

    /// Shows the files of `folder` once they are read; none until then, and none for a folder that cannot be
    /// listed or for no folder (empty). The folder already shown is not read again. Only the folder asked for
    /// last is shown: a read for an earlier one stops at its next entry, and its answer is dropped.
    void showFolder(const std::string& folder);

    /// The folder shown, without a trailing slash (except the root).
    const std::string& folder() const { return m_folder; }
    /// Whether the files of folder() are still being read.
    bool isReading() const { return m_reading; }

signals:
    /// The files of folder() are shown; `listed` is false when the folder could not be listed.
    void folderRead(bool listed);
    /// The read `read` found the files `names`, sorted (emitted on the reading thread).
    void filesRead(quint64 read, std::shared_ptr<std::vector<std::string>> names, bool listed);

private:
    void showFiles(quint64 read, const std::shared_ptr<std::vector<std::string>>& names, bool listed);

    std::string m_folder;
    QThreadPool* m_pool = nullptr;   // one thread: the reads, one after another
    platform::Collation m_collation; // used by the reading thread alone
    quint64 m_read = 0;              // the newest read asked for
    std::shared_ptr<std::atomic<bool>> m_stopRead = std::make_shared<std::atomic<bool>>(false); // the newest's
    bool m_reading = false;
};

} // namespace versweep
