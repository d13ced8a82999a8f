// UTF-8 and UTF-16 for the tests' own calls to Windows, made without the code under test.
#pragma once

#include <stdexcept>
#include <string>

#include <windows.h>

namespace versweep::test {

/// The UTF-16 form of the UTF-8 `text`; throws for anything else.
inline std::wstring Wide(const std::string& text)
{
    if (text.empty())
        return {};
    const int length = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                             static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0)
        throw std::runtime_error("not UTF-8: " + text);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

/// The UTF-8 form of `text` (an unpaired surrogate as U+FFFD).
inline std::string Narrow(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                             nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length, nullptr,
                          nullptr);
    return narrow;
}

/// The `\\?\` form of the absolute drive path `path`, '/' read as '\', so that any name and length is reached.
inline std::wstring LongForm(const std::string& path)
{
    std::wstring wide = L"\\\\?\\" + Wide(path);
    for (wchar_t& unit : wide) {
        if (unit == L'/')
            unit = L'\\';
    }
    return wide;
}

} // namespace versweep::test
