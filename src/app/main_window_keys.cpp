// The main window's keys, its find bar, the rescan that keeps hand marks and the way it grows.
#include "app/main_window.h"

#include <algorithm>

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>

#include "widgets/check_list_model.h"
#include "widgets/check_list_view.h"

namespace versweep {

namespace {

// The client width the buttons' places were laid out for; a wider window moves them right by the difference.
constexpr int kLaidOutWidth = 601;

QShortcut* Shortcut(const QKeySequence& keys, QWidget* window)
{
    auto* shortcut = new QShortcut(keys, window);
    shortcut->setContext(Qt::WindowShortcut);
    return shortcut;
}

} // namespace

void MainWindow::buildKeys()
{
    m_findBar = new QWidget(m_clientPanel);
    m_findBar->setObjectName("FindBar");
    auto* bar = new QHBoxLayout(m_findBar);
    bar->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(tr("查找："), m_findBar);
    m_findText = new QLineEdit(m_findBar);
    m_findText->setObjectName("FindText");
    m_findText->setClearButtonEnabled(true);
    m_findText->setAccessibleName(tr("查找"));
    label->setBuddy(m_findText);
    bar->addWidget(label);
    bar->addWidget(m_findText, 1);
    m_findBar->hide();
    static_cast<QBoxLayout*>(m_clientPanel->layout())->insertWidget(0, m_findBar);
    connect(m_findText, &QLineEdit::textChanged, this, &MainWindow::applyFilter);

    connect(Shortcut(QKeySequence::Delete, this), &QShortcut::activated, m_deleteButton, [this] {
        if (m_deleteButton->isEnabled())
            m_deleteButton->click();
    });
    connect(Shortcut(QKeySequence::Undo, this), &QShortcut::activated, this, [this] {
        if (m_undoAction->isEnabled())
            undoLastMove();
    });
    connect(Shortcut(QKeySequence::Refresh, this), &QShortcut::activated, this,
            &MainWindow::rescanKeepingHandMarks);
    connect(Shortcut(QKeySequence::Find, this), &QShortcut::activated, this, &MainWindow::openFindBar);
    connect(Shortcut(QKeySequence::SelectAll, this), &QShortcut::activated, this, [this] {
        m_listView->setFocus(Qt::ShortcutFocusReason);
        m_listView->selectAll();
    });
}

// Lists the folder again; an entry the user marked by hand keeps that mark while it is still the same file.
void MainWindow::rescanKeepingHandMarks()
{
    if (m_folder.empty())
        return;
    std::vector<HandMark> handMarks;
    for (const Entry& entry : m_session.CurrentListing().Entries()) {
        if (entry.mark.reason == MarkReason::Hand)
            handMarks.push_back(HandMark{entry.name, entry.identity, entry.checked});
    }
    m_pendingHandMarks = std::move(handMarks);
    relist();
}

void MainWindow::openFindBar()
{
    m_findBar->show();
    m_findText->setFocus(Qt::ShortcutFocusReason);
    m_findText->selectAll();
}

// Esc first closes the find bar (showing every entry again), and otherwise presses the quit button.
void MainWindow::closeFindBarOrQuit()
{
    if (!m_findBar->isVisible()) {
        m_quitButton->click();
        return;
    }
    m_findText->clear();
    m_findBar->hide();
    m_listView->setFocus(Qt::OtherFocusReason);
}

void MainWindow::applyFilter()
{
    m_model->setFilter(m_findText->text());
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int shift = std::max(0, width() - kLaidOutWidth);
    for (QPushButton* button : {m_chooseFolderButton, m_deleteButton, m_quitButton}) {
        const QVariant laidOut = button->property("laidOutX");
        if (laidOut.isValid())
            button->move(laidOut.toInt() + shift, button->y());
    }
    fitStatusLine();
}

} // namespace versweep
