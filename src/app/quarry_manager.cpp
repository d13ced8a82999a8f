// The main window's lifecycle and its command and event handlers.
#include "app/quarry_manager.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include <QAction>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QInputDialog>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QStringList>

#include "app/show_info.h"
#include "platform/file_system.h"
#include "scan/trash_batch.h"
#include "scan/undo_record.h"
#include "version.h"
#include "widgets/background_sizer.h"
#include "widgets/busy_cursor.h"
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
// More versions than this of one title is not a sweep any more.
constexpr int kMaxKeepCount = 99;
// Entries made by a listing pass carry this tag; the fixed commands have none (0).
constexpr const char* kMenuTag = "menuTag";

} // namespace

QuarryManagerFm::QuarryManagerFm(std::string settingsFile, QWidget* parent)
    : QWidget(parent), m_settings(std::move(settingsFile)), m_undoRecord(DefaultUndoRecordPath()),
      m_model(std::make_unique<CheckListModel>(m_list))
{
    m_sizer = new BackgroundSizer(this);
    BuildLayout();
    ConnectHandlers();
}

QuarryManagerFm::~QuarryManagerFm()
{
    m_sizer->Cancel();
    ClearGroupMenu();
    m_settings.WriteInteger(kSection, "Position", m_splitter->Position());
}

void QuarryManagerFm::ConnectHandlers()
{
    connect(m_buttonChooseDir, &QPushButton::clicked, this, &QuarryManagerFm::ButtonChooseDirClick);
    connect(m_buttonDelete, &QPushButton::clicked, this, &QuarryManagerFm::ButtonDeleteClick);
    connect(m_buttonQuit, &QPushButton::clicked, this, &QuarryManagerFm::ButtonQuitClick);
    // Toggled, not clicked: a state set from code runs the handler as a click would.
    connect(m_checkBoxDup, &QCheckBox::toggled, this, &QuarryManagerFm::CheckBoxDupClick);
    connect(m_checkBoxFile, &QCheckBox::toggled, this, &QuarryManagerFm::CheckBoxFileClick);
    connect(m_miEmptyDir, &QAction::triggered, this, &QuarryManagerFm::miEmptyDirClick);
    connect(m_miUndo, &QAction::triggered, this, &QuarryManagerFm::miUndoClick);
    connect(m_miKeepCount, &QAction::triggered, this, &QuarryManagerFm::miKeepCountClick);
    connect(m_miAbout, &QAction::triggered, this, &QuarryManagerFm::miAboutClick);
    // Whether there is a batch to take back can change outside the window (the trash emptied, a script).
    connect(m_popupMenu, &QMenu::aboutToShow, this,
            [this] { m_miUndo->setEnabled(HasUndoableBatch(m_undoRecord)); });
    connect(m_checkList, &QWidget::customContextMenuRequested, this, [this](const QPoint& position) {
        m_popupMenu->popup(m_checkList->viewport()->mapToGlobal(position));
    });
    // Row 0 is the header, so the sizer's path i is row i + 1.
    connect(m_sizer, &BackgroundSizer::Measured, m_model.get(),
            [this](int index, EntrySize size) { m_model->SetSize(index + 1, size); });
    connect(m_sizer, &BackgroundSizer::Finished, m_model.get(), [this] { m_model->SetSizing(false); });
    m_list.SetOnClick([this] { CheckListClick(); });
    m_list.SetOnChange([this](int /*index*/, CheckList::CheckState /*state*/) { CheckListChange(); });
}

void QuarryManagerFm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void QuarryManagerFm::FormShow()
{
    m_folder = m_settings.ReadString(kSection, "vPath", "");
    // The system would read such a path only up to its NUL: a parent folder, never the one stored.
    if (platform::HoldsNul(m_folder))
        m_folder.clear();
    m_splitter->SetPosition(m_settings.ReadInteger(kSection, "Position", m_splitter->Position()));
    m_checkBoxDup->setChecked(m_settings.ReadBool(kSection, "OnlyDuplicate", true));
    m_checkBoxFile->setChecked(m_settings.ReadBool(kSection, "ListFile", false));
    if (platform::DirectoryExists(m_folder))
        RefreshList();
}

void QuarryManagerFm::RefreshList()
{
    const BusyCursor busy;
    m_sizer->Cancel();
    RefreshOptions options;
    options.onlyDuplicate = m_checkBoxDup->isChecked();
    options.listFile = m_checkBoxFile->isChecked();
    m_buttonDelete->setEnabled(versweep::RefreshList(m_list, m_folder, m_settings, options, *this, &m_listing));
    StartSizing();
}

// Each entry's size is measured in the background; the list shows sizes as they come.
void QuarryManagerFm::StartSizing()
{
    std::vector<std::string> paths;
    paths.reserve(static_cast<std::size_t>(std::max(0, m_list.ItemCount() - 1)));
    for (int row = 1; row < m_list.ItemCount(); ++row)
        paths.push_back(platform::JoinPath(m_folder, m_list.ItemText(row)));
    m_model->SetSizing(!paths.empty());
    m_sizer->Start(std::move(paths));
}

void QuarryManagerFm::ClearGroupMenu()
{
    const QList<QAction*> entries = m_popupMenu->actions();
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        if ((*entry)->property(kMenuTag).toInt() > 0) {
            m_popupMenu->removeAction(*entry);
            delete *entry;
        }
    }
}

void QuarryManagerFm::AddGroupEntry(const std::string& tag)
{
    // The caption shows the tag as written: a lone '&' would otherwise mark a shortcut and vanish.
    auto* entry = new QAction(DisplayName(tag).replace('&', QStringLiteral("&&")), m_popupMenu);
    entry->setCheckable(true);
    entry->setData(QByteArray::fromStdString(tag));
    entry->setProperty(kMenuTag, 1);
    connect(entry, &QAction::triggered, this, [this, entry] { GroupMenuItemClick(entry); });
    m_popupMenu->addAction(entry);
}

void QuarryManagerFm::ButtonChooseDirClick()
{
    const platform::Result<bool> confirmed = m_selectFolderDialog->ShowFolderChooser();
    if (!confirmed) {
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(confirmed.Error().message));
        return;
    }
    if (confirmed.Value())
        OpenFolder(m_selectFolderDialog->SelectedFolder());
}

void QuarryManagerFm::OpenFolder(std::string folder)
{
    m_folder = std::move(folder);
    m_settings.WriteString(kSection, "vPath", m_folder);
    RefreshList();
}

namespace {

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

void QuarryManagerFm::dragEnterEvent(QDragEnterEvent* event)
{
    if (DroppedFolder(event->mimeData()))
        event->acceptProposedAction();
}

void QuarryManagerFm::dropEvent(QDropEvent* event)
{
    std::optional<std::string> folder = DroppedFolder(event->mimeData());
    if (!folder)
        return;
    event->acceptProposedAction();
    OpenFolder(std::move(*folder));
}

void QuarryManagerFm::ButtonDeleteClick()
{
    const int checked = m_list.CheckedCount();
    QMessageBox question(QMessageBox::Question, tr("删除确认"),
                         tr("您是否确认删除选中的项目(%n个项目)！", nullptr, checked),
                         QMessageBox::Yes | QMessageBox::No, this);
    question.setObjectName("DeleteConfirmation");
    // Moving to the trash frees nothing until the trash is emptied, so the line says what moves.
    const EntrySize total = m_model->CheckedTotal();
    const QString amount = QLocale().formattedDataSize(total.bytes, 1, QLocale::DataSizeTraditionalFormat);
    question.setInformativeText(total.complete
                                    ? tr("将%n个项目(%1)移到回收站。", nullptr, checked).arg(amount)
                                    : tr("将%n个项目(至少 %1)移到回收站。", nullptr, checked).arg(amount));
    if (question.exec() != QMessageBox::Yes)
        return;
    BatchReport report;
    {
        const BusyCursor busy;
        report = TrashCheckedEntries(m_list, m_folder, m_listing.ids, m_undoRecord);
    }
    // Each failure leaves its entry in the folder, where the listing below shows it again.
    RefreshList();
    const auto failed = std::count_if(report.entries.begin(), report.entries.end(), [](const EntryOutcome& entry) {
        return !entry.succeeded || !entry.reason.empty();
    });
    if (failed > 0)
        ShowBatchProblems(tr("有 %n 个项目未能按要求移到回收站。", nullptr, static_cast<int>(failed)), report);
    else if (report.recordError)
        ShowBatchProblems(tr("项目已移到回收站，但“撤销上次删除”无法取回它们。"), report);
}

// One message for a batch that did not go as asked: `summary`, and each entry with its reason in the details.
void QuarryManagerFm::ShowBatchProblems(const QString& summary, const BatchReport& report)
{
    QStringList details;
    for (const EntryOutcome& entry : report.entries) {
        if (!entry.succeeded || !entry.reason.empty())
            details << DisplayName(entry.name) + QStringLiteral(": ") + DisplayName(entry.reason);
    }
    if (report.recordError)
        details << tr("撤销记录：%1").arg(DisplayName(report.recordError->message));
    QMessageBox box(QMessageBox::Warning, windowTitle(), summary, QMessageBox::Ok, this);
    box.setObjectName("BatchProblems");
    box.setDetailedText(details.join(QLatin1Char('\n')));
    box.exec();
}

void QuarryManagerFm::ButtonQuitClick()
{
    close();
}

void QuarryManagerFm::CheckBoxDupClick()
{
    if (!m_folder.empty())
        RefreshList();
    m_settings.WriteBool(kSection, "OnlyDuplicate", m_checkBoxDup->isChecked());
}

void QuarryManagerFm::CheckBoxFileClick()
{
    if (!m_folder.empty())
        RefreshList();
    m_settings.WriteBool(kSection, "ListFile", m_checkBoxFile->isChecked());
}

void QuarryManagerFm::CheckListClick()
{
    const int index = m_list.SelectedIndex();
    if (index < 0 || m_list.IsGroupHeader(index)) {
        m_fileListBox->hide();
        return;
    }
    const std::string path = platform::JoinPath(m_folder, m_list.ItemText(index));
    // A folder that vanished hides the preview.
    const bool shown = platform::DirectoryExists(path);
    if (shown)
        m_fileListBox->showFolder(path);
    m_fileListBox->setVisible(shown);
}

void QuarryManagerFm::CheckListChange()
{
    m_buttonDelete->setEnabled(m_list.CheckedCount() > 0);
}

void QuarryManagerFm::GroupMenuItemClick(QAction* entry)
{
    SetGroupChecked(m_list, entry->data().toByteArray().toStdString(), entry->isChecked());
}

void QuarryManagerFm::miEmptyDirClick()
{
    const BusyCursor busy;
    CheckEmptyEntries(m_list, m_folder);
}

void QuarryManagerFm::miUndoClick()
{
    BatchReport report;
    {
        const BusyCursor busy;
        report = UndoLastBatch(m_undoRecord);
    }
    RefreshList();
    const auto failed = std::count_if(report.entries.begin(), report.entries.end(),
                                      [](const EntryOutcome& entry) { return !entry.succeeded; });
    if (failed > 0 || report.recordError)
        ShowBatchProblems(tr("有 %n 个项目未能恢复。", nullptr, static_cast<int>(failed)), report);
}

void QuarryManagerFm::miKeepCountClick()
{
    QInputDialog dialog(this);
    dialog.setObjectName("KeepCountDialog");
    dialog.setWindowTitle(tr("保留版本数"));
    dialog.setLabelText(tr("每个标题保留最新的几个版本："));
    dialog.setInputMode(QInputDialog::IntInput);
    dialog.setIntRange(1, kMaxKeepCount);
    dialog.setIntValue(std::clamp(m_settings.ReadInteger(kSection, "KeepCount", 1), 1, kMaxKeepCount));
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_settings.WriteInteger(kSection, "KeepCount", dialog.intValue());
    if (!m_folder.empty())
        RefreshList();
}

void QuarryManagerFm::miAboutClick()
{
    try {
        ShowInfo(this, QStringLiteral("Versweep v") + QString::fromUtf8(kVersion.data(), kVersion.size()) +
                           QStringLiteral("\n\n") + tr("由 Versweep 开发者编写。"));
    } catch (...) {
        // Nothing the About box could raise is worth more than the window.
    }
}

} // namespace versweep
