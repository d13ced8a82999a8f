// Runs a Windows test executable with the user's profile folders in a private temporary folder, and under Wine
// with a private Recycle Bin.
#include "private_home.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include "temp_dir.h"
#include "windows_text.h"

namespace versweep::test {

namespace {

std::string Variable(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

bool RunningUnderWine()
{
    return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// A Unix path as the Windows side of Wine reaches it.
std::string OnDriveZ(std::string unixPath)
{
    std::replace(unixPath.begin(), unixPath.end(), '/', '\\');
    return "Z:" + unixPath;
}

// The names in the trash's "files" and "info" folders, sorted; a missing folder gives none.
std::vector<std::string> Content(const std::string& trashRoot)
{
    std::vector<std::string> names;
    for (const char* part : {"\\files", "\\info"}) {
        WIN32_FIND_DATAW found;
        const HANDLE search = ::FindFirstFileW(LongForm(trashRoot + part + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            continue;
        do {
            names.push_back(part + Narrow(found.cFileName));
        } while (::FindNextFileW(search, &found) != 0);
        ::FindClose(search);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

// Under Wine the Recycle Bin is the freedesktop.org trash of the Unix XDG_DATA_HOME, which Wine reads when the
// process starts and which nothing inside the process can change: the test run must point it at a private folder
// (ctest does). Windows itself has only the user's one Recycle Bin.
int RunTestsInPrivateHome(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    const std::string dataHome = Variable("XDG_DATA_HOME");
    const std::string userTrash = OnDriveZ(Variable("HOME") + "/.local/share/Trash");
    if (RunningUnderWine() && (dataHome.empty() || OnDriveZ(dataHome + "/Trash") == userTrash)) {
        std::fprintf(stderr, "FAILED: XDG_DATA_HOME must name a private folder, or the tests would fill the "
                             "user's trash\n");
        return 1;
    }
    const std::vector<std::string> userTrashBefore = Content(userTrash);

    const TempDir home;
    home.MakeDir("profile");
    home.MakeDir("roaming");
    home.MakeDir("local");
    ::_putenv_s("USERPROFILE", (home / "profile").c_str());
    ::_putenv_s("APPDATA", (home / "roaming").c_str());
    ::_putenv_s("LOCALAPPDATA", (home / "local").c_str());
    const int result = RUN_ALL_TESTS();

    if (RunningUnderWine() && Content(userTrash) != userTrashBefore) {
        std::fprintf(stderr, "FAILED: the user's real trash %s changed during the tests\n", userTrash.c_str());
        return 1;
    }
    return result;
}

std::string PrivateTrashRoot()
{
    return OnDriveZ(Variable("XDG_DATA_HOME") + "/Trash");
}

} // namespace versweep::test
