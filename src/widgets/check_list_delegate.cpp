// Row painting of the check list.
#include "widgets/check_list_delegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <QStyle>

#include "widgets/check_list_model.h"
#include "widgets/contrast.h"

namespace versweep {

namespace {

// The header stands out from the entries below it in the window's accent colour (lightened on a dark theme).
const QColor kHeaderColour(0x1C, 0x51, 0x80);
// The mark of a title whose versions read two ways: a warning's amber, readable on white and on the
// selection's blue.
const QColor kAmbiguousColour(0xD0, 0x80, 0x00);
const QString kAmbiguousMark = QStringLiteral("≈");

// Whether `index` is another entry of the title of the view's current row, which the user is looking at.
bool SharesTitleWithCurrent(const QStyleOptionViewItem& option, const QModelIndex& index)
{
    const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
    if (view == nullptr)
        return false;
    const QModelIndex current = view->currentIndex();
    if (!current.isValid() || current == index)
        return false;
    const QByteArray key = index.data(CheckListModel::TitleKeyRole).toByteArray();
    return !key.isEmpty() && key == current.data(CheckListModel::TitleKeyRole).toByteArray();
}

constexpr int kTextGap = 2;

} // namespace

void CheckListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QWidget* widget = option.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    const bool header = index.data(CheckListModel::IsHeaderRole).toBool();
    const bool enabled = (option.state & QStyle::State_Enabled) != 0;

    // The row's background and selection, without any text or check mark of the style's own.
    item.text.clear();
    item.features &= ~QStyleOptionViewItem::HasCheckIndicator;
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &item, painter, widget);
    // The keyboard's row stays visible inside a selection and outside it.
    if ((option.state & QStyle::State_HasFocus) != 0) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.backgroundColor = option.palette.color(QPalette::Base);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
    // A title's versions stand out together, wherever the sorted list puts them.
    if (SharesTitleWithCurrent(option, index)) {
        QColor tint = option.palette.color(QPalette::Highlight);
        tint.setAlpha(0x40);
        painter->fillRect(option.rect, tint);
    }

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
        // A dark theme's box frame nearly vanishes on its base; an edge of 3:1 keeps each box in sight.
        if (IsDarkPalette(option.palette)) {
            painter->save();
            painter->setPen(
                Readable(option.palette.color(QPalette::Mid), option.palette.color(QPalette::Base), 3.0));
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(box.rect.adjusted(0, 0, -1, -1));
            painter->restore();
        }
        textArea = option.rect.adjusted(kCheckBoxArea + kTextGap, 0, 0, 0);
    }

    painter->save();
    painter->setFont(item.font);
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    QColor colour = option.palette.color(enabled ? QPalette::Active : QPalette::Disabled,
                                         selected ? QPalette::HighlightedText : QPalette::Text);
    if (header && !selected)
        colour = Readable(kHeaderColour, option.palette.color(QPalette::Base));
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
    if (index.data(CheckListModel::AmbiguousRole).toBool()) {
        const int markWidth = metrics.horizontalAdvance(kAmbiguousMark) + 2 * kTextGap;
        const QRect markArea(textArea.left(), textArea.top(), markWidth, textArea.height());
        painter->setPen(kAmbiguousColour);
        painter->drawText(QStyle::visualRect(option.direction, option.rect, markArea),
                          QStyle::visualAlignment(option.direction, Qt::AlignLeft) | Qt::AlignVCenter |
                              Qt::TextSingleLine,
                          kAmbiguousMark);
        painter->setPen(colour);
        textArea.setLeft(markArea.right() + 1);
    }
    // Cut in the middle: the version and group tag at a name's end tell entries of one title apart.
    const QString shown =
        metrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideMiddle, textArea.width());
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
