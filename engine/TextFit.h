#pragma once
// Fitting a text into the width it has on the page: wrapped onto more lines
// where the caller allows them, else set in a smaller size (whole points, down
// to a smallest size), else cut with "…". Numbers in and out: the caller
// measures, so the rules test without fonts.

#include <QString>
#include <QStringList>

#include <functional>

namespace corvalt {

// Smallest font size, points, to which text is made smaller to fit.
inline constexpr double kSmallestFitSize = 6;
// Ends a text that was cut to fit.
inline constexpr char16_t kEllipsis = u'\u2026';

// Width in inches of a text at a font size in points.
using TSizedMeasure = std::function<double(const QString& text, double size)>;
// Width in inches of a text in one font.
using TTextMeasure = std::function<double(const QString& text)>;

struct TFitRule {
    int MaxLines = 1;                       // lines the text may take; 1 keeps it on one line
    double SmallestSize = kSmallestFitSize; // pt; a font already smaller keeps its size
};

struct TFittedText {
    QStringList Lines; // at least one line (empty for an empty text)
    double Size = 0;   // pt
    bool Cut = false;  // the last line ends with "…" in place of the rest
};

// The text at the largest size from `size` down in whole points to the
// smallest at which it takes at most MaxLines lines no wider than `width`
// (broken at blanks, and inside a word only where the word alone is wider);
// failing that, at the smallest size, the first MaxLines lines with the last
// one cut. A text that fits on one line at `size` is returned as it is.
TFittedText FitText(const QString& text, double size, double width, const TFitRule& rule,
                    const TSizedMeasure& measure);

// The text broken into lines no wider than width, at blanks, and inside a word
// that alone is wider (at least one character a line); runs of blanks
// between words become one. At most maxLines lines are made: the text left
// over goes to rest (empty when everything fits).
QStringList WrapText(const QString& text, double width, int maxLines, const TTextMeasure& measure,
                     QString* rest = nullptr);

// The text when it is no wider than width; else its longest start that,
// followed by "…", is (blanks before the "…" dropped); empty when not even
// "…" fits.
QString CutText(const QString& text, double width, const TTextMeasure& measure);

} // namespace corvalt
