// A real main window on its own settings file and sample folder, with the lookups its tests share.
#include "window_fixture.h"

#include <fstream>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTranslator>

#include "ini/ini_file.h"
#include "widgets/check_list_model.h"
#include "widgets/check_list_view.h"

namespace versweep {

void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

void WindowFixture::CleanupFixture()
{
    m_window.reset();
    m_temp.reset();
    // A language one test installed must not carry over to the next.
    for (QTranslator* translator : QCoreApplication::instance()->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

std::string WindowFixture::Setting(const char* key) const
{
    return IniFile(SettingsPath()).ReadString("CONFIG", key, "(absent)");
}

void WindowFixture::WaitForListing() const
{
    [&] { QTRY_VERIFY_WITH_TIMEOUT(!m_window->isListing(), 10'000); }();
}

MainWindow& WindowFixture::Open()
{
    m_window = std::make_unique<MainWindow>(SettingsPath());
    m_window->show();
    [&] { QVERIFY(QTest::qWaitForWindowExposed(m_window.get())); }();
    WaitForListing();
    return *m_window;
}

MainWindow& WindowFixture::OpenOn(const QStringList& entries, const std::string& extraSettings)
{
    for (const QString& entry : entries)
        m_temp->MakeDir("Downloads/" + entry.toStdString());
    WriteFile(SettingsPath(), "[CONFIG]\nvPath=" + Folder() + "\n" + extraSettings);
    return Open();
}

CheckListView* WindowFixture::View() const
{
    return Find<CheckListView>("CheckList");
}

CheckListModel* WindowFixture::Model() const
{
    return static_cast<CheckListModel*>(View()->model());
}

int WindowFixture::RowCount() const
{
    return Model()->rowCount();
}

QString WindowFixture::StatusText() const
{
    return Find<QLabel>("StatusLine")->text();
}

QString WindowFixture::HeaderText() const
{
    return Model()->index(0).data().toString();
}

bool WindowFixture::IsChecked(int row) const
{
    return Model()->index(row).data(Qt::CheckStateRole) == Qt::Checked;
}

int WindowFixture::CheckedCount() const
{
    int checked = 0;
    for (int row = 0; row < RowCount(); ++row)
        checked += IsChecked(row) ? 1 : 0;
    return checked;
}

int WindowFixture::CurrentRow() const
{
    return View()->currentIndex().isValid() ? View()->currentIndex().row() : -1;
}

QPushButton* WindowFixture::DeleteButton() const
{
    return Find<QPushButton>("ButtonDelete");
}

int WindowFixture::Row(const char* name) const
{
    for (int row = 1; row < RowCount(); ++row) {
        if (Model()->entryAt(Model()->index(row))->name == name)
            return row;
    }
    return -1;
}

QPoint WindowFixture::CheckBoxPoint(int row) const
{
    const QRect rect = View()->visualRect(View()->model()->index(row, 0));
    return QStyle::visualPos(View()->layoutDirection(), rect, rect.topLeft() + QPoint(8, rect.height() / 2));
}

QPoint WindowFixture::TextPoint(int row) const
{
    const QRect rect = View()->visualRect(View()->model()->index(row, 0));
    return QStyle::visualPos(View()->layoutDirection(), rect, rect.topLeft() + QPoint(60, rect.height() / 2));
}

QStringList WindowFixture::GroupCaptions() const
{
    const QList<QAction*> entries = Find<QMenu>("PopupMenu")->actions();
    QStringList captions;
    for (qsizetype i = entries.indexOf(Find<QAction>("miDivide")) + 1; i < entries.size(); ++i) {
        if (!entries[i]->iconText().contains('/'))
            captions << entries[i]->iconText();
    }
    return captions;
}

QAction* WindowFixture::GroupEntry(const QString& caption) const
{
    const QList<QAction*> entries = Find<QMenu>("PopupMenu")->actions();
    for (qsizetype i = entries.indexOf(Find<QAction>("miDivide")) + 1; i < entries.size(); ++i) {
        if (entries[i]->iconText() == caption)
            return entries[i];
    }
    return nullptr;
}

} // namespace versweep
