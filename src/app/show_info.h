// The information box of the window's commands.
#pragma once

#include <QString>

class QWidget;

namespace versweep {

/// Shows `text` in an information box with an OK button over `parent`; an empty caption gives the
/// application's title.
void ShowInfo(QWidget* parent, const QString& text, const QString& caption = QString());

} // namespace versweep
