// Tests of the window's keys, selection, find bar, list commands and colours, driven as a user drives them.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include <QAction>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QPalette>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QUrl>

#include "app/main_window.h"
#include "widgets/check_list_model.h"
#include "widgets/check_list_view.h"
#include "widgets/contrast.h"
#include "widgets/local_path.h"
#include "window_fixture.h"

namespace versweep {

namespace {

// A dark desktop theme's colours, as GTK's Adwaita:dark hands them to Qt.
QPalette DarkPalette()
{
    QPalette palette;
    const QColor window(0x35, 0x35, 0x35);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::Button, window);
    palette.setColor(QPalette::Base, QColor(0x2D, 0x2D, 0x2D));
    palette.setColor(QPalette::Mid, QColor(0x1E, 0x1E, 0x1E));
    palette.setColor(QPalette::Highlight, QColor(0x15, 0x53, 0x9E));
    for (const QPalette::ColorRole text : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text,
                                           QPalette::HighlightedText, QPalette::BrightText})
        palette.setColor(text, QColor(0xEE, 0xEE, 0xEC));
    return palette;
}

// The strongest contrast of any pixel of `image` inside `area` against `background`: the caption's, where
// the caption is the only thing drawn there.
double CaptionContrast(const QImage& image, const QRect& area, const QColor& background)
{
    double best = 1;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            best = std::max(best, ContrastRatio(image.pixelColor(x, y), background));
    }
    return best;
}

} // namespace

class MainWindowKeysTest : public QObject, protected WindowFixture
{
    Q_OBJECT

private slots:
    void init() { InitFixture(); }
    void cleanup() { CleanupFixture(); }

    // Space on a mixed selection gives every row the current row's new state, not each its opposite.
    void shiftSelectionAndSpaceSetOneState()
    {
        OpenOn({"Game.v1.0-A", "Game.v1.1-B", "Game.v1.2-C", "Other.v1-D"}, "OnlyDuplicate=0\n");
        QCOMPARE(CheckedCount(), 2);
        QWidget* viewport = View()->viewport();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, TextPoint(Row("Game.v1.0-A")));
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::ShiftModifier, TextPoint(Row("Game.v1.2-C")));
        QCOMPARE(View()->selectionModel()->selectedIndexes().size(), 3);
        QTest::keyClick(View(), Qt::Key_Space);
        QCOMPARE(CheckedCount(), 3);
        QVERIFY2(StatusText().startsWith("已选中 3 / 4"), qPrintable(StatusText()));
        QTest::keyClick(View(), Qt::Key_Space);
        QCOMPARE(CheckedCount(), 0);
        QVERIFY(!DeleteButton()->isEnabled());
        // A click on a selected row's box marks the whole selection as well.
        QTest::mouseClick(viewport, Qt::LeftButton, {}, CheckBoxPoint(Row("Game.v1.1-B")));
        QCOMPARE(CheckedCount(), 3);
        QCOMPARE(View()->selectionModel()->selectedIndexes().size(), 3);

        QTest::keyClick(View(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(View(), Qt::Key_Space);
        QCOMPARE(CheckedCount(), 0);
        QTest::keyClick(View(), Qt::Key_Space);
        QCOMPARE(CheckedCount(), 4);
        QVERIFY(!IsChecked(0));
    }

    // F5 lists again: a new entry is marked afresh, an entry marked by hand keeps that mark while it is
    // the same folder, and one replaced by another folder of its name is marked afresh.
    void refreshKeepsHandMarksOfTheSameEntries()
    {
        OpenOn({"Game.v1.0-A", "Game.v1.1-B", "Game.v1.2-C"});
        Model()->toggle(Model()->index(Row("Game.v1.0-A")));
        Model()->toggle(Model()->index(Row("Game.v1.2-C")));
        Model()->toggle(Model()->index(Row("Game.v1.1-B")));
        m_temp->MakeDir("Downloads/Game.v1.3-D");
        QVERIFY(std::rename((Folder() + "/Game.v1.1-B").c_str(), (*m_temp / "Moved").c_str()) == 0);
        m_temp->MakeDir("Downloads/Game.v1.1-B");
        QTest::keyClick(m_window.get(), Qt::Key_F5);
        WaitForListing();
        QVERIFY(!IsChecked(Row("Game.v1.0-A")));
        QVERIFY(IsChecked(Row("Game.v1.1-B")));
        QVERIFY(IsChecked(Row("Game.v1.2-C")));
        QVERIFY(!IsChecked(Row("Game.v1.3-D")));
        QVERIFY2(StatusText().endsWith("保留 2 个手动标记"), qPrintable(StatusText()));
    }

    // The find bar hides rows without touching marks or the total; Esc closes it first, then quits.
    void findBarFiltersAndEscClosesIt()
    {
        OpenOn({"Game.v1.0-A", "Game.v1.1-B", "Tool.v1-C", "Tool.v2-D"});
        QTest::keyClick(m_window.get(), Qt::Key_F, Qt::ControlModifier);
        auto* find = Find<QLineEdit>("FindText");
        QVERIFY(find->isVisible());
        QTest::keyClicks(find, "TOOL.v1");
        QCOMPARE(RowCount(), 2);
        QCOMPARE(Model()->index(1).data().toString(), QString("Tool.v1-C"));
        QVERIFY(IsChecked(1));
        QVERIFY2(StatusText().startsWith("已选中 2 / 4"), qPrintable(StatusText()));
        QTest::keyClick(find, Qt::Key_Escape);
        QVERIFY(!find->isVisible());
        QCOMPARE(RowCount(), 5);
        QVERIFY(m_window->isVisible());
        QTest::keyClick(View(), Qt::Key_Escape);
        QVERIFY(!m_window->isVisible());
    }

    void titleCommandsEditTheLists_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("whiteList");
        QTest::addColumn<QString>("blackList");
        QTest::addColumn<int>("checked");
        QTest::newRow("never: a new white list") << "miNeverMark"
                                                 << ""
                                                 << "Game.Pack"
                                                 << "(absent)" << 0;
        QTest::newRow("never: appended") << "miNeverMark"
                                         << "WhiteList=Other\n"
                                         << "Other,Game.Pack"
                                         << "(absent)" << 0;
        QTest::newRow("always") << "miAlwaysMark"
                                << ""
                                << "(absent)"
                                << "Game.Pack" << 2;
        QTest::newRow("always: the white list entry covering it goes") << "miAlwaysMark"
                                                                       << "WhiteList=Other, gamepack\n"
                                                                       << "Other"
                                                                       << "Game.Pack" << 2;
        QTest::newRow("always: already covered") << "miAlwaysMark"
                                                 << "BlackList=GAME\n"
                                                 << "(absent)"
                                                 << "GAME" << 2;
    }
    // The title is the name before ".v", underscores read as dots; every other line of the file stays.
    void titleCommandsEditTheLists()
    {
        QFETCH(QString, command);
        QFETCH(QString, settings);
        QFETCH(QString, whiteList);
        QFETCH(QString, blackList);
        QFETCH(int, checked);
        OpenOn({"Game_Pack.v1.0-A", "Game_Pack.v1.1-B"}, settings.toStdString() + "; kept as written\n");
        View()->setCurrentIndex(Model()->index(Row("Game_Pack.v1.1-B")));
        emit Find<QMenu>("PopupMenu")->aboutToShow();
        auto* action = Find<QAction>(command.toLatin1().constData());
        QVERIFY(action->isEnabled());
        action->trigger();
        WaitForListing();
        QCOMPARE(QString::fromStdString(Setting("WhiteList")), whiteList);
        QCOMPARE(QString::fromStdString(Setting("BlackList")), blackList);
        QCOMPARE(CheckedCount(), checked);
        std::ifstream file(SettingsPath());
        const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        QVERIFY(text.find("\n; kept as written\n") != std::string::npos);
    }

    // More group tags than fit a menu go into one submenu.
    void manyGroupTagsGoIntoASubmenu()
    {
        QStringList entries;
        for (int tag = 0; tag < 21; ++tag)
            entries << QString("Tool.v1-T%1").arg(tag, 2, 10, QChar('0'));
        OpenOn(entries, "OnlyDuplicate=0\n");
        QVERIFY(GroupCaptions().isEmpty());
        QAction* groups = Find<QAction>("miGroups");
        QVERIFY(groups->isVisible());
        // The header's path adds a tag of its own (see GroupCaptions).
        QCOMPARE(groups->menu()->actions().size(), 22);
        for (QAction* entry : groups->menu()->actions()) {
            if (entry->iconText() == "T00")
                entry->trigger();
        }
        QVERIFY(IsChecked(Row("Tool.v1-T00")));
    }

    // The default size is the smallest; a wider window keeps the buttons' distance from its right edge and
    // gives the extra width to both panes.
    void growingKeepsTheButtonsAtTheRightEdge()
    {
        MainWindow& window = Open();
        const QSize smallest = window.size();
        QCOMPARE(window.minimumSize(), smallest);
        auto* quit = Find<QPushButton>("ButtonQuit");
        const int fromRight = window.width() - quit->geometry().right();
        const int listWidth = View()->width();
        window.resize(smallest + QSize(200, 100));
        QTRY_COMPARE(window.width() - quit->geometry().right(), fromRight);
        QCOMPARE(window.width() - DeleteButton()->geometry().right(), fromRight + 104);
        QCOMPARE(Find<QWidget>("CheckBoxFile")->x(), 32);
        QVERIFY(View()->width() > listWidth);
        QVERIFY(View()->width() < listWidth + 200);
    }

    // The file manager gets the folder's own bytes, whatever the name holds.
    void folderUrlsCarryTheNameBytes_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::newRow("plain") << QByteArray("/home/u/Tool.v1-A");
        QTest::newRow("URL characters") << QByteArray("/home/u/R&D #1 ?x=50%");
        QTest::newRow("not UTF-8") << QByteArray("/home/u/Tool.v1-\xE9\xFF");
        QTest::newRow("newline and quotes") << QByteArray("/home/u/a\nb \"c\"");
    }
    void folderUrlsCarryTheNameBytes()
    {
        QFETCH(QByteArray, path);
        const QUrl url = LocalFileUrl(path.toStdString());
        QVERIFY(url.isLocalFile());
        QCOMPARE(LocalPathBytes(url), std::optional<std::string>(path.toStdString()));
    }

    // Every caption reads on its face (4.5:1) under a light and a dark theme; a light one keeps the pale face.
    void captionsReadOnTheirFaces_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light") << false;
        QTest::newRow("dark") << true;
    }
    void captionsReadOnTheirFaces()
    {
        QFETCH(bool, dark);
        const QPalette saved = QApplication::palette();
        QApplication::setPalette(dark ? DarkPalette() : QApplication::style()->standardPalette());
        OpenOn({"Game.v1.0-A", "Game.v1.1-B"});
        for (const char* name : {"ButtonChooseDir", "ButtonDelete", "ButtonQuit"}) {
            const QImage image = Find<QPushButton>(name)->grab().toImage();
            const QColor face = image.pixelColor(3, 3);
            if (!dark)
                QCOMPARE(face, QColor(0xF4, 0xF4, 0xF0));
            const double contrast = CaptionContrast(image, image.rect().adjusted(3, 3, -3, -3), face);
            QVERIFY2(contrast >= 4.5, qPrintable(QString("%1: %2").arg(name).arg(contrast)));
        }
        for (const char* name : {"CheckBoxFile", "CheckBoxDup"}) {
            const QImage image = Find<QWidget>(name)->grab().toImage();
            const double contrast =
                CaptionContrast(image, image.rect().adjusted(20, 0, 0, 0), image.pixelColor(0, 0));
            QVERIFY2(contrast >= 4.5, qPrintable(QString("%1: %2").arg(name).arg(contrast)));
        }
        const QRect header = View()->visualRect(Model()->index(0));
        const QImage list = View()->viewport()->grab(header).toImage();
        const double contrast = CaptionContrast(list, list.rect(), list.pixelColor(0, 0));
        QVERIFY2(contrast >= 4.5, qPrintable(QString("header: %1").arg(contrast)));
        QApplication::setPalette(saved);
    }
};

} // namespace versweep

QTEST_MAIN(versweep::MainWindowKeysTest)
#include "main_window_keys_test.moc"
