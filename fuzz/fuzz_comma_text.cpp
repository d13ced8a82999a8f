// Fuzzes the comma-list parser: any text parses, and a list written back as quoted entries parses to itself.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "tools/text_tools.h"

namespace {

using versweep::StringList;
using versweep::fuzz::Require;

// Each entry in double quotes with its quotes doubled, entries joined by commas.
std::string QuotedCommaText(const StringList& list)
{
    std::string text;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (i > 0)
            text += ',';
        text += '"';
        for (const char c : list[i])
            text += c == '"' ? std::string("\"\"") : std::string(1, c);
        text += '"';
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    StringList parsed{"left over"};
    versweep::SetCommaText(parsed, text);
    for (const std::string& entry : parsed)
        Require(entry.find('\0') == std::string::npos);

    StringList again;
    versweep::SetCommaText(again, QuotedCommaText(parsed));
    Require(again == parsed);

    // Entries cut from the bytes at every 0xFF (a NUL ends a comma text, so it cannot be in an entry).
    StringList entries(1);
    for (const char c : text) {
        if (c == '\xFF')
            entries.emplace_back();
        else if (c != '\0')
            entries.back() += c;
    }
    StringList roundTrip;
    versweep::SetCommaText(roundTrip, QuotedCommaText(entries));
    Require(roundTrip == entries);
    return 0;
}
