// Tests of the file preview: which files it lists, in what order, and when it reads the folder again.
#include <optional>
#include <string>

#include <QElapsedTimer>
#include <QTest>

#include "platform/file_system.h"
#include "slow_share.h"
#include "temp_dir.h"
#include "widgets/file_list_box.h"

namespace versweep {

namespace {

QStringList Shown(const FileListBox& box)
{
    QStringList names;
    for (int row = 0; row < box.count(); ++row)
        names << box.item(row)->text();
    return names;
}

// Shows `folder` and waits for its files: the box reads on a thread of its own.
void ShowRead(FileListBox& box, const std::string& folder)
{
    box.showFolder(folder);
    QTRY_VERIFY(!box.isReading());
}

} // namespace

class FileListBoxTest : public QObject
{
    Q_OBJECT

private slots:
    void listsOnlyFilesInNameOrder_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("the folder") << "";
        QTest::newRow("the folder, trailing slash") << "/";
    }
    void listsOnlyFilesInNameOrder()
    {
        QFETCH(QString, suffix);
        test::TempDir folder;
        for (const char* name : {"b.TXT", "a.txt", "A.txt", "notes", ".hidden", "\xff.bin"})
            folder.MakeFile(name, 10);
        folder.MakeDir("sub.folder");
        folder.MakeSymlink("link-to-file", "notes");
        folder.MakeSymlink("link-to-folder", "sub.folder");
        folder.MakeSymlink("dangling", "gone");
        FileListBox box;
        ShowRead(box, folder.Path() + suffix.toStdString());
        QCOMPARE(Shown(box), (QStringList{"A.txt", "a.txt", "b.TXT", "link-to-file", "notes",
                                          QString::fromUtf16(u"\uFFFD.bin")}));
        QCOMPARE(box.folder(), folder.Path());
    }

    void readsAgainOnlyForAnotherFolder()
    {
        test::TempDir folder;
        folder.MakeFile("one/a.txt");
        folder.MakeFile("two/b.txt");
        const platform::Result<std::string> before = platform::CurrentDirectory();
        FileListBox box;
        ShowRead(box, folder / "one");
        folder.MakeFile("one/new.txt");
        ShowRead(box, folder / "one");
        ShowRead(box, folder / "one/");
        QCOMPARE(Shown(box), QStringList{"a.txt"});
        ShowRead(box, folder / "two");
        QCOMPARE(Shown(box), QStringList{"b.txt"});
        // Asked for before the last, a folder's files never show, however late they come.
        box.showFolder(folder / "one");
        ShowRead(box, folder / "gone");
        QCOMPARE(Shown(box), QStringList{});
        ShowRead(box, folder / "one");
        QCOMPARE(Shown(box), (QStringList{"a.txt", "new.txt"}));
        QCOMPARE(platform::CurrentDirectory().Value(), before.Value());
    }

    // On a slow share, a folder clicked after a large one shows without waiting for the large one's files.
    void aNewerFolderDoesNotWaitForAnOlderRead()
    {
        test::TempDir folder;
        for (int i = 0; i < 400; ++i)
            folder.MakeFile("large/" + std::to_string(i) + ".txt");
        folder.MakeFile("small/a.txt");
        FileListBox box;
        std::optional<test::SlowShare> slow(std::in_place, 5);
        QElapsedTimer asked;
        asked.start();
        box.showFolder(folder / "large");
        QTest::qWait(50);
        ShowRead(box, folder / "small");
        slow.reset();
        QVERIFY2(asked.elapsed() < 1000, qPrintable(QString::number(asked.elapsed()))); // the large read: 2 s
        QCOMPARE(Shown(box), QStringList{"a.txt"});
    }

    void rawNamesStayBytes()
    {
        test::TempDir folder;
        folder.MakeFile("x\xff\ny.txt");
        FileListBox box;
        ShowRead(box, folder.Path());
        QCOMPARE(box.item(0)->data(Qt::UserRole).toByteArray(), QByteArray("x\xff\ny.txt"));
    }
};

} // namespace versweep

QTEST_MAIN(versweep::FileListBoxTest)
#include "file_list_box_test.moc"
