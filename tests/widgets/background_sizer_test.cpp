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
        const std::vector<std::string> paths{folder / "big", folder / "small", folder / "empty", folder / "gone",
                                             folder / "locked"};
        BackgroundSizer sizer;
        QSignalSpy measured(&sizer, &BackgroundSizer::Measured);
        QSignalSpy finished(&sizer, &BackgroundSizer::Finished);
        sizer.Start(paths);
        QVERIFY(finished.wait(10000) || finished.count() == 1);
        QCOMPARE(measured.count(), static_cast<int>(paths.size()));
        for (const QList<QVariant>& result : measured) {
            const int index = result.at(0).toInt();
            const auto size = result.at(1).value<EntrySize>();
            const platform::TreeSize expected = platform::MeasureDiskUsage(paths[static_cast<std::size_t>(index)]);
            QCOMPARE(size.bytes, expected.bytes);
            QCOMPARE(size.complete, expected.complete);
        }
        QVERIFY(!sizer.IsRunning());
    }

    void aNewBatchSilencesTheOldOne()
    {
        test::TempDir folder;
        std::vector<std::string> many;
        for (int i = 0; i < 200; ++i) {
            folder.MakeFile("entry" + std::to_string(i) + "/file", 10);
            many.push_back(folder / ("entry" + std::to_string(i)));
        }
        BackgroundSizer sizer;
        QSignalSpy measured(&sizer, &BackgroundSizer::Measured);
        QSignalSpy finished(&sizer, &BackgroundSizer::Finished);
        sizer.Start(many);
        sizer.Start({folder / "entry7"});
        QVERIFY(finished.wait(10000) || finished.count() == 1);
        QTest::qWait(50);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(measured.count(), 1);
        QCOMPARE(measured.front().at(0).toInt(), 0);
        QCOMPARE(measured.front().at(1).value<EntrySize>().bytes,
                 platform::MeasureDiskUsage(folder / "entry7").bytes);

        sizer.Start(many);
        sizer.Cancel();
        QTest::qWait(50);
        QCOMPARE(measured.count(), 1);
        QVERIFY(!sizer.IsRunning());
    }
};

} // namespace versweep

QTEST_MAIN(versweep::BackgroundSizerTest)
#include "background_sizer_test.moc"
