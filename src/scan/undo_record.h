// The record of the last batch moved to the trash, kept so that the batch can be taken back.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/file_content.h"
#include "platform/file_system.h"
#include "platform/system_error.h"
#include "platform/trash.h"

namespace versweep {

/// The record's file: "$XDG_STATE_HOME/versweep/last-trash-batch", with XDG_STATE_HOME taken as
/// "$HOME/.local/state" when unset, empty or not absolute; empty when there is no absolute home either.
/// `xdgStateHome` and `home` are the environment's values, null when unset.
std::string UndoRecordPath(const char* xdgStateHome, const char* home);

/// UndoRecordPath for the process environment (the user's home from the password database when HOME is
/// unset).
std::string DefaultUndoRecordPath();

/// One entry of a recorded batch.
struct RecordedMove
{
    enum class Stage
    {
        Intended, ///< about to move when the batch stopped: it may be in a trash or still in its place
        Moved,    ///< in the trash where `entry` says
        Stayed,   ///< did not move
    };
    Stage stage = Stage::Intended;
    /// The original path, id and folder id always; the trash location only when Moved.
    platform::TrashedEntry entry;
};

/// The entries recorded in `content` (a record file's bytes), in the order they were tried. Records of the
/// previous version (every entry moved, no ids) are read too. Nothing when `content` is not such a record
/// or any complete line of it is damaged: an edited record is not trusted with any entry.
std::vector<RecordedMove> ParseUndoRecord(std::string_view content);

/// ParseUndoRecord of the file `file`; nothing when it cannot be read.
std::vector<RecordedMove> ReadUndoRecord(const std::string& file);

/// Replaces the record in `file` by the moved entries `batch` in one step (temporary file, flush, rename),
/// every path kept byte for byte; an empty batch removes the file.
platform::Status WriteUndoRecord(const std::string& file, const std::vector<platform::TrashedEntry>& batch);

/// The record of a batch under way, written as it goes: each entry is written down and flushed to disk
/// before it moves, and completed with where it went after, so a batch killed at any point leaves a record
/// of everything that may have moved.
class UndoLog
{
public:
    /// Starts a new record in `file`, replacing the one there.
    static platform::Result<UndoLog> Start(const std::string& file);

    /// Writes down that the entry at `originalPath` (absolute), the file `id` in the folder `folderId`, is
    /// about to move.
    platform::Status Intend(const std::string& originalPath, platform::FileId id, platform::FileId folderId);
    /// Completes the entry last intended: moved to where `moved` says, or, when null, not moved.
    platform::Status Complete(const platform::TrashedEntry* moved);

private:
    explicit UndoLog(platform::DurableLog log) : m_log(std::move(log)) {}
    platform::DurableLog m_log;
};

} // namespace versweep
