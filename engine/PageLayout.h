#pragma once
// Layout arithmetic of the page canvas with plain numbers in and out (inches,
// points, percentages): line boxes, tab-cell geometry, justification, shades and
// box lines. The canvas composes these; tests check them without a painter.

#include <optional>
#include <vector>

namespace corvalt {

enum class TJustify { Left, Centre, Right };

// Vertical metrics of a font in inches. The line height is ascent + descent +
// leading; the line's top lies one ascent above the baseline.
struct TFontMetrics {
    double Ascent = 0;
    double Descent = 0;
    double Leading = 0;
    double LineHeight() const;
};

// Line spacing used when a font gives no usable metrics: 5 lines per inch.
inline constexpr double kFallbackLineHeight = 0.2; // in

// Top and bottom of the line whose baseline is at `baseline`.
struct TLineBox {
    double Top = 0;
    double Bottom = 0;
};
TLineBox LineBoxAt(double baseline, const TFontMetrics& font);
// Baseline of a line whose top, or whose bottom, lies at the given y.
double BaselineForTop(double top, const TFontMetrics& font);
double BaselineForBottom(double bottom, const TFontMetrics& font);

// Box-line bits of a tab cell.
enum TBoxLine : int { BoxLeft = 1, BoxRight = 2, BoxTop = 4, BoxBottom = 8, BoxAll = 15 };

// x of DefineTab meaning "directly after the previous cell".
inline constexpr double kTabAfterPrevious = -32768;

// One tab cell: left edge and width in inches, margin in hundredths of an inch
// between text and cell edge, box-line bit set, shade percentage (0 = none).
struct TTabCell {
    double Left = 0;
    TJustify Justify = TJustify::Left;
    double Width = 0;
    int Margin = 0;
    int Lines = 0;
    int Shade = 0;
    double Right() const { return Left + Width; }
    double MarginInches() const { return Margin / 100.0; }
};

// Left edge of a new cell: x itself, or for kTabAfterPrevious the right edge of
// the last cell (sectionLeft when there is none).
double ResolveTabLeft(double x, const std::vector<TTabCell>& cells, double sectionLeft);

// Start x of text of the given width justified inside the cell within its
// margins. A cell without width is a tab stop: left text starts a margin after
// it, right text ends a margin before it, centred text is centred on it.
double CellTextStart(const TTabCell& cell, double textWidth);

// Start x of text justified between left and right (no margins).
double SpanTextStart(double left, double right, TJustify justify, double textWidth);

// Shade of a cell entered by NextTab: the override if given, else the cell's own
// shade, else the canvas default.
int EffectiveShade(std::optional<int> shadeOverride, int cellShade, int defaultShade);

// One side of a cell box as NextTab draws it. Without an override the side is
// drawn with the current pen if the cell selects it; an override of 0 suppresses
// it; any other override draws it, whatever the cell selects, with a pen of that
// many device pixels.
struct TBoxSide {
    bool Drawn = false;
    std::optional<int> WidthPixels; // absent: the current pen's width
};
TBoxSide ResolveBoxSide(bool cellSelectsSide, std::optional<int> lineOverride);

} // namespace corvalt
