// Entry point of Versweep, the window.
#include <QApplication>

#include "app/quarry_manager.h"
#include "ini/settings_location.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName("Versweep");
    QApplication::setApplicationDisplayName("Versweep");
    versweep::QuarryManagerFm window(versweep::DefaultSettingsFilePath());
    window.show();
    return QApplication::exec();
}
