// Tests of the background sizing: every path measured as the disk-usage walk measures it, dropped batches
// silent.
#include <QSignalSpy>
#include <QTest>

#include "platform/tree_size.h"
#include "temp_dir.h"
#include "widgets/background_sizer.h"

namespace versweep {

class BackgroundSizerTest : public QObject
{
    Q_OBJECT

private slots:
    void measuresEachPathAsTheWalkDoes()
    {
        test::TempDir folder;
        folder.MakeFile("big/a/b/data", 5000);
        folder.MakeFile("small/note", 7);
        folder.MakeDir("empty");
        folder.MakeDir("locked/inside");
        folder.Chmod("locked", 0);
        const std::vector<EntryPath> paths{{10, folder / "big"},
                                           {11, folder / "small"},
                                           {12, folder / "empty"},
                                           {13, folder / "gone"},
                                           {14, folder / "locked"}};
        BackgroundSizer sizer;
        QSignalSpy measured(&sizer, &BackgroundSizer::measured);
        QSignalSpy finished(&sizer, &BackgroundSizer::finished);
        sizer.start(paths);
        QVERIFY(finished.wait(10000) || finished.count() == 1);
        QCOMPARE(measured.count(), static_cast<int>(paths.size()));
        for (const QList<QVariant>& result : measured) {
            const auto id = result.at(0).value<EntryId>();
            const auto size = result.at(1).value<platform::TreeSize>();
            const platform::TreeSize expected = platform::MeasureDiskUsage(paths.at(id - 10).path);
            QCOMPARE(size.bytes, expected.bytes);
            QCOMPARE(size.complete, expected.complete);
        }
    }

    void aNewBatchSilencesTheOldOne()
    {
        test::TempDir folder;
        std::vector<EntryPath> many;
        for (int i = 0; i < 200; ++i) {
            folder.MakeFile("entry" + std::to_string(i) + "/file", 10);
            many.push_back({static_cast<EntryId>(i), folder / ("entry" + std::to_string(i))});
        }
        BackgroundSizer sizer;
        QSignalSpy measured(&sizer, &BackgroundSizer::measured);
        QSignalSpy finished(&sizer, &BackgroundSizer::finished);
        sizer.start(many);
        sizer.start({{500, folder / "entry7"}});
        QVERIFY(finished.wait(10000) || finished.count() == 1);
        QTest::qWait(50);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(measured.count(), 1);
        QCOMPARE(measured.front().at(0).value<EntryId>(), EntryId{500});
        QCOMPARE(measured.front().at(1).value<platform::TreeSize>().bytes,
                 platform::MeasureDiskUsage(folder / "entry7").bytes);

        sizer.start(many);
        sizer.cancel();
        QTest::qWait(50);
        QCOMPARE(measured.count(), 1);
        QCOMPARE(finished.count(), 1);
    }
};

} // namespace versweep

QTEST_MAIN(versweep::BackgroundSizerTest)
#include "background_sizer_test.moc"
