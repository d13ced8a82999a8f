// The file preview: lists the plain files of one folder with their type icons.
#pragma once

#include <string>

#include <QListWidget>

#include "platform/system_error.h"
#include "widgets/text_collation.h"

namespace versweep {

/// Shows the files of one folder (no folders, no hidden files), sorted as the check list sorts names.
/// Names stay raw bytes (Qt::UserRole holds them as a QByteArray); only their display is decoded.
/// Unlike a shell file list it never moves the process's current directory.
class FileListBox final : public QListWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FileListBox)

public:
    static constexpr int kRowHeight = 18;
    /// From this many listed files on, the rest are read under a busy cursor.
    static constexpr int kBusyCursorFrom = 100;

    explicit FileListBox(QWidget* parent = nullptr);

    /// Shows the folder `path` names, or, when its last component is an existing file or a pattern with
    /// '*' or '?', that component's folder with the file selected or the pattern as the mask. The same
    /// path again, or the folder already shown, reads nothing. A path whose last component is none of
    /// these, or a file that cannot be selected, gives an error and leaves the list as it was.
    platform::Status ApplyFilePath(const std::string& path);

    /// The folder shown, absolute, without a trailing slash (except the root).
    const std::string& Directory() const { return m_directory; }
    /// The patterns files must match, separated by ';'.
    const std::string& Mask() const { return m_mask; }

signals:
    /// The list was read anew.
    void Changed();

private:
    void Reread();
    bool SelectName(const std::string& name);

    std::string m_filePath;
    std::string m_directory;
    std::string m_mask = "*.*";
    TextCollation m_collation; // opened once: every folder shown is sorted with it
};

} // namespace versweep
