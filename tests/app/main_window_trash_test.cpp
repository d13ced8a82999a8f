// Tests of the window's delete and undo commands, against a private trash: the question, what moves, and
// what comes back.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <QAction>
#include <QElapsedTimer>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/translations.h"
#include "scan/trash_batch.h"
#include "scan/undo_record.h"
#include "slow_share.h"
#include "temp_dir.h"
#include "widgets/check_list_model.h"
#include "widgets/check_list_view.h"
#include "widgets/file_list_box.h"
#include "window_fixture.h"

namespace versweep {

namespace {

std::string TrashFiles()
{
    return std::string(std::getenv("XDG_DATA_HOME")) + "/Trash/files";
}

int TrashedCount()
{
    std::error_code error;
    const auto entries = std::filesystem::directory_iterator(TrashFiles(), error);
    return error ? 0
                 : static_cast<int>(std::distance(std::filesystem::begin(entries), std::filesystem::end(entries)));
}

bool Exists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

} // namespace

class MainWindowTrashTest : public QObject, protected WindowFixture
{
    Q_OBJECT

private slots:
    void init()
    {
        InitFixture();
        std::filesystem::remove_all(TrashFiles() + "/..");
    }
    void cleanup() { CleanupFixture(); }

    void questionCountsTheCheckedEntriesAndNoKeepsEverything_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("complete");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("line"); // %1: the amount
        const QString chinese = QString::fromUtf8("您是否确认删除选中的项目(3个项目)！");
        QTest::newRow("Chinese") << "zh_CN" << true << chinese << QString::fromUtf8("将3个项目(%1)移到回收站。");
        QTest::newRow("Chinese, a size partly read")
            << "zh_CN" << false << chinese << QString::fromUtf8("将3个项目(至少 %1)移到回收站。");
        QTest::newRow("English") << "en" << true << "Move 3 checked entries to the trash?"
                                 << "Moves 3 entries (%1) to the trash.";
        QTest::newRow("English, a size partly read") << "en" << false << "Move 3 checked entries to the trash?"
                                                     << "Moves 3 entries (at least %1) to the trash.";
    }
    void questionCountsTheCheckedEntriesAndNoKeepsEverything()
    {
        QFETCH(QString, language);
        QFETCH(bool, complete);
        QFETCH(QString, question);
        QFETCH(QString, line);
        InstallTranslations(language.toStdString());
        m_temp->MakeFile("Downloads/Game.v1.0-A/data.bin", 2048);
        OpenOn({"Game.v1.0-A", "Game.v1.1-B", "Game.v1.2-C", "Game.v2.0-D"});
        QCOMPARE(CheckedCount(), 3);
        // Sizes known for certain, the sizer's own results in first so that none can come after.
        QTRY_VERIFY(Model()->checkedTotal().complete);
        for (const char* entry : {"Game.v1.0-A", "Game.v1.1-B", "Game.v1.2-C"})
            Model()->setSize(Model()->entryAt(Model()->index(Row(entry)))->id,
                             platform::TreeSize{512, complete || std::string(entry) != "Game.v1.1-B"});
        QString text;
        QString informative;
        QString title;
        AnswerNextDialog<QMessageBox>([&](QMessageBox* box) {
            text = box->text();
            informative = box->informativeText();
            title = box->windowTitle();
            QCOMPARE(box->icon(), QMessageBox::Question);
            QCOMPARE(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
            box->button(QMessageBox::No)->click();
        });
        DeleteButton()->click();
        WaitForListing();
        QCOMPARE(text, question);
        QCOMPARE(informative, line.arg("1.5 KiB"));
        QCOMPARE(title, language == "en" ? QString("Confirm deletion") : QString::fromUtf8("删除确认"));
        QCOMPARE(RowCount(), 5);
        QCOMPARE(CheckedCount(), 3);
        QVERIFY(Exists(Folder() + "/Game.v1.0-A/data.bin"));
    }

    void yesMovesExactlyTheCheckedEntriesAndUndoBringsThemBack()
    {
        m_temp->MakeFile("Downloads/Odd, \"name\".v1-C/setup.exe");
        OpenOn({"Game.v1.0-A", "Game.v2.0-B", "Odd, \"name\".v1-C", "Odd, \"name\".v2-C"});
        QVERIFY(Model()->setData(Model()->index(Row("Game.v1.0-A")), Qt::Unchecked, Qt::CheckStateRole));
        auto* preview = Find<FileListBox>("FileListBox");
        QTest::mouseClick(View()->viewport(), Qt::LeftButton, {}, TextPoint(Row("Odd, \"name\".v1-C")));
        QTRY_COMPARE(preview->count(), 1);
        AnswerNextDialog<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
        DeleteButton()->click();
        WaitForListing();
        QVERIFY(!preview->isVisible()); // its folder is in the trash now
        QCOMPARE(preview->count(), 0);
        QVERIFY(!Exists(Folder() + "/Odd, \"name\".v1-C"));
        for (const char* kept : {"Game.v1.0-A", "Game.v2.0-B", "Odd, \"name\".v2-C"})
            QVERIFY2(Exists(Folder() + "/" + kept), kept);
        QVERIFY(Exists(TrashFiles() + "/Odd, \"name\".v1-C"));
        QCOMPARE(RowCount(), 3);
        QVERIFY(IsChecked(Row("Game.v1.0-A")));

        auto* undo = Find<QAction>("miUndo");
        emit Find<QMenu>("PopupMenu")->aboutToShow();
        QTRY_VERIFY(undo->isEnabled());
        undo->trigger();
        WaitForListing();
        QVERIFY(Exists(Folder() + "/Odd, \"name\".v1-C"));
        QCOMPARE(RowCount(), 5);
        QTest::mouseClick(View()->viewport(), Qt::LeftButton, {}, TextPoint(Row("Odd, \"name\".v1-C")));
        QTRY_COMPARE(preview->count(), 1);
        emit Find<QMenu>("PopupMenu")->aboutToShow();
        QTRY_VERIFY(!undo->isEnabled());
    }

    // Whether undo has anything left is asked of the trash, which may be on a slow share: the menu opens
    // without waiting, and the entry follows the answer.
    void theMenuOpensWithoutWaitingForTheTrash()
    {
        QStringList names;
        for (int i = 1; i <= 60; ++i)
            names << QStringLiteral("App.v%1-A").arg(i);
        OpenOn(names);
        AnswerNextDialog<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
        DeleteButton()->click();
        WaitForListing();
        QCOMPARE(TrashedCount(), 59);
        QTRY_VERIFY(Find<QAction>("miUndo")->isEnabled());
        std::filesystem::remove_all(TrashFiles()); // emptied: the check reads the whole record to know
        std::optional<test::SlowShare> slow(std::in_place, 5);
        QElapsedTimer opening;
        opening.start();
        emit Find<QMenu>("PopupMenu")->aboutToShow();
        const qint64 opened = opening.elapsed();
        slow.reset();
        QVERIFY2(opened < 100, qPrintable(QString::number(opened))); // the check alone takes several times that
        QTRY_VERIFY(!Find<QAction>("miUndo")->isEnabled());
    }

    // The batch runs while the window turns its event loop; Cancel, or closing the window, stops it after the
    // entry under way, and everything that moved stays in the undo record.
    void stoppingABatchKeepsWhatMovedUndoable_data()
    {
        QTest::addColumn<bool>("byClosing");
        QTest::newRow("Cancel") << false;
        QTest::newRow("CloseTheWindow") << true;
    }
    void stoppingABatchKeepsWhatMovedUndoable()
    {
        QFETCH(bool, byClosing);
        QStringList names{"App.v2-A"};
        for (int i = 0; i < 300; ++i)
            names << QStringLiteral("App.v1.%1-A").arg(i);
        OpenOn(names);
        QTimer stopper; // polls: the progress dialog exists from the start, shown after a delay
        stopper.setInterval(0);
        connect(&stopper, &QTimer::timeout, this, [&] {
            auto* progress = Find<QProgressDialog>("BatchProgress");
            if (progress == nullptr || progress->value() < 1)
                return;
            stopper.stop();
            if (byClosing)
                m_window->close();
            else
                progress->findChild<QPushButton*>()->click(); // its Cancel button
        });
        AnswerNextDialog<QMessageBox>([&](QMessageBox* box) {
            stopper.start();
            box->button(QMessageBox::Yes)->click();
        });
        DeleteButton()->click();
        WaitForListing();

        const int moved = TrashedCount();
        QVERIFY2(moved >= 1 && moved < 300, qPrintable(QString::number(moved)));
        const std::vector<RecordedMove> record = ReadUndoRecord(DefaultUndoRecordPath());
        QCOMPARE(std::count_if(record.begin(), record.end(),
                               [](const RecordedMove& move) { return move.stage == RecordedMove::Stage::Moved; }),
                 moved);
        QCOMPARE(m_window->isVisible(), !byClosing);
        if (!byClosing)
            QCOMPARE(RowCount(), 1 + 301 - moved);
        QCOMPARE(UndoLastBatch(DefaultUndoRecordPath()).entries.size(), std::size_t(moved));
        QCOMPARE(TrashedCount(), 0);
    }

    // Entries that did not move, or did not come back, are named in one message with their reasons.
    void failuresAreListedWithTheirReasons()
    {
        OpenOn({"Game.v1.0-A", "Game.v2.0-B", "Tool.v1-C", "Tool.v2-C"});
        std::filesystem::remove(Folder() + "/Game.v1.0-A"); // gone since the listing
        QString summary;
        QString details;
        const auto readProblems = [&](QMessageBox* box) {
            summary = box->text();
            details = box->detailedText();
            box->button(QMessageBox::Ok)->click();
        };
        AnswerNextDialog<QMessageBox>([&](QMessageBox* box) {
            AnswerNextDialog<QMessageBox>(readProblems);
            box->button(QMessageBox::Yes)->click();
        });
        DeleteButton()->click();
        WaitForListing();
        QCOMPARE(summary, QString::fromUtf8("有 1 个项目未能按要求移到回收站。"));
        QVERIFY2(details.startsWith("Game.v1.0-A: ") && details.count('\n') == 0, qPrintable(details));
        QVERIFY(!Exists(Folder() + "/Tool.v1-C"));

        m_temp->MakeDir("Downloads/Tool.v1-C"); // its place taken again
        summary.clear();
        AnswerNextDialog<QMessageBox>(readProblems);
        QTRY_VERIFY(Find<QAction>("miUndo")->isEnabled()); // checked on the listing thread after the batch
        Find<QAction>("miUndo")->trigger();
        WaitForListing();
        QCOMPARE(summary, QString::fromUtf8("有 1 个项目未能恢复。"));
        QCOMPARE(details, QString::fromStdString(Folder() + "/Tool.v1-C: its original path is taken"));
    }
};

} // namespace versweep

// One private home for the whole run: the trash code reads its folders once per process.
int main(int argc, char** argv)
{
    const versweep::test::TempDir home;
    ::setenv("HOME", home.Path().c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    ::setenv("XDG_STATE_HOME", (home / "state").c_str(), 1);
    QApplication application(argc, argv);
    versweep::MainWindowTrashTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "main_window_trash_test.moc"
