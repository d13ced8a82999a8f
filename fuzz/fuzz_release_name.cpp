// Fuzzes the release-name functions with arbitrary names and comma lists and checks what they promise.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "release/release_name.h"
#include "tools/text_tools.h"

namespace {

using versweep::fuzz::Require;

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
    static_cast<void>(versweep::ComponentVersionKey(name));

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

// The bytes as decimal digits, one digit per byte.
std::string Digits(std::string_view bytes)
{
    std::string digits;
    for (const char c : bytes)
        digits += static_cast<char>('0' + static_cast<unsigned char>(c) % 10);
    return digits;
}

// -1, 0 or 1 as the numbers the digit strings spell compare, leading zeros ignored.
int CompareNumbers(std::string_view a, std::string_view b)
{
    a.remove_prefix(std::min(a.find_first_not_of('0'), a.size()));
    b.remove_prefix(std::min(b.find_first_not_of('0'), b.size()));
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a == b ? 0 : (a < b ? -1 : 1);
}

// A larger whole number never ranks lower, however many digits it has, and a fraction never lowers a value,
// in either reading.
void CheckVersionOrder(std::string_view first, std::string_view second, std::string_view fraction)
{
    const std::string a = Digits(first);
    const std::string b = Digits(second);
    if (a.empty() || b.empty())
        return;
    const double valueA = versweep::VersionValue(a);
    const double valueB = versweep::VersionValue(b);
    const int order = CompareNumbers(a, b);
    Require(order != 0 || valueA == valueB);
    Require(order >= 0 || valueA <= valueB);
    Require(order <= 0 || valueA >= valueB);
    Require(versweep::VersionValue(a + "." + Digits(fraction)) >= valueA);

    const std::vector<std::uint64_t> keyA = versweep::ComponentVersionKey(a);
    const std::vector<std::uint64_t> keyB = versweep::ComponentVersionKey(b);
    Require(order != 0 || keyA == keyB);
    Require(order >= 0 || keyA <= keyB);
    Require(order <= 0 || keyA >= keyB);
    Require(versweep::ComponentVersionKey(a + "." + Digits(fraction)) >= keyA);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    versweep::fuzz::Pieces pieces(data, size);
    const std::string_view name = pieces.Next();
    const std::string_view rest = pieces.Rest();
    CheckName(name);
    CheckName(rest);
    CheckList(name, rest);
    versweep::fuzz::Pieces numbers(data, size);
    const std::string_view first = numbers.Next();
    const std::string_view second = numbers.Next();
    CheckVersionOrder(first, second, numbers.Rest());
    return 0;
}
