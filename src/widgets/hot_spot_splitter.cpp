// The splitter's bar, its hot spot and the collapse of the right pane.
#include "widgets/hot_spot_splitter.h"

#include <algorithm>

#include <QMouseEvent>
#include <QPainter>
#include <QSplitterHandle>

namespace versweep {

namespace {

constexpr int kHotSpotLength = 48;

class HotSpotHandle final : public QSplitterHandle
{
public:
    HotSpotHandle(HotSpotSplitter* splitter) : QSplitterHandle(Qt::Horizontal, splitter), m_splitter(splitter)
    {
        setCursor(Qt::SplitHCursor);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QSplitterHandle::paintEvent(event);
        QPainter painter(this);
        const QRect spot = hotSpot();
        painter.fillRect(spot, palette().color(QPalette::Mid));
        // An arrow towards where a click moves the bar.
        const bool collapsed = m_splitter->isRightCollapsed();
        const int middle = spot.center().y();
        const int left = spot.left() + 1;
        const int right = spot.right() - 1;
        const QPoint arrow[] = {{collapsed ? right : left, middle - 3},
                                {collapsed ? left : right, middle},
                                {collapsed ? right : left, middle + 3}};
        painter.setPen(Qt::NoPen);
        painter.setBrush(palette().color(QPalette::Dark));
        painter.drawPolygon(arrow, 3);
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        m_pressedOnSpot = event->button() == Qt::LeftButton && hotSpot().contains(event->position().toPoint());
        if (!m_pressedOnSpot)
            QSplitterHandle::mousePressEvent(event);
    }

    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (!m_pressedOnSpot)
            QSplitterHandle::mouseMoveEvent(event);
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (!m_pressedOnSpot) {
            QSplitterHandle::mouseReleaseEvent(event);
            return;
        }
        m_pressedOnSpot = false;
        if (hotSpot().contains(event->position().toPoint()))
            m_splitter->toggleRightPane();
    }

private:
    QRect hotSpot() const
    {
        const int length = std::min(kHotSpotLength, height());
        return {0, (height() - length) / 2, width(), length};
    }

    HotSpotSplitter* m_splitter;
    bool m_pressedOnSpot = false;
};

} // namespace

HotSpotSplitter::HotSpotSplitter(QWidget* parent) : QSplitter(Qt::Horizontal, parent) {}

QSplitterHandle* HotSpotSplitter::createHandle()
{
    return new HotSpotHandle(this);
}

int HotSpotSplitter::position() const
{
    const QList<int> panes = sizes();
    return panes.isEmpty() ? 0 : panes.front();
}

void HotSpotSplitter::setPosition(int position)
{
    const int room = std::max(0, width() - handleWidth());
    const int left = std::clamp(position, 0, room);
    setSizes({left, room - left});
}

bool HotSpotSplitter::isRightCollapsed() const
{
    const QList<int> panes = sizes();
    return panes.size() == 2 && panes.back() == 0;
}

void HotSpotSplitter::toggleRightPane()
{
    if (isRightCollapsed()) {
        setPosition(m_restorePosition >= 0 ? m_restorePosition : width() / 2);
        return;
    }
    m_restorePosition = position();
    setPosition(width());
}

} // namespace versweep
