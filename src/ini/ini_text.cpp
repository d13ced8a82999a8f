// Reading and editing the text of a Windows-style INI file in memory, without touching any file.
#include "ini/ini_text.h"

#include <cstddef>

#include "tools/text_tools.h"

namespace versweep {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";

bool IsBlank(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte <= 0x20 || byte == 0x7F;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerCaseAscii(a[i]) != LowerCaseAscii(b[i]))
            return false;
    }
    return true;
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool IsEnclosedInQuotes(std::string_view text)
{
    return text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.front() == text.back();
}

std::string_view StripQuotes(std::string_view text)
{
    return IsEnclosedInQuotes(text) ? text.substr(1, text.size() - 2) : text;
}

bool HasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// A name the reader would find again: nothing the line trimming would eat, nothing that ends the line.
bool IsStorableName(std::string_view name)
{
    return !name.empty() && !IsBlank(name.front()) && !IsBlank(name.back()) && !HasLineBreak(name);
}

bool IsStorableSection(std::string_view section)
{
    return IsStorableName(section) && section.find(']') == std::string_view::npos;
}

// "[" or ";" in front would make the line a section header or a comment; "=" would split the key.
bool IsStorableKey(std::string_view key)
{
    return IsStorableName(key) && key.front() != ';' && key.front() != '[' &&
           key.find('=') == std::string_view::npos;
}

// Quotes keep blanks at the ends and a quoted-looking value from being eaten by the reader.
std::string EncodeValue(std::string_view value)
{
    const bool needsQuotes =
        !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) || IsEnclosedInQuotes(value));
    if (!needsQuotes)
        return std::string(value);
    std::string quoted;
    quoted.reserve(value.size() + 2);
    quoted += '"';
    quoted += value;
    quoted += '"';
    return quoted;
}

enum class LineKind
{
    Blank,
    Comment,
    Section,
    Key,
};

// Offsets are into the whole content, so an edit can splice bytes without disturbing its neighbours.
struct Line
{
    std::size_t end = 0;  // one past the last byte before the line break
    std::size_t next = 0; // first byte of the following line
    std::size_t textEnd = 0;
    LineKind kind = LineKind::Blank;
    std::string_view name; // section or key name
    bool hasValue = false;
    std::size_t valueBegin = 0; // trimmed value, enclosing quotes still on
    std::size_t valueEnd = 0;
};

class LineReader
{
public:
    explicit LineReader(std::string_view content)
        : m_content(content), m_pos(content.starts_with(kUtf8Bom) ? kUtf8Bom.size() : 0)
    {}

    bool Next(Line& line)
    {
        if (m_pos >= m_content.size())
            return false;
        const std::size_t begin = m_pos;
        line.end = m_content.find_first_of("\r\n", begin);
        if (line.end == std::string_view::npos)
            line.end = m_content.size();
        line.next = line.end;
        if (line.next < m_content.size()) {
            const bool crlf = m_content[line.next] == '\r' && line.next + 1 < m_content.size() &&
                              m_content[line.next + 1] == '\n';
            line.next += crlf ? 2 : 1;
        }
        m_pos = line.next;
        Classify(begin, line);
        return true;
    }

private:
    void Classify(std::size_t begin, Line& line) const
    {
        std::size_t textBegin = begin;
        while (textBegin < line.end && IsBlank(m_content[textBegin]))
            ++textBegin;
        line.textEnd = line.end;
        while (line.textEnd > textBegin && IsBlank(m_content[line.textEnd - 1]))
            --line.textEnd;
        const std::string_view text = m_content.substr(textBegin, line.textEnd - textBegin);
        line.hasValue = false;
        line.name = {};
        if (text.empty()) {
            line.kind = LineKind::Blank;
            return;
        }
        if (text.front() == ';') {
            line.kind = LineKind::Comment;
            return;
        }
        if (text.front() == '[') {
            const std::size_t close = text.rfind(']');
            if (close != std::string_view::npos) {
                line.kind = LineKind::Section;
                line.name = Trim(text.substr(1, close - 1));
                return;
            }
        }
        line.kind = LineKind::Key;
        const std::size_t equals = text.find('=');
        if (equals == std::string_view::npos) {
            line.name = text;
            return;
        }
        line.name = Trim(text.substr(0, equals));
        line.hasValue = true;
        line.valueBegin = textBegin + equals + 1;
        while (line.valueBegin < line.textEnd && IsBlank(m_content[line.valueBegin]))
            ++line.valueBegin;
        line.valueEnd = line.textEnd;
    }

    std::string_view m_content;
    std::size_t m_pos;
};

} // namespace

std::optional<std::string> FindIniValue(std::string_view content, std::string_view section, std::string_view key)
{
    LineReader reader(content);
    Line line;
    bool inSection = false;
    while (reader.Next(line)) {
        if (line.kind == LineKind::Section) {
            // Only the first section of that name is consulted, like the Windows profile reader.
            if (inSection)
                return std::nullopt;
            inSection = EqualsIgnoringCase(line.name, section);
        } else if (inSection && line.kind == LineKind::Key && EqualsIgnoringCase(line.name, key)) {
            if (!line.hasValue)
                return std::nullopt;
            return std::string(StripQuotes(content.substr(line.valueBegin, line.valueEnd - line.valueBegin)));
        }
    }
    return std::nullopt;
}

std::optional<std::string> SetIniValue(std::string_view content, std::string_view section, std::string_view key,
                                       std::string_view value)
{
    if (!IsStorableSection(section) || !IsStorableKey(key) || HasLineBreak(value))
        return std::nullopt;

    LineReader reader(content);
    Line line;
    bool inSection = false;
    bool sectionFound = false;
    Line anchor; // the header or last key line of the section: a new key goes right after it
    bool keyFound = false;
    LineKind lastKind = LineKind::Blank;
    while (reader.Next(line)) {
        lastKind = line.kind;
        if (line.kind == LineKind::Section) {
            if (inSection)
                break;
            inSection = EqualsIgnoringCase(line.name, section);
            if (inSection) {
                sectionFound = true;
                anchor = line;
            }
        } else if (inSection && line.kind == LineKind::Key) {
            if (EqualsIgnoringCase(line.name, key)) {
                keyFound = true;
                break;
            }
            anchor = line;
        }
    }

    const std::string encoded = EncodeValue(value);
    std::string result(content);
    if (keyFound) {
        // A key without "=" reads as empty, so writing the empty text changes nothing either.
        const std::string_view current =
            line.hasValue ? StripQuotes(content.substr(line.valueBegin, line.valueEnd - line.valueBegin))
                          : std::string_view();
        if (current == value)
            return result;
        if (line.hasValue)
            result.replace(line.valueBegin, line.valueEnd - line.valueBegin, encoded);
        else
            result.insert(line.textEnd, "=" + encoded);
        return result;
    }

    std::string entry(key);
    entry += '=';
    entry += encoded;
    entry += kLineEnd;
    if (sectionFound) {
        if (anchor.end == anchor.next)
            entry.insert(0, kLineEnd);
        result.insert(anchor.next, entry);
        return result;
    }

    const bool hasText = content.size() > (content.starts_with(kUtf8Bom) ? kUtf8Bom.size() : 0);
    if (hasText) {
        if (content.back() != '\r' && content.back() != '\n')
            result += kLineEnd;
        if (lastKind != LineKind::Blank)
            result += kLineEnd;
    }
    result += '[';
    result += section;
    result += ']';
    result += kLineEnd;
    result += entry;
    return result;
}

} // namespace versweep
