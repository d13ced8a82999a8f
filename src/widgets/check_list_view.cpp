// Input of the check list's view: the selection and the toggles of the rows' check boxes.
#include "widgets/check_list_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "widgets/check_list_delegate.h"
#include "widgets/check_list_model.h"

namespace versweep {

CheckListView::CheckListView(QWidget* parent) : QListView(parent)
{
    setItemDelegate(new CheckListDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideMiddle);
}

void CheckListView::setCheckListModel(CheckListModel* model)
{
    m_model = model;
    setModel(model);
}

bool CheckListView::inCheckBoxArea(const QPoint& position, const QModelIndex& index) const
{
    const QRect row = visualRect(index);
    const QRect strip = QStyle::visualRect(
        layoutDirection(), row, QRect(row.left(), row.top(), CheckListDelegate::kCheckBoxArea, row.height()));
    return strip.contains(position);
}

// The list box selected on the press, so the click (and the preview it updates) comes before the release.
void CheckListView::pressAt(const QPoint& position, Qt::MouseButton button)
{
    if (m_model == nullptr || (button != Qt::LeftButton && button != Qt::RightButton))
        return;
    setFocus(Qt::MouseFocusReason);
    const QModelIndex index = indexAt(position);
    if (!index.isValid())
        return;
    // A press on the box of a row inside a selection keeps the selection, so the toggle can mark all of it.
    const bool keepSelection = button == Qt::LeftButton && inCheckBoxArea(position, index) &&
                               selectionModel()->isSelected(index) &&
                               selectionModel()->selectedIndexes().size() > 1;
    if (keepSelection) {
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        emit rowClicked(index);
    } else if (button == Qt::LeftButton || index != currentIndex()) {
        setCurrentIndex(index);
        emit rowClicked(index);
    }
    if (button == Qt::LeftButton && inCheckBoxArea(position, index))
        m_toggleRow = index;
}

void CheckListView::endToggle(bool releasedInside)
{
    const bool toggle = m_toggleRow.isValid() && releasedInside && m_toggleRow == currentIndex();
    // A pending toggle that outlived its release would turn a later plain click on the text into a toggle.
    m_toggleRow = QPersistentModelIndex();
    if (!toggle)
        return;
    // A toggle inside a selection of several rows gives all of them the current row's new state, so a
    // mixed selection ends up uniform rather than inverted row by row.
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.size() > 1 && selectionModel()->isSelected(currentIndex()))
        m_model->setMarks(selected,
                          currentIndex().data(Qt::CheckStateRole).value<Qt::CheckState>() != Qt::Checked);
    else
        m_model->toggle(currentIndex());
}

void CheckListView::setPlaceholderText(const QString& text)
{
    m_placeholder = text;
    viewport()->update();
}

void CheckListView::mousePressEvent(QMouseEvent* event)
{
    // Shift and Ctrl extend the selection the usual way and never toggle.
    if (event->button() == Qt::LeftButton && (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier))) {
        setFocus(Qt::MouseFocusReason);
        QListView::mousePressEvent(event);
        if (currentIndex().isValid())
            emit rowClicked(currentIndex());
        return;
    }
    pressAt(event->position().toPoint(), event->button());
    event->accept();
}

// A quick second click arrives as a double click; on a check box it toggles again, as a press would.
void CheckListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    pressAt(event->position().toPoint(), event->button());
    event->accept();
}

void CheckListView::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_model != nullptr && event->button() == Qt::LeftButton)
        endToggle(viewport()->rect().contains(event->position().toPoint()));
    event->accept();
}

// No drag selection: a row is chosen by the press alone.
void CheckListView::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
}

void CheckListView::keyPressEvent(QKeyEvent* event)
{
    if (m_model != nullptr && event->key() == Qt::Key_Space) {
        // Never handed on: the space must not reach the list's type-ahead search.
        if (!event->isAutoRepeat())
            m_toggleRow = currentIndex();
        event->accept();
        return;
    }
    m_keyboardMove = true;
    QListView::keyPressEvent(event);
    m_keyboardMove = false;
}

void CheckListView::keyReleaseEvent(QKeyEvent* event)
{
    if (m_model != nullptr && event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat())
            endToggle(true);
        event->accept();
        return;
    }
    QListView::keyReleaseEvent(event);
}

// Below the header (or on the empty list) a hint says why nothing is listed.
void CheckListView::paintEvent(QPaintEvent* event)
{
    QListView::paintEvent(event);
    if (m_placeholder.isEmpty() || (model() != nullptr && model()->rowCount() > 1))
        return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    const int top = model() != nullptr && model()->rowCount() == 1 ? visualRect(model()->index(0, 0)).bottom() : 0;
    painter.drawText(viewport()->rect().adjusted(8, top + 8, -8, -8),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, m_placeholder);
}

// Moving the current row with the keyboard is a click on the new row, so the preview follows it.
void CheckListView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QListView::currentChanged(current, previous);
    // The delegate tints the other entries of the current row's title, wherever they are.
    viewport()->update();
    if (m_keyboardMove && current.isValid())
        emit rowClicked(current);
}

} // namespace versweep
