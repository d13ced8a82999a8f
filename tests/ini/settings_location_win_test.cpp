// Where the settings file lives on Windows: beside the executable when usable there, else in the roaming
// application data folder.
#include "ini/settings_location.h"

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "case_name.h"
#include "temp_dir.h"

namespace versweep {
namespace {

struct LocationCase
{
    const char* name;
    std::string executable; // "T/" stands for the temporary folder
    std::string installFolder;
    std::string expected;
};

class SettingsFilePathTest : public testing::TestWithParam<LocationCase>
{};

std::string Expand(const std::string& path, const test::TempDir& dir)
{
    return path.starts_with("T/") ? dir / path.substr(2) : path;
}

TEST_P(SettingsFilePathTest, ChoosesFile)
{
    const LocationCase& c = GetParam();
    test::TempDir dir;
    dir.MakeDir("bin");
    dir.MakeFile("plain");
    dir.MakeFile("opt/versweep.ini");
    dir.MakeDir("installed");
    ASSERT_EQ(::_putenv_s("APPDATA", "C:\\Roaming"), 0);
    EXPECT_EQ(SettingsFilePath(Expand(c.executable, dir), nullptr, nullptr, Expand(c.installFolder, dir)),
              Expand(c.expected, dir));
}

const char* const kRoaming = "C:\\Roaming\\Versweep\\versweep.ini";

const LocationCase kLocationCases[] = {
    {"WritableFolderBesideExecutable", "T/bin/versweep.exe", "", "T/bin/versweep.ini"},
    {"ExistingFileInInstalledFolder", "T/opt/versweep-scan.exe", "T/opt", "T/opt/versweep.ini"},
    // A folder every user's program runs from (Program Files) is no place for one user's settings.
    {"WritableInstalledFolderRoams", "T/installed/versweep.exe", "T/installed/", kRoaming},
    {"MissingFolderRoams", "T/missing/versweep.exe", "", kRoaming},
    {"FolderUnderRegularFileRoams", "T/plain/bin/versweep.exe", "", kRoaming},
    {"NoExecutableRoams", "", "", kRoaming},
};

INSTANTIATE_TEST_SUITE_P(Cases, SettingsFilePathTest, testing::ValuesIn(kLocationCases), test::CaseName());

} // namespace
} // namespace versweep
