// The information box.
#include "app/show_info.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace versweep {

void ShowInfo(QWidget* parent, const QString& text, const QString& caption)
{
    QMessageBox::information(parent, caption.isEmpty() ? QGuiApplication::applicationDisplayName() : caption,
                             text);
}

} // namespace versweep
