// Splits release names into group tag, version text, title key and version value, and matches titles.
#include "release/release_name.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace versweep {

namespace {

constexpr auto npos = std::string_view::npos;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Replaces every occurrence found left to right; replaced text is not searched again, so
// ".build.build." becomes ".build." rather than ".".
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to)
{
    std::string result;
    result.reserve(text.size());
    std::size_t pos = 0;
    for (std::size_t hit = text.find(from); hit != npos; hit = text.find(from, pos)) {
        result.append(text.substr(pos, hit - pos));
        result.append(to);
        pos = hit + from.size();
    }
    result.append(text.substr(pos));
    return result;
}

// Strips blanks and control bytes (up to 0x20) from both ends; bytes from 0x80 up are kept.
std::string_view TrimBlanksAndControls(std::string_view text)
{
    const auto isTrimmed = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && isTrimmed(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isTrimmed(text.back()))
        text.remove_suffix(1);
    return text;
}

// What one component after the first adds before division: its first three digits as a number
// ("5" -> 500, "1234" -> 123), or the byte value of a leading non-digit ("A" -> 65).
double FractionDigits(std::string_view component)
{
    if (!IsDigit(component.front()))
        return static_cast<unsigned char>(component.front());
    return ParseInt32(PadRightTo(component, 3, '0')).value_or(0);
}

// The first component as a whole number. Date stamps such as 202401011200 go past 32 bits, so the digits are
// read in 64 bits, and a number too long even for those stays at the largest rather than wrap to something small.
double LeadingValue(std::string_view component)
{
    const std::optional<Decimal> decimal = ParseDecimal(component);
    if (!decimal)
        return 0;
    const auto magnitude = static_cast<double>(decimal->magnitude);
    return decimal->negative ? -magnitude : magnitude;
}

// Calls `use(position, component)` for each component VersionValue counts: split at dots, trimmed, empty
// ones left out; `position` is the component's place in the split list, so 0 only for the very first.
template <typename Use>
void ForEachComponent(std::string_view versionText, Use use)
{
    StringList components;
    SplitText(".", versionText, components);
    for (std::size_t i = 0; i < components.size(); ++i) {
        const std::string_view component = TrimBlanksAndControls(components[i]);
        if (!component.empty())
            use(i, component);
    }
}

// A component that begins with a digit as a whole number; anything else but digits makes it 0.
std::uint64_t WholeNumber(std::string_view component)
{
    const std::optional<Decimal> decimal = ParseDecimal(component);
    return decimal && !decimal->negative ? decimal->magnitude : 0;
}

} // namespace

std::string ExtractGroupTag(std::string_view name)
{
    const std::size_t dash = LastCharPos(name, '-', 1);
    if (dash == npos)
        return {};
    return std::string(name.substr(dash + 1));
}

std::string ExtractVersionText(std::string_view name)
{
    // The marker is looked up in the name as given, but the scan runs over the folded text, so a
    // ".build." in front of the marker moves the scan past the version.
    const std::size_t marker = name.find(".v");
    if (marker == npos)
        return {};
    const std::string folded = ReplaceAll(LowerCaseAscii(name), ".build.", ".");
    std::string version;
    char prev = ' ';
    for (std::size_t i = marker + 2; i < folded.size(); ++i) {
        const char c = folded[i];
        if (c == '.' || IsDigit(c)) {
            version += c;
            prev = c;
            continue;
        }
        // The byte that ends the version right after a digit becomes one more component, so that
        // "1.0a" ranks above "1.0".
        if (IsDigit(prev)) {
            version += '.';
            version += UpperCaseAscii(c);
        }
        break;
    }
    return version;
}

std::string_view TitleText(std::string_view name)
{
    return name.substr(0, LowerCaseAscii(name).find(".v"));
}

std::string NormalizeTitle(std::string_view name)
{
    const std::string_view title = TitleText(name);
    std::string key;
    key.reserve(title.size());
    for (const char c : title) {
        if (c != ' ' && c != '.' && c != '_')
            key += c;
    }
    return key;
}

double VersionValue(std::string_view versionText)
{
    double value = 0;
    unsigned depth = 0;
    ForEachComponent(versionText, [&](std::size_t position, std::string_view component) {
        if (position == 0) {
            value += LeadingValue(component);
        } else if (const auto divisor = IntPower(1000, depth)) {
            value += FractionDigits(component) / static_cast<double>(*divisor);
        }
        // Past 1000^6 the divisor no longer fits; such a component adds nothing but still counts.
        ++depth;
    });
    return value;
}

std::vector<std::uint64_t> ComponentVersionKey(std::string_view versionText)
{
    // A number n is kept as n + kFirstNumber and a byte b as b + 1, so that at one place a byte ranks
    // below every number, zero included, and above the end of a shorter key.
    constexpr std::uint64_t kFirstNumber = 257;
    std::vector<std::uint64_t> key;
    std::size_t zeros = 0; // zero numbers not yet known to be followed by a number
    ForEachComponent(versionText, [&](std::size_t position, std::string_view component) {
        if (position != 0 && !IsDigit(component.front())) {
            zeros = 0;
            key.push_back(static_cast<unsigned char>(component.front()) + std::uint64_t{1});
            return;
        }
        const std::uint64_t number = WholeNumber(component);
        if (number == 0) {
            ++zeros;
            return;
        }
        key.insert(key.end(), zeros, kFirstNumber);
        zeros = 0;
        key.push_back(number > std::numeric_limits<std::uint64_t>::max() - kFirstNumber
                          ? std::numeric_limits<std::uint64_t>::max()
                          : number + kFirstNumber);
    });
    return key;
}

bool MatchesNameList(std::string_view title, std::string_view commaList, StringList& scratch)
{
    if (commaList.empty())
        return false;
    SetCommaText(scratch, commaList);
    const std::string upperTitle = UpperCaseAscii(title);
    return std::any_of(scratch.begin(), scratch.end(), [&](const std::string& entry) {
        const std::string key = NormalizeTitle(entry);
        // An entry such as "." or "_" leaves nothing to look for and must not match every title.
        return !key.empty() && upperTitle.find(key) != npos;
    });
}

} // namespace versweep
