// Row painting of the check list.
#include "widgets/check_list_delegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

#include "widgets/check_list_model.h"

namespace versweep {

namespace {

// The header stands out from the entries below it in the window's accent colour.
const QColor kHeaderColour(0x1C, 0x51, 0x80);

constexpr int kTextGap = 2;

} // namespace

void CheckListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QWidget* widget = option.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    const bool header = index.data(CheckListModel::IsGroupHeaderRole).toBool();
    const bool enabled = (index.flags() & Qt::ItemIsEnabled) != 0;

    // The row's background and selection, without any text or check mark of the style's own.
    item.text.clear();
    item.features &= ~QStyleOptionViewItem::HasCheckIndicator;
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &item, painter, widget);

    QRect textArea = option.rect.adjusted(kTextGap, 0, 0, 0);
    if (!header) {
        QStyleOptionButton box;
        box.direction = option.direction;
        box.rect = QStyle::visualRect(option.direction, option.rect,
                                      QRect(option.rect.left() + (kCheckBoxArea - kCheckBoxSize) / 2,
                                            option.rect.top() + (option.rect.height() - kCheckBoxSize) / 2,
                                            kCheckBoxSize, kCheckBoxSize));
        box.state = (enabled ? QStyle::State_Enabled : QStyle::State_None) |
                    (item.checkState == Qt::Checked ? QStyle::State_On : QStyle::State_Off);
        box.palette = option.palette;
        style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, widget);
        textArea = option.rect.adjusted(kCheckBoxArea + kTextGap, 0, 0, 0);
    }

    painter->save();
    painter->setFont(item.font);
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    QColor colour = option.palette.color(enabled ? QPalette::Active : QPalette::Disabled,
                                         selected ? QPalette::HighlightedText : QPalette::Text);
    if (header && !selected)
        colour = kHeaderColour;
    painter->setPen(colour);
    const QFontMetrics metrics(item.font);

    // The size (or, on the header, the checked entries' total) keeps the row's far end; the name gets
    // what is left of it.
    const QString size = index.data(CheckListModel::SizeTextRole).toString();
    if (!size.isEmpty()) {
        const int sizeWidth = metrics.horizontalAdvance(size) + kTextGap;
        const QRect sizeArea(textArea.right() - sizeWidth - kTextGap, textArea.top(), sizeWidth,
                             textArea.height());
        painter->drawText(QStyle::visualRect(option.direction, option.rect, sizeArea),
                          QStyle::visualAlignment(option.direction, Qt::AlignRight) | Qt::AlignVCenter |
                              Qt::TextSingleLine,
                          size);
        textArea.setRight(sizeArea.left() - 2 * kTextGap);
    }
    const QString shown =
        metrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, textArea.width());
    painter->drawText(
        QStyle::visualRect(option.direction, option.rect, textArea),
        QStyle::visualAlignment(option.direction, Qt::AlignLeft) | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    painter->restore();
}

QSize CheckListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QString text = index.data(Qt::DisplayRole).toString();
    return {kCheckBoxArea + 2 * kTextGap + option.fontMetrics.horizontalAdvance(text), kRowHeight};
}

bool CheckListDelegate::editorEvent(QEvent* /*event*/, QAbstractItemModel* /*model*/,
                                    const QStyleOptionViewItem& /*option*/, const QModelIndex& /*index*/)
{
    return false;
}

} // namespace versweep
