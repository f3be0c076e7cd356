// Layout arithmetic of the canvas: line boxes, tab cells, justification,
// shades and box sides, with numbers only.

#include "engine/PageLayout.h"
#include "engine/PageModel.h"

#include <gtest/gtest.h>

namespace corvalt {
namespace {

TEST(PageLayout, LineBoxTilesLinesAndFallsBackToFiveLinesPerInch) {
    const TFontMetrics font{0.14, 0.03, 0.01};
    EXPECT_DOUBLE_EQ(font.LineHeight(), 0.18);
    const TLineBox line = LineBoxAt(2.0, font);
    EXPECT_DOUBLE_EQ(line.Top, 1.86);
    EXPECT_DOUBLE_EQ(line.Bottom, 2.04);
    // The next line (baseline one line height down) starts where this one ends.
    EXPECT_DOUBLE_EQ(LineBoxAt(2.0 + font.LineHeight(), font).Top, line.Bottom);
    EXPECT_DOUBLE_EQ(BaselineForTop(line.Top, font), 2.0);
    EXPECT_DOUBLE_EQ(BaselineForBottom(line.Bottom, font), 2.0);

    EXPECT_DOUBLE_EQ(TFontMetrics{}.LineHeight(), 0.2);
    EXPECT_DOUBLE_EQ((TFontMetrics{0.1, 0.02, -0.05}).LineHeight(), 0.12); // negative leading
}

TEST(PageLayout, TabLeftAfterPreviousCell) {
    std::vector<TTabCell> cells;
    EXPECT_DOUBLE_EQ(ResolveTabLeft(kTabAfterPrevious, cells, 0.75), 0.75);
    EXPECT_DOUBLE_EQ(ResolveTabLeft(1.25, cells, 0.75), 1.25);
    cells.push_back({1.25, TJustify::Left, 1.4, 3, BoxAll, 0});
    EXPECT_DOUBLE_EQ(ResolveTabLeft(kTabAfterPrevious, cells, 0.75), 2.65);
    EXPECT_DOUBLE_EQ(ResolveTabLeft(0.5, cells, 0.75), 0.5);
}

TEST(PageLayout, CellTextStartJustifiesWithinMargins) {
    struct TCase {
        TJustify Justify;
        double Width;
        int Margin;
        double Expected;
    };
    // Cell at x = 2; text 0.5 wide.
    const TCase cases[] = {
        {TJustify::Left, 1.0, 3, 2.03},   {TJustify::Right, 1.0, 3, 2.47},
        {TJustify::Centre, 1.0, 3, 2.25}, {TJustify::Centre, 1.0, 0, 2.25},
        {TJustify::Left, 0.0, 5, 2.05},   {TJustify::Right, 0.0, 5, 1.45}, // tab stops
        {TJustify::Centre, 0.0, 5, 1.75}, {TJustify::Right, 0.3, 0, 1.8},  // text wider than cell
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "justify " << int(c.Justify) << " width " << c.Width);
        const TTabCell cell{2.0, c.Justify, c.Width, c.Margin, 0, 0};
        EXPECT_NEAR(CellTextStart(cell, 0.5), c.Expected, 1e-12);
    }
}

TEST(PageLayout, SpanTextStart) {
    EXPECT_DOUBLE_EQ(SpanTextStart(0.75, 8.0, TJustify::Left, 1.0), 0.75);
    EXPECT_DOUBLE_EQ(SpanTextStart(0.75, 8.0, TJustify::Right, 1.0), 7.0);
    EXPECT_DOUBLE_EQ(SpanTextStart(0.75, 8.0, TJustify::Centre, 1.0), 3.875);
}

TEST(PageLayout, ShadeOverrideThenOwnThenDefault) {
    EXPECT_EQ(EffectiveShade(std::nullopt, 0, 0), 0);
    EXPECT_EQ(EffectiveShade(std::nullopt, 10, 20), 10);
    EXPECT_EQ(EffectiveShade(std::nullopt, 0, 20), 20);
    EXPECT_EQ(EffectiveShade(5, 10, 20), 5);
    EXPECT_EQ(EffectiveShade(0, 10, 20), 0); // an override of 0 leaves the cell white
    EXPECT_EQ(EffectiveShade(250, 0, 0), 100);
}

TEST(PageLayout, BoxSideOverrides) {
    struct TCase {
        bool Selected;
        std::optional<int> Override;
        bool Drawn;
        std::optional<int> Width;
    };
    const TCase cases[] = {
        {true, std::nullopt, true, std::nullopt},
        {false, std::nullopt, false, std::nullopt},
        {true, 0, false, std::nullopt},
        {false, 0, false, std::nullopt},
        {false, 1, true, 1},
        {true, 3, true, 3},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Selected << " override " << c.Override.value_or(-1));
        const TBoxSide side = ResolveBoxSide(c.Selected, c.Override);
        EXPECT_EQ(side.Drawn, c.Drawn);
        EXPECT_EQ(side.WidthPixels, c.Width);
    }
}

TEST(PageLayout, ShadeColour) {
    EXPECT_EQ(ShadeColour(0), qRgb(255, 255, 255));
    EXPECT_EQ(ShadeColour(5), qRgb(242, 242, 242));
    EXPECT_EQ(ShadeColour(100), qRgb(0, 0, 0));
    EXPECT_EQ(ShadeColour(-3), qRgb(255, 255, 255));
}

} // namespace
} // namespace corvalt
