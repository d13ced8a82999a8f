// The file preview: lists the plain files of one folder with their type icons.
#pragma once

#include <string>

#include <QListWidget>

#include "platform/collation.h"

namespace versweep {

/// Shows the files of one folder (no folders, no hidden files, no links that lead to no file), sorted as the
/// check list sorts names. Names stay raw bytes (Qt::UserRole holds them as a QByteArray); only their display
/// is decoded. Unlike a shell file list it never moves the process's current directory.
class FileListBox final : public QListWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FileListBox)

public:
    static constexpr int kRowHeight = 18;
    /// From this many listed files on, the rest are read under a busy cursor.
    static constexpr int kBusyCursorFrom = 100;

    explicit FileListBox(QWidget* parent = nullptr);

    /// Shows the files of `folder`; the folder already shown is not read again. A folder that cannot be
    /// listed shows no files.
    void showFolder(const std::string& folder);

    /// The folder shown, without a trailing slash (except the root).
    const std::string& folder() const { return m_folder; }

private:
    std::string m_folder;
    platform::Collation m_collation; // opened once: every folder shown is sorted with it
};

} // namespace versweep
