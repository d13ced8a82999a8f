// Where the program keeps its per-user files on Windows: the application data folders of the user's profile.
#include "platform/user_folders.h"

#include <optional>

#include <windows.h>

#include "platform/file_system.h"
#include "platform/wide_path_win.h"

namespace versweep::platform {

namespace {

constexpr std::string_view kProgramFolder = "Versweep";

// The variable's value when it names a folder by its full path; a relative one would move with the current folder.
std::optional<std::string> AbsoluteVariable(const wchar_t* name)
{
    std::wstring value(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
        if (length == 0)
            return std::nullopt;
        if (length < value.size()) {
            value.resize(length);
            break;
        }
        value.resize(length);
    }
    const bool absolute = (value.size() >= 3 && value[1] == L':' && (value[2] == L'\\' || value[2] == L'/')) ||
                          value.starts_with(L"\\\\");
    return absolute ? std::optional<std::string>(Utf8FromWide(value)) : std::nullopt;
}

} // namespace

// The XDG variables mean nothing here: settings (".config") roam with the user in %APPDATA%, the rest (state,
// data) stays on this machine in %LOCALAPPDATA%, or in %APPDATA% when that is not set.
std::string XdgFilePath(const char* /*xdgBase*/, const char* /*home*/, std::string_view belowHome,
                        std::string_view fileName)
{
    std::optional<std::string> base;
    if (belowHome != ".config")
        base = AbsoluteVariable(L"LOCALAPPDATA");
    if (!base)
        base = AbsoluteVariable(L"APPDATA");
    if (!base)
        return {};
    return JoinPath(JoinPath(*base, kProgramFolder), fileName);
}

std::string UserHome()
{
    return AbsoluteVariable(L"USERPROFILE").value_or(std::string());
}

} // namespace versweep::platform
