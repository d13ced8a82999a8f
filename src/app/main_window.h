// The main window: the check list of release entries, the file preview and the commands below them.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QList>
#include <QWidget>

#include "ini/ini_file.h"
#include "scan/sweep_session.h"

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QThread;
class QThreadPool;
class QTimer;

namespace versweep {

class BackgroundSizer;
class CheckListModel;
class CheckListView;
class FileListBox;
class FlatLookStyle;
class HotSpotSplitter;
class SelectFolderDialog;

/// The program's one window. It keeps the folder being organised and the settings file, drives a sweep session
/// over the folder's entries, and presents what each command did. Settings are written as they change; only
/// the splitter position is written when the window goes.
class MainWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    /// The window with its settings in `settingsFile`.
    explicit MainWindow(std::string settingsFile, QWidget* parent = nullptr);
    /// Writes "Position".
    ~MainWindow() override;

    const std::string& folder() const { return m_folder; }

    /// Organises `folder` as if it had been chosen with the folder chooser: stored as "vPath" and listed.
    void openFolder(std::string folder);

    /// Lists and marks the folder's entries again on a thread of the window's own; when the pass is done, shows
    /// it, rebuilds the group entries of the popup menu and sets the delete button's state. A newer call
    /// supersedes a pass still under way: it stops at its next entry and its result is dropped.
    void relist();
    /// Whether a listing pass is under way, its result not yet shown.
    bool isListing() const { return m_shownListing != m_listingGeneration; }

signals:
    /// A trash batch or undo tried `tried` of its `total` entries (emitted on the batch's thread).
    void batchProgressed(quint64 tried, quint64 total);
    /// The listing pass `generation` found `listed` (emitted on the listing thread).
    void listingPassDone(quint64 generation, std::shared_ptr<versweep::ListedFolder> listed);
    /// The empty-folder command, asked on the listing `listing` shows, found `ids` (emitted on the listing
    /// thread).
    void emptyFoldersFound(quint64 listing, std::shared_ptr<std::vector<versweep::EntryId>> ids);
    /// Whether the last batch has anything left to bring back (emitted on the listing thread).
    void undoableChecked(bool undoable);

protected:
    void showEvent(QShowEvent* event) override;
    /// During a trash batch or undo, the batch stops after the entry under way and the window closes then.
    void closeEvent(QCloseEvent* event) override;
    /// A single local folder dropped on the window is opened; anything else is refused.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    /// The buttons keep their distance from the right edge as the window grows.
    void resizeEvent(QResizeEvent* event) override;

private slots:
    void chooseFolder();
    void moveCheckedToTrash();
    void setOnlyDuplicates(bool on);
    void setListFiles(bool on);
    void showEntryPreview(const QModelIndex& index);
    void updateDeleteButton();
    void checkGroup(QAction* entry);
    void checkEmptyFolders();
    void undoLastMove();
    void chooseKeepCount();
    void showAbout();
    void checkFoundEmptyFolders(quint64 listing, const std::shared_ptr<std::vector<EntryId>>& ids);
    // main_window_status.cpp
    void updateStatus();
    void fitStatusLine();
    void listingShown();
    // main_window_keys.cpp
    void rescanKeepingHandMarks();
    void openFindBar();
    void closeFindBarOrQuit();
    void applyFilter();
    // main_window_menu.cpp
    void updateRowCommands();
    void neverMarkTitle();
    void alwaysMarkTitle();
    void editTitleLists();
    void openInFileManager();
    void copyName();

private:
    void buildLayout();
    void buildPopupMenu();
    void connectHandlers();
    void restoreSettings();
    ListOptions listOptions() const;
    void rebuildGroupMenu();
    void dropPreviewOfUnlistedFolder();
    // main_window_listing.cpp
    void buildListing();
    /// Shows what the listing pass `generation` found, unless a newer pass has been asked for since.
    void showListing(quint64 generation, const std::shared_ptr<ListedFolder>& listed);
    /// Says in the status line that the folder is being read, and how many entries so far, when it still is.
    void showReadingNote();
    /// "正在读取… 1,234": the entries the pass under way has read so far.
    QString readingNote() const;
    /// Enables the undo entry, on the listing thread's word, when the last batch has anything left to bring back.
    void checkUndoable();
    void showBatchProblems(const QString& summary, const BatchReport& report);
    void buildStatusLine();
    void buildKeys();
    void buildRowCommands();
    /// Says in the status line what a command did, until the user's next toggle.
    void showNote(const QString& note);
    /// Adds `title` to the comma list `key` ("WhiteList", "BlackList") and lists again.
    void addTitleToList(const char* key, const std::string& title);
    /// Runs `work` on a thread of its own and returns its report; the window paints meanwhile and, after a
    /// short delay, shows `progressText` ("%1 / %2": entries tried, of `total`) with Cancel.
    BatchReport runBatch(const QString& progressText, std::size_t total,
                         const std::function<BatchReport(const BatchControl&)>& work);

    IniFile m_settings;
    std::string m_folder;
    bool m_shown = false;
    QThread* m_worker = nullptr;           // the trash batch or undo under way
    std::atomic<bool> m_stopBatch = false; // read by the batch's thread
    bool m_closeAfterBatch = false;
    QThreadPool* m_listingPool = nullptr; // one thread: the listing pass or the empty-folder walk under way
    /// What the window and a listing pass share: the pass counts what it has read, the window stops it.
    struct PassProgress
    {
        std::atomic<bool> stop = false;
        std::atomic<std::size_t> entriesRead = 0;
    };
    std::shared_ptr<PassProgress> m_pass; // the newest pass asked for
    quint64 m_listingGeneration = 0;      // the newest pass asked for
    quint64 m_shownListing = 0;           // the pass the list shows
    QTimer* m_readingNote = nullptr;      // a pass that runs this long says so, then counts aloud
    bool m_readingShown = false;          // the status line says the folder is being read
    std::function<void()> m_afterListing; // what a command says once its relist is shown

    SweepSession m_session;
    std::unique_ptr<CheckListModel> m_model; // after m_session: it stops observing the listing before it goes
    FlatLookStyle* m_style = nullptr;
    BackgroundSizer* m_sizer = nullptr;

    QFrame* m_clientPanel = nullptr;
    HotSpotSplitter* m_splitter = nullptr;
    CheckListView* m_listView = nullptr;
    QFrame* m_previewPanel = nullptr;
    FileListBox* m_preview = nullptr;
    QWidget* m_bottomPanel = nullptr;
    QCheckBox* m_listFilesBox = nullptr;
    QCheckBox* m_onlyDuplicatesBox = nullptr;
    QPushButton* m_chooseFolderButton = nullptr;
    QPushButton* m_deleteButton = nullptr;
    QPushButton* m_quitButton = nullptr;
    SelectFolderDialog* m_folderChooser = nullptr;
    QMenu* m_popupMenu = nullptr;
    QAction* m_emptyFoldersAction = nullptr;
    QAction* m_undoAction = nullptr;
    QAction* m_keepCountAction = nullptr;
    QAction* m_aboutAction = nullptr;
    QList<QAction*> m_groupEntries; // behind the fixed commands, rebuilt by every listing
    QMenu* m_groupMenu = nullptr;   // holds the group entries when there are too many for the menu itself

    QLabel* m_statusLine = nullptr;
    QString m_statusNote;
    QString m_statusText;
    QString m_ambiguousTitles; // named once per listing, not on every change of a mark
    QWidget* m_findBar = nullptr;
    QLineEdit* m_findText = nullptr;
    QAction* m_neverMarkAction = nullptr;
    QAction* m_alwaysMarkAction = nullptr;
    QAction* m_editListsAction = nullptr;
    QAction* m_openFolderAction = nullptr;
    QAction* m_copyNameAction = nullptr;
    /// Hand marks to put back on the entries of the next listing that are still the same files (F5); none
    /// when the next listing is not a rescan.
    struct HandMark
    {
        std::string name;
        platform::FileId identity;
        bool checked = false;
    };
    std::optional<std::vector<HandMark>> m_pendingHandMarks;
};

} // namespace versweep
