// The committed sample settings files, and byte-exact copies of them in temporary folders, for the tests of ini.
#pragma once

#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "built_paths.h"
#include "temp_dir.h"

namespace versweep::test {

inline const std::string kDefault = "<default>";
inline const std::string kHandEditedPath = "/srv/old releases";

inline std::string SamplePath(const std::string& name)
{
    return BuiltPath("VERSWEEP_TEST_DATA_DIR", VERSWEEP_TEST_DATA_DIR) + "/ini/" + name;
}

inline std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string CopySample(const TempDir& dir, const std::string& name, const std::string& as = "s.ini")
{
    std::ofstream(dir / as, std::ios::binary) << ReadBytes(SamplePath(name));
    return dir / as;
}

// The bytes of `text` in UTF-16, as the compiler encodes the literal.
inline std::string Utf16(std::u16string_view text, bool bigEndian)
{
    std::string bytes;
    for (const char16_t unit : text) {
        const auto high = static_cast<char>(unit >> 8);
        const auto low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

} // namespace versweep::test
