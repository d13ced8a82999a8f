// The check list's view: a list of fixed-height rows that toggles check boxes the way the list box did.
#pragma once

#include <QListView>

namespace versweep {

class CheckList;
class CheckListModel;

/// Shows a CheckListModel and turns presses, releases and the space bar into the list's selection clicks
/// and user toggles: a left press in a row's check-box strip (mirrored right to left) toggles on release,
/// a quick second click there toggles again, space toggles on release, and a right press on a row that
/// is not selected selects it and fires the list's click before the popup menu opens.
class CheckListView final : public QListView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CheckListView)

public:
    explicit CheckListView(QWidget* parent = nullptr);

    /// Shows `model` (not owned) and drives its list.
    void SetCheckListModel(CheckListModel* model);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    bool InCheckBoxArea(const QPoint& position, const QModelIndex& index) const;
    void PressAt(const QPoint& position, Qt::MouseButton button);

    CheckList* m_list = nullptr;
    bool m_keyboardMove = false;
};

} // namespace versweep
