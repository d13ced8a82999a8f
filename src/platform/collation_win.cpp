// The lists' name order through the system's own collation: sort keys for the user's locale, case ignored the
// linguistic way, with a plain ASCII fold when the system gives none.
#include "platform/collation.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include <windows.h>

#include "tools/text_tools.h"

namespace versweep::platform {

namespace {

// Entry names are far shorter; past this the collation adds nothing, and the full bytes still settle ties.
constexpr std::size_t kMaxCollatedBytes = std::size_t{1} << 16;
constexpr DWORD kSortKeyFlags = LCMAP_SORTKEY | LINGUISTIC_IGNORECASE;

// The system's name for a locale named the POSIX way ("zh_CN", "en_US.UTF-8"); empty when it knows none.
std::wstring SystemLocaleName(const char* locale)
{
    std::wstring name;
    for (const char* ch = locale; *ch != '\0' && *ch != '.' && *ch != '@'; ++ch)
        name += *ch == '_' ? L'-' : static_cast<wchar_t>(static_cast<unsigned char>(*ch));
    return ::IsValidLocaleName(name.c_str()) != 0 ? name : std::wstring();
}

} // namespace

struct Collation::State
{
    bool userDefault = true;
    std::wstring locale; // when not the user's default; empty is the invariant locale, the root of all others
    std::wstring utf16;  // buffers kept from one key to the next
    std::vector<char> sortKey = std::vector<char>(256);

    bool TryAppendSystemKey(std::string_view text, std::string& key);
};

Collation::Collation(const char* locale) : m_state(std::make_unique<State>())
{
    if (locale != nullptr) {
        m_state->userDefault = false;
        m_state->locale = SystemLocaleName(locale);
    }
}

Collation::~Collation() = default;

std::string Collation::SortKey(std::string_view text)
{
    std::string key;
    const std::string_view collated = text.substr(0, kMaxCollatedBytes);
    if (!m_state->TryAppendSystemKey(collated, key)) {
        // No key from the system: ASCII case folded, zero bytes lifted so the key still holds none.
        key.clear();
        for (const char ch : collated)
            key.push_back(ch == '\0' ? '\1' : LowerCaseAscii(ch));
    }
    key.push_back('\0');
    key.append(text);
    return key;
}

// The key orders texts as CompareStringEx with the same locale and flags does: that is the comparison the system
// documents it for.
bool Collation::State::TryAppendSystemKey(std::string_view text, std::string& key)
{
    if (text.empty())
        return true;
    // Bytes that are not UTF-8 become U+FFFD; one UTF-8 byte never yields more than one UTF-16 unit.
    utf16.resize(text.size());
    const int utf16Length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                  utf16.data(), static_cast<int>(utf16.size()));
    if (utf16Length <= 0)
        return false;
    const wchar_t* localeName = userDefault ? LOCALE_NAME_USER_DEFAULT : locale.c_str();
    int length = ::LCMapStringEx(localeName, kSortKeyFlags, utf16.data(), utf16Length,
                                 reinterpret_cast<LPWSTR>(sortKey.data()), static_cast<int>(sortKey.size()),
                                 nullptr, nullptr, 0);
    if (length == 0 && ::GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        length =
            ::LCMapStringEx(localeName, kSortKeyFlags, utf16.data(), utf16Length, nullptr, 0, nullptr, nullptr, 0);
        if (length <= 0)
            return false;
        sortKey.resize(static_cast<std::size_t>(length));
        length = ::LCMapStringEx(localeName, kSortKeyFlags, utf16.data(), utf16Length,
                                 reinterpret_cast<LPWSTR>(sortKey.data()), length, nullptr, nullptr, 0);
    }
    if (length <= 0)
        return false;
    // The key's own terminating zero is left out; SortKey() puts the separator.
    key.append(sortKey.data(), static_cast<std::size_t>(length - 1));
    return true;
}

} // namespace versweep::platform
