// The listing versweep-scan prints: plain lines, NUL-ended records or a JSON document, written as they go.
#include "cli/listing_output.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>

#include <nlohmann/json.hpp>

#include "release/release_name.h"
#include "tools/utf8_text.h"

namespace versweep {

namespace {

using Json = nlohmann::ordered_json;

bool IsControl(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 0x01 && byte <= 0x1F) || byte == 0x7F;
}

// Calls `use(character, code)` for each character of `name`: a well-formed UTF-8 sequence with its code
// point, or one byte of an ill-formed one without.
template <typename Use>
void ForEachCharacter(std::string_view name, Use use)
{
    while (!name.empty()) {
        std::size_t length = 0;
        const std::optional<char32_t> code = FirstCodePoint(name, length);
        use(name.substr(0, length), code);
        name.remove_prefix(length);
    }
}

// The invisible and direction-changing characters that can make a name read as another.
bool Disguises(std::optional<char32_t> code)
{
    return code && IsFormatCharacter(*code);
}

constexpr char kHexDigits[] = "0123456789abcdef";

void AppendEscapedByte(std::string& quoted, char c)
{
    switch (c) {
    case '\n':
        quoted += "\\n";
        break;
    case '\t':
        quoted += "\\t";
        break;
    case '\r':
        quoted += "\\r";
        break;
    case '\\':
        quoted += "\\\\";
        break;
    case '"':
        quoted += "\\\"";
        break;
    default:
        if (IsControl(c)) {
            const auto byte = static_cast<unsigned char>(c);
            quoted += "\\x";
            quoted += kHexDigits[byte >> 4];
            quoted += kHexDigits[byte & 0x0F];
        } else {
            quoted += c;
        }
    }
}

void AppendEscapedCodePoint(std::string& quoted, char32_t code)
{
    std::string digits;
    for (auto rest = static_cast<std::uint32_t>(code); digits.empty() || rest != 0; rest >>= 4)
        digits.insert(digits.begin(), kHexDigits[rest & 0x0F]);
    quoted += "\\u{" + digits + "}";
}

std::string_view Mark(const Entry& entry)
{
    return entry.checked ? "[x] " : "[ ] ";
}

std::string Dump(const Json& value, int indent = -1)
{
    return value.dump(indent, ' ', false, Json::error_handler_t::replace);
}

// `text` with every line after the first moved right by `width` blanks; dumped JSON holds no raw line break
// inside a string, so every break it holds is a line of its own layout.
std::string Indented(const std::string& text, std::size_t width)
{
    const std::string margin(width, ' ');
    std::string result = margin;
    for (const char c : text) {
        result += c;
        if (c == '\n')
            result += margin;
    }
    return result;
}

// Writes the array of `count` items, item k given by describe(k), as an ordered_json dump with two-space
// indent shows it one level down.
template <typename Describe>
void WriteArray(std::ostream& out, std::size_t count, Describe describe)
{
    if (count == 0) {
        out << "[]";
        return;
    }
    out << "[\n";
    for (std::size_t k = 0; k < count; ++k)
        out << Indented(Dump(describe(k), 2), 4) << (k + 1 < count ? ",\n" : "\n");
    out << "  ]";
}

} // namespace

std::string QuoteName(std::string_view name)
{
    bool needsQuotes = name.starts_with('"');
    ForEachCharacter(name, [&needsQuotes](std::string_view character, std::optional<char32_t> code) {
        needsQuotes = needsQuotes || IsControl(character.front()) || Disguises(code);
    });
    if (!needsQuotes)
        return std::string(name);

    std::string quoted = "\"";
    ForEachCharacter(name, [&quoted](std::string_view character, std::optional<char32_t> code) {
        if (Disguises(code)) {
            AppendEscapedCodePoint(quoted, *code);
            return;
        }
        for (const char c : character)
            AppendEscapedByte(quoted, c);
    });
    quoted += '"';
    return quoted;
}

void WriteLines(std::ostream& out, const Listing& listing)
{
    for (const Entry& entry : listing.Entries())
        out << Mark(entry) << QuoteName(entry.name) << '\n';
}

void WriteRecords(std::ostream& out, const Listing& listing)
{
    for (const Entry& entry : listing.Entries())
        out << Mark(entry) << entry.name << '\0';
}

void WriteJson(std::ostream& out, const Listing& listing, const std::vector<MeasuredEntry>& sizes)
{
    const std::vector<std::string>& tags = listing.GroupTags();
    out << "{\n  \"folder\": " << Dump(ReplaceInvalidUtf8(listing.Folder())) << ",\n  \"group_tags\": ";
    WriteArray(out, tags.size(), [&](std::size_t k) { return Json(ReplaceInvalidUtf8(tags[k])); });
    out << ",\n  \"entries\": ";
    WriteArray(out, listing.Entries().size(), [&](std::size_t k) {
        const Entry& listed = listing.Entries()[k];
        const std::string versionText = ExtractVersionText(listed.readName);
        Json entry{{"name", ReplaceInvalidUtf8(listed.name)},
                   {"checked", listed.checked},
                   {"group_tag", ReplaceInvalidUtf8(listed.groupTag)},
                   {"version_text", ReplaceInvalidUtf8(versionText)},
                   {"version_value", VersionValue(versionText)},
                   {"title_key", ReplaceInvalidUtf8(NormalizeTitle(listed.readName))},
                   {"ambiguous", listed.mark.ambiguous},
                   {"reason", ReasonName(listed.mark.reason)}};
        if (listed.mark.reason == MarkReason::Older)
            entry["superseded_by"] = ReplaceInvalidUtf8(listed.mark.supersededBy);
        if (!sizes.empty()) {
            entry["size"] = sizes[k].size.bytes;
            entry["size_complete"] = sizes[k].size.complete;
        }
        return entry;
    });
    out << "\n}\n";
}

} // namespace versweep
