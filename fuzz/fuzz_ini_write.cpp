// Fuzzes a settings write followed by reads: the key written reads back as written, every other key reads as
// before, the file keeps its encoding, and writing the same again changes nothing.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "ini/ini_encoding.h"
#include "ini/ini_file.h"
#include "tools/text_tools.h"

namespace {

using versweep::fuzz::Require;

constexpr std::size_t kMaxNames = 12;

std::string_view Trim(std::string_view text)
{
    const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 0x20 || c == 0x7F; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool SameName(std::string_view a, std::string_view b)
{
    return versweep::UpperCaseAscii(a) == versweep::UpperCaseAscii(b);
}

void AddName(std::vector<std::string>& names, std::string_view name)
{
    if (names.size() < kMaxNames && std::find(names.begin(), names.end(), name) == names.end())
        names.emplace_back(name);
}

// Every section name and key name the file might hold, more rather than fewer, to read before and after.
void CollectNames(std::string_view text, std::vector<std::string>& sections, std::vector<std::string>& keys)
{
    while (!text.empty()) {
        const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
        const std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.starts_with('[') && line.find(']') != std::string_view::npos)
            AddName(sections, Trim(line.substr(1, line.rfind(']') - 1)));
        AddName(keys, Trim(line.substr(0, line.find('='))));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    versweep::fuzz::Pieces pieces(data, size);
    const std::string_view section = pieces.Next();
    const std::string_view key = pieces.Next();
    const std::string_view value = pieces.Next();
    const std::string_view before = pieces.Rest();

    const std::optional<std::string> after = versweep::WriteIniValue(before, section, key, value);
    if (!after)
        return 0;
    const std::optional<std::string> expected =
        value.empty() ? std::nullopt : std::optional<std::string>(versweep::TruncateTo(value, 1023));
    Require(versweep::ReadIniValue(*after, section, key) == expected);
    Require(versweep::WriteIniValue(*after, section, key, value) == *after);

    const versweep::DecodedIni oldText = versweep::DecodeIni(before);
    const versweep::DecodedIni newText = versweep::DecodeIni(*after);
    Require(newText.lossless && newText.encoding == oldText.encoding);

    std::vector<std::string> sections{std::string(section), "CONFIG"};
    std::vector<std::string> keys{std::string(key), "vPath"};
    CollectNames(oldText.text, sections, keys);
    CollectNames(newText.text, sections, keys);
    for (const std::string& otherSection : sections) {
        for (const std::string& otherKey : keys) {
            if (SameName(otherSection, section) && SameName(otherKey, key))
                continue;
            Require(versweep::ReadIniValue(*after, otherSection, otherKey) ==
                    versweep::ReadIniValue(before, otherSection, otherKey));
        }
    }
    return 0;
}
