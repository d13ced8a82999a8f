// The listing versweep-scan prints: plain lines, NUL-ended records or a JSON document, written as they go.
#pragma once

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/tree_size.h"

namespace versweep {

class CheckList;

/// `name` as one line of the plain listing can show it. A name that holds a control byte (0x01-0x1F, 0x7F)
/// could break or forge a line, one that holds a Unicode format character (zero-width, direction marks and
/// overrides, the byte-order mark: category Cf) could read as another name, and one that begins with a
/// double quote would look like such a quoted name; all are put in double quotes with C escapes (\n, \t,
/// \r, \\, \", \xhh for the other control bytes) and each format character as \u{hex}. Every other name
/// is given back byte for byte.
std::string QuoteName(std::string_view name);

/// One line per entry in list order: "[x] " when checked, "[ ] " when not, then QuoteName of its name.
void WriteLines(std::ostream& out, const CheckList& list);

/// One record per entry in list order: "[x] " or "[ ] ", the raw name, then a NUL byte.
void WriteRecords(std::ostream& out, const CheckList& list);

/// {"folder", "group_tags", "entries": [{"name", "checked", "group_tag", "version_text", "version_value",
/// "title_key", "ambiguous", "reason", "superseded_by" (with the reason "older" only)}]}, two-space
/// indented, invalid UTF-8 bytes as U+FFFD. `names[i]` is item i's name as the
/// marking read it; its version and title are the ones the marks were decided on. When `sizes` is not empty,
/// `sizes[i]` is item i's measured size, and each entry ends with "size" (bytes) and "size_complete".
/// Entries are written one at a time, so a long listing never stands in memory as a whole document.
void WriteJson(std::ostream& out, const CheckList& list, const std::string& folder,
               const std::vector<std::string>& tags, const std::vector<std::string>& names,
               std::span<const platform::TreeSize> sizes);

} // namespace versweep
