// Fuzzes the release-name functions with arbitrary names and comma lists and checks what they promise.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "release/release_name.h"
#include "tools/text_tools.h"

namespace {

void Require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Digits and dots, then at most one more byte, and that one right after a dot that follows a digit.
bool IsWellFormedVersion(std::string_view version)
{
    for (std::size_t i = 0; i < version.size(); ++i) {
        const char c = version[i];
        if (c == '.' || IsDigit(c))
            continue;
        return i + 1 == version.size() && i >= 2 && version[i - 1] == '.' && IsDigit(version[i - 2]);
    }
    return true;
}

void CheckName(std::string_view name)
{
    const std::string tag = versweep::ExtractGroupTag(name);
    Require(tag.find('-') == std::string::npos);
    Require(tag.size() <= name.size() && name.substr(name.size() - tag.size()) == tag);

    const std::string version = versweep::ExtractVersionText(name);
    Require(IsWellFormedVersion(version));
    Require(std::isfinite(versweep::VersionValue(version)));
    Require(std::isfinite(versweep::VersionValue(name)));

    const std::string key = versweep::NormalizeTitle(name);
    Require(key.size() <= name.size());
    Require(key.find_first_of(" ._") == std::string::npos);
}

void CheckList(std::string_view title, std::string_view list)
{
    versweep::StringList scratch{"untouched"};
    const bool matched = versweep::MatchesNameList(title, list, scratch);
    if (list.empty())
        Require(!matched && scratch.size() == 1 && scratch[0] == "untouched");
    // A match needs an entry with a non-empty key.
    if (matched)
        Require(!scratch.empty());
    versweep::MatchesNameList(versweep::NormalizeTitle(title), versweep::UpperCaseAscii(list), scratch);
}

} // namespace

// The first byte gives the length of the name (modulo what follows); the rest is the comma list.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t split = data[0] % (rest.size() + 1);
    const std::string_view name = rest.substr(0, split);
    const std::string_view list = rest.substr(split);
    CheckName(name);
    CheckName(rest);
    CheckList(name, list);
    return 0;
}
