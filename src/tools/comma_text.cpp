// Comma texts ("a, b,\"c d\""): parsed into string lists, and entries appended to them.
#include "tools/text_tools.h"

#include <algorithm>

namespace versweep {

namespace {

// Bytes 1 to 32 separate entries like blanks; bytes from 0x80 up belong to entries.
bool IsBlankOrControl(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

// Reads the quoted entry that opens at text[pos] and leaves pos after its closing quote. A doubled
// quote stands for one quote byte; a quote that is never closed takes the rest of the text.
std::string ReadQuoted(std::string_view text, std::size_t& pos)
{
    std::string entry;
    ++pos;
    while (pos < text.size()) {
        const std::size_t quote = text.find('"', pos);
        if (quote == std::string_view::npos) {
            entry.append(text.substr(pos));
            pos = text.size();
            break;
        }
        entry.append(text.substr(pos, quote - pos));
        pos = quote + 1;
        if (pos < text.size() && text[pos] == '"') {
            entry += '"';
            ++pos;
        } else {
            break;
        }
    }
    return entry;
}

} // namespace

void SetCommaText(StringList& list, std::string_view commaText)
{
    const std::string_view text = commaText.substr(0, commaText.find('\0'));
    list.clear();
    std::size_t pos = 0;
    const auto skipBlanks = [&] {
        while (pos < text.size() && IsBlankOrControl(text[pos]))
            ++pos;
    };
    skipBlanks();
    while (pos < text.size()) {
        if (text[pos] == '"') {
            list.push_back(ReadQuoted(text, pos));
        } else {
            const std::size_t start = pos;
            while (pos < text.size() && !IsBlankOrControl(text[pos]) && text[pos] != ',')
                ++pos;
            list.emplace_back(text.substr(start, pos - start));
        }
        skipBlanks();
        if (pos < text.size() && text[pos] == ',') {
            // Only a comma that is the very last byte stands for a final empty entry; "a, " holds one entry.
            if (pos + 1 == text.size())
                list.emplace_back();
            ++pos;
            skipBlanks();
        }
    }
}

void AppendCommaEntry(std::string& commaText, std::string_view entry)
{
    if (!commaText.empty())
        commaText += ',';
    const bool plain = !entry.empty() && std::none_of(entry.begin(), entry.end(), [](char c) {
        return IsBlankOrControl(c) || c == ',' || c == '"';
    });
    if (plain) {
        commaText.append(entry);
        return;
    }
    commaText += '"';
    for (const char c : entry) {
        commaText += c;
        if (c == '"')
            commaText += '"';
    }
    commaText += '"';
}

} // namespace versweep
