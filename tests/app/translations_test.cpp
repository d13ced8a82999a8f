// Tests of the window's language: English where asked for, the Chinese texts for Chinese and for any
// language without a translation.
#include <QCheckBox>
#include <QPushButton>
#include <QTest>

#include "app/translations.h"
#include "window_fixture.h"

namespace versweep {

class TranslationsTest : public QObject, protected WindowFixture
{
    Q_OBJECT

private slots:
    void init() { InitFixture(); }
    void cleanup() { CleanupFixture(); }

    void captionsInTheChosenLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("fileBox");
        QTest::addColumn<QString>("deleteButton");
        QTest::newRow("English") << "en"
                                 << "List files"
                                 << "To Trash";
        QTest::newRow("British English") << "en_GB"
                                         << "List files"
                                         << "To Trash";
        QTest::newRow("Chinese") << "zh_CN" << QString::fromUtf8("列出文件") << QString::fromUtf8("删除选中项目");
        QTest::newRow("no translation")
            << "fr_FR" << QString::fromUtf8("列出文件") << QString::fromUtf8("删除选中项目");
    }
    void captionsInTheChosenLanguage()
    {
        QFETCH(QString, language);
        QFETCH(QString, fileBox);
        QFETCH(QString, deleteButton);
        InstallTranslations(language.toStdString());
        Open();
        QCOMPARE(Find<QCheckBox>("CheckBoxFile")->text(), fileBox);
        QCOMPARE(Find<QPushButton>("ButtonDelete")->text(), deleteButton);
        QCOMPARE(Find<QPushButton>("ButtonDelete")->accessibleName(), deleteButton);
    }

    // Every caption must fit its fixed place in the layout, in each language.
    void captionsFitTheLayout_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("English") << "en";
        QTest::newRow("Chinese") << "zh_CN";
    }
    void captionsFitTheLayout()
    {
        QFETCH(QString, language);
        InstallTranslations(language.toStdString());
        Open();
        for (const char* name : {"CheckBoxFile", "CheckBoxDup", "ButtonChooseDir", "ButtonDelete", "ButtonQuit"}) {
            auto* control = Find<QAbstractButton>(name);
            QVERIFY2(control->sizeHint().width() <= control->width(), name);
        }
    }
};

} // namespace versweep

QTEST_MAIN(versweep::TranslationsTest)
#include "translations_test.moc"
