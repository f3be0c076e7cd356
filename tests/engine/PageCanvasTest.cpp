// The page canvas: what each operation records on the page, read back from
// the display list.

#include "EngineTestSupport.h"

#include "engine/PageCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace corvalt {
namespace {

using test::RunBody;
using test::TLambdaReport;

template <typename T> std::vector<T> Commands(const TPage& page) {
    std::vector<T> found;
    for (const TPageCommand& command : page.Commands)
        if (const T* c = std::get_if<T>(&command)) found.push_back(*c);
    return found;
}

constexpr double kEps = 1e-9;

// Font sizes in inches from the font files' own tables (units per em 2048):
// Tahoma usWinAscent 2049, usWinDescent 423, no line gap beyond them; Liberation
// Sans (for Arial) 1854, 434 and a line gap of 67.
constexpr double kTahoma10LineHeight = (2049.0 + 423.0) / 2048 * 10 / 72;
constexpr double kTahoma10Ascent = 2049.0 / 2048 * 10 / 72;
constexpr double kArial10LineHeight = (1854.0 + 434.0 + 67.0) / 2048 * 10 / 72;
constexpr double kArial10Ascent = 1854.0 / 2048 * 10 / 72;

TEST(PageCanvasFonts, TahomaIsRegisteredAndArialResolvesToLiberationSans) {
    EXPECT_EQ(ResolvedFamily({QStringLiteral("Tahoma"), 10}), QStringLiteral("Tahoma"));
    EXPECT_EQ(ResolvedFamily({QStringLiteral("Arial"), 10}), QStringLiteral("Liberation Sans"));
}

TEST(PageCanvasFonts, LineHeightComesFromTheFont) {
    TPageCanvas canvas;
    canvas.SelectFont(QStringLiteral("Tahoma"), 10);
    EXPECT_NEAR(canvas.LineHeight(), kTahoma10LineHeight, 1e-6);
    canvas.SelectFont(QStringLiteral("Arial"), 10);
    EXPECT_NEAR(canvas.LineHeight(), kArial10LineHeight, 1e-6);
    canvas.SelectFont(QStringLiteral("Arial"), 20);
    EXPECT_NEAR(canvas.LineHeight(), 2 * kArial10LineHeight, 1e-6);
}

TEST(PageCanvasFonts, TextWidthUsesTheFontActuallyUsed) {
    // Advance widths of "M" from the font files: Tahoma 1579, Tahoma Bold 1829,
    // Liberation Sans 1706 units of 2048 per em.
    struct TCase {
        const char* Name;
        bool Bold;
        double Advance;
    };
    const TCase cases[] = {{"Tahoma", false, 1579}, {"Tahoma", true, 1829}, {"Arial", false, 1706}};
    TPageCanvas canvas;
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Name << (c.Bold ? " bold" : ""));
        canvas.SelectFont(QString::fromLatin1(c.Name), 10);
        canvas.SetBold(c.Bold);
        const double expected = 10 * c.Advance / 2048 * 10 / 72;
        EXPECT_NEAR(canvas.TextWidth(QStringLiteral("MMMMMMMMMM")), expected, 0.004);
    }
    canvas.SelectFont(QStringLiteral("Tahoma"), 10);
    EXPECT_DOUBLE_EQ(canvas.TextWidth(QString()), 0);
    // A trailing blank counts ("Page 3 " is right-justified with it).
    EXPECT_GT(canvas.TextWidth(QStringLiteral("Page 3 ")),
              canvas.TextWidth(QStringLiteral("Page 3")));
}

TEST(PageCanvasFonts, SelectFontSwitchesStylesOffAndTheStackRestoresThem) {
    TPageCanvas canvas;
    canvas.SelectFont(QStringLiteral("Tahoma"), 12);
    canvas.SetBold(true);
    canvas.SetItalic(true);
    canvas.SetUnderline(true);
    const TFontSpec saved = canvas.Font();
    canvas.PushFont();
    canvas.SelectFont(QStringLiteral("Arial"), 8);
    EXPECT_EQ(canvas.Font(), (TFontSpec{QStringLiteral("Arial"), 8}));
    canvas.PushFont();
    canvas.SetStrikeOut(true);
    canvas.PopFont();
    EXPECT_EQ(canvas.Font(), (TFontSpec{QStringLiteral("Arial"), 8}));
    canvas.PopFont();
    EXPECT_EQ(canvas.Font(), saved);
    canvas.PopFont(); // nothing saved: no change
    EXPECT_EQ(canvas.Font(), saved);
}

TEST(PageCanvasFonts, KeepLineTopKeepsTheTopOfTheLineBeforeTheFontChanges) {
    TPageCanvas canvas;
    canvas.SelectFont(QStringLiteral("Arial"), 10);
    canvas.SetCursorY(2.0);
    const double top = 2.0 - kArial10Ascent;
    EXPECT_NEAR(canvas.LineTop(), top, 1e-6);

    // Several changes before KeepLineTop: the top before the first one counts.
    canvas.SelectFont(QStringLiteral("Tahoma"), 20);
    canvas.SetBold(true);
    canvas.KeepLineTop();
    EXPECT_NEAR(canvas.LineTop(), top, 1e-6);
    EXPECT_NEAR(canvas.CursorY(), top + 2 * kTahoma10Ascent, 1e-6);
    EXPECT_NEAR(canvas.LineBottom(), top + 2 * kTahoma10LineHeight, 1e-6);

    // Without KeepLineTop the baseline stays and the line box follows the font.
    const double baseline = canvas.CursorY();
    canvas.SelectFont(QStringLiteral("Tahoma"), 10);
    EXPECT_DOUBLE_EQ(canvas.CursorY(), baseline);
    EXPECT_NEAR(canvas.LineTop(), baseline - kTahoma10Ascent, 1e-6);

    // KeepLineTop with no font change since the baseline was placed keeps it.
    canvas.SetCursorY(5.0);
    canvas.KeepLineTop();
    EXPECT_DOUBLE_EQ(canvas.CursorY(), 5.0);
}

TEST(PageCanvasCursor, NewLineAdvancesOneLineAndNeverBreaksThePage) {
    const TPageList pages = RunBody([](TPageCanvas& c) {
        c.SelectFont(QStringLiteral("Tahoma"), 10);
        c.SetSectionLeft(0.75);
        c.SetCursorX(3);
        c.SetCursorY(10.9);
        c.NewLine();
        EXPECT_DOUBLE_EQ(c.CursorX(), 0.75);
        EXPECT_NEAR(c.CursorY(), 10.9 + kTahoma10LineHeight, 1e-6);
        c.PrintTextLine(QStringLiteral("below the paper"));
        EXPECT_NEAR(c.CursorY(), 10.9 + 2 * kTahoma10LineHeight, 1e-6);
    });
    ASSERT_EQ(pages.Pages.size(), 1u);
    ASSERT_EQ(pages.Pages[0].Texts().size(), 1u);
    EXPECT_GT(pages.Pages[0].Texts()[0]->Y, pages.Height);
}

TEST(PageCanvasCursor, MovingTheLeftOrTopEdgePastTheCursorMovesIt) {
    TPageCanvas canvas;
    canvas.SetCursorX(0.5);
    canvas.SetSectionLeft(1.0);
    EXPECT_DOUBLE_EQ(canvas.CursorX(), 1.0);
    canvas.SetCursorX(2.0);
    canvas.SetSectionLeft(1.5);
    EXPECT_DOUBLE_EQ(canvas.CursorX(), 2.0);

    canvas.SetCursorY(1.0);
    canvas.SetSectionTop(3.0);
    EXPECT_NEAR(canvas.LineTop(), 3.0, 1e-9);
    canvas.SetCursorY(5.0);
    canvas.SetSectionTop(4.0);
    EXPECT_DOUBLE_EQ(canvas.CursorY(), 5.0);

    // Right and bottom edges never move the cursor.
    canvas.SetSectionRight(1.0);
    canvas.SetSectionBottom(1.0);
    EXPECT_DOUBLE_EQ(canvas.CursorX(), 2.0);
    EXPECT_DOUBLE_EQ(canvas.CursorY(), 5.0);
}

TEST(PageCanvasCursor, MarkTopOfPageAndGoHome) {
    TPageCanvas canvas;
    canvas.SelectFont(QStringLiteral("Tahoma"), 12);
    canvas.SetSectionLeft(0.75);
    canvas.SetCursorX(4);
    canvas.SetCursorY(0.85);
    canvas.MarkTopOfPage();
    EXPECT_NEAR(canvas.SectionTop(), canvas.LineTop(), kEps);
    canvas.SetCursorY(6);
    canvas.GoHome();
    EXPECT_DOUBLE_EQ(canvas.CursorX(), 0.75);
    EXPECT_NEAR(canvas.CursorY(), 0.85, 1e-12);
}

TEST(PageCanvasText, FirstAndLastLineOfTheSection) {
    const TPageList pages = RunBody([](TPageCanvas& c) {
        c.SelectFont(QStringLiteral("Arial"), 10);
        c.SetSectionLeft(1.0);
        c.SetSectionRight(7.5);
        c.SetSectionTop(1.0);
        c.SetSectionBottom(10.0);
        c.PrintOnFirstLine(QStringLiteral("left"), TJustify::Left);
        c.PrintOnFirstLine(QStringLiteral("centre"), TJustify::Centre);
        c.PrintOnFirstLine(QStringLiteral("right"), TJustify::Right);
        c.PrintOnLastLine(QStringLiteral("bottom"), TJustify::Right);
        EXPECT_NEAR(c.LineBottom(), 10.0, 1e-9);
    });
    const auto texts = pages.Pages[0].Texts();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_DOUBLE_EQ(texts[0]->X, 1.0);
    EXPECT_NEAR(texts[0]->Y, 1.0 + kArial10Ascent, 1e-6);
    EXPECT_NEAR(texts[1]->X + texts[1]->Width / 2, 4.25, 1e-9);
    EXPECT_NEAR(texts[2]->X + texts[2]->Width, 7.5, 1e-9);
    EXPECT_DOUBLE_EQ(texts[2]->Y, texts[0]->Y);
    EXPECT_NEAR(texts[3]->Y, 10.0 - kArial10LineHeight + kArial10Ascent, 1e-6);
    EXPECT_NEAR(texts[3]->X + texts[3]->Width, 7.5, 1e-9);
}

TEST(PageCanvasText, CentredAndLeftAtAndTextAtTheCursor) {
    const TPageList pages = RunBody([](TPageCanvas& c) {
        c.SetCursorX(1.0);
        c.SetCursorY(2.0);
        c.PrintText(QStringLiteral("ab"));
        c.PrintText(QStringLiteral("cd")); // continues after "ab"
        c.PrintCentredAt(QStringLiteral("mid"), 4.0);
        c.PrintLeftAt(QStringLiteral("at"), 6.0);
        EXPECT_NEAR(c.CursorX(), 6.0 + c.TextWidth(QStringLiteral("at")), 1e-12);
    });
    const auto texts = pages.Pages[0].Texts();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_DOUBLE_EQ(texts[0]->X, 1.0);
    EXPECT_NEAR(texts[1]->X, 1.0 + texts[0]->Width, 1e-12);
    EXPECT_NEAR(texts[2]->X + texts[2]->Width / 2, 4.0, 1e-12);
    EXPECT_DOUBLE_EQ(texts[3]->X, 6.0);
    for (const TTextCmd* t : texts)
        EXPECT_DOUBLE_EQ(t->Y, 2.0);
}

TEST(PageCanvasText, LineBreaksInATextPrintAsBlanks) {
    const TPageList pages = RunBody([](TPageCanvas& c) {
        c.PrintText(QStringLiteral("Notes:\r\nsecond line"));
        EXPECT_DOUBLE_EQ(c.TextWidth(QStringLiteral("a\nb")), c.TextWidth(QStringLiteral("a b")));
    });
    ASSERT_EQ(pages.Pages[0].Texts().size(), 1u);
    EXPECT_EQ(pages.Pages[0].Texts()[0]->Text, QStringLiteral("Notes:  second line"));
}

// ---- Tab cells ----------------------------------------------------------------

TEST(PageCanvasTabs, CellsAfterThePreviousAndJustification) {
    const TPageList pages = RunBody([](TPageCanvas& c) {
        c.SetSectionLeft(0.75);
        c.DefineTab(1.0, TJustify::Left, 2.0, 5, 0, 0);
        c.DefineTab(kTabAfterPrevious, TJustify::Right, 1.0, 5, 0, 0);
        c.DefineTab(kTabAfterPrevious, TJustify::Centre, 1.5, 0, 0, 0);
        ASSERT_EQ(c.Tabs().size(), 3u);
        EXPECT_DOUBLE_EQ(c.Tabs()[1].Left, 3.0);
        EXPECT_DOUBLE_EQ(c.Tabs()[2].Left, 4.0);
        c.SetCursorY(3.0);
        c.PrintTextLine(QStringLiteral("\tabc\tdef\tgh"));
        c.ClearTabs();
        c.DefineTab(kTabAfterPrevious, TJustify::Left, 1.0, 0, 0, 0); // first cell: section left
        EXPECT_DOUBLE_EQ(c.Tabs()[0].Left, 0.75);
    });
    const auto texts = pages.Pages[0].Texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_NEAR(texts[0]->X, 1.05, 1e-12);
    EXPECT_NEAR(texts[1]->X + texts[1]->Width, 3.95, 1e-12);
    EXPECT_NEAR(texts[2]->X + texts[2]->Width / 2, 4.75, 1e-12);
}

TEST(PageCanvasTabs, BoxLinesFollowTheBitsFromLineTopToLineBottom) {
    for (int bits = 0; bits <= 15; ++bits) {
        SCOPED_TRACE(testing::Message() << "lines " << bits);
        double top = 0, bottom = 0;
        const TPageList pages = RunBody([&](TPageCanvas& c) {
            c.SelectFont(QStringLiteral("Tahoma"), 10);
            c.SetCursorY(2.0);
            c.DefineTab(1.0, TJustify::Left, 2.0, 3, bits, 0);
            c.NextTab();
            top = c.LineTop();
            bottom = c.LineBottom();
        });
        const auto lines = Commands<TLineCmd>(pages.Pages[0]);
        const auto has = [&](double x1, double y1, double x2, double y2) {
            return std::any_of(lines.begin(), lines.end(), [&](const TLineCmd& l) {
                return l.X1 == x1 && l.Y1 == y1 && l.X2 == x2 && l.Y2 == y2;
            });
        };
        EXPECT_EQ(lines.size(), static_cast<std::size_t>(std::popcount(unsigned(bits))));
        EXPECT_EQ(has(1.0, top, 1.0, bottom), (bits & BoxLeft) != 0);
        EXPECT_EQ(has(3.0, top, 3.0, bottom), (bits & BoxRight) != 0);
        EXPECT_EQ(has(1.0, top, 3.0, top), (bits & BoxTop) != 0);
        EXPECT_EQ(has(1.0, bottom, 3.0, bottom), (bits & BoxBottom) != 0);
        for (const TLineCmd& l : lines)
            EXPECT_EQ(l.Pen, TPenSpec{});
    }
}

TEST(PageCanvasTabs, LineOverridesDrawOrSuppressEachSide) {
    const TPageList pages = RunBody([](TPageCanvas& c) {
        c.SetPen(Qt::blue, Qt::SolidLine, TLineWidth::DevicePixels(2));
        c.SetCursorY(2.0);
        c.DefineTab(1.0, TJustify::Left, 1.0, 3, BoxLeft | BoxTop, 0);
        c.NextTab(TTabOverrides{.Left = 0, .Right = 3, .Top = std::nullopt, .Bottom = 1});
    });
    const auto lines = Commands<TLineCmd>(pages.Pages[0]);
    ASSERT_EQ(lines.size(), 3u); // right (override), top (cell), bottom (override)
    EXPECT_DOUBLE_EQ(lines[0].X1, 2.0);
    EXPECT_DOUBLE_EQ(lines[0].Pen.Width, 3 * kDevicePixel);
    EXPECT_EQ(lines[0].Pen.Colour, QColor(Qt::blue).rgba());
    EXPECT_DOUBLE_EQ(lines[1].Y1, lines[1].Y2);
    EXPECT_DOUBLE_EQ(lines[1].Pen.Width, 2 * kDevicePixel);
    EXPECT_DOUBLE_EQ(lines[2].Pen.Width, 1 * kDevicePixel);
    EXPECT_GT(lines[2].Y1, lines[1].Y1);
}

TEST(PageCanvasTabs, ShadeOverrideOwnShadeAndCanvasDefault) {
    struct TCase {
        int Own;
        int Default;
        std::optional<int> Override;
        int Expected; // 0: no fill
    };
    const TCase cases[] = {{0, 0, std::nullopt, 0},
                           {10, 0, std::nullopt, 10},
                           {0, 20, std::nullopt, 20},
                           {10, 20, std::nullopt, 10},
                           {10, 20, 5, 5},
                           {10, 0, 0, 0}};
    for (const TCase& t : cases) {
        SCOPED_TRACE(testing::Message()
                     << t.Own << " " << t.Default << " " << t.Override.value_or(-1));
        double top = 0, bottom = 0;
        const TPageList pages = RunBody([&](TPageCanvas& c) {
            c.SetTabShade(t.Default);
            c.SetCursorY(4.0);
            c.DefineTab(1.0, TJustify::Left, 1.5, 3, 0, t.Own);
            c.NextTab(TTabOverrides{.Shade = t.Override});
            top = c.LineTop();
            bottom = c.LineBottom();
        });
        const auto fills = Commands<TFillCmd>(pages.Pages[0]);
        if (t.Expected == 0) {
            EXPECT_TRUE(fills.empty());
            continue;
        }
        ASSERT_EQ(fills.size(), 1u);
        EXPECT_EQ(fills[0], (TFillCmd{1.0, top, 2.5, bottom, ShadeColour(t.Expected)}));
    }
}

TEST(PageCanvasTabs, FillComesBeforeLinesAndText) {
    const TPageList pages = RunBody([](TPageCanvas& c) {
        c.DefineTab(1.0, TJustify::Left, 1.5, 3, BoxAll, 5);
        c.PrintText(QStringLiteral("\tx"));
    });
    const auto& commands = pages.Pages[0].Commands;
    ASSERT_EQ(commands.size(), 6u);
    EXPECT_TRUE(std::holds_alternative<TFillCmd>(commands.front()));
    EXPECT_TRUE(std::holds_alternative<TTextCmd>(commands.back()));
}

TEST(PageCanvasTabs, EmptyCellsStillGetBoxAndShadeAndCellsWithoutWidthNone) {
    const TPageList pages = RunBody([](TPageCanvas& c) {
        for (int i = 0; i < 3; ++i)
            c.DefineTab(kTabAfterPrevious, TJustify::Centre, 0.5, 3, BoxAll, 5);
        c.DefineTab(kTabAfterPrevious, TJustify::Left, 0, 3, BoxAll, 5);
        c.PrintTextLine(QStringLiteral("\t\t\t\t"));
    });
    EXPECT_EQ(Commands<TFillCmd>(pages.Pages[0]).size(), 3u);
    EXPECT_EQ(Commands<TLineCmd>(pages.Pages[0]).size(), 12u);
    EXPECT_TRUE(pages.Pages[0].Texts().empty());
}

TEST(PageCanvasTabs, WithoutFurtherCellTextContinuesAtTheCursor) {
    const TPageList pages = RunBody([](TPageCanvas& c) {
        c.DefineTab(1.0, TJustify::Right, 1.0, 0, BoxAll, 0);
        c.PrintText(QStringLiteral("\tA\tB"));
        c.NextTab(TTabOverrides{.Shade = 50}); // no cell: nothing drawn
    });
    const auto texts = pages.Pages[0].Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_NEAR(texts[0]->X + texts[0]->Width, 2.0, 1e-12);
    EXPECT_NEAR(texts[1]->X, 2.0, 1e-12);
    EXPECT_EQ(Commands<TLineCmd>(pages.Pages[0]).size(), 4u);
    EXPECT_TRUE(Commands<TFillCmd>(pages.Pages[0]).empty());
}

TEST(PageCanvasTabs, NewLineReturnsToBeforeTheFirstCell) {
    const TPageList pages = RunBody([](TPageCanvas& c) {
        c.DefineTab(1.0, TJustify::Left, 1.0, 0, 0, 0);
        c.DefineTab(kTabAfterPrevious, TJustify::Left, 1.0, 0, 0, 0);
        c.PrintTextLine(QStringLiteral("\ta\tb"));
        c.PrintTextLine(QStringLiteral("\tc"));
    });
    const auto texts = pages.Pages[0].Texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_DOUBLE_EQ(texts[2]->X, 1.0);
    EXPECT_GT(texts[2]->Y, texts[0]->Y);
}

TEST(PageCanvasTabs, PiecesOfARightOrCentredCellAreJustifiedTogether) {
    for (TJustify justify : {TJustify::Right, TJustify::Centre}) {
        SCOPED_TRACE(int(justify));
        const TPageList pages = RunBody([&](TPageCanvas& c) {
            c.DefineTab(1.0, justify, 2.0, 5, 0, 0);
            c.PrintText(QStringLiteral("\t115"));
            c.SetBold(true);
            c.PrintText(QStringLiteral(" kV"));
        });
        const auto texts = pages.Pages[0].Texts();
        ASSERT_EQ(texts.size(), 2u);
        EXPECT_NEAR(texts[1]->X, texts[0]->X + texts[0]->Width, 1e-12);
        EXPECT_TRUE(texts[1]->Font.Bold);
        const double total = texts[0]->Width + texts[1]->Width;
        const double end = texts[1]->X + texts[1]->Width;
        if (justify == TJustify::Right)
            EXPECT_NEAR(end, 2.95, 1e-12);
        else
            EXPECT_NEAR(end - total / 2, 2.0, 1e-12);
    }
}

// Text never runs past the margins of its cell: a piece wider than the room
// left is set smaller for itself alone (the line keeps its font), or cut. A
// cell without width and text outside cells print as they are.
TEST(PageCanvasTabs, TextWiderThanTheRoomLeftInItsCellIsFitted) {
    const QString longText = QStringLiteral("Address of the Owner");
    const TPageList pages = RunBody([&](TPageCanvas& c) {
        c.SelectFont(QStringLiteral("Tahoma"), 10);
        c.DefineTab(1.0, TJustify::Left, 1.0, 3, 0, 0);
        c.DefineTab(kTabAfterPrevious, TJustify::Right, 1.0, 3, 0, 0);
        c.DefineTab(kTabAfterPrevious, TJustify::Left, 0.5, 3, 0, 0);
        c.DefineTab(kTabAfterPrevious, TJustify::Left, 0, 3, 0, 0);
        c.PrintText(QStringLiteral("\t") + longText);
        c.PrintText(QStringLiteral("\tRight "));
        c.PrintText(QString(40, QLatin1Char('W')));
        c.PrintText(QStringLiteral("\tOK\t") + longText);
        EXPECT_EQ(c.Font().Size, 10);
        c.NewLine();
        c.PrintText(longText);
    });
    const auto texts = pages.Pages[0].Texts();
    ASSERT_EQ(texts.size(), 6u);
    // In the first cell, 1 in less the margins: the largest smaller size.
    TFontMeasurer measurer;
    EXPECT_EQ(texts[0]->Text, longText);
    EXPECT_LT(texts[0]->Font.Size, 10);
    EXPECT_GT(texts[0]->Font.Size, 6);
    EXPECT_LE(texts[0]->X + texts[0]->Width, 1.97 + kEps);
    TFontSpec larger = texts[0]->Font;
    larger.Size += 1;
    EXPECT_GT(measurer.TextWidth(larger, longText), 0.94);
    // In the right-justified cell the W's get the room "Right " leaves, cut.
    EXPECT_EQ(texts[1]->Text, QStringLiteral("Right "));
    EXPECT_EQ(texts[1]->Font.Size, 10);
    EXPECT_TRUE(texts[2]->Text.endsWith(QChar(0x2026)));
    EXPECT_EQ(texts[2]->Font.Size, 6);
    EXPECT_NEAR(texts[2]->X + texts[2]->Width, 2.97, 1e-9);
    EXPECT_GE(texts[1]->X, 2.03 - kEps);
    // A short text and a cell without width print as they are.
    EXPECT_EQ(texts[3]->Text, QStringLiteral("OK"));
    EXPECT_EQ(texts[3]->Font.Size, 10);
    EXPECT_EQ(texts[4]->Text, longText);
    EXPECT_EQ(texts[4]->Font.Size, 10);
    EXPECT_EQ(texts[5]->Font.Size, 10);
}

// ---- Pages and page events ----------------------------------------------------

TEST(PageCanvasPages, EventsRunInPageOrder) {
    QStringList log;
    TLambdaReport report;
    report.Before = [&](TPageCanvas& c) { log << QStringLiteral("before%1").arg(c.PageNumber()); };
    report.Header = [&](TPageCanvas& c) { log << QStringLiteral("header%1").arg(c.PageNumber()); };
    report.Footer = [&](TPageCanvas& c) { log << QStringLiteral("footer%1").arg(c.PageNumber()); };
    report.Body = [&](TPageCanvas& c) {
        log << QStringLiteral("body");
        c.NewPage();
        c.NewPage();
    };
    TPageCanvas canvas;
    std::vector<int> started;
    canvas.SetPageStartedHandler([&](int page) { started.push_back(page); });
    ASSERT_TRUE(canvas.Run(report).Ok);
    EXPECT_EQ(log.join(QLatin1Char(' ')),
              QStringLiteral("before1 header1 body footer1 header2 footer2 header3 footer3"));
    EXPECT_EQ(canvas.Pages().Pages.size(), 3u);
    EXPECT_EQ(started, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(PageStatusText(3), QStringLiteral("Printing page 3"));

    // A second run starts afresh.
    log.clear();
    report.Body = nullptr;
    ASSERT_TRUE(canvas.Run(report).Ok);
    EXPECT_EQ(log.join(QLatin1Char(' ')), QStringLiteral("before1 header1 footer1"));
    EXPECT_EQ(canvas.Pages().Pages.size(), 1u);
}

TEST(PageCanvasPages, ReportWithoutHeaderOrFooterUsesEmptyEvents) {
    struct TBodyOnly : TPageEvents {
        void BeforePrint(TPageCanvas&) override {}
        void Print(TPageCanvas& c) override { c.PrintText(QStringLiteral("form")); }
    } report;
    TPageCanvas canvas;
    ASSERT_TRUE(canvas.Run(report).Ok);
    EXPECT_EQ(canvas.Pages().Pages[0].PlainText(), QStringLiteral("form"));
}

TEST(PageCanvasPages, FooterDrawnFromTheHeaderAndAtPageEndLandsInOnePlace) {
    TLambdaReport report;
    report.Footer = [](TPageCanvas& c) {
        c.PushFont();
        c.SelectFont(QStringLiteral("Tahoma"), 10);
        c.KeepLineTop();
        c.SetSectionBottom(c.PageHeight() - 0.6);
        c.PrintOnLastLine(QStringLiteral("Page %1 ").arg(c.PageNumber()), TJustify::Right);
        c.PopFont();
    };
    report.Header = [&report](TPageCanvas& c) {
        c.SetSectionTop(0.5);
        report.Footer(c);
        c.SetSectionBottom(c.PageHeight() - 0.9);
        c.SetCursorY(1.0);
        c.MarkTopOfPage();
        c.GoHome();
    };
    report.Body = [](TPageCanvas& c) {
        c.PrintTextLine(QStringLiteral("body"));
        c.NewPage();
        c.PrintTextLine(QStringLiteral("more"));
    };
    TPageCanvas canvas;
    ASSERT_TRUE(canvas.Run(report).Ok);
    const TPageList& pages = canvas.Pages();
    ASSERT_EQ(pages.Pages.size(), 2u);
    for (std::size_t p = 0; p < 2; ++p) {
        SCOPED_TRACE(p);
        const auto texts = pages.Pages[p].Texts();
        ASSERT_EQ(texts.size(), 3u);
        EXPECT_EQ(*texts[0], *texts[2]); // the footer twice, identical
        EXPECT_EQ(texts[0]->Text, QStringLiteral("Page %1 ").arg(p + 1));
        EXPECT_NEAR(texts[0]->Y, 11.0 - 0.6 - kTahoma10LineHeight + kTahoma10Ascent, 1e-6);
        // The body starts on the line whose top the header marked.
        EXPECT_NEAR(texts[1]->Y, 1.0, 1e-9);
    }
}

TEST(PageCanvasPages, NewPageResetsCursorAndTabsButKeepsSectionAndFont) {
    TPageCanvas canvas;
    canvas.SelectFont(QStringLiteral("Tahoma"), 12);
    canvas.SetSectionLeft(0.75);
    canvas.SetSectionTop(1.5);
    canvas.DefineTab(1.0, TJustify::Left, 1.0, 0, 0, 0);
    canvas.NextTab();
    canvas.SetCursorY(8);
    canvas.NewPage();
    EXPECT_EQ(canvas.PageNumber(), 2);
    EXPECT_DOUBLE_EQ(canvas.CursorX(), 0.75);
    EXPECT_NEAR(canvas.LineTop(), 1.5, 1e-12);
    EXPECT_EQ(canvas.Font().Name, QStringLiteral("Tahoma"));
    canvas.PrintText(QStringLiteral("\tx"));
    EXPECT_DOUBLE_EQ(canvas.Pages().Pages[1].Texts()[0]->X, 1.0); // first cell again
    EXPECT_DOUBLE_EQ(canvas.PageWidth(), 8.5);
    EXPECT_DOUBLE_EQ(canvas.PageHeight(), 11.0);
}

TEST(PageCanvasPages, NewPageInsideAHeaderDoesNotRecurse) {
    TLambdaReport report;
    report.Header = [](TPageCanvas& c) { c.NewPage(); };
    TPageCanvas canvas;
    ASSERT_TRUE(canvas.Run(report).Ok);
    EXPECT_EQ(canvas.Pages().Pages.size(), 2u);
}

TEST(PageCanvasPages, RunawayReportIsStoppedWithAnError) {
    TLambdaReport report;
    report.Body = [](TPageCanvas& c) {
        for (;;)
            c.NewPage();
    };
    TPageCanvas canvas;
    const TRunResult run = canvas.Run(report);
    EXPECT_FALSE(run.Ok);
    EXPECT_TRUE(run.Error.contains(QStringLiteral("10000 pages")));
    EXPECT_EQ(canvas.Pages().Pages.size(), static_cast<std::size_t>(kMaxPages));
}

// ---- Drawing ------------------------------------------------------------------

TEST(PageCanvasDrawing, DrawOriginShiftsEverythingDrawnButNotTheCursor) {
    const TPageList pages = RunBody([](TPageCanvas& c) {
        c.SetDrawOrigin(1.0, 2.0);
        c.MoveTo(0, 0);
        c.LineTo(1, 1);
        c.LineTo(2, 1);
        c.FrameRect(0.5, 0.5, 0.0, 0.0); // corners in any order
        c.DrawBitmap(0, 0, 0.1, 0.1, test::SampleBitmap());
        c.SetCursorX(0.25);
        c.SetCursorY(-0.5);
        c.PrintText(QStringLiteral("label"));
        EXPECT_DOUBLE_EQ(c.CursorY(), -0.5);
        c.SetDrawOrigin(0, 0);
        c.MoveTo(0, 0);
        c.LineTo(1, 0);
    });
    const TPage& page = pages.Pages[0];
    const auto lines = Commands<TLineCmd>(page);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], (TLineCmd{1, 2, 2, 3, TPenSpec{}}));
    EXPECT_EQ(lines[1], (TLineCmd{2, 3, 3, 3, TPenSpec{}}));
    EXPECT_EQ(lines[2], (TLineCmd{0, 0, 1, 0, TPenSpec{}}));
    const auto frames = Commands<TFrameCmd>(page);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], (TFrameCmd{1.0, 2.0, 1.5, 2.5, qRgb(0, 0, 0), kDevicePixel}));
    const auto bitmaps = Commands<TBitmapCmd>(page);
    ASSERT_EQ(bitmaps.size(), 1u);
    EXPECT_DOUBLE_EQ(bitmaps[0].Right, 1.1);
    EXPECT_EQ(bitmaps[0].Image.size(), QSize(32, 32));
    ASSERT_EQ(page.Texts().size(), 1u);
    EXPECT_DOUBLE_EQ(page.Texts()[0]->X, 1.25);
    EXPECT_DOUBLE_EQ(page.Texts()[0]->Y, 1.5);
}

TEST(PageCanvasDrawing, PenAndBrush) {
    const TPageList pages = RunBody([](TPageCanvas& c) {
        c.SetPen(Qt::black, Qt::DashLine, TLineWidth::Inches(0.03));
        c.MoveTo(1, 1);
        c.LineTo(2, 1);
        c.SetPen(Qt::black, Qt::NoPen, TLineWidth::DevicePixels(1));
        c.LineTo(3, 1); // invisible pen: nothing recorded
        c.SetBrush(Qt::red, Qt::SolidPattern);
        c.FrameRect(1, 2, 3, 2); // zero height: a rule
        c.SetBrush(Qt::black, Qt::NoBrush);
        c.FrameRect(1, 3, 3, 4);
    });
    const auto lines = Commands<TLineCmd>(pages.Pages[0]);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Pen, (TPenSpec{qRgb(0, 0, 0), Qt::DashLine, 0.03}));
    const auto frames = Commands<TFrameCmd>(pages.Pages[0]);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].Colour, QColor(Qt::red).rgba());
    EXPECT_DOUBLE_EQ(frames[0].Top, frames[0].Bottom);
}

TEST(PageCanvasDrawing, ValuesThatCannotBeOnPaperAreNotRecorded) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const TPageList pages = RunBody([&](TPageCanvas& c) {
        c.SetCursorY(nan);
        c.PrintText(QStringLiteral("lost"));
        c.SetCursorY(1e9);
        c.PrintText(QStringLiteral("far"));
        c.MoveTo(0, 0);
        c.LineTo(std::numeric_limits<double>::infinity(), 1);
        c.DefineTab(nan, TJustify::Left, 1, 0, BoxAll, 5);
        c.SetCursorY(1);
        c.NextTab();
        c.SelectFont(QStringLiteral("Tahoma"), nan); // falls back to a usable size
        EXPECT_DOUBLE_EQ(c.Font().Size, 10);
        c.SelectFont(QStringLiteral("Tahoma"), 0);
        EXPECT_DOUBLE_EQ(c.Font().Size, kMinFontSize);
    });
    EXPECT_TRUE(pages.Pages[0].Commands.empty());
}

TEST(PageCanvasDrawing, LargeBitmapsAreScaledDownWithinTheFileLimit) {
    QImage big(kMaxBitmapSide * 2, 10, QImage::Format_RGB32);
    big.fill(Qt::green);
    const TPageList pages = RunBody([&](TPageCanvas& c) { c.DrawBitmap(1, 1, 2, 2, big); });
    const auto bitmaps = Commands<TBitmapCmd>(pages.Pages[0]);
    ASSERT_EQ(bitmaps.size(), 1u);
    EXPECT_EQ(bitmaps[0].Image.width(), kMaxBitmapSide);
    EXPECT_EQ(bitmaps[0].Image.format(), QImage::Format_ARGB32);
}

} // namespace
} // namespace corvalt
