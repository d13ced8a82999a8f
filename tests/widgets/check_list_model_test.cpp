// Tests of the check list's Qt model and view: what views and screen readers read, and the notices they get.
#include <string>
#include <vector>

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>

#include "listing/listing.h"
#include "widgets/check_list_model.h"
#include "widgets/check_list_view.h"

namespace versweep {

namespace {

// A listing of "/data" holding `names` in the order given, unchecked.
ListedFolder Listed(const std::vector<std::string>& names)
{
    ListedFolder listed;
    listed.folder = "/data";
    for (const std::string& name : names) {
        listed.entries.emplace_back();
        listed.entries.back().name = name;
    }
    return listed;
}

EntryId IdAt(const Listing& listing, std::size_t position)
{
    return listing.Entries()[position].id;
}

} // namespace

class CheckListModelTest : public QObject
{
    Q_OBJECT

private slots:
    void rowsReadAsTheListingHoldsThem_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain name") << QByteArray("Foo.v1.0-GRP") << "Foo.v1.0-GRP";
        QTest::newRow("invalid UTF-8 and a line break shown, bytes kept")
            << QByteArray("Bad\xff\nName.v1-G") << QString::fromUtf16(u"Bad\uFFFD\u240AName.v1-G");
        QTest::newRow("invisible and direction-changing characters spelled out")
            << QByteArray("App.v1.\u200b9-G\u202e1v.\U000e0041")
            << QString::fromUtf8("App.v1.‹U+200B›9-G‹U+202E›1v.‹U+E0041›");
    }
    void rowsReadAsTheListingHoldsThem()
    {
        QFETCH(QByteArray, name);
        QFETCH(QString, shown);
        Listing listing;
        CheckListModel model(listing);
        QCOMPARE(model.rowCount(), 0);
        listing.Show(Listed({name.toStdString()}));
        const QModelIndex header = model.index(0);
        QCOMPARE(header.data(Qt::DisplayRole).toString(), QString("/data"));
        QCOMPARE(header.data(Qt::CheckStateRole), QVariant());
        QVERIFY(header.data(CheckListModel::IsHeaderRole).toBool());
        QVERIFY((model.flags(header) & Qt::ItemIsUserCheckable) == 0);
        const QModelIndex row = model.index(1);
        QCOMPARE(row.data(Qt::DisplayRole).toString(), shown);
        QCOMPARE(model.entryAt(row)->name, name.toStdString());
        QCOMPARE(row.data(Qt::CheckStateRole), QVariant(Qt::Unchecked));
        QVERIFY((model.flags(row) & Qt::ItemIsUserCheckable) != 0);
    }

    // The tester checks every notice and index the model reports while the listing changes; a user toggle
    // repaints its row and the header's total.
    void noticesKeepViewsInStep()
    {
        Listing listing;
        CheckListModel model(listing);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        listing.Show(Listed({"alpha", "beta", "gamma"}));
        QCOMPARE(model.rowCount(), 4);
        QVERIFY(model.toggle(model.index(3)));
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.first().at(0).toModelIndex().row(), 3);
        QCOMPARE(changed.last().at(0).toModelIndex().row(), 0); // the header's total
        QCOMPARE(model.index(3).data(Qt::CheckStateRole), QVariant(Qt::Checked));
        listing.SetChecked(IdAt(listing, 0), true, MarkReason::Empty);
        QCOMPARE(model.index(1).data(Qt::CheckStateRole), QVariant(Qt::Checked));
        listing.Clear();
        QCOMPARE(model.rowCount(), 0);
    }

    // A screen reader that toggles a row through the model toggles it as the user would, change event included.
    void assistiveToggleIsAUserToggle()
    {
        Listing listing;
        CheckListModel model(listing);
        QSignalSpy toggled(&model, &CheckListModel::entryToggled);
        listing.Show(Listed({"Foo.v1-G"}));
        QVERIFY(!model.setData(model.index(0), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(!model.setData(model.index(1), Qt::Unchecked, Qt::CheckStateRole));
        QVERIFY(model.setData(model.index(1), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(listing.Entries()[0].checked);
        QCOMPARE(listing.Entries()[0].mark.reason, MarkReason::Hand);
        QCOMPARE(toggled.count(), 1);
    }

    // The header's total follows every way a mark can change, without summing anew; a size comes by its
    // entry's id, and one measured for an earlier listing lands nowhere.
    void checkedTotalFollowsMarksAndIds()
    {
        Listing listing;
        CheckListModel model(listing);
        listing.Show(Listed({"a", "b", "c"}));
        const QModelIndex header = model.index(0);
        QCOMPARE(header.data(CheckListModel::SizeTextRole).toString(), QString());
        listing.SetChecked(IdAt(listing, 0), true, MarkReason::Empty);
        QCOMPARE(header.data(CheckListModel::SizeTextRole).toString(), QString::fromUtf8("≥ 0 bytes"));
        model.setSize(IdAt(listing, 0), {1000, true});
        model.setSize(IdAt(listing, 1), {24, true});
        model.setSize(IdAt(listing, 2), {3000, false});
        QCOMPARE(model.checkedTotal().bytes, 1000);
        QVERIFY(model.checkedTotal().complete);
        model.toggle(model.index(2));
        QCOMPARE(model.checkedTotal().bytes, 1024);
        listing.SetChecked(IdAt(listing, 2), true, MarkReason::Group);
        QCOMPARE(model.checkedTotal().bytes, 4024);
        QVERIFY(!model.checkedTotal().complete);
        QCOMPARE(model.index(3).data(CheckListModel::SizeTextRole).toString().left(2), QString::fromUtf8("≥ "));
        QCOMPARE(model.index(2).data(CheckListModel::SizeTextRole).toString(), QLocale().formattedDataSize(24));

        const EntryId old = IdAt(listing, 0);
        listing.Show(Listed({"a", "b"}));
        listing.SetChecked(IdAt(listing, 0), true, MarkReason::Empty);
        model.setSize(old, {5000, true});
        QCOMPARE(model.checkedTotal().bytes, 0);
        QVERIFY(!model.checkedTotal().complete);
        QCOMPARE(model.index(1).data(CheckListModel::SizeTextRole).toString(), QString::fromUtf8("…"));
    }

    // The tooltip names the entry in full and says why; a name that looks like markup stays text.
    void tooltipSaysWhy_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<int>("reason");
        QTest::addColumn<bool>("ambiguous");
        QTest::addColumn<QString>("tooltip");
        QTest::newRow("older names its successor")
            << QByteArray("Tool.v1-G") << true << int(MarkReason::Older) << true
            << QString::fromUtf8("<p style='white-space:pre'>Tool.v1-G<br>比 Tool.v2-&lt;b&gt; 旧<br>"
                                 "该标题的版本号有两种读法</p>");
        QTest::newRow("group names the tag")
            << QByteArray("<b>Tool</b>.v1-G") << false << int(MarkReason::Group) << false
            << QString::fromUtf8(
                   "<p style='white-space:pre'>&lt;b&gt;Tool&lt;/b&gt;.v1-G<br>由组标签 G 取消选中</p>");
        QTest::newRow("hand") << QByteArray("Tool.v1-G") << true << int(MarkReason::Hand) << false
                              << QString::fromUtf8("<p style='white-space:pre'>Tool.v1-G<br>手动选中</p>");
        QTest::newRow("nothing known") << QByteArray("Tool.v1-G") << false << int(MarkReason::None) << false
                                       << QString("<p style='white-space:pre'>Tool.v1-G</p>");
    }
    void tooltipSaysWhy()
    {
        QFETCH(QByteArray, name);
        QFETCH(bool, checked);
        QFETCH(int, reason);
        QFETCH(bool, ambiguous);
        QFETCH(QString, tooltip);
        Listing listing;
        CheckListModel model(listing);
        ListedFolder listed = Listed({name.toStdString()});
        Entry& entry = listed.entries.front();
        entry.groupTag = "G";
        entry.checked = checked;
        entry.mark = {static_cast<MarkReason>(reason), ambiguous, "Tool.v2-<b>", "TOOL"};
        listing.Show(std::move(listed));
        QCOMPARE(model.index(1).data(Qt::ToolTipRole).toString(), tooltip);
    }

    void screenReadersSeeTextAndCheckState()
    {
        Listing listing;
        CheckListModel model(listing);
        CheckListView view;
        view.setCheckListModel(&model);
        ListedFolder listed = Listed({"Foo.v1-G"});
        listed.entries.front().checked = true;
        listed.entries.front().mark = {MarkReason::Older, false, "Foo.v2-G", "FOO"};
        listing.Show(std::move(listed));
        model.setSize(listing.Entries().front().id, platform::TreeSize{2048, true});
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&view);
        QVERIFY(table != nullptr);
        QAccessibleInterface* row = nullptr;
        for (int child = 0; child < table->childCount() && row == nullptr; ++child) {
            if (table->child(child)->text(QAccessible::Name) == "Foo.v1-G")
                row = table->child(child);
        }
        QVERIFY(row != nullptr);
        QVERIFY(row->state().checkable);
        QVERIFY(row->state().checked);
        QCOMPARE(row->text(QAccessible::Description), QString::fromUtf8("2.0 KiB\n比 Foo.v2-G 旧"));
        // The header is announced as the folder's header with the checked total, never as an unchecked entry.
        QAccessibleInterface* header = table->child(0);
        QVERIFY(!header->state().checkable);
        QCOMPARE(header->text(QAccessible::Description), QString::fromUtf8("文件夹标题，已选中 2.0 KiB"));
    }
};

} // namespace versweep

QTEST_MAIN(versweep::CheckListModelTest)
#include "check_list_model_test.moc"
