// Input of the check list's view: selection clicks and user toggles go to the core list.
#include "widgets/check_list_view.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "widgets/check_list.h"
#include "widgets/check_list_delegate.h"
#include "widgets/check_list_model.h"

namespace versweep {

CheckListView::CheckListView(QWidget* parent) : QListView(parent)
{
    setItemDelegate(new CheckListDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideMiddle);
}

void CheckListView::SetCheckListModel(CheckListModel* model)
{
    m_list = model != nullptr ? &model->List() : nullptr;
    setModel(model);
}

bool CheckListView::InCheckBoxArea(const QPoint& position, const QModelIndex& index) const
{
    const QRect row = visualRect(index);
    const QRect strip = QStyle::visualRect(
        layoutDirection(), row, QRect(row.left(), row.top(), CheckListDelegate::kCheckBoxArea, row.height()));
    return strip.contains(position);
}

// The list box selected on the press, so the click (and the preview it updates) comes before the release.
void CheckListView::PressAt(const QPoint& position, Qt::MouseButton button)
{
    if (m_list == nullptr || (button != Qt::LeftButton && button != Qt::RightButton))
        return;
    setFocus(Qt::MouseFocusReason);
    const QModelIndex index = indexAt(position);
    if (!index.isValid())
        return;
    m_list->ClickItem(index.row(), button == Qt::RightButton);
    if (m_list->SelectedIndex() == index.row())
        setCurrentIndex(index);
    if (button == Qt::LeftButton && InCheckBoxArea(position, index))
        m_list->BeginUserToggle();
}

void CheckListView::mousePressEvent(QMouseEvent* event)
{
    PressAt(event->position().toPoint(), event->button());
    event->accept();
}

// A quick second click arrives as a double click; on a check box it toggles again, as a press would.
void CheckListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    PressAt(event->position().toPoint(), event->button());
    event->accept();
}

void CheckListView::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_list != nullptr && event->button() == Qt::LeftButton)
        m_list->EndUserToggle(viewport()->rect().contains(event->position().toPoint()));
    event->accept();
}

// No drag selection: a row is chosen by the press alone.
void CheckListView::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
}

void CheckListView::keyPressEvent(QKeyEvent* event)
{
    if (m_list != nullptr && event->key() == Qt::Key_Space) {
        // Never handed on: the space must not reach the list's type-ahead search.
        if (!event->isAutoRepeat())
            m_list->BeginUserToggle();
        event->accept();
        return;
    }
    m_keyboardMove = true;
    QListView::keyPressEvent(event);
    m_keyboardMove = false;
}

void CheckListView::keyReleaseEvent(QKeyEvent* event)
{
    if (m_list != nullptr && event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat())
            m_list->EndUserToggle(true);
        event->accept();
        return;
    }
    QListView::keyReleaseEvent(event);
}

// Moving the selection with the keyboard is a click on the new row, so the preview follows it.
void CheckListView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QListView::currentChanged(current, previous);
    // The delegate tints the other entries of the current row's title, wherever they are.
    viewport()->update();
    if (m_keyboardMove && m_list != nullptr && current.isValid() && m_list->SelectedIndex() != current.row())
        m_list->ClickItem(current.row(), false);
}

} // namespace versweep
