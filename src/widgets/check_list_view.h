// The check list's view: fixed-height rows whose check boxes toggle the way the list box's did.
#pragma once

#include <QListView>
#include <QPersistentModelIndex>

namespace versweep {

class CheckListModel;

/// Shows a CheckListModel and owns the selection and the gestures that toggle a row: a left press in a row's
/// check-box strip (mirrored right to left) toggles on release inside the list while that row is still the
/// current one, a quick second click there toggles again, and the space bar toggles on release. A left press,
/// and a right press on a row that is not current yet, make the row current and report it before the popup
/// menu opens; so does a move of the current row by the keyboard. Shift and Ctrl extend the selection; a
/// toggle of a row inside a selection of several gives them all its new state.
class CheckListView final : public QListView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CheckListView)

public:
    explicit CheckListView(QWidget* parent = nullptr);

    /// Shows `model` (not owned) and toggles its entries.
    void setCheckListModel(CheckListModel* model);
    /// A hint drawn where the entries would be while none are listed.
    void setPlaceholderText(const QString& text);
    const QString& placeholderText() const { return m_placeholder; }

signals:
    /// A click, or a keyboard move, made `index` the current row.
    void rowClicked(const QModelIndex& index);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool inCheckBoxArea(const QPoint& position, const QModelIndex& index) const;
    void pressAt(const QPoint& position, Qt::MouseButton button);
    /// The release of a press or of the space bar: toggles the row it went down on, when that row is still
    /// current and the release happened inside the list. A toggle of a row inside a selection of several sets
    /// them all to that row's new state.
    void endToggle(bool releasedInside);

    CheckListModel* m_model = nullptr;
    QPersistentModelIndex m_toggleRow; // the row a toggle went down on, until its release; a relist voids it
    bool m_keyboardMove = false;
    QString m_placeholder;
};

} // namespace versweep
