// The listing versweep-scan prints: plain lines, NUL-ended records or a JSON document, written as they go.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "listing/listing.h"
#include "scan/sweep_session.h"

namespace versweep {

/// `name` as one line of the plain listing can show it. A name that holds a control byte (0x01-0x1F, 0x7F)
/// could break or forge a line, one that holds a Unicode format character (zero-width, direction marks and
/// overrides, the byte-order mark: category Cf) could read as another name, and one that begins with a
/// double quote would look like such a quoted name; all are put in double quotes with C escapes (\n, \t,
/// \r, \\, \", \xhh for the other control bytes) and each format character as \u{hex}. Every other name
/// is given back byte for byte.
std::string QuoteName(std::string_view name);

/// One line per entry in list order: "[x] " when checked, "[ ] " when not, then QuoteName of its name.
void WriteLines(std::ostream& out, const Listing& listing);

/// One record per entry in list order: "[x] " or "[ ] ", the raw name, then a NUL byte.
void WriteRecords(std::ostream& out, const Listing& listing);

/// {"folder", "group_tags", "entries": [{"name", "checked", "group_tag", "version_text", "version_value",
/// "title_key", "ambiguous", "reason", "superseded_by" (with the reason "older" only)}]}, two-space
/// indented, invalid UTF-8 bytes as U+FFFD. An entry's version and title are read from its name as the
/// marking read it, the ones the marks were decided on. When `sizes` is not empty, it holds each entry's
/// measured size in list order, and each entry ends with "size" (bytes) and "size_complete". Entries are
/// written one at a time, so a long listing never stands in memory as a whole document.
void WriteJson(std::ostream& out, const Listing& listing, const std::vector<MeasuredEntry>& sizes);

} // namespace versweep
