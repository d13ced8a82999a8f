// Fuzzes the settings reader: any bytes as the settings file, then every read the program makes of it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <sys/mman.h>
#include <unistd.h>

#include "fuzz_support.h"
#include "ini/ini_encoding.h"
#include "ini/ini_file.h"
#include "tools/text_tools.h"
#include "tools/utf8_text.h"

namespace {

using versweep::fuzz::Require;

constexpr std::string_view kSections[] = {"CONFIG", "config", "bool", "int", "a b", "["};
constexpr std::string_view kKeys[] = {"vPath",     "Position", "OnlyDuplicate", "ListFile", "WhiteList",
                                      "BlackList", "k"};
const std::string kDefault = "<default>";

// A file in memory, reached by a path, so the reads go through the same open and read calls as on disk.
class MemoryFile
{
public:
    MemoryFile() : m_fd(::memfd_create("settings", MFD_CLOEXEC)) {}
    ~MemoryFile() { ::close(m_fd); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    bool Fill(std::string_view bytes) const
    {
        return ::ftruncate(m_fd, 0) == 0 &&
               ::pwrite(m_fd, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size());
    }
    std::string Path() const { return "/proc/self/fd/" + std::to_string(m_fd); }

private:
    int m_fd;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const versweep::DecodedIni decoded = versweep::DecodeIni(bytes);
    if (decoded.encoding != versweep::IniEncoding::EightBit)
        Require(versweep::ReplaceInvalidUtf8(decoded.text) == decoded.text);
    if (decoded.lossless)
        Require(versweep::EncodeIni(decoded.text, decoded.encoding) == std::string(bytes));

    for (const std::string_view section : kSections) {
        for (const std::string_view key : kKeys) {
            const std::optional<std::string> value = versweep::ReadIniValue(bytes, section, key);
            if (value)
                Require(!value->empty() && value->size() <= 1023 &&
                        value->find_first_of("\r\n") == std::string::npos);
        }
    }

    // The program's own reads of its keys, through the file.
    static const MemoryFile file;
    Require(file.Fill(bytes));
    const versweep::IniFile ini(file.Path());
    for (const std::string_view key : kKeys) {
        const std::string text = ini.ReadString("CONFIG", key, kDefault);
        Require(text == versweep::ReadIniValue(bytes, "CONFIG", key).value_or(kDefault));
        const int number = ini.ReadInteger("CONFIG", key, -1);
        Require(number == versweep::ParseInt32(text).value_or(-1) || text == kDefault);
        const bool flag = ini.ReadBool("CONFIG", key, true);
        Require(flag || text == "0");
    }
    return 0;
}
