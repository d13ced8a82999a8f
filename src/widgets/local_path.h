// File paths carried by URLs (drops, dialogs), as the raw bytes the file system uses.
#pragma once

#include <optional>
#include <string>

class QUrl;

namespace versweep {

/// The path of a local file URL as raw bytes: its percent-encoded path decoded byte for byte, so names
/// that are not UTF-8 survive; nothing for other URLs and for a path holding a NUL byte ("%00"). Trailing
/// slashes are dropped, except the root's.
std::optional<std::string> LocalPathBytes(const QUrl& url);

/// The file URL of the absolute path `path`, built from its bytes (percent-encoded), so that a name that is
/// not UTF-8 still leads to the file it names; LocalPathBytes gives the bytes back.
QUrl LocalFileUrl(const std::string& path);

} // namespace versweep
