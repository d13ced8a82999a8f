// The lists' name order through ICU: sort keys at secondary strength, with a plain ASCII fold when ICU fails.
#include "platform/collation.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include <unicode/ucol.h>
#include <unicode/ustring.h>

#include "tools/text_tools.h"

namespace versweep::platform {

namespace {

// Entry names are far shorter; past this the collator adds nothing, and the full bytes still settle ties.
constexpr std::size_t kMaxCollatedBytes = std::size_t{1} << 16;

// Null when the locale cannot be opened or its rules tell case apart on the first level, as the POSIX
// locale (what ICU makes of LANG=C) does: the lists must ignore case everywhere.
UCollator* OpenIgnoringCase(const char* locale)
{
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open(locale, &status);
    if (U_FAILURE(status)) {
        ucol_close(collator);
        return nullptr;
    }
    // Case is ignored, accents still count.
    ucol_setStrength(collator, UCOL_SECONDARY);
    const UChar lower[] = {u'a'};
    const UChar upper[] = {u'A'};
    if (ucol_strcoll(collator, lower, 1, upper, 1) != UCOL_EQUAL) {
        ucol_close(collator);
        return nullptr;
    }
    return collator;
}

} // namespace

struct Collation::State
{
    UCollator* collator = nullptr;
    std::vector<char16_t> utf16; // buffers kept from one key to the next
    std::vector<std::uint8_t> sortKey = std::vector<std::uint8_t>(256);

    bool TryAppendCollatorKey(std::string_view text, std::string& key);
};

Collation::Collation(const char* locale) : m_state(std::make_unique<State>())
{
    m_state->collator = OpenIgnoringCase(locale);
    if (m_state->collator == nullptr)
        m_state->collator = OpenIgnoringCase("");
}

Collation::~Collation()
{
    ucol_close(m_state->collator);
}

std::string Collation::SortKey(std::string_view text)
{
    std::string key;
    const std::string_view collated = text.substr(0, kMaxCollatedBytes);
    if (m_state->collator == nullptr || !m_state->TryAppendCollatorKey(collated, key)) {
        // No usable collator: ASCII case folded, zero bytes lifted so the key still holds none.
        key.clear();
        for (const char ch : collated)
            key.push_back(ch == '\0' ? '\1' : LowerCaseAscii(ch));
    }
    key.push_back('\0');
    key.append(text);
    return key;
}

bool Collation::State::TryAppendCollatorKey(std::string_view text, std::string& key)
{
    // One UTF-8 byte never yields more than one UTF-16 unit, whatever its validity.
    utf16.resize(std::max<std::size_t>(text.size(), 1));
    int32_t utf16Length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(utf16.data(), static_cast<int32_t>(utf16.size()), &utf16Length,
                         text.empty() ? "" : text.data(), static_cast<int32_t>(text.size()), 0xFFFD, nullptr,
                         &status);
    if (U_FAILURE(status))
        return false;
    auto capacity = static_cast<int32_t>(sortKey.size());
    int32_t length = ucol_getSortKey(collator, utf16.data(), utf16Length, sortKey.data(), capacity);
    if (length > capacity) {
        sortKey.resize(static_cast<std::size_t>(length));
        capacity = length;
        length = ucol_getSortKey(collator, utf16.data(), utf16Length, sortKey.data(), capacity);
    }
    if (length <= 0 || length > capacity)
        return false;
    // The key's own terminating zero is left out; SortKey() puts the separator.
    key.append(reinterpret_cast<const char*>(sortKey.data()), static_cast<std::size_t>(length - 1));
    return true;
}

} // namespace versweep::platform
