// Runs a test executable with the user's home, data and state folders in a private temporary folder.
#include "private_home.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include <gtest/gtest.h>

#include "temp_dir.h"

namespace versweep::test {

namespace {

std::string RealTrashRoot()
{
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && dataHome[0] == '/')
        return std::string(dataHome) + "/Trash";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.local/share/Trash";
}

// The names in the trash's "files" and "info" folders, sorted; a missing folder gives none.
std::vector<std::string> Content(const std::string& trashRoot)
{
    std::vector<std::string> paths;
    for (const char* part : {"/files", "/info"}) {
        std::error_code error;
        for (auto it = std::filesystem::directory_iterator(trashRoot + part, error);
             !error && it != std::filesystem::directory_iterator(); it.increment(error))
            paths.push_back(it->path().string());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

} // namespace

int RunTestsInPrivateHome(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    const std::string realTrash = RealTrashRoot();
    const std::vector<std::string> realTrashBefore = Content(realTrash);

    const TempDir home;
    ::setenv("HOME", home.Path().c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    ::setenv("XDG_STATE_HOME", (home / "state").c_str(), 1);
    const int result = RUN_ALL_TESTS();

    if (Content(realTrash) != realTrashBefore) {
        std::fprintf(stderr, "FAILED: the user's real trash %s changed during the tests\n", realTrash.c_str());
        return 1;
    }
    return result;
}

std::string PrivateTrashRoot()
{
    return std::string(std::getenv("XDG_DATA_HOME")) + "/Trash";
}

} // namespace versweep::test
