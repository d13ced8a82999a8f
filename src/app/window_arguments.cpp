// Parsing of the window's command line.
#include "app/window_arguments.h"

#include <filesystem>

#include "platform/file_system.h"

namespace versweep {

namespace {

// Lexical only, on the bytes as given: a link in the path stays the link the user named.
std::string AbsoluteFolder(const std::string& folder, const std::string& currentDirectory)
{
    const std::string joined = folder.front() == '/' ? folder : platform::JoinPath(currentDirectory, folder);
    return platform::WithoutTrailingSeparators(std::filesystem::path(joined).lexically_normal().string());
}

} // namespace

WindowArguments ParseWindowArguments(const std::vector<std::string>& words, const std::string& currentDirectory)
{
    WindowArguments arguments;
    bool optionsEnded = false;
    for (const std::string& word : words) {
        if (!optionsEnded && word == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (word == "-h" || word == "--help")) {
            arguments.help = true;
        } else if (!optionsEnded && word == "--version") {
            arguments.version = true;
        } else if (!optionsEnded && word.size() > 1 && word.front() == '-') {
            arguments.error = "unknown option " + word;
            return arguments;
        } else if (arguments.folder || word.empty()) {
            arguments.error = word.empty() ? "FOLDER is empty" : "only one FOLDER can be opened";
            return arguments;
        } else {
            arguments.folder = AbsoluteFolder(word, currentDirectory);
            if (!platform::DirectoryExists(*arguments.folder)) {
                arguments.error = "not a folder: " + word;
                return arguments;
            }
        }
    }
    return arguments;
}

std::string WindowUsage()
{
    return "usage: versweep [--help] [--version] [FOLDER]\n"
           "\n"
           "Lists the release folders in FOLDER (or in the folder organised last), checks every version\n"
           "below the newest of its title, and moves the checked ones to the trash after one question.\n"
           "A FOLDER given here is opened as if chosen with the folder button, and stored for the next start.\n";
}

} // namespace versweep
