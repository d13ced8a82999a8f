// Tests of the window's delete and undo commands, against a private trash: the question, what moves, and
// what comes back.
#include <cstdlib>
#include <filesystem>
#include <string>

#include <QAction>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "temp_dir.h"
#include "widgets/check_list.h"
#include "window_fixture.h"

namespace versweep {

namespace {

std::string TrashFiles()
{
    return std::string(std::getenv("XDG_DATA_HOME")) + "/Trash/files";
}

bool Exists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

} // namespace

class QuarryManagerTrashTest : public QObject, protected WindowFixture
{
    Q_OBJECT

private slots:
    void init()
    {
        InitFixture();
        std::filesystem::remove_all(TrashFiles() + "/..");
    }
    void cleanup() { CleanupFixture(); }

    void questionCountsTheCheckedEntriesAndNoKeepsEverything()
    {
        m_temp->MakeFile("Downloads/Game.v1.0-A/data.bin", 2048);
        OpenOn({"Game.v1.0-A", "Game.v1.1-B", "Game.v1.2-C", "Game.v2.0-D"});
        QCOMPARE(List().CheckedCount(), 3);
        QString text;
        QString title;
        AnswerNextDialog<QMessageBox>([&](QMessageBox* box) {
            text = box->text();
            title = box->windowTitle();
            QCOMPARE(box->icon(), QMessageBox::Question);
            QCOMPARE(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
            QVERIFY(box->informativeText().startsWith(QString::fromUtf8("将释放")));
            box->button(QMessageBox::No)->click();
        });
        DeleteButton()->click();
        QCOMPARE(text, QString::fromUtf8("您是否确认删除选中的项目(3个项目)！"));
        QCOMPARE(title, QString::fromUtf8("删除确认"));
        QCOMPARE(List().ItemCount(), 5);
        QCOMPARE(List().CheckedCount(), 3);
        QVERIFY(Exists(Folder() + "/Game.v1.0-A/data.bin"));
    }

    void yesMovesExactlyTheCheckedEntriesAndUndoBringsThemBack()
    {
        OpenOn({"Game.v1.0-A", "Game.v2.0-B", "Odd, \"name\".v1-C", "Odd, \"name\".v2-C"});
        List().SetChecked(Row("Game.v1.0-A"), false);
        List().SetChecked(0, true); // the header: never passed to the trash
        AnswerNextDialog<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
        DeleteButton()->click();
        QVERIFY(!Exists(Folder() + "/Odd, \"name\".v1-C"));
        for (const char* kept : {"Game.v1.0-A", "Game.v2.0-B", "Odd, \"name\".v2-C"})
            QVERIFY2(Exists(Folder() + "/" + kept), kept);
        QVERIFY(Exists(TrashFiles() + "/Odd, \"name\".v1-C"));
        QCOMPARE(List().ItemCount(), 3);
        QVERIFY(List().IsChecked(Row("Game.v1.0-A")));

        auto* undo = Find<QAction>("miUndo");
        emit Find<QMenu>("PopupMenu")->aboutToShow();
        QVERIFY(undo->isEnabled());
        undo->trigger();
        QVERIFY(Exists(Folder() + "/Odd, \"name\".v1-C"));
        QCOMPARE(List().ItemCount(), 5);
        emit Find<QMenu>("PopupMenu")->aboutToShow();
        QVERIFY(!undo->isEnabled());
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
    versweep::QuarryManagerTrashTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "quarry_manager_trash_test.moc"
