// The main window's lifecycle, settings, listing and preview; its commands are in main_window_commands.cpp.
#include "app/main_window.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include <QAction>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSignalBlocker>
#include <QThreadPool>

#include "platform/file_system.h"
#include "scan/undo_record.h"
#include "widgets/background_sizer.h"
#include "widgets/check_list_model.h"
#include "widgets/check_list_view.h"
#include "widgets/display_name.h"
#include "widgets/file_list_box.h"
#include "widgets/hot_spot_splitter.h"
#include "widgets/local_path.h"
#include "widgets/select_folder_dialog.h"

namespace versweep {

namespace {

constexpr const char* kSection = "CONFIG";
constexpr std::size_t kMaxGroupsInMenu = 20;

// The folder a drop carries: exactly one URL, a local folder.
std::optional<std::string> DroppedFolder(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1)
        return std::nullopt;
    std::optional<std::string> path = LocalPathBytes(data->urls().front());
    if (!path || !platform::DirectoryExists(*path))
        return std::nullopt;
    return path;
}

} // namespace

MainWindow::MainWindow(std::string settingsFile, QWidget* parent)
    : QWidget(parent), m_settings(std::move(settingsFile)), m_session(DefaultUndoRecordPath()),
      m_model(std::make_unique<CheckListModel>(m_session.CurrentListing()))
{
    m_sizer = new BackgroundSizer(this);
    buildListing();
    buildLayout();
    connectHandlers();
    updateStatus();
}

MainWindow::~MainWindow()
{
    m_sizer->cancel();
    if (m_pass)
        m_pass->stop = true; // a pass on a slow share ends at its next entry rather than keep the window open
    m_listingPool->waitForDone();
    m_settings.WriteInteger(kSection, "Position", m_splitter->position());
}

void MainWindow::connectHandlers()
{
    connect(m_chooseFolderButton, &QPushButton::clicked, this, &MainWindow::chooseFolder);
    connect(m_deleteButton, &QPushButton::clicked, this, &MainWindow::moveCheckedToTrash);
    connect(m_quitButton, &QPushButton::clicked, this, &MainWindow::close);
    connect(m_onlyDuplicatesBox, &QCheckBox::toggled, this, &MainWindow::setOnlyDuplicates);
    connect(m_listFilesBox, &QCheckBox::toggled, this, &MainWindow::setListFiles);
    connect(m_emptyFoldersAction, &QAction::triggered, this, &MainWindow::checkEmptyFolders);
    connect(m_undoAction, &QAction::triggered, this, &MainWindow::undoLastMove);
    connect(m_keepCountAction, &QAction::triggered, this, &MainWindow::chooseKeepCount);
    connect(m_aboutAction, &QAction::triggered, this, &MainWindow::showAbout);
    // Whether there is a batch to take back can change outside the window (the trash emptied, a script).
    // The menu opens at once; the undo entry follows when the check, which may look into a trash on a slow
    // share, comes back.
    connect(m_popupMenu, &QMenu::aboutToShow, this, &MainWindow::checkUndoable);
    connect(this, &MainWindow::undoableChecked, m_undoAction, &QAction::setEnabled, Qt::QueuedConnection);
    m_undoAction->setEnabled(false);
    connect(m_listView, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& position) { m_popupMenu->popup(m_listView->viewport()->mapToGlobal(position)); });
    connect(m_listView, &CheckListView::rowClicked, this, &MainWindow::showEntryPreview);
    connect(m_preview, &FileListBox::folderRead, m_preview, &QWidget::setVisible);
    connect(m_model.get(), &CheckListModel::entryToggled, this, &MainWindow::updateDeleteButton);
    // Every change of a mark, from the user or a command, and every size reaches the status line.
    connect(m_model.get(), &CheckListModel::entryToggled, this, [this] { showNote({}); });
    connect(m_model.get(), &QAbstractItemModel::dataChanged, this, &MainWindow::updateStatus);
    connect(m_model.get(), &QAbstractItemModel::modelReset, this, &MainWindow::listingShown);
    connect(m_sizer, &BackgroundSizer::measured, m_model.get(), &CheckListModel::setSize);
    connect(m_sizer, &BackgroundSizer::finished, m_model.get(), [this] { m_model->setSizing(false); });
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        restoreSettings();
    }
}

void MainWindow::restoreSettings()
{
    m_folder = m_settings.ReadString(kSection, "vPath", "");
    // The system would read such a path only up to its NUL: a parent folder, never the one stored.
    if (platform::HoldsNul(m_folder))
        m_folder.clear();
    m_splitter->setPosition(m_settings.ReadInteger(kSection, "Position", m_splitter->position()));
    const bool onlyDuplicates = m_settings.ReadBool(kSection, "OnlyDuplicate", true);
    const bool listFiles = m_settings.ReadBool(kSection, "ListFile", false);
    {
        const QSignalBlocker quietDuplicates(m_onlyDuplicatesBox);
        const QSignalBlocker quietFiles(m_listFilesBox);
        m_onlyDuplicatesBox->setChecked(onlyDuplicates);
        m_listFilesBox->setChecked(listFiles);
    }
    // Both boxes start unchecked, and restoring one that is on has always counted as switching it on: it is
    // saved (so a first start writes "OnlyDuplicate"="1"), and the stored folder is listed even when it is gone,
    // which shows its header alone. One listing pass stands for the ones each switch used to run.
    if (onlyDuplicates)
        m_settings.WriteBool(kSection, "OnlyDuplicate", true);
    if (listFiles)
        m_settings.WriteBool(kSection, "ListFile", true);
    if (platform::DirectoryExists(m_folder) || (!m_folder.empty() && (onlyDuplicates || listFiles)))
        relist();
}

ListOptions MainWindow::listOptions() const
{
    ListOptions options;
    options.onlyDuplicates = m_onlyDuplicatesBox->isChecked();
    options.listFiles = m_listFilesBox->isChecked();
    options.whiteList = m_settings.ReadString(kSection, "WhiteList", "");
    options.blackList = m_settings.ReadString(kSection, "BlackList", "");
    options.keepCount = m_settings.ReadInteger(kSection, "KeepCount", 1);
    return options;
}

void MainWindow::rebuildGroupMenu()
{
    qDeleteAll(m_groupEntries);
    m_groupEntries.clear();
    // Beyond a screenful the entries go into a submenu, rather than fill the screen in columns.
    const std::vector<std::string>& tags = m_session.CurrentListing().GroupTags();
    QMenu* groups = tags.size() > kMaxGroupsInMenu ? m_groupMenu : m_popupMenu;
    m_groupMenu->menuAction()->setVisible(groups == m_groupMenu);
    for (const std::string& tag : tags) {
        // The caption shows the tag as written: a lone '&' would otherwise mark a shortcut and vanish.
        auto* entry = new QAction(DisplayName(tag).replace('&', QStringLiteral("&&")), m_popupMenu);
        entry->setCheckable(true);
        entry->setData(QByteArray::fromStdString(tag));
        connect(entry, &QAction::triggered, this, [this, entry] { checkGroup(entry); });
        groups->addAction(entry);
        m_groupEntries.append(entry);
    }
}

void MainWindow::chooseFolder()
{
    const platform::Result<bool> confirmed = m_folderChooser->showFolderChooser();
    if (!confirmed) {
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(confirmed.Error().message));
        return;
    }
    if (confirmed.Value())
        openFolder(m_folderChooser->selectedFolder());
}

void MainWindow::openFolder(std::string folder)
{
    m_folder = std::move(folder);
    m_settings.WriteString(kSection, "vPath", m_folder);
    relist();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (DroppedFolder(event->mimeData()))
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    std::optional<std::string> folder = DroppedFolder(event->mimeData());
    if (!folder)
        return;
    event->acceptProposedAction();
    openFolder(std::move(*folder));
}

void MainWindow::setOnlyDuplicates(bool on)
{
    if (!m_folder.empty())
        relist();
    m_settings.WriteBool(kSection, "OnlyDuplicate", on);
}

void MainWindow::setListFiles(bool on)
{
    if (!m_folder.empty())
        relist();
    m_settings.WriteBool(kSection, "ListFile", on);
}

void MainWindow::showEntryPreview(const QModelIndex& index)
{
    const Entry* entry = m_model->entryAt(index);
    // The header and a plain file have no files to show; the next click on a folder reads it anew.
    if (entry == nullptr || entry->kind == platform::EntryKind::File) {
        m_preview->showFolder(std::string());
        m_preview->setVisible(false);
        return;
    }
    // Shown once read, on the preview's own thread; a folder that vanished, or is a link to a file, is not.
    m_preview->showFolder(platform::JoinPath(m_session.CurrentListing().Folder(), entry->name));
}

// A folder that went to the trash or out of the list is not shown as if it were still there.
void MainWindow::dropPreviewOfUnlistedFolder()
{
    const Listing& listing = m_session.CurrentListing();
    const std::vector<Entry>& entries = listing.Entries();
    const bool listed = std::any_of(entries.begin(), entries.end(), [&](const Entry& entry) {
        return platform::JoinPath(listing.Folder(), entry.name) == m_preview->folder();
    });
    if (listed || m_preview->folder().empty())
        return;
    m_preview->showFolder(std::string()); // no folder: no files, and the next click reads its folder anew
    m_preview->setVisible(false);
}

void MainWindow::updateDeleteButton()
{
    m_deleteButton->setEnabled(m_session.CurrentListing().CheckedCount() > 0);
}

} // namespace versweep
