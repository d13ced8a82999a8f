// The folder chooser over QFileDialog.
#include "widgets/select_folder_dialog.h"

#include <cerrno>

#include <QFileDialog>
#include <QScopeGuard>
#include <QUrl>

#include "widgets/local_path.h"

namespace versweep {

SelectFolderDialog::SelectFolderDialog(QWidget* parent) : QObject(parent), m_parent(parent) {}

platform::Result<bool> SelectFolderDialog::showFolderChooser()
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

    // Qt hands the choice back as a URL; its percent-encoded path keeps the bytes of the name.
    const QList<QUrl> urls = dialog.selectedUrls();
    m_selectedFolder = urls.isEmpty() ? std::string() : LocalPathBytes(urls.front()).value_or(std::string());
    return true;
}

} // namespace versweep
