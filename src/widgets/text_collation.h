// The order in which the lists show names: the user's locale, case ignored, accents kept, ties in byte order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct UCollator;

namespace versweep {

/// Turns byte-string names (decoded as UTF-8, invalid bytes as U+FFFD) into sort keys whose plain byte
/// order is the order the check list and the file preview show them in.
class TextCollation
{
public:
    /// Collates by the ICU locale named (for example "en_US", "zh_CN"), or by the process's default locale
    /// when null. A locale that cannot be opened, or whose rules tell case apart (the POSIX one, which is
    /// what LANG=C gives), yields to the root locale.
    explicit TextCollation(const char* icuLocale = nullptr);
    ~TextCollation();
    TextCollation(const TextCollation&) = delete;
    TextCollation& operator=(const TextCollation&) = delete;

    /// The collator's sort key (which holds no zero byte), a zero byte, then the text itself, so texts the
    /// collator finds equal fall in byte order and never in the order they came in.
    std::string SortKey(std::string_view text);

private:
    void AppendCollatorKey(std::string_view text, std::string& key);
    bool TryAppendCollatorKey(std::string_view text, std::string& key);

    UCollator* m_collator = nullptr;
    std::vector<char16_t> m_utf16;
    std::vector<std::uint8_t> m_sortKey = std::vector<std::uint8_t>(256);
};

} // namespace versweep
