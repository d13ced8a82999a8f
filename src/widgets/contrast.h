// Readable colours on any palette: contrast ratios and a colour moved until it reads on its background.
#pragma once

#include <QColor>

class QPalette;

namespace versweep {

/// The contrast ratio of two colours as accessibility guidelines define it, 1 to 21.
double ContrastRatio(const QColor& first, const QColor& second);

/// Whether `palette` is a dark theme's: its window colour darker than the text on it.
bool IsDarkPalette(const QPalette& palette);

/// `colour`, lightened on a dark `background` or darkened on a light one just enough to reach `ratio`
/// (4.5:1 is what body text needs); a colour that already reads is returned as it is.
QColor Readable(const QColor& colour, const QColor& background, double ratio = 4.5);

} // namespace versweep
