// Entry point of Versweep, the window.
#include <iostream>
#include <string>
#include <vector>

#include <QApplication>

#include "app/main_window.h"
#include "app/translations.h"
#include "app/window_arguments.h"
#include "ini/ini_file.h"
#include "ini/settings_location.h"
#include "platform/file_system.h"
#include "version.h"

int main(int argc, char** argv)
{
    const versweep::platform::Result<std::string> currentDirectory = versweep::platform::CurrentDirectory();
    const std::string here = currentDirectory ? currentDirectory.Value() : "/";
    // --help and --version answer before Qt starts, so they work without a display.
    const versweep::WindowArguments early =
        versweep::ParseWindowArguments(std::vector<std::string>(argv + 1, argv + argc), here);
    if (early.help) {
        std::cout << versweep::WindowUsage();
        return 0;
    }
    if (early.version) {
        std::cout << "versweep " << versweep::kVersion << '\n';
        return 0;
    }

    // Qt takes its own options (-platform, -style, ...) out of argv; what is left is ours.
    QApplication application(argc, argv);
    QApplication::setApplicationName("Versweep");
    // No display name: the platform would add it to every dialog's title ("删除确认 — Versweep").
    QGuiApplication::setDesktopFileName("io.github.versweep.Versweep");
    const versweep::WindowArguments arguments =
        versweep::ParseWindowArguments(std::vector<std::string>(argv + 1, argv + argc), here);
    if (!arguments.error.empty()) {
        std::cerr << "versweep: " << arguments.error << '\n' << versweep::WindowUsage();
        return 2;
    }

    const std::string settingsFile = versweep::DefaultSettingsFilePath();
    versweep::InstallTranslations(versweep::IniFile(settingsFile).ReadString("CONFIG", "Language", ""));
    versweep::MainWindow window(settingsFile);
    window.show();
    if (arguments.folder)
        window.openFolder(*arguments.folder);
    return QApplication::exec();
}
