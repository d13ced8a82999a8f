// Tests of the check list's Qt model and view: what views and screen readers read, and the notices they get.
#include <string>

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>

#include "widgets/check_list.h"
#include "widgets/check_list_model.h"
#include "widgets/check_list_view.h"

namespace versweep {

class CheckListModelTest : public QObject
{
    Q_OBJECT

private slots:
    void rowsReadAsTheListHoldsThem_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QVariant>("checkState");
        QTest::addColumn<bool>("checkable");
        QTest::newRow("header: path, no check box")
            << QByteArray("///data/Downloads") << "/data/Downloads" << QVariant() << false;
        QTest::newRow("plain name") << QByteArray("Foo.v1.0-GRP") << "Foo.v1.0-GRP" << QVariant(Qt::Unchecked)
                                    << true;
        QTest::newRow("invalid UTF-8 and a line break shown, bytes kept")
            << QByteArray("Bad\xff\nName.v1-G") << QString::fromUtf16(u"Bad\uFFFD\u240AName.v1-G")
            << QVariant(Qt::Unchecked) << true;
        QTest::newRow("invisible and direction-changing characters spelled out")
            << QByteArray("App.v1.\u200b9-G\u202e1v.\U000e0041")
            << QString::fromUtf8("App.v1.‹U+200B›9-G‹U+202E›1v.‹U+E0041›") << QVariant(Qt::Unchecked) << true;
    }
    void rowsReadAsTheListHoldsThem()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, shown);
        QFETCH(QVariant, checkState);
        QFETCH(bool, checkable);
        CheckList list("en_US");
        CheckListModel model(list);
        list.AddItem(stored.toStdString());
        const QModelIndex row = model.index(0);
        QCOMPARE(row.data(Qt::DisplayRole).toString(), shown);
        QCOMPARE(row.data(CheckListModel::RawTextRole).toByteArray(), stored);
        QCOMPARE(row.data(Qt::CheckStateRole), checkState);
        QCOMPARE((model.flags(row) & Qt::ItemIsUserCheckable) != 0, checkable);
        QCOMPARE(row.data(CheckListModel::IsGroupHeaderRole).toBool(), !checkable);
    }

    // The tester checks every begin/end pair and index the model reports while the list changes shape.
    void noticesKeepViewsInStep()
    {
        CheckList list("en_US");
        CheckListModel model(list);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        list.AddGroupHeader("/data");
        list.AddItems({"gamma", "alpha"});
        QCOMPARE(list.AddItem("beta"), 2);
        QCOMPARE(inserted.last().at(1).toInt(), 2);
        list.AddItems({});
        QCOMPARE(inserted.count(), 3);
        list.SetChecked(3, true);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.first().at(0).toModelIndex().row(), 3);
        QCOMPARE(changed.last().at(0).toModelIndex().row(), 0); // the header's total
        QCOMPARE(model.index(3).data(Qt::CheckStateRole), QVariant(Qt::Checked));
        list.SetItemText(1, "");
        list.DeleteItems({false, true, false, true});
        QCOMPARE(model.rowCount(), 2);
        list.Clear();
        QCOMPARE(model.rowCount(), 0);
    }

    // A screen reader that toggles a row through the model toggles it as the user would, change event included.
    void assistiveToggleIsAUserToggle()
    {
        CheckList list("en_US");
        CheckListModel model(list);
        int changes = 0;
        list.SetOnChange([&changes](int, CheckList::CheckState) { ++changes; });
        list.AddGroupHeader("/data");
        list.AddItem("Foo.v1-G");
        QVERIFY(!model.setData(model.index(0), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(model.setData(model.index(1), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(list.IsChecked(1));
        QCOMPARE(changes, 1);
    }

    // The header's total follows every way a mark or a row can change, without summing anew.
    void checkedTotalFollowsMarksAndRows()
    {
        CheckList list("en_US");
        CheckListModel model(list);
        list.AddGroupHeader("/data");
        list.AddItems({"a", "b", "c"});
        const QModelIndex header = model.index(0);
        QCOMPARE(header.data(CheckListModel::SizeTextRole).toString(), QString());
        list.SetChecked(1, true);
        QCOMPARE(header.data(CheckListModel::SizeTextRole).toString(), QString::fromUtf8("≥ 0 bytes"));
        model.SetSize(1, {1000, true});
        model.SetSize(2, {24, true});
        model.SetSize(3, {3000, false});
        QCOMPARE(model.CheckedTotal().bytes, 1000);
        QVERIFY(model.CheckedTotal().complete);
        list.SetChecked(2, true);
        QCOMPARE(model.CheckedTotal().bytes, 1024);
        list.ClickItem(3, false);
        list.ToggleSelected();
        QCOMPARE(model.CheckedTotal().bytes, 4024);
        QVERIFY(!model.CheckedTotal().complete);
        QCOMPARE(model.index(3).data(CheckListModel::SizeTextRole).toString().left(2), QString::fromUtf8("≥ "));
        QCOMPARE(list.AddItem("aa"), 2); // rows after it move on with their sizes
        QCOMPARE(model.index(3).data(CheckListModel::SizeTextRole).toString(), QLocale().formattedDataSize(24));
        list.SetChecked(2, true);
        QCOMPARE(model.CheckedTotal().bytes, 4024);
        QVERIFY(!model.CheckedTotal().complete); // "aa" has no size yet
        list.DeleteItem(4);
        QCOMPARE(model.CheckedTotal().bytes, 1024);
        list.DeleteItems({false, false, true}); // a reshaped list starts its sizes over
        QCOMPARE(model.CheckedTotal().bytes, 0);
        QVERIFY(!model.CheckedTotal().complete);
        list.SetChecked(1, false);
        list.SetChecked(2, false);
        QCOMPARE(header.data(CheckListModel::SizeTextRole).toString(), QString());
        list.Clear();
        QCOMPARE(model.CheckedTotal().bytes, 0);
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
        CheckList list("en_US");
        CheckListModel model(list);
        list.AddItem(name.toStdString());
        list.SetChecked(0, checked);
        list.SetMark(0, {static_cast<MarkReason>(reason), ambiguous, "Tool.v2-<b>", "TOOL"});
        QCOMPARE(model.index(0).data(Qt::ToolTipRole).toString(), tooltip);
    }

    void screenReadersSeeTextAndCheckState()
    {
        CheckList list("en_US");
        CheckListModel model(list);
        CheckListView view;
        view.SetCheckListModel(&model);
        list.AddGroupHeader("/data");
        list.AddItem("Foo.v1-G");
        list.SetChecked(1, true);
        list.SetMark(1, {MarkReason::Older, false, "Foo.v2-G", "FOO"});
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
        QCOMPARE(row->text(QAccessible::Description), QString::fromUtf8("比 Foo.v2-G 旧"));
    }
};

} // namespace versweep

QTEST_MAIN(versweep::CheckListModelTest)
#include "check_list_model_test.moc"
