// Tests of the main window, driven as a user drives it: settings restored and saved, toggles, the menu.
#include <optional>
#include <string>

#include <QAction>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "app/main_window.h"
#include "ini/ini_file.h"
#include "platform/file_system.h"
#include "slow_share.h"
#include "temp_dir.h"
#include "widgets/check_list_delegate.h"
#include "widgets/check_list_model.h"
#include "widgets/check_list_view.h"
#include "widgets/file_list_box.h"
#include "widgets/hot_spot_splitter.h"
#include "widgets/select_folder_dialog.h"
#include "window_fixture.h"

namespace versweep {

class MainWindowTest : public QObject, protected WindowFixture
{
    Q_OBJECT

private slots:
    void init() { InitFixture(); }
    void cleanup() { CleanupFixture(); }

    void firstStartWritesOnlyTheOptionItChanged()
    {
        MainWindow& window = Open();
        QCOMPARE(RowCount(), 0);
        QCOMPARE(Find<HotSpotSplitter>("Splitter")->position(), 374);
        QVERIFY(Find<QCheckBox>("CheckBoxDup")->isChecked());
        QVERIFY(!Find<QCheckBox>("CheckBoxFile")->isChecked());
        QVERIFY(!DeleteButton()->isEnabled());
        QVERIFY(!Find<FileListBox>("FileListBox")->isVisible());
        QCOMPARE(window.windowTitle(), QString("Versweep"));
        QCOMPARE(Setting("OnlyDuplicate"), std::string("1"));
        QCOMPARE(Setting("ListFile"), std::string("(absent)"));
        QCOMPARE(Setting("vPath"), std::string("(absent)"));
    }

    // A stored folder on a slow share is being read at start: the empty list must not ask for a folder.
    void aFirstPassNeverAsksForAFolder()
    {
        m_temp->MakeDir("Downloads/App.v1-A");
        WriteFile(SettingsPath(), "[CONFIG]\nvPath=" + Folder() + "\n");
        std::optional<test::SlowShare> slow(std::in_place, 50);
        m_window = std::make_unique<MainWindow>(SettingsPath());
        m_window->show();
        QVERIFY(m_window->isListing());
        const QString hint = View()->placeholderText();
        slow.reset();
        QVERIFY2(hint.isEmpty(), qPrintable(hint));
        WaitForListing();
    }

    void storedFolderThatIsGone_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<int>("rows");
        QTest::newRow("only duplicates: the header alone") << "OnlyDuplicate=1\nListFile=0\n" << 1;
        QTest::newRow("both options off: nothing listed") << "OnlyDuplicate=0\nListFile=0\n" << 0;
    }
    void storedFolderThatIsGone()
    {
        QFETCH(QString, options);
        QFETCH(int, rows);
        WriteFile(SettingsPath(), "[CONFIG]\nvPath=" + Folder() + "\n" + options.toStdString());
        Open();
        QCOMPARE(RowCount(), rows);
        if (rows == 1)
            QCOMPARE(HeaderText(), QString::fromStdString(Folder()));
        QVERIFY(!DeleteButton()->isEnabled());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    // The lists come from the settings file, read at each listing.
    void storedFolderIsListedAndMarked_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QStringList>("checked");
        QTest::newRow("the older version") << "" << QStringList{"Game.v1.0-AAA"};
        QTest::newRow("white list") << "WhiteList=other, game\n" << QStringList{};
        QTest::newRow("black list") << "BlackList=SINGLE\n" << QStringList{"Game.v1.0-AAA", "Single.v2.0-ONE"};
    }
    void storedFolderIsListedAndMarked()
    {
        QFETCH(QString, settings);
        QFETCH(QStringList, checked);
        OpenOn({"Game.v1.0-AAA", "Game.v1.1-BBB", "Single.v2.0-ONE"}, settings.toStdString());
        QStringList shownChecked;
        for (int row = 1; row < RowCount(); ++row) {
            if (IsChecked(row))
                shownChecked << Model()->index(row).data().toString();
        }
        QCOMPARE(shownChecked, checked);
        QCOMPARE(DeleteButton()->isEnabled(), !checked.isEmpty());
    }

    void splitterPosition_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("shown");
        QTest::newRow("restored") << "Position=300\n" << 300;
        QTest::newRow("not a number keeps the layout's") << "Position=abc\n" << 374;
        QTest::newRow("absent keeps the layout's") << "" << 374;
    }
    void splitterPosition()
    {
        QFETCH(QString, stored);
        QFETCH(int, shown);
        WriteFile(SettingsPath(), "[CONFIG]\n" + stored.toStdString());
        Open();
        auto* splitter = Find<HotSpotSplitter>("Splitter");
        QCOMPARE(splitter->position(), shown);
        splitter->setPosition(250);
        m_window.reset();
        QCOMPARE(Setting("Position"), std::string("250"));
    }

    void optionBoxesWriteAndRelist()
    {
        m_temp->MakeFile("Downloads/Tool.v1.0-A.zip");
        OpenOn({"Tool.v2.0-B"}, "OnlyDuplicate=0\n");
        QCOMPARE(RowCount(), 2);
        Find<QCheckBox>("CheckBoxFile")->click();
        WaitForListing();
        QCOMPARE(Setting("ListFile"), std::string("1"));
        QCOMPARE(RowCount(), 3);
        QVERIFY(IsChecked(Row("Tool.v1.0-A.zip")));
        Find<QCheckBox>("CheckBoxDup")->click();
        WaitForListing();
        QCOMPARE(Setting("OnlyDuplicate"), std::string("1"));
    }

    // The pass asked for last is the one shown; marks toggled on the old rows meanwhile do not carry over.
    void aNewerPassSupersedesTheOneUnderWay()
    {
        m_temp->MakeFile("Downloads/Tool.v1.0-A.zip");
        OpenOn({"Tool.v2.0-B", "Game.v1-A", "Game.v2-A", "Solo.v1-A"}, "OnlyDuplicate=0\n");
        const QSignalSpy shown(Model(), &QAbstractItemModel::modelReset);
        Find<QCheckBox>("CheckBoxFile")->click();
        Model()->toggle(Model()->index(Row("Game.v2-A")));
        Find<QCheckBox>("CheckBoxDup")->click();
        WaitForListing();
        QCOMPARE(shown.count(), 1);
        QCOMPARE(RowCount(), 5);
        QVERIFY(IsChecked(Row("Tool.v1.0-A.zip")));
        QVERIFY(IsChecked(Row("Game.v1-A")));
        QVERIFY(!IsChecked(Row("Game.v2-A")));
        QVERIFY2(StatusText().startsWith("已选中 2 / 4"), qPrintable(StatusText()));
    }

    // A pass that takes a while says so with a running count, and the window keeps answering meanwhile. A
    // window closed then does not wait for the rest of the pass, nor for an empty-folder walk.
    void aSlowPassSaysItIsReading_data()
    {
        QTest::addColumn<QString>("closeWhile");
        QTest::newRow("read to the end") << "";
        QTest::newRow("closed while reading") << "reading";
        QTest::newRow("closed while walking for empty folders") << "walking";
    }
    void aSlowPassSaysItIsReading()
    {
        QFETCH(QString, closeWhile);
        QStringList names;
        for (int i = 0; i < 400; ++i)
            names << QStringLiteral("App.v1.%1-A").arg(i);
        OpenOn(names);
        std::optional<test::SlowShare> slow(std::in_place, 5);
        QElapsedTimer asked;
        asked.start();
        if (closeWhile == "walking") {
            Find<QAction>("miEmptyDir")->trigger();
            QTest::qWait(100);
        } else {
            Find<QCheckBox>("CheckBoxFile")->click();
            QVERIFY(asked.elapsed() < 1000); // the pass alone takes twice that
            const QRegularExpression reading(QStringLiteral("^正在读取… [1-9][0-9]* · 已选中 398 / 400"));
            QTRY_VERIFY2(reading.match(StatusText()).hasMatch(), qPrintable(StatusText()));
        }
        if (!closeWhile.isEmpty()) {
            asked.restart();
            m_window.reset();
            QVERIFY2(asked.elapsed() < 1000, qPrintable(QString::number(asked.elapsed())));
        }
        slow.reset();
        if (!closeWhile.isEmpty())
            return;
        WaitForListing();
        QVERIFY2(StatusText().startsWith("已选中 398 / 400"), qPrintable(StatusText()));
    }

    void userToggles_data()
    {
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<bool>("rightToLeft");
        QTest::addColumn<bool>("toggled");
        QTest::newRow("click on the check box") << "box" << false << true;
        QTest::newRow("click on the check box, right to left") << "box" << true << true;
        QTest::newRow("click on the text only selects") << "text" << false << false;
        QTest::newRow("left edge, right to left, only selects") << "left edge" << true << false;
        QTest::newRow("quick second click toggles back") << "double" << false << false;
        QTest::newRow("space bar") << "space" << false << true;
        QTest::newRow("press on the box, release outside") << "drag out" << false << false;
    }
    void userToggles()
    {
        QFETCH(QString, gesture);
        QFETCH(bool, rightToLeft);
        QFETCH(bool, toggled);
        OpenOn({"Game.v1.1-BBB", "Game.v1.1-CCC"});
        QVERIFY(!DeleteButton()->isEnabled());
        CheckListView* view = View();
        view->setLayoutDirection(rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
        const int row = Row("Game.v1.1-CCC");
        QWidget* viewport = view->viewport();
        const QPoint box = CheckBoxPoint(row);
        if (gesture == "box") {
            QTest::mouseClick(viewport, Qt::LeftButton, {}, box);
        } else if (gesture == "text") {
            QTest::mouseClick(viewport, Qt::LeftButton, {}, TextPoint(row));
            QCOMPARE(CurrentRow(), row);
        } else if (gesture == "left edge") {
            const QRect rect = view->visualRect(view->model()->index(row, 0));
            QTest::mouseClick(viewport, Qt::LeftButton, {}, rect.topLeft() + QPoint(8, 8));
        } else if (gesture == "double") {
            // What a quick second click delivers: press, release, double click, release.
            QTest::mouseClick(viewport, Qt::LeftButton, {}, box);
            QTest::mouseDClick(viewport, Qt::LeftButton, {}, box);
            QTest::mouseRelease(viewport, Qt::LeftButton, {}, box);
        } else if (gesture == "space") {
            QTest::mouseClick(viewport, Qt::LeftButton, {}, TextPoint(row));
            QTest::keyClick(view, Qt::Key_Space);
        } else if (gesture == "drag out") {
            QTest::mousePress(viewport, Qt::LeftButton, {}, box);
            QTest::mouseRelease(viewport, Qt::LeftButton, {}, QPoint(-5, -5));
        }
        QCOMPARE(IsChecked(row), toggled);
        QCOMPARE(DeleteButton()->isEnabled(), toggled);
    }

    void headerNeverToggles()
    {
        OpenOn({"Game.v1.1-BBB", "Game.v1.1-CCC"});
        QTest::mouseClick(View()->viewport(), Qt::LeftButton, {}, CheckBoxPoint(0));
        QTest::keyClick(View(), Qt::Key_Space);
        QCOMPARE(CurrentRow(), 0);
        QVERIFY(!IsChecked(0));
        QVERIFY(!DeleteButton()->isEnabled());
    }

    void rightPressSelectsAndPreviewsBeforeTheMenu()
    {
        m_temp->MakeFile("Downloads/Game.v1.1-CCC/setup.exe");
        OpenOn({"Game.v1.1-BBB", "Game.v1.1-CCC"});
        const int row = Row("Game.v1.1-CCC");
        auto* menu = Find<QMenu>("PopupMenu");
        auto* preview = Find<FileListBox>("FileListBox");
        int selectedAtMenu = -1;
        std::string previewAtMenu;
        connect(menu, &QMenu::aboutToShow, this, [&] {
            selectedAtMenu = CurrentRow();
            previewAtMenu = preview->folder();
            QTimer::singleShot(0, menu, &QMenu::close);
        });
        const QPoint point = TextPoint(row);
        QTest::mousePress(View()->viewport(), Qt::RightButton, {}, point);
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, point, View()->viewport()->mapToGlobal(point));
        QApplication::sendEvent(View()->viewport(), &menuEvent);
        QTest::mouseRelease(View()->viewport(), Qt::RightButton, {}, point);
        QCOMPARE(selectedAtMenu, row);
        QCOMPARE(previewAtMenu, Folder() + "/Game.v1.1-CCC");
        QTRY_VERIFY(preview->isVisible());
        QCOMPARE(preview->count(), 1);
    }

    void groupEntriesShowTheirTagsAndFollowEachPass()
    {
        OpenOn({"Tool.v1.0-R&D", "Tool.v2.0-abc", "Other.v1-ZZ"});
        QCOMPARE(GroupCaptions(), (QStringList{"R&D", "ZZ", "abc"}));

        m_temp->MakeDir("Downloads/Tool.v3.0-NEW");
        Find<QCheckBox>("CheckBoxFile")->click();
        WaitForListing();
        QCOMPARE(GroupCaptions(), (QStringList{"NEW", "R&D", "ZZ", "abc"}));
    }

    // Read up to its NUL the stored folder would be one above, whose entries were never chosen.
    void storedFolderWithANulIsNotOpened()
    {
        m_temp->MakeDir("Downloads/Game.v1.0-A");
        m_temp->MakeDir("Downloads/Game.v2.0-A");
        WriteFile(SettingsPath(), "[CONFIG]\nvPath=" + Folder() + std::string("\0junk", 5) + "\n");
        Open();
        QCOMPARE(RowCount(), 0);
        QVERIFY(m_window->folder().empty());
    }

    void droppedFolderIsOpenedAndOtherDropsIgnored_data()
    {
        QTest::addColumn<QStringList>("dropped");
        QTest::addColumn<bool>("opened");
        QTest::newRow("a folder") << QStringList{"Other"} << true;
        QTest::newRow("a file") << QStringList{"Other/Game.v1.0-AAA/setup.exe"} << false;
        QTest::newRow("two folders") << QStringList{"Other", "Other/Game.v1.0-AAA"} << false;
        QTest::newRow("a web address") << QStringList{"https://example.org/Other"} << false;
        // The path would end at the NUL, naming the folder above: never the folder the address spells.
        QTest::newRow("a NUL in the path") << QStringList{"Other%00junk"} << false;
    }
    void droppedFolderIsOpenedAndOtherDropsIgnored()
    {
        QFETCH(QStringList, dropped);
        QFETCH(bool, opened);
        m_temp->MakeFile("Other/Game.v1.0-AAA/setup.exe");
        m_temp->MakeDir("Other/Game.v2.0-AAA");
        Open();
        QList<QUrl> urls;
        for (const QString& item : dropped) {
            if (item.startsWith("https:"))
                urls << QUrl(item);
            else if (item.contains('%'))
                urls << QUrl(QString::fromStdString("file://" + *m_temp / item.toStdString()));
            else
                urls << QUrl::fromLocalFile(QString::fromStdString(*m_temp / item.toStdString()));
        }
        QMimeData data;
        data.setUrls(urls);
        const QPoint centre = m_window->rect().center();
        QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_window.get(), &enter);
        QCOMPARE(enter.isAccepted(), opened);
        QDropEvent drop(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_window.get(), &drop);
        WaitForListing();
        QCOMPARE(Setting("vPath"), opened ? *m_temp / "Other" : std::string("(absent)"));
        QCOMPARE(RowCount(), opened ? 3 : 0);
    }

    // Marks set by a command enable the delete button and show in the status line, with what the command did.
    void groupEntryMarksItsTagAnyCaseAndTakesThemBack()
    {
        OpenOn({"Tool.v2.0-grp", "Tool.v2.0-Grp", "Other.v1-GRP", "Other.v1-XY"}, "OnlyDuplicate=0\n");
        QVERIFY(!DeleteButton()->isEnabled());
        QAction* entry = GroupEntry("GRP");
        QVERIFY(entry != nullptr);
        entry->trigger();
        QVERIFY(entry->isChecked());
        for (const char* name : {"Tool.v2.0-grp", "Tool.v2.0-Grp", "Other.v1-GRP"})
            QVERIFY2(IsChecked(Row(name)), name);
        QVERIFY(!IsChecked(Row("Other.v1-XY")));
        QVERIFY(DeleteButton()->isEnabled());
        QVERIFY2(StatusText().startsWith("已选中 3 / 4"), qPrintable(StatusText()));
        QVERIFY2(StatusText().endsWith("组 GRP：选中了 3 个项目"), qPrintable(StatusText()));
        entry->trigger();
        QCOMPARE(CheckedCount(), 0);
        QVERIFY(!DeleteButton()->isEnabled());
        QVERIFY2(StatusText().startsWith("已选中 0 / 4 · "), qPrintable(StatusText()));
    }

    void emptyFolderCommandNeverChecksTheHeader()
    {
        // The header's path, folder + "//" + folder, collapses to this real folder inside it.
        m_temp->MakeDir("Downloads" + Folder());
        m_temp->MakeFile("Downloads/Full.v1-A/data.bin", 300);
        m_temp->MakeFile("Downloads/Tiny.v1-A/note.txt", 10);
        OpenOn({"Empty.v1-A/sub"}, "OnlyDuplicate=0\n");
        QVERIFY(!DeleteButton()->isEnabled());
        Find<QAction>("miEmptyDir")->trigger();
        QTRY_VERIFY(IsChecked(Row("Empty.v1-A")));
        QVERIFY(IsChecked(Row("Tiny.v1-A")));
        QVERIFY(!IsChecked(Row("Full.v1-A")));
        QVERIFY(!IsChecked(0));
        QVERIFY(DeleteButton()->isEnabled());
        QVERIFY2(StatusText().endsWith("选中了 3 个空目录"), qPrintable(StatusText()));
    }

    void keepCountFromThePopupMenu()
    {
        OpenOn({"Game.v1.0-A", "Game.v2.0-B", "Game.v3.0-C"});
        QCOMPARE(CheckedCount(), 2);
        AnswerNextDialog<QInputDialog>([](QInputDialog* dialog) {
            QCOMPARE(dialog->intValue(), 1);
            dialog->setIntValue(2);
            dialog->accept();
        });
        Find<QAction>("miKeepCount")->trigger();
        WaitForListing();
        QCOMPARE(Setting("KeepCount"), std::string("2"));
        QCOMPARE(CheckedCount(), 1);
        QVERIFY(IsChecked(Row("Game.v1.0-A")));
    }

    void aboutNamesTheVersionThenOneCreditLine()
    {
        Open();
        QString text;
        AnswerNextDialog<QMessageBox>([&text](QMessageBox* box) {
            text = box->text();
            QCOMPARE(box->icon(), QMessageBox::Information);
            box->accept();
        });
        Find<QAction>("miAbout")->trigger();
        const QStringList lines = text.split('\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QString("Versweep v1.03"));
        QVERIFY(lines[1].isEmpty());
        QVERIFY(!lines[2].isEmpty());
    }

    void chosenFolderIsStoredAndListed()
    {
        m_temp->MakeDir("Other/Game.v1.0-AAA");
        m_temp->MakeDir("Other/Game.v2.0-AAA");
        Open();
        const QString chosen = QString::fromStdString(*m_temp / "Other");
        auto* chooser = Find<SelectFolderDialog>("SelectFolderDialog");
        AnswerNextDialog<QFileDialog>([chosen, chooser](QFileDialog* dialog) {
            const platform::Result<bool> again = chooser->showFolderChooser();
            QVERIFY(!again.HasValue());
            QCOMPARE(again.Error().message, std::string("SelectFolderDialog already executing"));
            dialog->selectFile(chosen);
            static_cast<QDialog*>(dialog)->accept();
        });
        Find<QPushButton>("ButtonChooseDir")->click();
        WaitForListing();
        QCOMPARE(Setting("vPath"), *m_temp / "Other");
        QCOMPARE(RowCount(), 3);
        QVERIFY(DeleteButton()->isEnabled());

        AnswerNextDialog<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
        Find<QPushButton>("ButtonChooseDir")->click();
        WaitForListing();
        QCOMPARE(Setting("vPath"), *m_temp / "Other");
        QCOMPARE(RowCount(), 3);
    }
};

} // namespace versweep

QTEST_MAIN(versweep::MainWindowTest)
#include "main_window_test.moc"
