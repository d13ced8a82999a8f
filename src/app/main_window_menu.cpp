// The popup menu's commands about the row under the mouse: its title on the lists, its folder, its name.
#include "app/main_window.h"

#include <QAction>
#include <QClipboard>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>

#include "platform/file_system.h"
#include "release/release_name.h"
#include "tools/text_tools.h"
#include "widgets/check_list_model.h"
#include "widgets/check_list_view.h"
#include "widgets/display_name.h"
#include "widgets/local_path.h"

namespace versweep {

namespace {

constexpr const char* kSection = "CONFIG";

} // namespace

void MainWindow::buildRowCommands()
{
    QAction* before = m_popupMenu->actions().value(m_popupMenu->actions().indexOf(m_keepCountAction) + 1);
    const auto command = [this](const QString& caption, const char* objectName) {
        auto* action = new QAction(caption, m_popupMenu);
        action->setObjectName(objectName);
        return action;
    };
    m_neverMarkAction = command(tr("从不标记此标题"), "miNeverMark");
    m_alwaysMarkAction = command(tr("总是标记此标题"), "miAlwaysMark");
    m_editListsAction = command(tr("编辑白名单和黑名单…"), "miEditLists");
    m_openFolderAction = command(tr("在文件管理器中打开"), "miOpenFolder");
    m_copyNameAction = command(tr("复制名称"), "miCopyName");
    m_popupMenu->insertSeparator(before);
    m_popupMenu->insertActions(before, {m_neverMarkAction, m_alwaysMarkAction, m_editListsAction});
    m_popupMenu->insertSeparator(before);
    m_popupMenu->insertActions(before, {m_openFolderAction, m_copyNameAction});
    m_popupMenu->insertSeparator(before);

    connect(m_neverMarkAction, &QAction::triggered, this, &MainWindow::neverMarkTitle);
    connect(m_alwaysMarkAction, &QAction::triggered, this, &MainWindow::alwaysMarkTitle);
    connect(m_editListsAction, &QAction::triggered, this, &MainWindow::editTitleLists);
    connect(m_openFolderAction, &QAction::triggered, this, &MainWindow::openInFileManager);
    connect(m_copyNameAction, &QAction::triggered, this, &MainWindow::copyName);
    connect(m_popupMenu, &QMenu::aboutToShow, this, &MainWindow::updateRowCommands);
}

// The row commands act on the current row, which a right press has just made current.
void MainWindow::updateRowCommands()
{
    const Entry* entry = m_model->entryAt(m_listView->currentIndex());
    const bool titled =
        entry != nullptr && !entry->mark.titleKey.empty() && !NormalizeTitle(entry->readName).empty();
    m_neverMarkAction->setEnabled(titled);
    m_alwaysMarkAction->setEnabled(titled);
    m_openFolderAction->setEnabled(m_session.CurrentListing().IsListed() &&
                                   (entry == nullptr || entry->kind == platform::EntryKind::Folder));
    m_copyNameAction->setEnabled(entry != nullptr);
}

void MainWindow::addTitleToList(const char* key, const std::string& title)
{
    std::string list = m_settings.ReadString(kSection, key, "");
    StringList scratch;
    if (!MatchesNameList(NormalizeTitle(title), UpperCaseAscii(list), scratch))
        AppendCommaEntry(list, title);
    m_settings.WriteString(kSection, key, list);
}

void MainWindow::neverMarkTitle()
{
    const Entry* entry = m_model->entryAt(m_listView->currentIndex());
    if (entry == nullptr)
        return;
    const std::string title(TitleText(entry->readName));
    addTitleToList("WhiteList", title);
    relist();
    showNote(tr("“%1”已加入白名单").arg(DisplayName(title)));
}

// The white list wins over the black list, so the title leaves the white list where an entry there covers it:
// otherwise "always" would change nothing.
void MainWindow::alwaysMarkTitle()
{
    const Entry* entry = m_model->entryAt(m_listView->currentIndex());
    if (entry == nullptr)
        return;
    const std::string title(TitleText(entry->readName));
    const std::string key = UpperCaseAscii(NormalizeTitle(title));
    StringList whiteList;
    SetCommaText(whiteList, m_settings.ReadString(kSection, "WhiteList", ""));
    std::string kept;
    bool dropped = false;
    for (const std::string& white : whiteList) {
        const std::string whiteKey = UpperCaseAscii(NormalizeTitle(white));
        if (!whiteKey.empty() && key.find(whiteKey) != std::string::npos) {
            dropped = true;
            continue;
        }
        AppendCommaEntry(kept, white);
    }
    if (dropped)
        m_settings.WriteString(kSection, "WhiteList", kept);
    addTitleToList("BlackList", title);
    relist();
    showNote(tr("“%1”已加入黑名单").arg(DisplayName(title)));
}

void MainWindow::editTitleLists()
{
    QDialog dialog(this);
    dialog.setObjectName("TitleListsDialog");
    dialog.setWindowTitle(tr("白名单和黑名单"));
    auto* form = new QFormLayout(&dialog);
    auto* whiteList =
        new QLineEdit(QString::fromStdString(m_settings.ReadString(kSection, "WhiteList", "")), &dialog);
    whiteList->setObjectName("WhiteList");
    auto* blackList =
        new QLineEdit(QString::fromStdString(m_settings.ReadString(kSection, "BlackList", "")), &dialog);
    blackList->setObjectName("BlackList");
    whiteList->setMinimumWidth(360);
    form->addRow(tr("从不标记（白名单）："), whiteList);
    form->addRow(tr("总是标记（黑名单）："), blackList);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    const QString shownWhite = whiteList->text();
    const QString shownBlack = blackList->text();
    if (dialog.exec() != QDialog::Accepted)
        return;
    // A list left as shown is not written back: its stored bytes may not be UTF-8, which the field cannot hold.
    if (whiteList->text() != shownWhite)
        m_settings.WriteString(kSection, "WhiteList", whiteList->text().toStdString());
    if (blackList->text() != shownBlack)
        m_settings.WriteString(kSection, "BlackList", blackList->text().toStdString());
    if (!m_folder.empty())
        relist();
}

void MainWindow::openInFileManager()
{
    const Listing& listing = m_session.CurrentListing();
    const Entry* entry = m_model->entryAt(m_listView->currentIndex());
    const std::string path =
        entry != nullptr ? platform::JoinPath(listing.Folder(), entry->name) : listing.Folder();
    if (!QDesktopServices::openUrl(LocalFileUrl(path)))
        showNote(tr("无法打开“%1”").arg(DisplayName(path)));
}

void MainWindow::copyName()
{
    if (const Entry* entry = m_model->entryAt(m_listView->currentIndex()))
        QGuiApplication::clipboard()->setText(QString::fromUtf8(entry->name));
}

} // namespace versweep
