// The folder chooser over QFileDialog.
#include "widgets/select_folder_dialog.h"

#include <cerrno>

#include <QFileDialog>
#include <QScopeGuard>
#include <QUrl>

#include "widgets/local_path.h"

namespace versweep {

SelectFolderDialog::SelectFolderDialog(QWidget* parent) : QObject(parent), m_parent(parent) {}

platform::Result<bool> SelectFolderDialog::ShowFolderChooser()
{
    if (m_running)
        return platform::SystemError{EBUSY, "SelectFolderDialog already executing"};
    m_running = true;
    const auto finished = qScopeGuard([this] { m_running = false; });
    QFileDialog dialog(m_parent, m_title);
    dialog.setObjectName("SelectFolderDialog");
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setFilter(dialog.filter() | QDir::Hidden);
    if (dialog.exec() != QDialog::Accepted)
        return false;

    // Qt hands the choice back as a URL; a local one gives its path in the file system's own encoding.
    const QList<QUrl> urls = dialog.selectedUrls();
    const QUrl chosen = urls.isEmpty() ? QUrl() : urls.front();
    m_selectedFolder =
        chosen.isLocalFile() ? QFile::encodeName(chosen.toLocalFile()).toStdString() : std::string();
    while (m_selectedFolder.size() > 1 && m_selectedFolder.back() == '/')
        m_selectedFolder.pop_back();
    return true;
}

} // namespace versweep
