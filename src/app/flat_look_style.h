// The window's flat look: pale button faces, a blue focus edge and warm hot tracking.
#pragma once

#include <QProxyStyle>

namespace versweep {

/// Fusion with the window's own button and check-box colours.
class FlatLookStyle final : public QProxyStyle
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FlatLookStyle)

public:
    FlatLookStyle();

    void polish(QWidget* widget) override;
    using QProxyStyle::polish;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};

} // namespace versweep
