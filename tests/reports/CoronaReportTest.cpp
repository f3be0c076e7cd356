// The corona and field effects report: site parameters, conductor table and
// the profile under a heading repeated on every page.
#include "ReportTestSupport.h"

#include "model/Units.h"
#include "reports/ReptBPA.h"
#include "reports/ReptDET.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace corvalt {
namespace {

using test::CommandsOf;
using test::OnlyText;
using test::TextsOf;

constexpr double kEps = 1e-9;

TPageList RunCorona(TEmfProject& project) {
    TReptBPA report(project, project.Scenarios[0]);
    return test::RunReport(report);
}

// The text printed on the same line as `label`, in the cell after it.
QString ValueAfter(const TPage& page, const QString& label, int cellsAfter = 1) {
    const TTextCmd anchor = TextsOf(page, label).at(0);
    std::vector<TTextCmd> line;
    for (const TTextCmd* text : page.Texts())
        if (std::abs(text->Y - anchor.Y) < kEps && text->X > anchor.X) line.push_back(*text);
    std::sort(line.begin(), line.end(),
              [](const TTextCmd& a, const TTextCmd& b) { return a.X < b.X; });
    const auto index = static_cast<std::size_t>(cellsAfter - 1);
    return index < line.size() ? line[index].Text : QString();
}

TEST(CoronaReport, UnsetSiteParametersPrintTheirDefaults) {
    struct TCase {
        int Units;
        const char* Wind;
        const char* SpeedUnit;
        const char* RainAtAltitude;
    };
    // The wind velocity of 1 m/s shows in the unit its label names.
    for (const TCase& c : {TCase{English, "2.24", "MPH", "0.00 in/hr at 0ft Level"},
                           TCase{Metric, "3.60", "km/H", "0.00 mm/h at 0 m Level"}}) {
        SCOPED_TRACE(c.SpeedUnit);
        auto project = test::MakeProject(c.Units);
        const TPage page = RunCorona(*project).Pages.at(0);
        EXPECT_EQ(ValueAfter(page, QStringLiteral("Wind Velocity")), QLatin1String(c.Wind));
        EXPECT_EQ(ValueAfter(page, QStringLiteral("Wind Velocity"), 2), QLatin1String(c.SpeedUnit));
        EXPECT_EQ(ValueAfter(page, QStringLiteral("Radio Antenna Height"), 4),
                  QStringLiteral("1.00"));
        EXPECT_EQ(ValueAfter(page, QStringLiteral("TV Antenna Height"), 4),
                  QStringLiteral("75.00"));
        EXPECT_EQ(ValueAfter(page, QStringLiteral("Ground Conductivity")), QStringLiteral("0.10"));
        EXPECT_EQ(ValueAfter(page, QStringLiteral("Ground Conductivity"), 2),
                  QStringLiteral("mmhos/m"));
        EXPECT_EQ(ValueAfter(page, QStringLiteral("Altitude")), QStringLiteral("0.00"));
        EXPECT_EQ(ValueAfter(page, QStringLiteral("E-Field Transducer Height")),
                  QStringLiteral("3.28"));
        EXPECT_EQ(TextsOf(page, QLatin1String(c.RainAtAltitude)).size(), 1u);
    }
}

TEST(CoronaReport, SetSiteParametersPrintInTheProjectsUnits) {
    struct TCase {
        int Units;
        // Microphone 1.5 m, radio antenna 2 m, TV antenna 10 m and altitude
        // 500 m, × 3.28 in feet; wind 2.5 m/s × 2.23679 = 5.59 MPH or × 3.6 =
        // 9.00 km/h.
        const char *Microphone, *Radio, *Tv, *Altitude, *Wind;
        // 1 mm/h × 0.3937 ÷ 10 = 0.039 in/h; 500 m × 3.28 = 1,640 ft.
        const char* RainAtAltitude;
    };
    const TCase cases[] = {
        {English, "4.92", "6.56", "32.80", "1640.00", "5.59", "0.04 in/hr at 1,640ft Level"},
        {Metric, "1.50", "2.00", "10.00", "500.00", "9.00", "1.00 mm/h at 500 m Level"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Units);
        auto project = test::MakeProject(c.Units);
        TScenario& scenario = project->Scenarios[0];
        scenario.MicrophoneHeight = 1.5f;
        scenario.RadioAntennaHeight = 2;
        scenario.TvAntennaHeight = 10;
        scenario.Altitude = 500;
        scenario.RainRate = 1;
        scenario.WindVelocity = 2.5f;
        scenario.RadioFrequency = 0.5f;
        scenario.TvFrequency = 200;
        scenario.GroundConductivity = 4.7f;
        const TPage page = RunCorona(*project).Pages.at(0);
        EXPECT_EQ(ValueAfter(page, QStringLiteral("Audio Noise Microphone Height")),
                  QLatin1String(c.Microphone));
        EXPECT_EQ(ValueAfter(page, QStringLiteral("Radio Antenna Height")), QLatin1String(c.Radio));
        EXPECT_EQ(ValueAfter(page, QStringLiteral("Radio Antenna Height"), 4),
                  QStringLiteral("0.50"));
        EXPECT_EQ(ValueAfter(page, QStringLiteral("TV Antenna Height")), QLatin1String(c.Tv));
        EXPECT_EQ(ValueAfter(page, QStringLiteral("TV Antenna Height"), 4),
                  QStringLiteral("200.00"));
        EXPECT_EQ(ValueAfter(page, QStringLiteral("Altitude")), QLatin1String(c.Altitude));
        EXPECT_EQ(ValueAfter(page, QStringLiteral("Wind Velocity")), QLatin1String(c.Wind));
        EXPECT_EQ(ValueAfter(page, QStringLiteral("Ground Conductivity")), QStringLiteral("4.70"));
        EXPECT_EQ(TextsOf(page, QLatin1String(c.RainAtAltitude)).size(), 1u);
    }
}

TEST(CoronaReport, SiteParameterLabelsFitTheirCells) {
    auto project = test::MakeProject(English);
    const TPage page = RunCorona(*project).Pages.at(0);
    const TTextCmd longest = OnlyText(page, QStringLiteral("Audio Noise Microphone Height"));
    EXPECT_GE(longest.X, 0.75);
    EXPECT_NEAR(longest.X + longest.Width, 0.75 + 2.1 - 0.03, 1e-6);
    const TTextCmd unit = TextsOf(page, QStringLiteral("ft")).front();
    const TTextCmd frequency = TextsOf(page, QStringLiteral("Frequency")).front();
    EXPECT_LT(unit.X + unit.Width, frequency.X);
}

// The ozone column's heading names the rain rate and the altitude in the
// project's units, as the site parameters above it do.
TEST(CoronaReport, RainRateAndAltitudeHeadingIsInTheProjectsUnits) {
    struct TCase {
        int Units;
        const char* Heading;
        const char* Altitude;
    };
    // 25.4 mm/h is 1 in/h; 1500 ft is 457.2 m (1500 × 0.3048).
    for (const TCase& c : {TCase{English, "1.00 in/hr at 1,500ft Level", "1500.00"},
                           TCase{Metric, "25.40 mm/h at 457 m Level", "457.32"}}) {
        SCOPED_TRACE(c.Units);
        auto project = test::MakeProject(c.Units);
        project->Scenarios[0].RainRate = 25.4f;              // mm/h
        project->Scenarios[0].Altitude = FeetToMetres(1500); // m
        const TPage page = RunCorona(*project).Pages.at(0);
        EXPECT_EQ(TextsOf(page, QLatin1String(c.Heading)).size(), 1u);
        EXPECT_EQ(ValueAfter(page, QStringLiteral("Altitude")), QLatin1String(c.Altitude));
    }
}

// The corona loss is printed per mile in English projects (1 kW/km is 1.609
// kW/mi) and per kilometre in metric ones, as the heading says.
TEST(CoronaReport, ConductorRowsCarryGradientAndLossPerLongLengthUnit) {
    for (const int units : {English, Metric}) {
        SCOPED_TRACE(units);
        const bool metric = units == Metric;
        auto project = test::MakeProject(units);
        TScenario& scenario = project->Scenarios[0];
        test::AddLine(scenario, "C", {{-5, 40}, {0, 40}, {5, 40}}, 1);
        scenario.Conductors[0]->Calc.MaxGradient = 14.203f;
        scenario.Conductors[0]->Calc.CoronaLoss = 1.0f; // kW/km
        const TPage page = RunCorona(*project).Pages.at(0);
        const QString id = QStringLiteral("1A1");
        EXPECT_EQ(ValueAfter(page, id, 1), QStringLiteral("-5.00"));
        EXPECT_EQ(ValueAfter(page, id, 3), QStringLiteral("2"));
        EXPECT_EQ(ValueAfter(page, id, 6), QStringLiteral("241.5"));
        EXPECT_EQ(ValueAfter(page, id, 8), QStringLiteral("900"));
        EXPECT_EQ(ValueAfter(page, id, 9), QStringLiteral("14.20"));
        EXPECT_EQ(ValueAfter(page, id, 10), metric ? QStringLiteral("1.000") : QStringLiteral("1.609"));
        EXPECT_EQ(ValueAfter(page, QStringLiteral("1G1"), 9), QStringLiteral("n/a"));
        EXPECT_EQ(ValueAfter(page, QStringLiteral("1G1"), 10), QStringLiteral("n/a"));
        EXPECT_EQ(TextsOf(page, metric ? QStringLiteral("(kW/km)") : QStringLiteral("(kW/mi)")).size(),
                  1u);
        EXPECT_EQ(OnlyText(page, id).Font, (TFontSpec{QStringLiteral("Tahoma"), 12}));
    }
}

// A DC pole stored at 500 kV × √3 = 866.0254 kV is listed at its 500 kV to
// ground, in this report's conductor table and in the other reports' lists;
// an AC phase keeps its maximum voltage.
TEST(CoronaReport, ConductorListsShowADcPolesVoltageToGround) {
    auto project = test::MakeProject(Metric);
    TScenario& scenario = project->Scenarios[0];
    test::AddLine(scenario, "C", {{-5, 40}, {0, 40}, {5, 40}}, 1);
    TConductor& pole = *scenario.Conductors[0];
    pole.AcFlag = 0;
    pole.MaxVoltage = -866.0254f;
    const TPage page = RunCorona(*project).Pages.at(0);
    EXPECT_EQ(ValueAfter(page, QStringLiteral("1A1"), 6), QStringLiteral("-500.0"));
    EXPECT_EQ(ValueAfter(page, QStringLiteral("1B1"), 6), QStringLiteral("241.5"));
    TReptDET details(*project, scenario);
    std::size_t poles = 0;
    for (const TPage& detailsPage : test::RunReport(details).Pages) {
        poles += TextsOf(detailsPage, QStringLiteral("-500.0")).size();
        EXPECT_TRUE(TextsOf(detailsPage, QStringLiteral("-866.0")).empty());
    }
    EXPECT_EQ(poles, 1u);
}

// The left box lines of the first column run from the heading's first row to
// the last data row without a gap or an overlap.
TEST(CoronaReport, RowsOfDifferentFontSizesFollowEachOtherExactly) {
    auto project = test::MakeProject(English);
    TScenario& scenario = project->Scenarios[0];
    test::AddLine(scenario, "C", {{-5, 40}, {0, 40}, {5, 40}});
    test::FillProfile(scenario, 3);
    const TPage page = RunCorona(*project).Pages.at(0);
    std::vector<TLineCmd> left;
    for (const TLineCmd& line : CommandsOf<TLineCmd>(page))
        if (line.X1 == 0.75 && line.X2 == 0.75) left.push_back(line);
    std::sort(left.begin(), left.end(),
              [](const TLineCmd& a, const TLineCmd& b) { return a.Y1 < b.Y1; });
    ASSERT_EQ(left.size(), 3u + 3 + 4 + 3); // conductor heading, rows; profile heading, rows
    int breaks = 0;
    for (std::size_t i = 1; i < left.size(); ++i) {
        if (std::abs(left[i].Y1 - left[i - 1].Y2) < 1e-9) continue;
        EXPECT_GT(left[i].Y1, left[i - 1].Y2) << "segment " << i << " overlaps the one above";
        ++breaks;
    }
    EXPECT_EQ(breaks, 1); // only between the two tables
}

// Each heading text sits centred over its column: a table of label, row and
// the centre of its cell (from the cell widths, left edge 0.75 in).
TEST(CoronaReport, HeadingLabelsAreCentredOverTheirColumns) {
    auto project = test::MakeProject(English);
    test::FillProfile(project->Scenarios[0], 2);
    const TPage page = RunCorona(*project).Pages.at(0);
    const std::pair<const char*, double> centres[] = {
        {"Dist From", 2.1},    {"SubConductors", 3.825}, {"Phase", 5.525},
        {"Angle", 5.525},      {"Maximum", 6.825},       {"Gradient", 6.825},
        {"Corona", 7.475},     {"(kW/mi)", 7.475},       {"# of", 3.225},
        {"Lateral Dist", 1.1}, {"Audible Noise", 2.15},  {"Radio Interference", 3.55},
        {"TVI", 4.575},        {"Ozone", 5.65},          {"for Rain Rate of", 5.65},
        {"Electric", 6.75},    {"Magnetic", 7.45},       {"(gauss)", 7.45},
    };
    for (const auto& [label, centre] : centres) {
        SCOPED_TRACE(label);
        const TTextCmd text = OnlyText(page, QString::fromLatin1(label));
        EXPECT_NEAR(text.X + text.Width / 2, centre, 1e-6);
    }
    // The two group headings of the profile are boxed all round.
    const double noiseY = OnlyText(page, QStringLiteral("Audible Noise")).Y;
    int underNoise = 0;
    for (const TLineCmd& line : CommandsOf<TLineCmd>(page))
        underNoise += line.Y1 == line.Y2 && line.Y1 > noiseY && line.Y1 < noiseY + 0.1 &&
                      line.X1 <= 2.0 && line.X2 >= 2.0;
    EXPECT_EQ(underNoise, 1);
}

TEST(CoronaReport, ProfileContinuesUnderARepeatedHeadingInListOrder) {
    auto project = test::MakeProject(English);
    TScenario& scenario = project->Scenarios[0];
    test::FillProfile(scenario, 150, {0, 1});
    std::swap(scenario.Results[0], scenario.Results[5]); // the list order is kept, unsorted
    const TPageList pages = RunCorona(*project);
    ASSERT_GE(pages.Pages.size(), 3u);

    std::vector<QString> distances;
    for (std::size_t p = 0; p < pages.Pages.size(); ++p) {
        const TPage& page = pages.Pages[p];
        SCOPED_TRACE(p + 1);
        EXPECT_EQ(TextsOf(page, QStringLiteral("Lateral Dist")).size(), 1u);
        EXPECT_EQ(TextsOf(page, QStringLiteral("Corona and Field Effects")).size(), 1u);
        EXPECT_EQ(TextsOf(page, QStringLiteral("Page %1 ").arg(p + 1)).size(), 1u);
        // Every page names the cross section; the pages it goes on on say so.
        EXPECT_EQ(TextsOf(page, p == 0 ? QStringLiteral("North segment")
                                       : QStringLiteral("North segment (continued)"))
                      .size(),
                  1u);
        const double headingY = OnlyText(page, QStringLiteral("Lateral Dist")).Y;
        for (const TTextCmd* text : page.Texts()) {
            if (std::abs(text->X + text->Width - (0.75 + 0.7 - 0.03)) > 1e-6) continue;
            if (text->Text.startsWith(QLatin1Char('('))) continue; // the unit row
            EXPECT_GT(text->Y, headingY);
            EXPECT_LE(text->Y, 11 - 1.0 + 0.2);
            distances.push_back(text->Text);
        }
    }
    ASSERT_EQ(distances.size(), 150u);
    EXPECT_EQ(distances[0], QStringLiteral("-5.00"));
    EXPECT_EQ(distances[5], QStringLiteral("-10.00"));
    EXPECT_EQ(distances[149], QStringLiteral("139.00"));
}

TEST(CoronaReport, ProfileRowsPrintEveryQuantityAndNotAvailableGaps) {
    auto project = test::MakeProject(English);
    TScenario& scenario = project->Scenarios[0];
    test::FillProfile(scenario, 13);
    scenario.Results[12].RiRain.reset();
    const TPage page = RunCorona(*project).Pages.at(0);
    const QString dist = QStringLiteral("2.00"); // record 12
    const QString expected[] = {"42.0", "17.0",     "n/a",   "52.0",
                                "32.0", "0.000120", "1.200", "0.01200"};
    for (int cell = 1; cell <= 8; ++cell) {
        SCOPED_TRACE(cell);
        EXPECT_EQ(ValueAfter(page, dist, cell), expected[cell - 1]);
    }
    EXPECT_EQ(TextsOf(page, dist).front().Font, (TFontSpec{QStringLiteral("Tahoma"), 10}));
}

TEST(CoronaReport, HeaderAndFooter) {
    auto project = test::MakeProject(English);
    const TPage page = RunCorona(*project).Pages.at(0);
    const TTextCmd program = OnlyText(page, QStringLiteral("Corvalt"));
    EXPECT_EQ(program.Font, (TFontSpec{QStringLiteral("Arial"), 8}));
    EXPECT_NEAR(program.X, 0.75, kEps);
    EXPECT_TRUE(OnlyText(page, QStringLiteral("Corona and Field Effects")).Font.Underline);

    const TTextCmd date = OnlyText(page, QStringLiteral("Corvalt   Date 03/05/24"));
    const TTextCmd tab = OnlyText(page, QStringLiteral("North"));
    const TTextCmd number = OnlyText(page, QStringLiteral("Page 1 "));
    EXPECT_NEAR(date.X, 0.75, kEps);
    EXPECT_NEAR(tab.X + tab.Width / 2, (0.75 + 8) / 2, kEps);
    EXPECT_NEAR(number.X + number.Width, 8, kEps);
    EXPECT_NEAR(tab.Y, date.Y, kEps);
    EXPECT_GT(date.Y, 10.2);

    // The body starts below the two title lines.
    const TTextCmd title = OnlyText(page, QStringLiteral("North segment"));
    const TTextCmd units = OnlyText(
        page,
        QStringLiteral("Units: English   Physical System: 0 Conductors (0 Energized Phases)"));
    EXPECT_GE(units.Y - 12.0 / 72 * 0.9, title.Y);
}

TEST(CoronaReport, UncomputableCrossSectionPrintsItsReasonInsteadOfTheProfile) {
    auto project = test::MakeProject(Metric);
    project->Scenarios[0].CalcError = "Cross section 'North' cannot be computed: its right of "
                                      "way cannot be laid out in at most 100000 profile steps.";
    const TPage page = RunCorona(*project).Pages.at(0);
    EXPECT_TRUE(TextsOf(page, QStringLiteral("Lateral Dist")).empty());
    EXPECT_TRUE(page.PlainText().contains(QStringLiteral("profile steps.")));
    for (const TTextCmd* text : page.Texts())
        EXPECT_LE(text->X + text->Width, 8 + 1e-9) << text->Text.toStdString();
}

} // namespace
} // namespace corvalt
