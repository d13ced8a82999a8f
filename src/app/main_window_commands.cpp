// The commands of the main window's buttons and popup menu that change marks, move entries or ask the user.
#include "app/main_window.h"

#include <algorithm>
#include <memory>
#include <vector>

#include <QAction>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>
#include <QThreadPool>

#include "version.h"
#include "widgets/check_list_model.h"
#include "widgets/display_name.h"

namespace versweep {

namespace {

constexpr const char* kSection = "CONFIG";
// More versions than this of one title is not a sweep any more.
constexpr int kMaxKeepCount = 99;

int FailedCount(const BatchReport& report, bool countTroubled)
{
    return static_cast<int>(
        std::count_if(report.entries.begin(), report.entries.end(), [&](const EntryOutcome& entry) {
            return !entry.succeeded || (countTroubled && !entry.reason.empty());
        }));
}

int SucceededCount(const BatchReport& report)
{
    return static_cast<int>(std::count_if(report.entries.begin(), report.entries.end(),
                                          [](const EntryOutcome& entry) { return entry.succeeded; }));
}

} // namespace

void MainWindow::moveCheckedToTrash()
{
    const auto checked = static_cast<int>(m_session.CurrentListing().CheckedCount());
    QMessageBox question(QMessageBox::Question, tr("删除确认"),
                         tr("您是否确认删除选中的项目(%n个项目)！", nullptr, checked),
                         QMessageBox::Yes | QMessageBox::No, this);
    question.setObjectName("DeleteConfirmation");
    // Moving to the trash frees nothing until the trash is emptied, so the line says what moves.
    const platform::TreeSize total = m_model->checkedTotal();
    const QString amount = FormattedSize(total.bytes);
    question.setInformativeText(total.complete
                                    ? tr("将%n个项目(%1)移到回收站。", nullptr, checked).arg(amount)
                                    : tr("将%n个项目(至少 %1)移到回收站。", nullptr, checked).arg(amount));
    if (question.exec() != QMessageBox::Yes)
        return;
    const TrashBatch batch = m_session.CheckedBatch();
    const BatchReport report =
        runBatch(tr("正在移到回收站… %1 / %2"), batch.entries.size(),
                 [this, &batch](const BatchControl& control) { return m_session.MoveToTrash(batch, control); });
    if (m_closeAfterBatch)
        return;
    // Each failure leaves its entry in the folder, where the listing below shows it again.
    const int moved = SucceededCount(report);
    m_afterListing = [this, moved] {
        showNote(m_session.CurrentListing().CheckedCount() == 0
                     ? tr("已将 %n 个项目移到回收站，没有剩下要清理的项目。", nullptr, moved)
                     : tr("已将 %n 个项目移到回收站。", nullptr, moved));
    };
    relist();
    if (const int failed = FailedCount(report, true); failed > 0)
        showBatchProblems(tr("有 %n 个项目未能按要求移到回收站。", nullptr, failed), report);
    else if (report.recordError)
        showBatchProblems(tr("项目已移到回收站，但“撤销上次删除”无法取回它们。"), report);
}

// One message for a batch that did not go as asked: `summary`, and each entry with its reason in the details.
void MainWindow::showBatchProblems(const QString& summary, const BatchReport& report)
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

void MainWindow::checkGroup(QAction* entry)
{
    const auto changed =
        static_cast<int>(m_session.CheckGroup(entry->data().toByteArray().toStdString(), entry->isChecked()));
    const QString tag = DisplayName(entry->data().toByteArray().toStdString());
    showNote(entry->isChecked() ? tr("组 %1：选中了 %n 个项目", nullptr, changed).arg(tag)
                                : tr("组 %1：取消选中了 %n 个项目", nullptr, changed).arg(tag));
}

void MainWindow::checkEmptyFolders()
{
    // The walks run where the listing pass does, after any pass asked for before them. What stops the newest
    // pass stops them too: a newer listing, whose coming drops their marks anyway, or the window closing.
    m_listingPool->start([this, listing = m_shownListing, paths = m_session.EntryPaths(), pass = m_pass] {
        const std::atomic<bool>* stop = pass ? &pass->stop : nullptr;
        emit emptyFoldersFound(
            listing, std::make_shared<std::vector<EntryId>>(SweepSession::FindEmptyFolders(paths, stop)));
    });
}

void MainWindow::checkFoundEmptyFolders(quint64 listing, const std::shared_ptr<std::vector<EntryId>>& ids)
{
    // Marks found for a listing that is no longer shown, or about to be replaced, are dropped with it.
    if (listing != m_shownListing || isListing())
        return;
    showNote(tr("选中了 %n 个空目录", nullptr, static_cast<int>(m_session.CheckEmpty(*ids))));
}

void MainWindow::undoLastMove()
{
    const BatchReport report = runBatch(tr("正在从回收站取回… %1 / %2"), 0, [this](const BatchControl& control) {
        return m_session.UndoLastMove(control);
    });
    if (m_closeAfterBatch)
        return;
    m_afterListing = [this, restored = SucceededCount(report)] {
        showNote(tr("已从回收站恢复 %n 个项目。", nullptr, restored));
    };
    relist();
    if (const int failed = FailedCount(report, false); failed > 0 || report.recordError)
        showBatchProblems(tr("有 %n 个项目未能恢复。", nullptr, failed), report);
}

void MainWindow::chooseKeepCount()
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
        relist();
}

void MainWindow::showAbout()
{
    try {
        QMessageBox::information(this, QGuiApplication::applicationDisplayName(),
                                 QStringLiteral("Versweep v") +
                                     QString::fromUtf8(kVersion.data(), kVersion.size()) + QStringLiteral("\n\n") +
                                     tr("由 Versweep 开发者编写。"));
    } catch (...) {
        // Nothing the About box could raise is worth more than the window.
    }
}

} // namespace versweep
