// Tests of the file preview: which files it lists, in what order, and when it reads the folder again.
#include <string>

#include <QSignalSpy>
#include <QTest>

#include "platform/file_system.h"
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

} // namespace

class FileListBoxTest : public QObject
{
    Q_OBJECT

private slots:
    void listsOnlyFilesInNameOrder_data()
    {
        QTest::addColumn<QString>("applied");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("selected");
        const QStringList all{"A.txt",        "a.txt", "b.TXT",
                              "link-to-file", "notes", QString::fromUtf16(u"\uFFFD.bin")};
        QTest::newRow("the folder") << "" << all << "";
        QTest::newRow("the folder, trailing slash") << "/" << all << "";
        QTest::newRow("a file selects it") << "/notes" << all << "notes";
        QTest::newRow("a pattern becomes the mask") << "/*.txt" << QStringList{"A.txt", "a.txt"} << "";
        QTest::newRow("patterns split at ';'")
            << "/*.txt;*.TXT;a*" << QStringList{"A.txt", "a.txt", "b.TXT"} << "";
    }
    void listsOnlyFilesInNameOrder()
    {
        QFETCH(QString, applied);
        QFETCH(QStringList, shown);
        QFETCH(QString, selected);
        test::TempDir folder;
        for (const char* name : {"b.TXT", "a.txt", "A.txt", "notes", ".hidden", "\xff.bin"})
            folder.MakeFile(name, 10);
        folder.MakeDir("sub.folder");
        folder.MakeSymlink("link-to-file", "notes");
        folder.MakeSymlink("link-to-folder", "sub.folder");
        folder.MakeSymlink("dangling", "gone");
        FileListBox box;
        QVERIFY(box.ApplyFilePath(folder.Path() + applied.toStdString()).HasValue());
        QCOMPARE(Shown(box), shown);
        QCOMPARE(box.Directory(), folder.Path());
        QCOMPARE(box.currentItem() != nullptr ? box.currentItem()->text() : QString(), selected);
    }

    void readsAgainOnlyForAnotherFolder()
    {
        test::TempDir folder;
        folder.MakeFile("one/a.txt");
        folder.MakeFile("two/b.txt");
        const platform::Result<std::string> before = platform::CurrentDirectory();
        FileListBox box;
        QSignalSpy reads(&box, &FileListBox::Changed);
        QVERIFY(box.ApplyFilePath("").HasValue());
        QVERIFY(box.ApplyFilePath(folder / "one").HasValue());
        QVERIFY(box.ApplyFilePath(folder / "one").HasValue());
        QVERIFY(box.ApplyFilePath(folder / "one/").HasValue());
        QCOMPARE(reads.count(), 1);
        QVERIFY(box.ApplyFilePath(folder / "two").HasValue());
        QCOMPARE(reads.count(), 2);
        QCOMPARE(Shown(box), QStringList{"b.txt"});
        QCOMPARE(platform::CurrentDirectory().Value(), before.Value());

        const platform::Status missing = box.ApplyFilePath(folder / "three");
        QVERIFY(!missing.HasValue());
        QCOMPARE(reads.count(), 2);
        QCOMPARE(Shown(box), QStringList{"b.txt"});
    }

    void rawNamesStayBytes()
    {
        test::TempDir folder;
        folder.MakeFile("x\xff\ny.txt");
        FileListBox box;
        QVERIFY(box.ApplyFilePath(folder.Path()).HasValue());
        QCOMPARE(box.item(0)->data(Qt::UserRole).toByteArray(), QByteArray("x\xff\ny.txt"));
    }
};

} // namespace versweep

QTEST_MAIN(versweep::FileListBoxTest)
#include "file_list_box_test.moc"
