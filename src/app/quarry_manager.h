// The main window: the check list of release entries, the file preview and the commands below them.
#pragma once

#include <memory>
#include <string>

#include <QWidget>

#include "ini/ini_file.h"
#include "scan/refresh_list.h"
#include "scan/trash_batch.h"
#include "widgets/check_list.h"

class QAction;
class QCheckBox;
class QFrame;
class QMenu;
class QPushButton;

namespace versweep {

class BackgroundSizer;
class CheckListModel;
class CheckListView;
class FileListBox;
class FlatLookStyle;
class HotSpotSplitter;
class SelectFolderDialog;

/// The program's one window. It keeps the folder being organised and the settings file, lists and marks
/// the folder's entries, and runs every command and event handler. Settings are written as they change;
/// only the splitter position is written when the window goes.
class QuarryManagerFm final : public QWidget, private GroupMenuSink
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QuarryManagerFm)

public:
    /// The window with its settings in `settingsFile`.
    explicit QuarryManagerFm(std::string settingsFile, QWidget* parent = nullptr);
    /// Removes the group entries and writes "Position".
    ~QuarryManagerFm() override;

    const std::string& Folder() const { return m_folder; }

    /// Organises `folder` as if it had been chosen with the folder chooser: stored as "vPath" and listed.
    void OpenFolder(std::string folder);

    /// Lists and marks the folder's entries, rebuilds the group entries of the popup menu and sets the
    /// delete button's state.
    void RefreshList();

    void ButtonChooseDirClick();
    void ButtonDeleteClick();
    void ButtonQuitClick();
    void CheckBoxDupClick();
    void CheckBoxFileClick();
    void CheckListClick();
    void CheckListChange();
    void GroupMenuItemClick(QAction* entry);
    void miEmptyDirClick();
    void miUndoClick();
    void miKeepCountClick();
    void miAboutClick();

protected:
    void showEvent(QShowEvent* event) override;
    /// A single local folder dropped on the window is opened; anything else is refused.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildLayout();
    void BuildPopupMenu();
    void ConnectHandlers();
    void FormShow();
    void StartSizing();
    void ShowBatchProblems(const QString& summary, const BatchReport& report);

    // The group entries of the popup menu, rebuilt by every listing pass.
    void ClearGroupMenu() override;
    void AddGroupEntry(const std::string& tag) override;

    IniFile m_settings;
    std::string m_undoRecord;
    std::string m_folder;
    RefreshReport m_listing; // what the last listing pass saw, the entries' files among it
    bool m_shown = false;

    CheckList m_list;
    std::unique_ptr<CheckListModel> m_model; // after m_list: it stops observing the list before the list goes
    FlatLookStyle* m_style = nullptr;
    BackgroundSizer* m_sizer = nullptr;

    QFrame* m_panelClient = nullptr;
    HotSpotSplitter* m_splitter = nullptr;
    CheckListView* m_checkList = nullptr;
    QFrame* m_panelInfo = nullptr;
    FileListBox* m_fileListBox = nullptr;
    QWidget* m_panelBottom = nullptr;
    QCheckBox* m_checkBoxFile = nullptr;
    QCheckBox* m_checkBoxDup = nullptr;
    QPushButton* m_buttonChooseDir = nullptr;
    QPushButton* m_buttonDelete = nullptr;
    QPushButton* m_buttonQuit = nullptr;
    SelectFolderDialog* m_selectFolderDialog = nullptr;
    QMenu* m_popupMenu = nullptr;
    QAction* m_miEmptyDir = nullptr;
    QAction* m_miUndo = nullptr;
    QAction* m_miKeepCount = nullptr;
    QAction* m_miAbout = nullptr;
};

} // namespace versweep
