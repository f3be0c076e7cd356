#pragma once
// Text that stays readable on its background: the contrast ratio of two
// colours as the Web Content Accessibility Guidelines define it, and the grey
// hints of blank fields (the defaults they stand for) darkened until they reach
// the ratio ordinary text needs.

#include <QColor>

class QPalette;
class QWidget;

namespace corvalt::ui {

// What ordinary text needs against its background.
inline constexpr double kReadableContrast = 4.5;

// The colour as it shows over an opaque background (its alpha blended in).
QColor OverBackground(const QColor& colour, const QColor& background);

// (L1 + 0.05) / (L2 + 0.05) of the relative luminances, the lighter colour's
// first: 1 for equal colours, 21 for black on white. A colour that is not
// opaque counts as it shows over the background.
double ContrastRatio(const QColor& colour, const QColor& background);

// The colour itself (opaque) when it reaches the ratio on the background;
// else the nearest colour towards black (on a light background) or white (on a
// dark one) that does, or that extreme when none does.
QColor ReadableColour(const QColor& colour, const QColor& background,
                      double ratio = kReadableContrast);

// The palette with each colour group's PlaceholderText made readable on its Base.
QPalette WithReadablePlaceholders(QPalette palette);

// Gives the field's grey hint a readable colour (the field's own palette).
void UseReadablePlaceholder(QWidget& field);

} // namespace corvalt::ui
