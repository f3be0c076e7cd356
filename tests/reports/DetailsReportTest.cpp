// The EMF details report: header, conductor table and the profile in column
// blocks, read back from the recorded pages.
#include "ReportTestSupport.h"

#include "reports/ReptDET.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace corvalt {
namespace {

using test::CommandsOf;
using test::FillsAt;
using test::OnlyText;
using test::TextsOf;

constexpr double kEps = 1e-9;

struct TDetFixture : ::testing::Test {
    std::unique_ptr<TEmfProject> project = test::MakeProject(English);
    TScenario& scenario = project->Scenarios[0];

    TPageList Run() {
        TReptDET report(*project, scenario);
        return test::RunReport(report);
    }
};

// The values in the Dist column of every profile row, page by page: the texts
// right-justified without margin in the first cell of a block.
std::vector<QString> ProfileDistances(const TPageList& pages) {
    std::vector<QString> found;
    for (const TPage& page : pages.Pages)
        for (const TTextCmd* text : page.Texts())
            if (text->Font.Name == QStringLiteral("Tahoma") && text->Font.Size == 10 &&
                text->Text.endsWith(QStringLiteral(".00")))
                for (double left = 0.75; left < 6.1; left += TReptDET::kBlockStep)
                    if (std::abs(text->X + text->Width - (left + 0.6)) < kEps)
                        found.push_back(text->Text);
    return found;
}

TEST_F(TDetFixture, RowsOfTheConductorTableHoldTheConductorValues) {
    TCircuit& circuit = test::AddLine(scenario, "PC 230", {{-26, 42}, {0, 42}, {26, 42}}, 1);
    circuit.SetDisplayDistFromRowLeft(10);
    const TPage page = Run().Pages.at(0);

    const TTextCmd id = OnlyText(page, QStringLiteral("1A1"));
    const double y = id.Y;
    const auto rowText = [&](double cellLeft, double cellRight) {
        for (const TTextCmd* text : page.Texts())
            if (std::abs(text->Y - y) < kEps && text->X >= cellLeft && text->X < cellRight)
                return text->Text;
        return QString();
    };
    const double edges[] = {0.75, 1.75, 2.35, 3.05, 3.75, 4.35, 4.7, 5.35, 5.9, 6.55, 7.1, 7.7};
    const QString expected[] = {"PC 230", "1A1",   "-16.00", "-26.00", "42.00", "2",
                                "1.11",   "18.00", "241.5",  "0",      "900"};
    for (int cell = 0; cell < 11; ++cell) {
        SCOPED_TRACE(cell + 1);
        EXPECT_EQ(rowText(edges[cell], edges[cell + 1]), expected[cell]);
    }
    // Left, centred and right justification inside the cells' margins.
    EXPECT_NEAR(TextsOf(page, QStringLiteral("PC 230")).front().X, 0.78, 1e-6);
    EXPECT_NEAR(id.X + id.Width / 2, (1.75 + 2.35) / 2, 1e-6);
    const TTextCmd mcr = TextsOf(page, QStringLiteral("900")).front();
    EXPECT_NEAR(mcr.X + mcr.Width, 7.7 - 0.03, 1e-6);
    EXPECT_EQ(mcr.Font, (TFontSpec{QStringLiteral("Tahoma"), 10}));
    EXPECT_TRUE(FillsAt(page, 7.5, y).empty()); // data cells are not shaded
    // Rows in the cross section's order, the ground wire last.
    EXPECT_LT(OnlyText(page, QStringLiteral("1C1")).Y, OnlyText(page, QStringLiteral("1G1")).Y);
}

TEST_F(TDetFixture, HeadingCellsAreShadedAndBoxed) {
    test::AddLine(scenario, "PC 230", {{-26, 42}, {0, 42}, {26, 42}});
    const TPage page = Run().Pages.at(0);
    const TTextCmd sub = OnlyText(page, QStringLiteral("SubConductors"));
    const std::pair<const char*, double> centres[] = {
        {"Circuit", 1.25},        {"Id", 2.05},         {"Left ROW", 2.7},  {"Circuit CL", 3.4},
        {"SubConductors", 5.125}, {"# of", 4.525},      {"Spacing", 5.625}, {"Maximum", 6.225},
        {"Voltage", 6.225},       {"(Degrees)", 6.825}, {"(Amps)", 7.4},    {"(mG)", 2.15},
    };
    for (const auto& [label, centre] : centres) {
        SCOPED_TRACE(label);
        const TTextCmd text = OnlyText(page, QString::fromLatin1(label));
        EXPECT_NEAR(text.X + text.Width / 2, centre, 1e-6);
    }
    EXPECT_EQ(sub.Font, (TFontSpec{QStringLiteral("Tahoma"), 8}));
    ASSERT_EQ(FillsAt(page, 5.0, sub.Y).size(), 1u);
    EXPECT_EQ(FillsAt(page, 5.0, sub.Y)[0].Colour, ShadeColour(5));
    // The empty cell of row 3 under "# of" is shaded too.
    const double unitsRow = OnlyText(page, QStringLiteral("(Degrees)")).Y;
    EXPECT_EQ(FillsAt(page, 4.5, unitsRow).size(), 1u);
    // The line under "SubConductors" is the top line of the cells below it:
    // there is one across "# of", none across "Height".
    const double row2Top = OnlyText(page, QStringLiteral("# of")).Y;
    int acrossNumberOf = 0, acrossHeight = 0;
    for (const TLineCmd& line : CommandsOf<TLineCmd>(page)) {
        if (line.Y1 != line.Y2 || line.Y1 > row2Top || line.Y1 < sub.Y) continue;
        acrossNumberOf += line.X1 <= 4.5 && 4.5 <= line.X2;
        acrossHeight += line.X1 <= 4.0 && 4.0 <= line.X2;
    }
    EXPECT_EQ(acrossNumberOf, 1);
    EXPECT_EQ(acrossHeight, 0);
}

struct TUnitLabels {
    int Units;
    const char *Name, *Length, *Diameter, *Spacing;
};

class TDetUnits : public ::testing::TestWithParam<TUnitLabels> {};

TEST_P(TDetUnits, HeaderAndHeadingsUseTheProjectsLabels) {
    const TUnitLabels labels = GetParam();
    auto project = test::MakeProject(labels.Units);
    TScenario& scenario = project->Scenarios[0];
    test::AddLine(scenario, "C", {{-5, 14}, {0, 17}, {5, 14}}, 1);
    test::FillProfile(scenario, 3);
    TReptDET report(*project, scenario);
    const TPage page = test::RunReport(report).Pages.at(0);
    const QString name = QString::fromLatin1(labels.Name);
    const QString length = QString::fromLatin1(labels.Length);

    EXPECT_TRUE(OnlyText(page, name).Font.Bold);
    EXPECT_EQ(OnlyText(page, QStringLiteral("     Units: ")).Font,
              (TFontSpec{QStringLiteral("Tahoma"), 8}));
    EXPECT_TRUE(OnlyText(page, QStringLiteral("4")).Font.Bold); // conductors
    EXPECT_TRUE(OnlyText(page, QStringLiteral("3")).Font.Bold); // energized phases
    EXPECT_EQ(TextsOf(page, QStringLiteral("3.28")).size(), 2u);
    EXPECT_EQ(TextsOf(page, QStringLiteral(" ") + length).size(), 1u);
    EXPECT_EQ(TextsOf(page, QStringLiteral(" ") + length +
                                QStringLiteral("     B-Field "
                                               "Transducer Height "))
                  .size(),
              1u);
    // Three length columns in the conductor table and one in the profile block.
    EXPECT_EQ(TextsOf(page, QStringLiteral("(") + length + QStringLiteral(")")).size(), 4u);
    const QString diameter = QStringLiteral("(%1)").arg(QLatin1String(labels.Diameter));
    const QString spacing = QStringLiteral("(%1)").arg(QLatin1String(labels.Spacing));
    const auto count = [&](const QString& text) { return TextsOf(page, text).size(); };
    if (diameter == spacing) {
        EXPECT_EQ(count(diameter), 2u);
    } else {
        EXPECT_EQ(count(diameter), 1u);
        EXPECT_EQ(count(spacing), 1u);
    }
}

INSTANTIATE_TEST_SUITE_P(Units, TDetUnits,
                         ::testing::Values(TUnitLabels{English, "English", "ft", "in", "in"},
                                           TUnitLabels{Metric, "Metric", "m", "mm", "cm"}),
                         [](const ::testing::TestParamInfo<TUnitLabels>& unit) {
                             return std::string(unit.param.Name);
                         });

TEST_F(TDetFixture, MarkedRowsAreBoldAndShadedOthersPlain) {
    test::FillProfile(scenario, 4, {0, 2});
    scenario.Results[3].EMax.reset(); // cannot be computed there
    const TPage page = Run().Pages.at(0);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const TTextCmd dist = OnlyText(page, QString::number(i - 10) + QStringLiteral(".00"));
        const bool marked = i == 0 || i == 2;
        EXPECT_EQ(dist.Font.Bold, marked);
        for (const double x : {1.0, 1.6, 2.1}) {
            const auto fills = FillsAt(page, x, dist.Y);
            ASSERT_EQ(fills.size(), marked ? 1u : 0u);
            if (marked) {
                EXPECT_EQ(fills[0].Colour, ShadeColour(5));
            }
        }
    }
    EXPECT_EQ(OnlyText(page, QStringLiteral("0.20")).Font.Bold, true); // EMax of row 2
    EXPECT_EQ(OnlyText(page, QStringLiteral("2.00")).Font.Bold, true); // BMax 0.002 G in mG
    const TTextCmd missing = OnlyText(page, QStringLiteral("n/a"));
    EXPECT_NEAR(missing.X + missing.Width, 0.75 + 0.6 + 0.5 - 0.03, 1e-6);
}

TEST_F(TDetFixture, EmptyProfilePrintsOnlyTheFirstBlockHeading) {
    const TPageList pages = Run();
    ASSERT_EQ(pages.Pages.size(), 1u);
    const TPage& page = pages.Pages[0];
    const TTextCmd heading = OnlyText(page, QStringLiteral("RowLeft"));
    EXPECT_NEAR(heading.X + heading.Width / 2, 0.75 + 0.3, 1e-6);
    EXPECT_EQ(TextsOf(page, QStringLiteral("(mG)")).size(), 1u);
    EXPECT_TRUE(ProfileDistances(pages).empty());
}

TEST_F(TDetFixture, UncomputableCrossSectionPrintsItsReasonInsteadOfTheProfile) {
    scenario.CalcError = "Cross section 'North' cannot be computed: the potential coefficients "
                         "of its conductors cannot be solved.";
    const TPage page = Run().Pages.at(0);
    EXPECT_TRUE(TextsOf(page, QStringLiteral("RowLeft")).empty());
    EXPECT_TRUE(page.PlainText().contains(QStringLiteral("cannot be computed")));
}

TEST_F(TDetFixture, ProfileFillsFourBlocksThenContinuesOnTheNextPage) {
    test::AddLine(scenario, "C", {{-5, 40}, {0, 40}, {5, 40}});
    test::FillProfile(scenario, 400);
    const TPageList pages = Run();
    ASSERT_GE(pages.Pages.size(), 2u);

    // Every row once, in list order, across blocks and pages.
    const std::vector<QString> printed = ProfileDistances(pages);
    ASSERT_EQ(printed.size(), 400u);
    for (int i = 0; i < 400; ++i)
        ASSERT_EQ(printed[static_cast<std::size_t>(i)], QStringLiteral("%1.00").arg(i - 10));

    // Page 1: four block headings side by side at the same height.
    const auto headings1 = TextsOf(pages.Pages[0], QStringLiteral("RowLeft"));
    ASSERT_EQ(headings1.size(), 4u);
    for (std::size_t b = 0; b < 4; ++b) {
        EXPECT_NEAR(headings1[b].X + headings1[b].Width / 2, 1.05 + 1.75 * double(b), 1e-6);
        EXPECT_NEAR(headings1[b].Y, headings1[0].Y, kEps);
    }
    // Page 2 starts in block 1 under the page header, 0.02 in below its top.
    const TPage& page2 = pages.Pages[1];
    const auto headings2 = TextsOf(page2, QStringLiteral("RowLeft"));
    ASSERT_FALSE(headings2.empty());
    EXPECT_NEAR(headings2[0].X + headings2[0].Width / 2, 1.05, 1e-6);
    EXPECT_GT(headings2[0].Y, 2.5);
    EXPECT_LT(headings2[0].Y, headings1[0].Y); // no conductor table on page 2
    EXPECT_EQ(TextsOf(page2, QStringLiteral("Electric and Magnetic Field Effects")).size(), 1u);
    EXPECT_TRUE(TextsOf(page2, QStringLiteral("SubConductors")).empty());

    // A block ends before the first row whose baseline would lie past the
    // section bottom (page height − 1); that row starts the next block.
    double lowest = 0;
    for (const TTextCmd* text : pages.Pages[0].Texts())
        if (text->Font.Size == 10 && text->Font.Name == QStringLiteral("Tahoma"))
            lowest = std::max(lowest, text->Y);
    const double tahoma10Line = (2049.0 + 423.0) / 2048 * 10 / 72;
    EXPECT_LE(lowest, 11 - 1.0);
    EXPECT_GT(lowest + tahoma10Line, 11 - 1.0);
}

TEST_F(TDetFixture, FooterIsDrawnOncePerPageAtTheSamePlace) {
    test::FillProfile(scenario, 400);
    const TPageList pages = Run();
    ASSERT_GE(pages.Pages.size(), 2u);
    const auto footer = [&](std::size_t page, const QString& text) {
        const auto found = TextsOf(pages.Pages[page], text);
        EXPECT_EQ(found.size(), 1u) << "page " << page + 1 << ": " << text.toStdString();
        return found.empty() ? TTextCmd{} : found.front();
    };
    for (std::size_t page = 0; page < pages.Pages.size(); ++page) {
        SCOPED_TRACE(page + 1);
        const TTextCmd date = footer(page, QStringLiteral("March 05, 2024"));
        const TTextCmd number = footer(page, QStringLiteral("Page %1 ").arg(page + 1));
        const TTextCmd title = footer(page, QStringLiteral("North segment"));
        EXPECT_EQ(date.Font, (TFontSpec{QStringLiteral("Arial"), 10}));
        EXPECT_NEAR(date.X, 0.75, kEps);
        EXPECT_NEAR(number.Y, date.Y, kEps);
        EXPECT_NEAR(title.Y, date.Y, kEps);
        EXPECT_NEAR(date.Y, footer(0, QStringLiteral("March 05, 2024")).Y, kEps);
        footer(page, QStringLiteral("Corvalt (v1.19)"));
    }
}

TEST_F(TDetFixture, HeaderNamesTheCrossSectionInBold) {
    scenario.Title = "North; segment";
    const TPage page = Run().Pages.at(0);
    EXPECT_EQ(OnlyText(page, QStringLiteral("Electric and Magnetic Field Effects")).Font,
              (TFontSpec{QStringLiteral("Arial"), 16, false, false, true}));
    EXPECT_FALSE(OnlyText(page, QStringLiteral("Test Project")).Font.Underline);
    const TTextCmd label = OnlyText(page, QStringLiteral("CrossSection: "));
    const TTextCmd titles = OnlyText(page, QStringLiteral("North- North; segment"));
    EXPECT_FALSE(label.Font.Bold);
    EXPECT_EQ(titles.Font, (TFontSpec{QStringLiteral("Arial"), 14, true}));
    EXPECT_NEAR(titles.X, label.X + label.Width, kEps);
}

// A conductor table longer than the page goes on on the next page under its
// heading, whose header says that the cross section continues; no row runs
// below the section bottom into the footer.
TEST_F(TDetFixture, ConductorTableLongerThanThePageGoesOnUnderItsHeading) {
    for (int i = 0; i < 20; ++i)
        test::AddLine(scenario, "C", {{-5, 40}, {0, 40}, {5, 40}});
    const TPageList pages = Run();
    ASSERT_GE(pages.Pages.size(), 2u);
    const TPage& second = pages.Pages[1];
    const TTextCmd last = OnlyText(second, QStringLiteral("20C1"));
    EXPECT_TRUE(TextsOf(pages.Pages[0], QStringLiteral("20C1")).empty());
    for (const TPage& page : pages.Pages) {
        for (const TTextCmd* text : page.Texts()) {
            if (text->Text.endsWith(QStringLiteral("C1"))) {
                EXPECT_LE(text->Y, 11 - 1.0) << text->Text.toStdString();
            }
        }
    }
    const TTextCmd heading = TextsOf(second, QStringLiteral("Circuit CL")).at(0);
    EXPECT_LT(heading.Y, last.Y);
    EXPECT_EQ(TextsOf(second, QStringLiteral("North- North segment (continued)")).size(), 1u);
}

} // namespace
} // namespace corvalt
