// Turns a raw file name into the text a view shows; the bytes themselves stay with the core.
#pragma once

#include <string_view>

#include <QString>

namespace versweep {

/// The name decoded as UTF-8 for display: invalid bytes become U+FFFD and control bytes their visible
/// symbols (U+2400 and up), so a name with a line break still fits one row; the invisible and
/// direction-changing format characters (zero-width space, bidirectional overrides, byte-order mark, ...)
/// are spelled out as "‹U+200B›", so a name cannot pass for another.
QString DisplayName(std::string_view bytes);

} // namespace versweep
