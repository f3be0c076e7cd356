// Fitting text into a width, with a measure worked out by hand: every
// character (the "…" too) is a tenth of the font size in points wide in
// hundredths of an inch, so 10 characters at 10 points fill 1 in.
#include "engine/TextFit.h"

#include <gtest/gtest.h>

namespace corvalt {
namespace {

double Measure(const QString& text, double size) {
    return text.size() * size / 100.0;
}

TFittedText Fit(const QString& text, double size, double width, int maxLines) {
    return FitText(text, size, width, TFitRule{maxLines, kSmallestFitSize}, Measure);
}

const QString kEllipsisText(kEllipsis);

TEST(TextFit, OneLineIsSetSmallerInWholePointsThenCut) {
    struct TCase {
        const char* Name;
        QString Text;
        double Size, Width;
        QStringList Lines;
        double FittedSize;
        bool Cut;
    };
    const TCase cases[] = {
        {"fits as it is", QStringLiteral("abc def"), 10, 1.0, {QStringLiteral("abc def")}, 10,
         false},
        // 15 characters: 1.5 in at 10 points, 0.9 in at 6, 1.05 at 7.
        {"smaller", QStringLiteral("abcdefghijklmno"), 10, 1.0, {QStringLiteral("abcdefghijklmno")},
         6, false},
        // 30 characters need 1.8 in at 6 points: 15 and "…" are 0.96 in.
        {"cut", QStringLiteral("abcdefghijklmnopqrstuvwxyz0123"), 10, 1.0,
         {QStringLiteral("abcdefghijklmno") + kEllipsisText}, 6, true},
        // 12 characters fit 0.72 in at 6 points: "abcdefghij k…" would be 13,
        // and the blank before the "…" goes.
        {"cut after a blank", QStringLiteral("abcdefghij klmnopqrstuvwxyz"), 10, 0.72,
         {QStringLiteral("abcdefghij") + kEllipsisText}, 6, true},
        // A font smaller than 6 points keeps its size: 20 characters at 5 points
        // are 1 in; 11 and "…" are 0.6 in.
        {"small font", QStringLiteral("abcdefghijklmnopqrst"), 5, 0.6,
         {QStringLiteral("abcdefghijk") + kEllipsisText}, 5, true},
        {"no room", QStringLiteral("abc"), 10, 0, {QString()}, 10, true},
        {"room for less than the ellipsis", QStringLiteral("abcdef"), 10, 0.05, {QString()}, 6,
         true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TFittedText fitted = Fit(c.Text, c.Size, c.Width, 1);
        EXPECT_EQ(fitted.Lines, c.Lines);
        EXPECT_EQ(fitted.Size, c.FittedSize);
        EXPECT_EQ(fitted.Cut, c.Cut);
    }
}

TEST(TextFit, WrapsFirstThenSetsSmallerThenCutsTheLastLine) {
    struct TCase {
        const char* Name;
        QString Text;
        int MaxLines;
        QStringList Lines;
        double FittedSize;
        bool Cut;
    };
    // 1 in wide: 10 characters a line at 10 points, 12 at 8, 14 at 7, 16 at 6.
    const TCase cases[] = {
        {"two lines at the full size", QStringLiteral("aaaa bbbb cccc dddd"), 3,
         {QStringLiteral("aaaa bbbb"), QStringLiteral("cccc dddd")}, 10, false},
        {"blanks between words become one", QStringLiteral("  aaaa   bbbb    cccc  "), 3,
         {QStringLiteral("aaaa bbbb"), QStringLiteral("cccc")}, 10, false},
        // Three lines up to 8 points; at 7, "aaaa bbbb cccc" is 14 characters.
        {"smaller to stay within two lines", QStringLiteral("aaaa bbbb cccc dddd eeee ffff"), 2,
         {QStringLiteral("aaaa bbbb cccc"), QStringLiteral("dddd eeee ffff")}, 7, false},
        // Three lines even at 6 points: the second takes "gggg" and is cut.
        {"cut at six points", QStringLiteral("aaaa bbbb cccc dddd eeee ffff gggg"), 2,
         {QStringLiteral("aaaa bbbb cccc"), QStringLiteral("dddd eeee ffff") + kEllipsisText}, 6,
         true},
        {"a word wider than the line is broken", QStringLiteral("abcdefghijklmnopqrstuvwxy"), 3,
         {QStringLiteral("abcdefghij"), QStringLiteral("klmnopqrst"), QStringLiteral("uvwxy")}, 10,
         false},
        {"empty", QString(), 3, {QString()}, 10, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TFittedText fitted = Fit(c.Text, 10, 1.0, c.MaxLines);
        EXPECT_EQ(fitted.Lines, c.Lines);
        EXPECT_EQ(fitted.Size, c.FittedSize);
        EXPECT_EQ(fitted.Cut, c.Cut);
        for (const QString& line : fitted.Lines)
            EXPECT_LE(Measure(line, fitted.Size), 1.0 + 1e-12) << line.toStdString();
    }
}

TEST(TextFit, WrapStopsAtTheLineLimitAndHandsBackTheRest) {
    const TTextMeasure atTen = [](const QString& text) { return Measure(text, 10); };
    QString rest;
    const QStringList lines =
        WrapText(QStringLiteral("aaaa bbbb cccc dddd eeee"), 1.0, 2, atTen, &rest);
    EXPECT_EQ(lines, (QStringList{QStringLiteral("aaaa bbbb"), QStringLiteral("cccc dddd")}));
    EXPECT_EQ(rest, QStringLiteral("eeee"));
    // The rest of a word broken at the limit is handed back too.
    EXPECT_EQ(WrapText(QStringLiteral("abcdefghijklmnop qq"), 1.0, 1, atTen, &rest),
              QStringList{QStringLiteral("abcdefghij")});
    EXPECT_EQ(rest, QStringLiteral("klmnop qq"));
}

} // namespace
} // namespace corvalt
