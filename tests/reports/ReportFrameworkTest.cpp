// The report framework: the mark-up, the standard footer and the room left on
// the page, read back from the recorded page.
#include "ReportTestSupport.h"

#include "engine/PageCanvas.h"
#include "engine/ReportFonts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace corvalt {
namespace {

using test::CommandsOf;
using test::FillsAt;
using test::OnlyText;
using test::TextsOf;

constexpr double kEps = 1e-9;

// A report whose body is a lambda, without header or footer, with the
// framework's helpers open to the tests.
class TBodyReport : public TReport {
  public:
    TBodyReport(TEmfProject& project, std::function<void(TBodyReport&)> body)
        : TReport(project, nullptr), body_(std::move(body)) {}
    void Prepare(TPageCanvas& /*canvas*/) override {}
    void PrintHeader() override {}
    void PrintFooter() override {}
    void PrintBody() override { body_(*this); }

    using TReport::Canvas;
    using TReport::PrintHeadingRow;
    using TReport::PrintStandardFooter;

  private:
    std::function<void(TBodyReport&)> body_;
};

TPage RunBody(const std::function<void(TBodyReport&)>& body) {
    TEmfProject project;
    TBodyReport report(project, body);
    TPageList pages = test::RunReport(report);
    EXPECT_EQ(pages.Pages.size(), 1u);
    return pages.Pages.front();
}

// Three boxed cells of 1 in from x = 1, in Tahoma 10, the second shaded 10 %.
void ThreeCells(TPageCanvas& canvas) {
    canvas.SelectFont(QStringLiteral("Tahoma"), 10);
    canvas.KeepLineTop();
    canvas.SetCursorY(2);
    canvas.ClearTabs();
    canvas.DefineTab(1, TJustify::Left, 1, 3, BoxAll, 0);
    canvas.DefineTab(kTabAfterPrevious, TJustify::Centre, 1, 3, BoxAll, 10);
    canvas.DefineTab(kTabAfterPrevious, TJustify::Right, 1, 3, BoxAll, 0);
}

TEST(Markup, OnlySemicolonsPrintEmptyCellsAndEndTheLine) {
    double lineTop = 0, lineHeight = 0, cursorAfter = 0;
    const TPage page = RunBody([&](TBodyReport& report) {
        ThreeCells(report.Canvas());
        lineTop = report.Canvas().LineTop();
        lineHeight = report.Canvas().LineHeight();
        report.PrintMarkupLine(";;;");
        cursorAfter = report.Canvas().CursorY();
    });
    EXPECT_TRUE(page.Texts().empty());
    EXPECT_EQ(CommandsOf<TLineCmd>(page).size(), 12u); // four box lines per cell
    const auto fills = CommandsOf<TFillCmd>(page);
    ASSERT_EQ(fills.size(), 1u); // only the cell with its own shade
    EXPECT_EQ(fills[0].Colour, ShadeColour(10));
    EXPECT_NEAR(fills[0].Left, 2, kEps);
    EXPECT_NEAR(fills[0].Top, lineTop, kEps);
    EXPECT_NEAR(fills[0].Bottom, lineTop + lineHeight, kEps);
    EXPECT_NEAR(cursorAfter, 2 + lineHeight, kEps);
}

// Headings printed 2 points smaller than Tahoma 12 in cells 0.7 in wide with
// 0.03 in margins: "From" fits at 10 pt; "Lateral Dist" (0.695 in at 10 pt,
// 0.624 in at 9 pt) does not fit the 0.64 in between the margins and is
// printed at 9 pt on the row's baseline. The cells keep their sides.
TEST(HeadingRow, AHeadingWiderThanItsCellIsPrintedSmaller) {
    const TPage page = RunBody([](TBodyReport& report) {
        TPageCanvas& canvas = report.Canvas();
        canvas.SelectFont(QStringLiteral("Tahoma"), 12);
        canvas.KeepLineTop();
        canvas.SetCursorY(2);
        canvas.ClearTabs();
        canvas.DefineTab(1, TJustify::Centre, 0.7, 3, BoxAll, 0);
        canvas.DefineTab(kTabAfterPrevious, TJustify::Centre, 0.7, 3, BoxAll, 0);
        report.PrintHeadingRow(2, {QStringLiteral("Lateral Dist"), QStringLiteral("From")});
        EXPECT_EQ(canvas.Font().Size, 12); // the row's font is restored
    });
    const TTextCmd wide = OnlyText(page, QStringLiteral("Lateral Dist"));
    const TTextCmd narrow = OnlyText(page, QStringLiteral("From"));
    EXPECT_EQ(wide.Font.Size, 9);
    EXPECT_EQ(narrow.Font.Size, 10);
    EXPECT_NEAR(wide.Y, narrow.Y, kEps);
    EXPECT_GT(wide.X, 1.03 - kEps);
    EXPECT_LT(wide.X + wide.Width, 1.67 + kEps);
    std::vector<double> sides;
    for (const TLineCmd& line : CommandsOf<TLineCmd>(page))
        if (line.X1 == line.X2) sides.push_back(line.X1);
    std::sort(sides.begin(), sides.end());
    EXPECT_EQ(sides, (std::vector<double>{1, 1.7, 1.7, 2.4}));
}

TEST(Markup, ShadedTabFillsTheCellWithFivePercentGrey) {
    const TPage page = RunBody([](TBodyReport& report) {
        ThreeCells(report.Canvas());
        report.PrintMarkupLine("\xFC"
                               "a\xFC"
                               "b;c");
    });
    const double y = OnlyText(page, QStringLiteral("a")).Y;
    ASSERT_EQ(FillsAt(page, 1.5, y).size(), 1u);
    EXPECT_EQ(FillsAt(page, 1.5, y)[0].Colour, ShadeColour(5));
    ASSERT_EQ(FillsAt(page, 2.5, y).size(), 1u); // the override beats the cell's 10 %
    EXPECT_EQ(FillsAt(page, 2.5, y)[0].Colour, ShadeColour(5));
    EXPECT_TRUE(FillsAt(page, 3.5, y).empty()); // ";" takes the cell's own shade: none
    EXPECT_NEAR(OnlyText(page, QStringLiteral("a")).X, 1.03, kEps);
    const TTextCmd b = OnlyText(page, QStringLiteral("b"));
    EXPECT_NEAR(b.X + b.Width / 2, 2.5, kEps);
    const TTextCmd c = OnlyText(page, QStringLiteral("c"));
    EXPECT_NEAR(c.X + c.Width, 3.97, kEps);
}

TEST(Markup, BoldSwitchesInsideALineAndNeverOutlastsIt) {
    const TPage page = RunBody([](TBodyReport& report) {
        report.Canvas().SelectFont(QStringLiteral("Tahoma"), 10);
        report.PrintMarkupLine("a\xFD"
                               "b\xFE"
                               "c");
        report.PrintMarkupLine("x\xFD"
                               "y"); // bold on without off
        report.PrintMarkupLine("z");
        report.Canvas().PrintTextLine(QStringLiteral("w"));
    });
    const auto bold = [&](const char* text) {
        return OnlyText(page, QString::fromLatin1(text)).Font.Bold;
    };
    EXPECT_FALSE(bold("a"));
    EXPECT_TRUE(bold("b"));
    EXPECT_FALSE(bold("c"));
    EXPECT_FALSE(bold("x"));
    EXPECT_TRUE(bold("y"));
    EXPECT_FALSE(bold("z"));
    EXPECT_FALSE(bold("w"));
    // The pieces of one line follow each other.
    const TTextCmd a = OnlyText(page, QStringLiteral("a"));
    const TTextCmd b = OnlyText(page, QStringLiteral("b"));
    EXPECT_NEAR(b.X, a.X + a.Width, kEps);
    EXPECT_NEAR(b.Y, a.Y, kEps);
}

TEST(Markup, LeadingSemicolonLeavesTheFirstCellEmpty) {
    const TPage page = RunBody([](TBodyReport& report) {
        ThreeCells(report.Canvas());
        report.PrintMarkupLine(";;b");
    });
    ASSERT_EQ(page.Texts().size(), 1u);
    const TTextCmd b = OnlyText(page, QStringLiteral("b"));
    EXPECT_NEAR(b.X + b.Width / 2, 2.5, kEps);
}

TEST(Markup, TextsBetweenMarkupCharactersAreUtf8) {
    const TPage page = RunBody([](TBodyReport& report) {
        report.PrintMarkupLine("Caf\xC3\xA9\xFD"
                               "\xC3\xA9t\xC3\xA9");
    });
    EXPECT_EQ(page.PlainText(), QStringLiteral("Caf\u00E9|\u00E9t\u00E9"));
}

TEST(Report, RemainingHeightIsTheRoomBelowTheCursor) {
    double remaining = 0;
    RunBody([&](TBodyReport& report) {
        report.Canvas().SetSectionBottom(10);
        report.Canvas().SetCursorY(7.25);
        remaining = report.RemainingHeight();
    });
    EXPECT_NEAR(remaining, 2.75, kEps);
}

TEST(Report, StandardFooterPlacesDateVersionTitleAndPage) {
    TFontSpec before, after;
    const TPage page = RunBody([&](TBodyReport& report) {
        TPageCanvas& canvas = report.Canvas();
        canvas.SetSectionLeft(0.75);
        canvas.SetSectionRight(8);
        canvas.SelectFont(QStringLiteral("Tahoma"), 12);
        canvas.SetBold(true);
        before = canvas.Font();
        report.PrintStandardFooter(QStringLiteral("Arial"), false, QStringLiteral("North"));
        after = canvas.Font();
    });
    EXPECT_EQ(after, before); // the footer's font is saved and restored

    const TTextCmd date = OnlyText(page, QStringLiteral("March 05, 2024"));
    const TTextCmd version = OnlyText(page, QStringLiteral("Corvalt (v1.19)"));
    const TTextCmd title = OnlyText(page, QStringLiteral("North"));
    const TTextCmd number = OnlyText(page, QStringLiteral("Page 1 "));
    for (const TTextCmd& text : {date, version, title, number}) {
        SCOPED_TRACE(text.Text.toStdString());
        EXPECT_EQ(text.Font, (TFontSpec{QStringLiteral("Arial"), 10}));
    }
    // The last line of the section ends 0.6 in above the paper's bottom edge.
    TFontMeasurer measurer;
    const TFontMetrics arial = measurer.Metrics({QStringLiteral("Arial"), 10});
    EXPECT_NEAR(date.Y, BaselineForBottom(11 - 0.6, arial), kEps);
    EXPECT_NEAR(date.X, 0.75, kEps);
    EXPECT_NEAR(version.X, 0.75, kEps);
    // Below the date by 0.15 in, or more where the font's words are taller:
    // Liberation Sans (for Arial) reaches 1854 units up and 434 down of 2048,
    // 0.1552 in at 10 points. (The font engine rounds to layout pixels.)
    EXPECT_NEAR(version.Y, date.Y + (1854.0 + 434.0) / 2048 * 10 / 72, 2 / kLayoutDpi);
    EXPECT_NEAR(title.X + title.Width / 2, (0.75 + 8) / 2, kEps);
    EXPECT_NEAR(title.Y, date.Y, kEps);
    EXPECT_NEAR(number.X + number.Width, 8, kEps);
    EXPECT_NEAR(number.Y, date.Y, kEps);
}

} // namespace
} // namespace corvalt
