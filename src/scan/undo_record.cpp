// The record of the last batch moved to the trash, kept so that the batch can be taken back.
#include "scan/undo_record.h"

#include <charconv>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/user_folders.h"
#include "tools/text_tools.h"

namespace versweep {

namespace {

// The previous version's record: every line an entry that moved, five fields, no ids.
constexpr std::string_view kFirstLineBefore = "versweep trash batch 1\n";
// Each line is an entry: its intent (original path, id, folder id), written before the move, then how the
// move ended: "stayed", or "moved" and the trash folder, the name there, the record's Path= and its date.
// Fields are percent-encoded (so that blanks, line ends and any other byte round-trip) and separated by
// blanks; a last line without its end is an intent whose move may or may not have happened.
constexpr std::string_view kFirstLine = "versweep trash batch 2\n";
constexpr std::string_view kMoved = "moved";
constexpr std::string_view kStayed = "stayed";
constexpr std::size_t kIntentFields = 3;

std::vector<std::string_view> SplitFields(std::string_view line)
{
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t blank = line.find(' ');
        fields.push_back(line.substr(0, blank));
        if (blank == std::string_view::npos)
            return fields;
        line.remove_prefix(blank + 1);
    }
}

std::string IdText(platform::FileId id)
{
    return std::to_string(id.device) + ":" + std::to_string(id.inode);
}

std::optional<platform::FileId> ParseId(std::string_view text)
{
    platform::FileId id;
    const char* end = text.data() + text.size();
    const auto device = std::from_chars(text.data(), end, id.device);
    if (device.ec != std::errc() || device.ptr == end || *device.ptr != ':')
        return std::nullopt;
    const auto inode = std::from_chars(device.ptr + 1, end, id.inode);
    if (inode.ec != std::errc() || inode.ptr != end)
        return std::nullopt;
    return id;
}

// Decodes `fields` into `targets`, one each; false when the counts differ or a field is not percent-encoded.
bool DecodeInto(const std::vector<std::string_view>& fields, std::size_t first, std::vector<std::string*> targets)
{
    if (fields.size() != first + targets.size())
        return false;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        std::optional<std::string> decoded = PercentDecode(fields[first + i]);
        if (!decoded)
            return false;
        *targets[i] = std::move(*decoded);
    }
    return true;
}

std::optional<RecordedMove> ParseLineBefore(std::string_view line)
{
    RecordedMove move{RecordedMove::Stage::Moved, {}};
    platform::TrashedEntry& e = move.entry;
    if (!DecodeInto(SplitFields(line), 0, {&e.originalPath, &e.trashRoot, &e.name, &e.infoPath, &e.deletionDate}))
        return std::nullopt;
    return move;
}

// A line of the current record; `complete` when it ended with a line break. An incomplete line keeps only its
// intent, which was flushed before the move, whatever part of its ending made it to the disk.
std::optional<RecordedMove> ParseLine(std::string_view line, bool complete)
{
    std::vector<std::string_view> fields = SplitFields(line);
    if (fields.size() < kIntentFields)
        return std::nullopt;
    RecordedMove move;
    platform::TrashedEntry& e = move.entry;
    std::optional<std::string> path = PercentDecode(fields[0]);
    const std::optional<platform::FileId> id = ParseId(fields[1]);
    const std::optional<platform::FileId> folderId = ParseId(fields[2]);
    if (!path || !id || !folderId)
        return std::nullopt;
    e.originalPath = std::move(*path);
    e.id = *id;
    e.folderId = *folderId;
    if (!complete)
        return move;
    if (fields.size() == kIntentFields + 1 && fields[kIntentFields] == kStayed) {
        move.stage = RecordedMove::Stage::Stayed;
        return move;
    }
    if (fields.size() < kIntentFields + 1 || fields[kIntentFields] != kMoved ||
        !DecodeInto(fields, kIntentFields + 1, {&e.trashRoot, &e.name, &e.infoPath, &e.deletionDate}))
        return std::nullopt;
    move.stage = RecordedMove::Stage::Moved;
    return move;
}

std::string MovedEnding(const platform::TrashedEntry& entry)
{
    std::string text(" ");
    text.append(kMoved);
    for (const std::string* field : {&entry.trashRoot, &entry.name, &entry.infoPath, &entry.deletionDate})
        text.append(" ").append(PercentEncode(*field));
    return text.append("\n");
}

std::string IntentText(const std::string& originalPath, platform::FileId id, platform::FileId folderId)
{
    return PercentEncode(originalPath) + " " + IdText(id) + " " + IdText(folderId);
}

} // namespace

std::string UndoRecordPath(const char* xdgStateHome, const char* home)
{
    return platform::XdgFilePath(xdgStateHome, home, ".local/state", "last-trash-batch");
}

std::string DefaultUndoRecordPath()
{
    const std::string home = platform::UserHome();
    return UndoRecordPath(std::getenv("XDG_STATE_HOME"), home.empty() ? nullptr : home.c_str());
}

std::vector<RecordedMove> ParseUndoRecord(std::string_view content)
{
    const bool before = content.starts_with(kFirstLineBefore);
    if (!before && !content.starts_with(kFirstLine))
        return {};
    content.remove_prefix((before ? kFirstLineBefore : kFirstLine).size());
    std::vector<RecordedMove> batch;
    while (!content.empty()) {
        const std::size_t end = content.find('\n');
        const bool complete = end != std::string_view::npos;
        std::optional<RecordedMove> move =
            before ? ParseLineBefore(content.substr(0, end)) : ParseLine(content.substr(0, end), complete);
        content.remove_prefix(complete ? end + 1 : content.size());
        // A record that was edited by hand or damaged is not trusted with any entry. Only a last line cut
        // short in its intent is left out: the batch stopped before that move began.
        if (!move && (complete || before))
            return {};
        if (move)
            batch.push_back(std::move(*move));
    }
    return batch;
}

std::vector<RecordedMove> ReadUndoRecord(const std::string& file)
{
    const platform::Result<std::string> content = platform::ReadFileContent(file);
    return content ? ParseUndoRecord(content.Value()) : std::vector<RecordedMove>();
}

platform::Status WriteUndoRecord(const std::string& file, const std::vector<platform::TrashedEntry>& batch)
{
    if (batch.empty())
        return platform::RemoveFile(file);
    std::string content(kFirstLine);
    for (const platform::TrashedEntry& entry : batch)
        content.append(IntentText(entry.originalPath, entry.id, entry.folderId)).append(MovedEnding(entry));
    return platform::ReplaceFileContent(file, content);
}

platform::Result<UndoLog> UndoLog::Start(const std::string& file)
{
    platform::Result<platform::DurableLog> log = platform::DurableLog::Create(file, kFirstLine);
    if (!log)
        return log.Error();
    return UndoLog(std::move(log).Value());
}

platform::Status UndoLog::Intend(const std::string& originalPath, platform::FileId id, platform::FileId folderId)
{
    return m_log.Append(IntentText(originalPath, id, folderId));
}

platform::Status UndoLog::Complete(const platform::TrashedEntry* moved)
{
    return m_log.Append(moved != nullptr ? MovedEnding(*moved) : " " + std::string(kStayed) + "\n");
}

} // namespace versweep
