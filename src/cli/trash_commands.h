// versweep-scan --trash and --undo: the checked entries to the trash after one confirmation, and the last
// batch back out of it.
#pragma once

#include <iosfwd>

namespace versweep {

class SweepSession;

/// Moves the checked entries of the session's listing to the trash as one batch recorded for --undo, each only
/// while it is the file the listing saw. Unless `yes`, it first asks on `err` and reads the answer from `in`,
/// and refuses without asking when `in` is not a terminal; with nothing checked it neither asks nor moves.
/// Each entry that could not move is reported on `err` with the reason (so is one that moved to a trash
/// that could not record it), then how many moved. Returns the exit status: 0 when every checked entry
/// moved as it should, 1 when any did not or the moves were not confirmed.
int MoveCheckedToTrash(const SweepSession& session, bool yes, std::istream& in, bool inIsTerminal,
                       std::ostream& err);

/// Moves the last batch back out of the trash: each path restored on `out`, one line each, quoted as the
/// listing quotes names; each entry that could not come back on `err` with the reason; then a summary.
/// Returns the exit status: 0 when everything came back or there was nothing to undo, 1 otherwise.
int UndoLastTrash(std::ostream& out, std::ostream& err);

} // namespace versweep
