// What the fuzz targets share: a check that stops the run, and pieces cut from the fuzzer's bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace versweep::fuzz {

/// Ends the run as a crash, which libFuzzer reports with the input that caused it.
inline void Require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

/// Cuts the fuzzer's bytes into pieces from the front: each piece is as long as its leading byte says,
/// within what is left.
class Pieces
{
public:
    Pieces(const std::uint8_t* data, std::size_t size) : m_rest(reinterpret_cast<const char*>(data), size) {}

    std::string_view Next()
    {
        if (m_rest.empty())
            return {};
        const std::size_t length = static_cast<unsigned char>(m_rest.front()) % m_rest.size();
        const std::string_view piece = m_rest.substr(1, length);
        m_rest.remove_prefix(1 + length);
        return piece;
    }
    std::string_view Rest() const { return m_rest; }

private:
    std::string_view m_rest;
};

} // namespace versweep::fuzz
