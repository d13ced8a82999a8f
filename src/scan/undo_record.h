// The record of the last batch moved to the trash, kept so that the batch can be taken back.
#pragma once

#include <string>
#include <vector>

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

/// The entries recorded in `file`, in the order they were moved; none when the file is missing or is not
/// such a record.
std::vector<platform::TrashedEntry> ReadUndoRecord(const std::string& file);

/// Replaces the record in `file` by `batch` in one step (temporary file, flush, rename), every path kept
/// byte for byte; an empty batch removes the file.
platform::Status WriteUndoRecord(const std::string& file, const std::vector<platform::TrashedEntry>& batch);

} // namespace versweep
