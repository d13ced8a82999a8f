// The window's language: its own texts and Qt's, for the language the user asked for or reads.
#pragma once

#include <string>

#include <QString>

namespace versweep {

/// Installs the translations for `language` (such as "en" or "en_GB"; empty follows the user's locale)
/// into the running application, before any window is made. The program's texts are written in Chinese,
/// so a Chinese language, and any language without a translation of its own, keeps them. Returns the
/// translation's language, empty when the Chinese texts stay.
QString InstallTranslations(const std::string& language);

} // namespace versweep
