// The record of the last batch moved to the trash, kept so that the batch can be taken back.
#include "scan/undo_record.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <utility>

#include <unistd.h>

#include "ini/settings_location.h"
#include "platform/file_content.h"
#include "tools/text_tools.h"

namespace versweep {

namespace {

constexpr std::string_view kFirstLine = "versweep trash batch 1\n";

// One line per entry holds these fields in this order, percent-encoded (so that blanks, line ends and any
// other byte round-trip) and separated by blanks.
template <typename Entry>
auto FieldsOf(Entry& entry)
{
    return std::array{&entry.originalPath, &entry.trashRoot, &entry.name, &entry.infoPath, &entry.deletionDate};
}

std::optional<platform::TrashedEntry> ParseLine(std::string_view line)
{
    platform::TrashedEntry entry;
    const auto fields = FieldsOf(entry);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const bool last = i + 1 == fields.size();
        const std::size_t blank = line.find(' ');
        std::optional<std::string> decoded = PercentDecode(line.substr(0, blank));
        if (!decoded || (blank == std::string_view::npos) != last)
            return std::nullopt;
        *fields[i] = std::move(*decoded);
        line.remove_prefix(last ? line.size() : blank + 1);
    }
    return entry;
}

} // namespace

std::string UndoRecordPath(const char* xdgStateHome, const char* home)
{
    return XdgFilePath(xdgStateHome, home, ".local/state", "last-trash-batch");
}

std::string DefaultUndoRecordPath()
{
    const std::string home = UserHome();
    return UndoRecordPath(::getenv("XDG_STATE_HOME"), home.empty() ? nullptr : home.c_str());
}

std::vector<platform::TrashedEntry> ReadUndoRecord(const std::string& file)
{
    const platform::Result<std::string> content = platform::ReadFileContent(file);
    if (!content)
        return {};
    std::string_view rest = content.Value();
    if (!rest.starts_with(kFirstLine))
        return {};
    rest.remove_prefix(kFirstLine.size());
    std::vector<platform::TrashedEntry> batch;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::optional<platform::TrashedEntry> entry = ParseLine(rest.substr(0, end));
        // A record that was edited by hand or damaged is not trusted with any entry.
        if (!entry)
            return {};
        batch.push_back(std::move(*entry));
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    return batch;
}

platform::Status WriteUndoRecord(const std::string& file, const std::vector<platform::TrashedEntry>& batch)
{
    if (batch.empty()) {
        if (::unlink(file.c_str()) != 0 && errno != ENOENT)
            return platform::ErrorFromErrno(errno);
        return platform::Ok();
    }
    std::string content(kFirstLine);
    for (const platform::TrashedEntry& entry : batch) {
        const char* separator = "";
        for (const std::string* field : FieldsOf(entry)) {
            content.append(separator).append(PercentEncode(*field));
            separator = " ";
        }
        content += '\n';
    }
    return platform::ReplaceFileContent(file, content);
}

} // namespace versweep
