// A two-pane splitter whose bar carries a hot spot that folds the right pane away and back.
#pragma once

#include <QSplitter>

namespace versweep {

/// Left and right pane with a bar between them. A click on the hot spot in the middle of the bar
/// collapses the right pane, and a second one brings it back where it was; the bar can also be dragged.
class HotSpotSplitter final : public QSplitter
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HotSpotSplitter)

public:
    explicit HotSpotSplitter(QWidget* parent = nullptr);

    /// The width of the left pane: where the bar stands.
    int position() const;
    void setPosition(int position);
    bool isRightCollapsed() const;
    /// Collapses the right pane, or restores it when it is collapsed.
    void toggleRightPane();

protected:
    QSplitterHandle* createHandle() override;

private:
    int m_restorePosition = -1;
};

} // namespace versweep
