// Paints the check list's rows: a check box before each entry, the group header bold without one.
#pragma once

#include <QStyledItemDelegate>

namespace versweep {

/// Fixed-height rows for a CheckListModel: names cut in the middle when too long, a "≈" before an entry
/// whose title's versions read two ways, and the other entries of the view's current row's title tinted.
/// Input is the view's business: the delegate never toggles.
class CheckListDelegate final : public QStyledItemDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CheckListDelegate)

public:
    /// Every row is this high, so the view never measures rows one by one.
    static constexpr int kRowHeight = 17;
    /// The check box square, and the strip before the text that a press must hit to toggle it.
    static constexpr int kCheckBoxSize = 13;
    static constexpr int kCheckBoxArea = kCheckBoxSize + 4;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;
};

} // namespace versweep
