#include "ui/widgets/ReadableText.h"

#include <QPalette>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace corvalt::ui {
namespace {

// One sRGB channel (0..1) as linear light.
double LinearChannel(double value) {
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double RelativeLuminance(const QColor& colour) {
    return 0.2126 * LinearChannel(colour.redF()) + 0.7152 * LinearChannel(colour.greenF()) +
           0.0722 * LinearChannel(colour.blueF());
}

// Part way (step of 255) from one channel value to another, rounded.
int Towards(int from, int to, int step) {
    return from + static_cast<int>(std::lround((to - from) * step / 255.0));
}

} // namespace

QColor OverBackground(const QColor& colour, const QColor& background) {
    const double alpha = colour.alphaF();
    auto blend = [alpha](int front, int back) {
        return static_cast<int>(std::lround(front * alpha + back * (1.0 - alpha)));
    };
    return {blend(colour.red(), background.red()), blend(colour.green(), background.green()),
            blend(colour.blue(), background.blue())};
}

double ContrastRatio(const QColor& colour, const QColor& background) {
    const double a = RelativeLuminance(OverBackground(colour, background));
    const double b = RelativeLuminance(background);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor ReadableColour(const QColor& colour, const QColor& background, double ratio) {
    const QColor shown = OverBackground(colour, background);
    const int target = RelativeLuminance(background) > 0.5 ? 0 : 255;
    for (int step = 0; step <= 255; ++step) {
        const QColor candidate(Towards(shown.red(), target, step),
                               Towards(shown.green(), target, step),
                               Towards(shown.blue(), target, step));
        if (ContrastRatio(candidate, background) >= ratio) return candidate;
    }
    return {target, target, target};
}

QPalette WithReadablePlaceholders(QPalette palette) {
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::PlaceholderText,
                         ReadableColour(palette.color(group, QPalette::PlaceholderText),
                                        palette.color(group, QPalette::Base)));
    return palette;
}

void UseReadablePlaceholder(QWidget& field) {
    field.setPalette(WithReadablePlaceholders(field.palette()));
}

} // namespace corvalt::ui
