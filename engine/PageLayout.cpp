#include "engine/PageLayout.h"

#include <algorithm>

namespace corvalt {

double TFontMetrics::LineHeight() const {
    const double height = Ascent + Descent + std::max(Leading, 0.0);
    return height > 0 ? height : kFallbackLineHeight;
}

TLineBox LineBoxAt(double baseline, const TFontMetrics& font) {
    const double top = baseline - font.Ascent;
    return {top, top + font.LineHeight()};
}

double BaselineForTop(double top, const TFontMetrics& font) {
    return top + font.Ascent;
}

double BaselineForBottom(double bottom, const TFontMetrics& font) {
    return bottom - font.LineHeight() + font.Ascent;
}

double ResolveTabLeft(double x, const std::vector<TTabCell>& cells, double sectionLeft) {
    if (x != kTabAfterPrevious) return x;
    return cells.empty() ? sectionLeft : cells.back().Right();
}

double CellTextStart(const TTabCell& cell, double textWidth) {
    switch (cell.Justify) {
    case TJustify::Left:
        return cell.Left + cell.MarginInches();
    case TJustify::Right:
        return cell.Right() - cell.MarginInches() - textWidth;
    case TJustify::Centre:
        break;
    }
    return cell.Left + (cell.Width - textWidth) / 2;
}

double SpanTextStart(double left, double right, TJustify justify, double textWidth) {
    switch (justify) {
    case TJustify::Left:
        return left;
    case TJustify::Right:
        return right - textWidth;
    case TJustify::Centre:
        break;
    }
    return left + (right - left - textWidth) / 2;
}

int EffectiveShade(std::optional<int> shadeOverride, int cellShade, int defaultShade) {
    if (shadeOverride) return std::clamp(*shadeOverride, 0, 100);
    return std::clamp(cellShade != 0 ? cellShade : defaultShade, 0, 100);
}

TBoxSide ResolveBoxSide(bool cellSelectsSide, std::optional<int> lineOverride) {
    if (!lineOverride) return {cellSelectsSide, std::nullopt};
    if (*lineOverride <= 0) return {false, std::nullopt};
    return {true, *lineOverride};
}

} // namespace corvalt
