// Button faces and hot tracking of the window's flat look.
#include "app/flat_look_style.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

#include "widgets/contrast.h"

namespace versweep {

namespace {

const QColor kButtonFace(0xF4, 0xF4, 0xF0);
const QColor kButtonHighlight(0x6A, 0x8D, 0xF4);
const QColor kButtonHotTrack(0xFF, 0xC7, 0x3C);
const QColor kCheckBoxHotTrack(0x1C, 0x51, 0x80);
const QColor kButtonEdge(0xA0, 0xA0, 0xA0);

// The layout's pale face on a light theme; on a dark one the theme's own button colour, darkened where
// the theme's caption colour would not read on it.
QColor ButtonFace(const QPalette& palette)
{
    if (!IsDarkPalette(palette))
        return kButtonFace;
    return Readable(palette.color(QPalette::Button), palette.color(QPalette::ButtonText));
}

} // namespace

FlatLookStyle::FlatLookStyle() : QProxyStyle(QStyleFactory::create("Fusion")) {}

void FlatLookStyle::polish(QWidget* widget)
{
    QProxyStyle::polish(widget);
    // Hot tracking needs to hear when the mouse comes and goes.
    if (qobject_cast<QAbstractButton*>(widget) != nullptr)
        widget->setAttribute(Qt::WA_Hover);
}

void FlatLookStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                  const QWidget* widget) const
{
    const bool hot = (option->state & State_MouseOver) != 0 && (option->state & State_Enabled) != 0;
    if (element == PE_PanelButtonCommand) {
        const bool down = (option->state & (State_Sunken | State_On)) != 0;
        const QRect face = option->rect.adjusted(0, 0, -1, -1);
        painter->save();
        const QColor faceColour = ButtonFace(option->palette);
        painter->fillRect(face, down ? faceColour.darker(108) : faceColour);
        QColor edge = IsDarkPalette(option->palette) ? option->palette.color(QPalette::Mid) : kButtonEdge;
        if (hot)
            edge = kButtonHotTrack;
        else if ((option->state & State_HasFocus) != 0)
            edge = kButtonHighlight;
        painter->setPen(QPen(edge, hot ? 2 : 1));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(hot ? face.adjusted(1, 1, 0, 0) : face);
        painter->restore();
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    const bool framed = hot || IsDarkPalette(option->palette);
    if (element == PE_IndicatorCheckBox && framed && qobject_cast<const QCheckBox*>(widget) != nullptr) {
        painter->save();
        const QColor frame = hot ? kCheckBoxHotTrack : option->palette.color(QPalette::Mid);
        painter->setPen(Readable(frame, option->palette.color(QPalette::Window), 3.0));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        painter->restore();
    }
}

} // namespace versweep
