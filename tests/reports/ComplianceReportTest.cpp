// The Florida compliance report: the maxima of the transmission-line table,
// which cross sections get a row and a details section, the substation table,
// the agent block and the page geometry, read back from the recorded pages.
#include "ReportTestSupport.h"

#include "compute/Profile.h"
#include "engine/ReportFonts.h"
#include "reports/ReptFCR2.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace corvalt {
namespace {

using test::CommandsOf;
using test::FillsAt;
using test::OnlyText;
using test::TextsOf;

constexpr double kEps = 1e-9;
constexpr int kAll = TReptFCR2::PrintAll;
constexpr int kMaximaOnly = TReptFCR2::PrintMaximumReadingsOnly;

// One record of a hand-made profile, in metres (the projects here are Metric,
// so Dist equals DistM).
struct TRecord {
    float DistM;
    std::optional<float> E; // kV/m
    std::optional<float> B; // gauss
};

// Gives the cross section a computed profile: its ROW edges (electric and
// magnetic field at the left and the right edge), then the other records, with
// the indices as the computation sets them.
void SetProfile(TScenario& scenario, TRecord left, TRecord right,
                std::vector<TRecord> others = {}) {
    std::vector<TRecord> records{left, right};
    records[0].DistM = -scenario.RowLeft;
    records[1].DistM = scenario.RowRight;
    records.insert(records.end(), others.begin(), others.end());
    scenario.Results.clear();
    for (const TRecord& record : records) {
        TCalcResult result;
        result.DistM = record.DistM;
        result.Dist = record.DistM;
        result.EMax = record.E;
        result.BMax = record.B;
        scenario.Results.push_back(result);
    }
    scenario.RowLeftResult = 0;
    scenario.RowRightResult = 1;
    scenario.MaxEResult = LargestEMaxIndex(scenario.Results);
    scenario.RowMaxEResult =
        LargerRowEdge(scenario.Results[0].EMax, scenario.Results[1].EMax, 0, 1);
    scenario.RowMaxBResult =
        LargerRowEdge(scenario.Results[0].BMax, scenario.Results[1].BMax, 0, 1);
}

// A cross section with ROW 50 / 50 m appended to the project.
TScenario& AddSection(TEmfProject& project, const char* tabTitle, TSectionType type) {
    auto scenario = std::make_unique<TScenario>(project);
    scenario->TabTitle = tabTitle;
    scenario->Title = std::string(tabTitle) + " line";
    scenario->SectionType = type;
    scenario->SetDisplayRowLeft(50);
    scenario->SetDisplayRowRight(50);
    scenario->SetDisplayEFieldHeight(1);
    scenario->SetDisplayBFieldHeight(1);
    project.Scenarios.Add(std::move(scenario));
    return project.Scenarios[project.Scenarios.Count() - 1];
}

// An empty Metric project with the texts of the agent block.
std::unique_ptr<TEmfProject> MakeEmptyProject() {
    auto project = std::make_unique<TEmfProject>();
    project->Units = Metric;
    project->Title = "Test Project";
    return project;
}

TPageList RunCompliance(TEmfProject& project, int crossSectionsToPrint = kAll) {
    TReptFCR2 report(project, nullptr, crossSectionsToPrint);
    return test::RunReport(report);
}

// The texts of the line at baseline y, left to right.
QStringList LineAt(const TPage& page, double y) {
    std::vector<const TTextCmd*> line;
    for (const TTextCmd* text : page.Texts())
        if (std::abs(text->Y - y) < 1e-6) line.push_back(text);
    std::sort(line.begin(), line.end(), [](auto* a, auto* b) { return a->X < b->X; });
    QStringList texts;
    for (const TTextCmd* text : line)
        texts << text->Text;
    return texts;
}

// The text in a table (Tahoma 10, where the drawing's labels are smaller).
TTextCmd TableText(const TPage& page, const QString& text) {
    std::vector<TTextCmd> found;
    for (const TTextCmd& run : TextsOf(page, text))
        if (run.Font.Size == 10) found.push_back(run);
    EXPECT_EQ(found.size(), 1u) << text.toStdString();
    return found.empty() ? TTextCmd{} : found.front();
}

// The row of the table that starts with this text (a tab title, a point's name).
QStringList RowOf(const TPage& page, const char* first) {
    return LineAt(page, TableText(page, QString::fromLatin1(first)).Y);
}

// The cross sections of the details sections, in the order printed (the bold
// title after "Details for CrossSection: "), with the page each starts on.
std::vector<std::pair<QString, std::size_t>> DetailsOrder(const TPageList& pages) {
    std::vector<std::pair<QString, std::size_t>> order;
    for (std::size_t p = 0; p < pages.Pages.size(); ++p) {
        const auto texts = pages.Pages[p].Texts();
        for (std::size_t i = 0; i + 1 < texts.size(); ++i)
            if (texts[i]->Text == QStringLiteral("Details for CrossSection: "))
                order.emplace_back(texts[i + 1]->Text, p);
    }
    return order;
}

QStringList DetailsTitles(const TPageList& pages) {
    QStringList titles;
    for (const auto& [title, page] : DetailsOrder(pages))
        titles << title;
    return titles;
}

TEST(ComplianceReport, EqualMaximaAreMarkedInEveryCrossSectionHoldingThem) {
    auto project = MakeEmptyProject();
    TScenario& a = AddSection(*project, "A", TransmissionLine);
    TScenario& b = AddSection(*project, "B", TransmissionLine);
    TScenario& c = AddSection(*project, "C", TransmissionLine);
    SetProfile(a, {0, 1.0f, 0.050f}, {0, 1.2f, 0.010f}, {{10, 2.5f, 0.1f}});
    SetProfile(b, {0, 1.1f, 0.020f}, {0, 1.1f, 0.050f}, {{-5, 2.5f, 0.1f}});
    SetProfile(c, {0, 1.5f, 0.010f}, {0, 0.5f, 0.010f}, {{3, 2.0f, 0.1f}});

    const TPageList pages = RunCompliance(*project);
    const TPage& page = pages.Pages.at(0);
    // Within ROW: A and B tie at 2.5. Edge E: C's left edge. Edge B: A's left
    // edge and B's right edge tie at 50 mG.
    EXPECT_EQ(RowOf(page, "A"), (QStringList{"A", "100", "2.5", "10", "50.0", "-50"}));
    EXPECT_EQ(RowOf(page, "B"), (QStringList{"B", "100", "2.5", "-5", "50.0", "50"}));
    EXPECT_EQ(RowOf(page, "C"), (QStringList{"C", "100", "1.5", "-50"}));
    for (const TTextCmd& value : TextsOf(page, QStringLiteral("2.5")))
        EXPECT_TRUE(value.Font.Bold);
    EXPECT_FALSE(OnlyText(page, QStringLiteral("10")).Font.Bold);
    // C's electric edge value sits in its column: after the title, the ROW
    // width and the value and distance within the ROW.
    const TTextCmd edgeE = OnlyText(page, QStringLiteral("1.5"));
    EXPECT_NEAR(edgeE.X + edgeE.Width / 2, 0.75 + 0.4 + 1.4 + 0.75 * 3.5, 1e-6);
    // Holders of a maximum get the first details sections, the last found first.
    EXPECT_EQ(DetailsTitles(pages), (QStringList{"C- C line", "B- B line", "A- A line"}));
}

TEST(ComplianceReport, MaximumReadingsOnlyLeavesOutCrossSectionsWithoutAMaximum) {
    struct TCase {
        int Option;
        QStringList Details;
    };
    for (const TCase& c :
         {TCase{kAll, {"Max- Max line", "Low- Low line", "Lower- Lower line", "Sub- Sub line"}},
          TCase{kMaximaOnly, {"Max- Max line", "Sub- Sub line"}}}) {
        SCOPED_TRACE(c.Option);
        auto project = MakeEmptyProject();
        SetProfile(AddSection(*project, "Low", TransmissionLine), {0, 1, 0.01f}, {0, 1, 0.01f});
        SetProfile(AddSection(*project, "Max", TransmissionLine), {0, 3, 0.03f}, {0, 3, 0.03f});
        SetProfile(AddSection(*project, "Sub", Substation), {0, 9, 0.09f}, {0, 9, 0.09f});
        SetProfile(AddSection(*project, "Lower", TransmissionLine), {0, 0.5f, 0.005f},
                   {0, 0.5f, 0.005f});
        const TPageList pages = RunCompliance(*project, c.Option);
        const TPage& page = pages.Pages.at(0);
        // Rows only for the holder of the maxima, with either option; the
        // substation's larger values do not count.
        // Within the ROW the left edge comes first among equal fields; at the
        // edges the right one is taken on a tie.
        EXPECT_EQ(RowOf(page, "Max"),
                  (QStringList{"Max", "100", "3.0", "-50", "3.0", "50", "30.0", "50"}));
        EXPECT_TRUE(TextsOf(page, QStringLiteral("Low")).empty());
        EXPECT_TRUE(TextsOf(page, QStringLiteral("Lower")).empty());
        EXPECT_EQ(DetailsTitles(pages), c.Details);
        // Each details section starts on a page of its own.
        const auto order = DetailsOrder(pages);
        for (std::size_t i = 1; i < order.size(); ++i)
            EXPECT_GT(order[i].second, order[i - 1].second);
        // Each is a section of the report (a PDF bookmark) from its first page on.
        std::vector<TSectionMark> starts;
        for (const auto& [title, first] : order)
            starts.push_back({title, int(first)});
        EXPECT_EQ(pages.Sections, starts);
    }
}

TEST(ComplianceReport, WithinRowValueIsTheLargestInsideTheRow) {
    auto project = MakeEmptyProject();
    TScenario& line = AddSection(*project, "L", TransmissionLine);
    // The margin beyond the right edge and a point of interest outside the ROW
    // hold larger fields; the column shows the largest within the ROW.
    SetProfile(line, {0, 1, 0.01f}, {0, 2, 0.01f},
               {{-70, 9.0f, 0.01f}, {20, 4.0f, 0.01f}, {51, 5.0f, 0.01f}});
    const TPage page = RunCompliance(*project).Pages.at(0);
    EXPECT_EQ(RowOf(page, "L"), (QStringList{"L", "100", "4.0", "20", "2.0", "50", "10.0", "50"}));
}

TEST(ComplianceReport, CrossSectionThatCannotBeComputedShowsNotAvailableAndItsReason) {
    for (const int option : {kAll, kMaximaOnly}) {
        SCOPED_TRACE(option);
        auto project = MakeEmptyProject();
        SetProfile(AddSection(*project, "Good", TransmissionLine), {0, 1, 0.01f}, {0, 1, 0.01f});
        TScenario& bad = AddSection(*project, "Bad", TransmissionLine);
        bad.CalcError = "Cross section 'Bad' cannot be computed: two conductors coincide.";
        TScenario& station = AddSection(*project, "Station", Substation);
        station.CalcError = "Cross section 'Station' cannot be computed: two conductors coincide.";
        const TPageList pages = RunCompliance(*project, option);
        const TPage& page = pages.Pages.at(0);
        // Its maxima are not known: it is listed, never silently left out, and
        // does not keep the others from holding the maxima.
        EXPECT_EQ(RowOf(page, "Bad"), (QStringList{"Bad", "100", "n/a", "n/a", "n/a"}));
        EXPECT_EQ(RowOf(page, "Good").size(), 8);
        EXPECT_EQ(RowOf(page, "Station"), (QStringList{"Station", "n/a", "n/a"}));
        EXPECT_EQ(DetailsTitles(pages),
                  (QStringList{"Good- Good line", "Bad- Bad line", "Station- Station line"}));
        const auto order = DetailsOrder(pages);
        EXPECT_TRUE(pages.Pages[order[1].second].PlainText().contains(
            QStringLiteral("two conductors coincide")));
    }
}

TEST(ComplianceReport, SubstationReportsTheEdgeWithTheLargerFieldTheRightOneOnATie) {
    auto project = MakeEmptyProject();
    TScenario& tie = AddSection(*project, "Tie", Substation);
    tie.SetDisplayRowLeft(40);
    tie.SetDisplayRowRight(60);
    SetProfile(tie, {0, 0.7f, 0.020f}, {0, 0.7f, 0.020f});
    TScenario& left = AddSection(*project, "Left", Substation);
    left.SetDisplayRowLeft(45);
    left.SetDisplayRowRight(65);
    SetProfile(left, {0, 0.9f, 0.030f}, {0, 0.8f, 0.040f});
    const TPage page = RunCompliance(*project).Pages.at(0);
    EXPECT_EQ(RowOf(page, "Tie"), (QStringList{"Tie", "0.7", "60", "20.0", "60"}));
    // The left edge lies 45 ft left of the reference line: at -45.
    EXPECT_EQ(RowOf(page, "Left"), (QStringList{"Left", "0.9", "-45", "40.0", "65"}));
    EXPECT_TRUE(OnlyText(page, QStringLiteral("0.9")).Font.Bold);
    EXPECT_FALSE(OnlyText(page, QStringLiteral("-45")).Font.Bold);
    EXPECT_TRUE(TextsOf(page, QStringLiteral("None")).empty());
}

TEST(ComplianceReport, ProjectWithoutCrossSectionsPrintsTheHeadingsAndNone) {
    auto project = MakeEmptyProject();
    const TPageList pages = RunCompliance(*project);
    ASSERT_EQ(pages.Pages.size(), 1u);
    const TPage& page = pages.Pages[0];
    EXPECT_EQ(TextsOf(page, QStringLiteral("Cross Section")).size(), 1u);
    const TTextCmd none = OnlyText(page, QStringLiteral("None"));
    EXPECT_GT(none.Y, OnlyText(page, QStringLiteral("Substations")).Y);
    EXPECT_TRUE(DetailsTitles(pages).empty());
}

// ---- Agent block -----------------------------------------------------------

TEST(ComplianceReport, NameAndAddressPrintOneLineEachTheNameBold) {
    auto project = MakeEmptyProject();
    project->AgentName = "Acme Power";
    project->AgentAddress = "1 Main St;Springfield";
    project->FacilityName = "Solo";
    const TPage page = RunCompliance(*project).Pages.at(0);

    const TTextCmd name = OnlyText(page, QStringLiteral("Acme Power"));
    const TTextCmd street = OnlyText(page, QStringLiteral("1 Main St"));
    const TTextCmd town = OnlyText(page, QStringLiteral("Springfield"));
    EXPECT_TRUE(name.Font.Bold);
    EXPECT_FALSE(street.Font.Bold);
    EXPECT_FALSE(town.Font.Bold);
    EXPECT_EQ(street.Font, (TFontSpec{QStringLiteral("Tahoma"), 10}));
    EXPECT_NEAR(name.X, 0.75 + 0.2 + 0.03, 1e-6);
    EXPECT_NEAR(street.X, name.X, kEps);
    EXPECT_GT(street.Y, name.Y);
    EXPECT_NEAR(town.Y - street.Y, street.Y - name.Y, 1e-6);

    // A name without an address still fills three shaded lines; the line under
    // the block is drawn under the third only.
    const TTextCmd solo = OnlyText(page, QStringLiteral("Solo"));
    const TTextCmd caption =
        OnlyText(page, QStringLiteral("  Name and Address of Facilty (Utility) Owner"));
    int shadedLines = 0;
    for (const TFillCmd& fill : CommandsOf<TFillCmd>(page))
        shadedLines += std::abs(fill.Left - 0.95) < kEps && fill.Bottom > solo.Y - 0.2 &&
                       fill.Top < caption.Y - 0.1;
    EXPECT_EQ(shadedLines, 3);
    int underlines = 0;
    for (const TLineCmd& line : CommandsOf<TLineCmd>(page))
        underlines += line.Y1 == line.Y2 && std::abs(line.X1 - 0.95) < kEps && line.Y1 > solo.Y &&
                      line.Y1 < caption.Y;
    EXPECT_EQ(underlines, 1);
}

// A field line wider than its cell goes on over a second line at 10 points;
// one that two lines cannot hold is set smaller, and at 6 points cut.
TEST(ComplianceReport, FieldLinesTooWideForTheirCellWrapThenGetSmallerThenAreCut) {
    auto project = MakeEmptyProject();
    const QString twoLines = QStringLiteral(
        "Northwest Florida Transmission Siting and Planning Association Incorporated");
    const QString smaller = QString(60, QLatin1Char('W'));
    const QString cut = QString(300, QLatin1Char('W'));
    project->FacilityName = "Owner";
    project->FacilityAddress = twoLines.toStdString();
    project->AgentName = smaller.toStdString();
    project->PeName = cut.toStdString();
    const TPage page = RunCompliance(*project).Pages.at(0);
    const double room = 3.5 - 0.06;

    // Broken at a blank: as many words on the first line as fit.
    const TTextCmd first =
        OnlyText(page, QStringLiteral("Northwest Florida Transmission Siting and Planning"));
    const TTextCmd second = OnlyText(page, QStringLiteral("Association Incorporated"));
    EXPECT_EQ(first.Font.Size, 10);
    EXPECT_EQ(second.Font.Size, 10);
    EXPECT_NEAR(second.X, first.X, kEps);
    EXPECT_GT(second.Y, first.Y);
    TFontMeasurer measurer;
    EXPECT_LE(first.Width, room);
    EXPECT_GT(measurer.TextWidth(first.Font, first.Text + QStringLiteral(" Association")), room);

    // 60 W's take two lines only in a smaller size.
    std::vector<TTextCmd> ws;
    for (const TTextCmd* text : page.Texts())
        if (text->Text.startsWith(QLatin1Char('W'))) ws.push_back(*text);
    QString joined;
    for (const TTextCmd& text : ws) {
        if (text.Font.Size == ws.front().Font.Size && std::abs(text.X - ws.front().X) < kEps &&
            text.X < 4)
            joined += text.Text;
    }
    EXPECT_EQ(joined, smaller);
    EXPECT_LT(ws.front().Font.Size, 10);
    EXPECT_GE(ws.front().Font.Size, 6);
    for (const TTextCmd& text : ws)
        EXPECT_LE(text.Width, text.X < 4 ? room : 3.15 - 0.06);

    // 300 W's are more than two lines at 6 points: the second line ends in "…".
    std::vector<TTextCmd> engineer;
    for (const TTextCmd& text : ws)
        if (text.X > 4) engineer.push_back(text);
    ASSERT_EQ(engineer.size(), 2u);
    EXPECT_EQ(engineer[0].Font.Size, 6);
    EXPECT_EQ(engineer[0].Text, QString(engineer[0].Text.size(), QLatin1Char('W')));
    EXPECT_TRUE(engineer[1].Text.endsWith(QChar(0x2026)));
    EXPECT_LT(engineer[0].Text.size() + engineer[1].Text.size() - 1, cut.size());
}

TEST(ComplianceReport, SignatureLinesGoBelowTheLongerColumn) {
    auto project = MakeEmptyProject();
    project->PeName = "P. Engineer";
    project->PeAddress = "1;2;3;4;5;6;7;8;9;10;11;12";
    const TPage page = RunCompliance(*project).Pages.at(0);
    const TTextCmd lastLine = OnlyText(page, QStringLiteral("12"));
    const TTextCmd agent = OnlyText(page, QStringLiteral("  Signature of Authorized Agent"));
    const TTextCmd engineer =
        OnlyText(page, QStringLiteral("  Signature and Seal of Professional Engineer"));
    EXPECT_GT(engineer.Y, lastLine.Y + 0.75);
    EXPECT_NEAR(agent.Y, engineer.Y, kEps);
}

// ---- Page geometry -----------------------------------------------------------

// Records where the header leaves the body's first line on two pages.
class TBodyStartProbe : public TReptFCR2 {
  public:
    using TReptFCR2::TReptFCR2;
    void PrintBody() override {
        Record();
        Canvas().NewPage();
        Record();
    }
    std::vector<std::pair<double, double>> Starts; // section top, line top

  private:
    void Record() { Starts.emplace_back(Canvas().SectionTop(), Canvas().LineTop()); }
};

TEST(ComplianceReport, BodyStartsAtPointEightFiveOnPageOneAndOneInchLater) {
    auto project = MakeEmptyProject();
    TBodyStartProbe probe(*project, nullptr, kAll);
    const TPageList pages = test::RunReport(probe);
    ASSERT_EQ(probe.Starts.size(), 2u);
    EXPECT_NEAR(probe.Starts[0].first, 0.85, 1e-9);
    EXPECT_NEAR(probe.Starts[0].second, 0.85, 1e-9);
    EXPECT_NEAR(probe.Starts[1].first, 1.0, 1e-9);
    EXPECT_NEAR(probe.Starts[1].second, 1.0, 1e-9);
    // The agency's header is at the same place on both pages and clear of the body.
    const QString agency = QStringLiteral("Florida Department of Environmental Protection");
    const TTextCmd first = OnlyText(pages.Pages.at(0), agency);
    EXPECT_NEAR(OnlyText(pages.Pages.at(1), agency).Y, first.Y, kEps);
    EXPECT_EQ(first.Font.Size, 16);
    EXPECT_TRUE(first.Font.Italic);
    EXPECT_TRUE(first.Font.Underline);
    const QString address = QStringLiteral("Twin Tower Office Bldg  *  2600 Blair Stone Road  *  "
                                           "Tallahassee, Florida  32399-2400");
    EXPECT_LT(OnlyText(pages.Pages.at(0), address).Y, 0.85 + 0.02);
}

TEST(ComplianceReport, FooterShowsTheProjectFileNameWithoutItsFolder) {
    auto project = MakeEmptyProject();
    project->FileName = "/work/projects/Suncoast line.emf";
    SetProfile(AddSection(*project, "A", TransmissionLine), {0, 1, 0.01f}, {0, 1, 0.01f});
    const TPageList pages = RunCompliance(*project);
    ASSERT_EQ(pages.Pages.size(), 2u);
    for (std::size_t p = 0; p < pages.Pages.size(); ++p) {
        SCOPED_TRACE(p + 1);
        const TTextCmd title = OnlyText(pages.Pages[p], QStringLiteral("Suncoast line.emf"));
        EXPECT_NEAR(title.X + title.Width / 2, 0.75 + (8.0 - 0.75) / 2, 1e-6);
        EXPECT_EQ(title.Font, (TFontSpec{QStringLiteral("Tahoma"), 10}));
        OnlyText(pages.Pages[p], QStringLiteral("Page %1 ").arg(p + 1));
        OnlyText(pages.Pages[p], QStringLiteral("March 05, 2024"));
    }
}

// ---- Details -----------------------------------------------------------------

TEST(ComplianceReport, DetailsListNewCircuitsFirstThenExistingOnesAndThePoints) {
    auto project = MakeEmptyProject();
    TScenario& line = AddSection(*project, "A", TransmissionLine);
    TCircuit& old = test::AddLine(line, "Old;line", {{-5, 20}, {0, 20}, {5, 20}});
    old.NewCircuit = false;
    test::AddLine(line, "Fresh", {{-5, 30}, {0, 30}, {5, 30}});
    auto point = std::make_unique<TInterestPoint>(line);
    point->Name = "School";
    point->SetDisplayDistFromRowLeft(12);
    point->ResultIndex = 2;
    line.InterestPoints.Add(std::move(point));
    auto stale = std::make_unique<TInterestPoint>(line);
    stale->Name = "Stale";
    stale->ResultIndex = 99; // from before the last computation
    line.InterestPoints.Add(std::move(stale));
    SetProfile(line, {0, 1, 0.01f}, {0, 1, 0.01f}, {{12, 0.8f, 0.0125f}});

    const TPageList pages = RunCompliance(*project);
    const TPage& page = pages.Pages.at(1);
    const TTextCmd fresh = OnlyText(page, QStringLiteral("Fresh"));
    const TTextCmd old1 = OnlyText(page, QStringLiteral("Old;line")); // ";" stays in its cell
    EXPECT_LT(fresh.Y, old1.Y);
    EXPECT_TRUE(OnlyText(page, QStringLiteral("NEW CIRCUIT")).Font.Bold);
    EXPECT_TRUE(OnlyText(page, QStringLiteral("Existing Circuit")).Font.Bold);
    EXPECT_EQ(TextsOf(page, QStringLiteral("230 kV")).size(), 2u);
    EXPECT_EQ(LineAt(page, OnlyText(page, QStringLiteral("2A1")).Y),
              (QStringList{"2A1", "-5.00", "-5.00", "30.00", "2", "28.14", "18.00", "241.5", "0",
                           "900"}));
    EXPECT_EQ(RowOf(page, "School"), (QStringList{"School", "12", "0.8", "12.5"}));
    EXPECT_TRUE(OnlyText(page, QStringLiteral("12.5")).Font.Bold);
    EXPECT_EQ(RowOf(page, "Stale"), (QStringList{"Stale", "0", "n/a", "n/a"}));
    const double drawing = OnlyText(page, QStringLiteral("Phase Configuration")).Y;
    EXPECT_GT(drawing, TableText(page, QStringLiteral("Stale")).Y);
    // The drawing marks the points and names them in its label font.
    for (const char* name : {"School", "Stale"}) {
        const auto texts = TextsOf(page, QString::fromLatin1(name));
        ASSERT_EQ(texts.size(), 2u) << name;
        EXPECT_GT(texts[1].Y, drawing);
        EXPECT_EQ(texts[1].Font.Size, 8);
    }
}

// A conductor table longer than the page continues under its heading on the
// next; every page of the details section names its cross section: the pages
// its tables and its drawing continue on start with its heading and
// "(continued)".
TEST(ComplianceReport, LongConductorTableContinuesOnPagesThatNameTheCrossSection) {
    auto project = MakeEmptyProject();
    TScenario& line = AddSection(*project, "A", TransmissionLine);
    test::AddLine(line, "Many", {{-5, 20}, {0, 20}, {5, 20}}, 60);
    SetProfile(line, {0, 1, 0.01f}, {0, 1, 0.01f});
    const TPageList pages = RunCompliance(*project);
    ASSERT_GE(pages.Pages.size(), 3u);
    const QRegularExpression groundId(QStringLiteral("^1G[0-9]+$"));
    int rows = 0;
    for (std::size_t p = 1; p < pages.Pages.size(); ++p) {
        for (const TTextCmd* text : pages.Pages[p].Texts()) {
            if (!groundId.match(text->Text).hasMatch() || text->Font.Size != 10) continue;
            ++rows;
            EXPECT_LT(text->Y, 11 - 0.9) << text->Text.toStdString(); // above the section bottom
        }
    }
    EXPECT_EQ(rows, 60);
    EXPECT_EQ(TextsOf(pages.Pages[2], QStringLiteral("Circuit CL")).size(), 1u);

    const QString label = QStringLiteral("Details for CrossSection: ");
    for (std::size_t p = 1; p < pages.Pages.size(); ++p) {
        SCOPED_TRACE(p);
        const TTextCmd heading = OnlyText(pages.Pages[p], label);
        const QStringList texts = LineAt(pages.Pages[p], heading.Y);
        ASSERT_EQ(texts.size(), 2);
        EXPECT_EQ(texts[1], p == 1 ? QStringLiteral("A- A line")
                                  : QStringLiteral("A- A line (continued)"));
        // Above everything else of the body.
        for (const TTextCmd* text : pages.Pages[p].Texts())
            if (text->Y > 1.0 && text->Y < 10) {
                EXPECT_GE(text->Y, heading.Y - 1e-9) << text->Text.toStdString();
            }
    }
    EXPECT_EQ(TextsOf(pages.Pages.back(), QStringLiteral("Phase Configuration")).size(), 1u);
    // The summary page before the details has no such heading.
    EXPECT_TRUE(TextsOf(pages.Pages[0], label).empty());
}

// In metric projects a distance prints with one decimal where a whole number
// would lose it; the ROW width, the maxima's places and the points of interest.
TEST(ComplianceReport, MetricDistancesKeepTheirTenths) {
    auto project = MakeEmptyProject();
    TScenario& line = AddSection(*project, "L", TransmissionLine);
    line.SetDisplayRowLeft(12.5f);
    line.SetDisplayRowRight(10);
    SetProfile(line, {0, 1, 0.02f}, {0, 2, 0.01f}, {{8.75f, 3.0f, 0.01f}});
    for (const auto& [name, distance] : {std::pair{"Gate", 12.5f}, std::pair{"Barn", -15.0f}}) {
        auto point = std::make_unique<TInterestPoint>(line);
        point->Name = name;
        point->SetDisplayDistFromRowLeft(distance);
        line.InterestPoints.Add(std::move(point));
    }
    const TPageList pages = RunCompliance(*project);
    // ROW 22.5 m; the largest E within it at 8.75 m (one decimal: 8.8), the
    // edges at -12.5 and 10.
    EXPECT_EQ(RowOf(pages.Pages.at(0), "L"),
              (QStringList{"L", "22.5", "3.0", "8.8", "2.0", "10", "20.0", "-12.5"}));
    // The points' records are the first of the profile (their indices are 0).
    const TPage& details = pages.Pages.at(1);
    EXPECT_EQ(RowOf(details, "Gate"), (QStringList{"Gate", "12.5", "1.0", "20.0"}));
    EXPECT_EQ(RowOf(details, "Barn"), (QStringList{"Barn", "-15", "1.0", "20.0"}));
}

} // namespace
} // namespace corvalt
