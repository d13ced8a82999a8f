// Where the settings file lives: beside the executable when usable there, else the user's config folder.
#include "ini/settings_location.h"

#include <string>

#include <unistd.h>

#include <gtest/gtest.h>

#include "case_name.h"
#include "temp_dir.h"

namespace versweep {
namespace {

struct LocationCase
{
    const char* name;
    std::string executable; // "T/" stands for the temporary folder
    const char* xdgConfigHome;
    const char* home;
    std::string expected;
    bool rootBypasses = false; // root may write any folder
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
    if (c.rootBypasses && ::geteuid() == 0)
        GTEST_SKIP() << "root may write any folder";
    test::TempDir dir;
    dir.MakeDir("bin");
    dir.MakeFile("plain");
    dir.MakeFile("kept/versweep.ini");
    dir.Chmod("kept", 0555);
    dir.MakeDir("locked");
    dir.Chmod("locked", 0555);
    EXPECT_EQ(SettingsFilePath(Expand(c.executable, dir), c.xdgConfigHome, c.home), Expand(c.expected, dir));
}

const char* const kXdgFile = "/xdg/versweep/versweep.ini";

const LocationCase kLocationCases[] = {
    {"WritableFolderBesideExecutable", "T/bin/versweep", "/xdg", "/home/u", "T/bin/versweep.ini"},
    {"CommandLineTwinSharesTheFile", "T/bin/versweep-scan", "/xdg", "/home/u", "T/bin/versweep.ini"},
    {"ExistingFileInReadOnlyFolder", "T/kept/versweep", "/xdg", "/home/u", "T/kept/versweep.ini"},
    {"ReadOnlyFolder", "T/locked/versweep", "/xdg", "/home/u", kXdgFile, true},
    {"MissingFolder", "T/missing/versweep", "/xdg", "/home/u", kXdgFile},
    {"FolderUnderRegularFile", "T/plain/bin/versweep", "/xdg", "/home/u", kXdgFile},
    {"XdgTrailingSlash", "T/missing/versweep", "/xdg/", "/home/u", kXdgFile},
    {"XdgUnsetUsesHome", "T/missing/versweep", nullptr, "/home/u", "/home/u/.config/versweep/versweep.ini"},
    {"XdgEmptyUsesHome", "T/missing/versweep", "", "/home/u/", "/home/u/.config/versweep/versweep.ini"},
    // A relative folder would move with the current directory, which the window changes as it previews.
    {"XdgRelativeUsesHome", "T/missing/versweep", "rel/xdg", "/home/u", "/home/u/.config/versweep/versweep.ini"},
    {"HomeRelativeKeepsFileBesideExecutable", "T/missing/versweep", nullptr, "rel/home", "T/missing/versweep.ini"},
    {"NoHomeKeepsFileBesideExecutable", "T/missing/versweep", nullptr, nullptr, "T/missing/versweep.ini"},
    {"NoExecutableUsesXdg", "", "/xdg", "/home/u", kXdgFile},
};

INSTANTIATE_TEST_SUITE_P(Cases, SettingsFilePathTest, testing::ValuesIn(kLocationCases), test::CaseName());

TEST(DefaultSettingsFilePathTest, IsAnAbsoluteVersweepIni)
{
    const std::string path = DefaultSettingsFilePath();
    EXPECT_TRUE(path.starts_with("/")) << path;
    EXPECT_TRUE(path.ends_with("/versweep.ini")) << path;
}

struct InstalledCase
{
    const char* name;
    std::string executable;
    std::string installFolder; // as the build names it: maybe through a link, maybe with a trailing slash
    std::string expected;
};

class InstalledFolderTest : public testing::TestWithParam<InstalledCase>
{};

// root may write the installed folder (/usr/bin), which must not turn an installed program portable.
TEST_P(InstalledFolderTest, ChoosesFile)
{
    const InstalledCase& c = GetParam();
    test::TempDir dir;
    dir.MakeDir("usr/bin");
    dir.MakeSymlink("bin", "usr/bin");
    dir.MakeFile("opt/bin/versweep.ini");
    dir.MakeDir("portable");
    EXPECT_EQ(SettingsFilePath(Expand(c.executable, dir), "/xdg", "/home/u", Expand(c.installFolder, dir)),
              Expand(c.expected, dir));
}

const InstalledCase kInstalledCases[] = {
    {"WritableInstalledFolderUsesXdg", "T/usr/bin/versweep", "T/bin/", kXdgFile},
    {"FileInInstalledFolderKept", "T/opt/bin/versweep", "T/opt/bin", "T/opt/bin/versweep.ini"},
    {"OtherWritableFolderStaysPortable", "T/portable/versweep", "T/usr/bin", "T/portable/versweep.ini"},
};

INSTANTIATE_TEST_SUITE_P(Cases, InstalledFolderTest, testing::ValuesIn(kInstalledCases), test::CaseName());

} // namespace
} // namespace versweep
