// versweep-scan --trash and --undo: the checked entries to the trash after one confirmation, and the last
// batch back out of it.
#include "cli/trash_commands.h"

#include <cerrno>
#include <istream>
#include <ostream>
#include <string_view>

#include "cli/listing_output.h"
#include "cli/messages.h"
#include "scan/sweep_session.h"
#include "scan/undo_record.h"

namespace versweep {

namespace {

// Asks whether `count` entries may go; only "y", "Y" or "yes" says so.
bool Confirmed(int count, std::istream& in, std::ostream& err)
{
    err << "Move " << CountOf(count, "entry", "entries") << " to the trash? [y/N] " << std::flush;
    std::string answer;
    if (!std::getline(in, answer)) {
        err << '\n'; // end of input: the next message must not stay on the question's line
        return false;
    }
    const std::size_t first = answer.find_first_not_of(" \t\r");
    answer = first == std::string::npos ? "" : answer.substr(first, answer.find_last_not_of(" \t\r") + 1 - first);
    return answer == "y" || answer == "Y" || answer == "yes";
}

// Each entry of `report` that failed, its name and reason quoted as the listing quotes names (the reason
// may carry the entry's path, and neither may break or forge a line), and each that succeeded with something
// still wrong; then how many succeeded (`done`) and how many not (`notDone`). Returns the exit status: 1 when
// any failed or has something wrong.
int ReportBatch(const BatchReport& report, std::string_view verb, std::string_view done, std::string_view notDone,
                std::ostream& err)
{
    int failed = 0;
    int troubled = 0;
    for (const EntryOutcome& entry : report.entries) {
        if (entry.succeeded && entry.reason.empty())
            continue;
        if (entry.succeeded) {
            ++troubled;
            err << kProgram << ": " << done << ": " << QuoteName(entry.name) << ", but " << QuoteName(entry.reason)
                << '\n';
            continue;
        }
        ++failed;
        err << kProgram << ": cannot " << verb << " " << QuoteName(entry.name) << ": " << QuoteName(entry.reason)
            << '\n';
    }
    const auto succeeded = static_cast<int>(report.entries.size()) - failed;
    err << kProgram << ": " << CountOf(succeeded, "entry", "entries") << " " << done;
    if (failed > 0)
        err << ", " << failed << " " << notDone;
    err << '\n';
    return failed > 0 || troubled > 0 ? 1 : 0;
}

} // namespace

int MoveCheckedToTrash(const SweepSession& session, bool yes, std::istream& in, bool inIsTerminal,
                       std::ostream& err)
{
    const auto checked = static_cast<int>(session.CurrentListing().CheckedCount());
    if (checked > 0 && !yes) {
        if (!inIsTerminal) {
            err << kProgram << ": nothing moved: standard input is not a terminal to confirm on; give --yes to "
                << "move the checked entries without asking\n";
            return 1;
        }
        if (!Confirmed(checked, in, err)) {
            err << kProgram << ": nothing moved\n";
            return 1;
        }
    }
    const BatchReport report = session.MoveCheckedToTrash();
    if (report.recordError)
        err << kProgram << ": warning: --undo cannot take this batch back, its record was not written: "
            << report.recordError->message << '\n';
    return ReportBatch(report, "move", "moved to the trash", "could not be moved", err);
}

int UndoLastTrash(std::ostream& out, std::ostream& err)
{
    const SweepSession session(DefaultUndoRecordPath());
    if (!session.CanUndo()) {
        err << kProgram << ": nothing to undo\n";
        return 0;
    }
    const BatchReport report = session.UndoLastMove();
    if (report.recordError && report.recordError->code == EBUSY) {
        err << kProgram << ": nothing restored: " << report.recordError->message << '\n';
        return 1;
    }
    for (const EntryOutcome& entry : report.entries) {
        if (entry.succeeded)
            out << QuoteName(entry.name) << '\n';
    }
    out.flush();
    if (report.recordError)
        err << kProgram
            << ": warning: the record of the last batch was not updated: " << report.recordError->message << '\n';
    return ReportBatch(report, "restore", "restored", "could not be restored", err);
}

} // namespace versweep
