// Contrast ratios and readable colours.
#include "widgets/contrast.h"

#include <algorithm>
#include <cmath>

#include <QPalette>

namespace versweep {

namespace {

double Channel(double value)
{
    return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& colour)
{
    return 0.2126 * Channel(colour.redF()) + 0.7152 * Channel(colour.greenF()) + 0.0722 * Channel(colour.blueF());
}

constexpr int kSteps = 20;

} // namespace

double ContrastRatio(const QColor& first, const QColor& second)
{
    const double a = Luminance(first);
    const double b = Luminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

bool IsDarkPalette(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness();
}

// Blends toward white or black in steps, so the hue stays recognisable as long as it can.
QColor Readable(const QColor& colour, const QColor& background, double ratio)
{
    const QColor target = Luminance(background) < 0.18 ? QColor(Qt::white) : QColor(Qt::black);
    QColor shown = colour;
    for (int step = 1; step <= kSteps && ContrastRatio(shown, background) < ratio; ++step) {
        const double share = static_cast<double>(step) / kSteps;
        shown = QColor::fromRgbF(static_cast<float>(colour.redF() + (target.redF() - colour.redF()) * share),
                                 static_cast<float>(colour.greenF() + (target.greenF() - colour.greenF()) * share),
                                 static_cast<float>(colour.blueF() + (target.blueF() - colour.blueF()) * share));
    }
    return shown;
}

} // namespace versweep
