// A real main window on its own settings file and sample folder, with the lookups its tests share.
#pragma once

#include <memory>
#include <string>

#include <QApplication>
#include <QPoint>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include "app/main_window.h"
#include "temp_dir.h"

class QPushButton;

namespace versweep {

class CheckListModel;
class CheckListView;

/// Writes `text` to `path` as it is.
void WriteFile(const std::string& path, const std::string& text);

/// Runs `answer` on the next modal dialog as soon as the event loop opens it. Waits up to 10 s for it: work
/// on another thread keeps the event loop turning before the dialog comes.
template <class Dialog, class Answer>
void AnswerNextDialog(Answer answer, int triesLeft = 10'000)
{
    QTimer::singleShot(triesLeft == 10'000 ? 0 : 1, [answer, triesLeft] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr && triesLeft > 0) {
            AnswerNextDialog<Dialog>(answer, triesLeft - 1);
            return;
        }
        QVERIFY(dialog != nullptr);
        answer(dialog);
    });
}

/// Fresh for every test function: init() makes the temporary folder, cleanup() closes the window and drops
/// any translation the test installed.
class WindowFixture
{
protected:
    void InitFixture() { m_temp = std::make_unique<test::TempDir>(); }
    void CleanupFixture();

    std::string SettingsPath() const { return *m_temp / "versweep.ini"; }
    /// The sample folder the window organises.
    std::string Folder() const { return *m_temp / "Downloads"; }
    /// The settings file's value of `key` in "CONFIG"; "(absent)" when it has none.
    std::string Setting(const char* key) const;

    /// Waits until the window shows its newest listing pass (up to 10 s; the pass runs on a thread of its own).
    void WaitForListing() const;
    /// Opens the window and waits for its first listing.
    MainWindow& Open();
    /// Opens the window on the sample folder, which holds the folders `entries`.
    MainWindow& OpenOn(const QStringList& entries, const std::string& extraSettings = {});

    template <class T>
    T* Find(const char* name) const
    {
        return m_window->findChild<T*>(name);
    }
    CheckListView* View() const;
    CheckListModel* Model() const;
    QPushButton* DeleteButton() const;
    int RowCount() const;
    /// What the status line under the list says.
    QString StatusText() const;
    /// The header's text, row 0.
    QString HeaderText() const;
    bool IsChecked(int row) const;
    int CheckedCount() const;
    /// -1 when no row is current.
    int CurrentRow() const;
    /// The row of the entry `name`; -1 when it is not listed.
    int Row(const char* name) const;
    QPoint CheckBoxPoint(int row) const;
    QPoint TextPoint(int row) const;
    /// The captions of the group entries behind the fixed commands. The header's path joins the group tags
    /// with its text after the last '-', here one of the temporary folder's name: that one is left out.
    QStringList GroupCaptions() const;
    /// The group entry showing `caption`.
    QAction* GroupEntry(const QString& caption) const;

    std::unique_ptr<test::TempDir> m_temp;
    std::unique_ptr<MainWindow> m_window;
};

} // namespace versweep
