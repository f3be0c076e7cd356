#include "reports/ReptBPA.h"

#include "model/PoleVoltage.h"
#include "model/Project.h"
#include "model/Units.h"
#include "reports/ProfilePlotPage.h"
#include "reports/ReportFormat.h"

#include <algorithm>
#include <string>
#include <vector>

namespace corvalt {
namespace {

constexpr double kBodyTop = 1.75; // baseline of the first body line

// Heading rows print in the current font made smaller by these points.
constexpr double kHeadingSmaller = 2;
constexpr double kUnitRowSmaller = 3;
constexpr double kProfileRowSmaller = 2;
constexpr double kSiteParameterSmaller = 2;
constexpr int kHeaderTitleLines = 2; // the header's titles wrap onto at most this many lines

TCellSpec Heading(double width, int lines, int margin = 0) {
    return {width, TJustify::Centre, margin, lines, 0};
}

TCellSpec Plain(double width, TJustify justify) {
    return {width, justify, 3, 0, 0};
}

QString Latin(const char* text) {
    return QString::fromLatin1(text);
}

QString InParentheses(const char* unit) {
    return QStringLiteral("(%1)").arg(Latin(unit));
}

} // namespace

TReptBPA::TReptBPA(TEmfProject& project, TScenario& scenario, std::optional<TPlotOptions> plot)
    : TReport(project, &scenario), plot_(std::move(plot)) {}

void TReptBPA::Prepare(TPageCanvas& canvas) {
    leftEdge_ = kReportLeftEdge;
    rightEdge_ = canvas.PageWidth() - kReportRightMargin;
}

// ---- Header and footer ------------------------------------------------------

void TReptBPA::PrintHeader() {
    TPageCanvas& canvas = Canvas();
    canvas.SetSectionTop(0.5);
    canvas.SetSectionLeft(leftEdge_);
    canvas.SetSectionRight(rightEdge_);
    canvas.SelectFont(kArial, 8);
    canvas.KeepLineTop();
    canvas.PrintOnFirstLine(QStringLiteral("Corvalt"), TJustify::Left);

    canvas.SetSectionTop(0.75);
    canvas.SelectFont(kArial, 16);
    canvas.KeepLineTop();
    canvas.SetUnderline(true);
    canvas.PrintOnFirstLine(QStringLiteral("Corona and Field Effects"), TJustify::Centre);
    canvas.NewLine();
    canvas.NewLine();
    canvas.NewLine();
    canvas.SetUnderline(false);

    canvas.SelectFont(kArial, 14);
    canvas.KeepLineTop();
    const double width = canvas.SectionRight() - canvas.SectionLeft();
    PrintFittedLines(ReportText(Project().Title), canvas.SectionLeft(), width, kHeaderTitleLines);
    QString title = ReportText(Scenario().Title);
    if (canvas.PageNumber() > 1) title += QStringLiteral(" (continued)");
    PrintFittedLines(title, canvas.SectionLeft(), width, kHeaderTitleLines);
    // The body starts at kBodyTop, or on the line below the titles when they
    // reach further down, so that it never prints over them.
    const double bodyTop = std::max(kBodyTop, canvas.CursorY());

    PrintFooter();
    StartBody(bodyTop, true);
}

void TReptBPA::PrintFooter() {
    if (!StartFooterOnThisPage()) return;
    TPageCanvas& canvas = Canvas();
    canvas.PushFont();
    canvas.SelectFont(kArial, 8);
    canvas.KeepLineTop();
    canvas.SetSectionBottom(canvas.PageHeight() - kFooterBottomMargin);
    PrintFooterLine(QStringLiteral("Corvalt   Date ") + ShortDate(Today()),
                    ReportText(Scenario().TabTitle),
                    QStringLiteral("Page %1 ").arg(canvas.PageNumber()));
    canvas.PopFont();
}

// ---- Body -------------------------------------------------------------------

void TReptBPA::PrintBody() {
    TPageCanvas& canvas = Canvas();
    const TScenario& scenario = Scenario();
    canvas.PrintTextLine(QStringLiteral("Units: %1   Physical System: %2 Conductors (%3 Energized "
                                        "Phases)")
                             .arg(Latin(Project().UnitsName()))
                             .arg(scenario.ConductorCount())
                             .arg(scenario.EnergizedCount()));
    canvas.NewLine();
    PrintSiteParameters();
    canvas.NewLine();
    canvas.NewLine();
    PrintConductorTable();
    canvas.NewLine();
    canvas.NewLine();
    PrintProfileTable();
    if (plot_) PrintProfilePlotPage(canvas, scenario, *plot_);
}

// Four lines of two groups of label, value and unit, without boxes, in the
// body font made 2 points smaller so that the labels fit their cells. The wind
// velocity is printed in the unit its label names (MPH or km/H). A line
// without a frequency gives its unit the room of the frequency's cells.
void TReptBPA::PrintSiteParameters() {
    TPageCanvas& canvas = Canvas();
    const TEmfProject& project = Project();
    const TScenario& scenario = Scenario();
    canvas.SetBold(false);
    PushSmallerFont(kSiteParameterSmaller);
    // "Frequency" ends where it always did, with the room it needs taken from
    // the length unit before it ("ft" or "m").
    const std::vector<TCellSpec> cells{Plain(2.1, TJustify::Right),  Plain(0.6, TJustify::Right),
                                       Plain(0.4, TJustify::Left),   Plain(1.5, TJustify::Right),
                                       Plain(0.6, TJustify::Right),  Plain(0.25, TJustify::Left),
                                       Plain(0.7, TJustify::Right),  Plain(0.5, TJustify::Right),
                                       Plain(0.4, TJustify::Left)};
    std::vector<TCellSpec> shortLine(cells.begin(), cells.begin() + 5);
    shortLine.push_back(Plain(0.25 + 0.7 + 0.5 + 0.4, TJustify::Left));
    const QString length = Latin(project.LengthUnit());
    const QString megahertz = QStringLiteral("MHz");
    const auto printLine = [&](const QStringList& left, const QStringList& right) {
        const auto used = static_cast<std::size_t>(left.size() + right.size());
        DefineCells(leftEdge_, used < cells.size() ? shortLine : cells);
        canvas.PrintText(QLatin1Char('\t') + left.join(QLatin1Char('\t')));
        PrintRow(right);
    };
    printLine({QStringLiteral("Audio Noise Microphone Height"),
               FixedText(scenario.DisplayMicrophoneHeight(), 2), length},
              {QStringLiteral("Radio Antenna Height"),
               FixedText(scenario.DisplayRadioAntennaHeight(), 2), length,
               QStringLiteral("Frequency"), FixedText(scenario.SiteRadioFrequency(), 2),
               megahertz});
    printLine({QStringLiteral("Altitude"), FixedText(scenario.DisplayAltitude(), 2), length},
              {QStringLiteral("TV Antenna Height"), FixedText(scenario.DisplayTvAntennaHeight(), 2),
               length, QStringLiteral("Frequency"), FixedText(scenario.SiteTvFrequency(), 2),
               megahertz});
    printLine({QStringLiteral("E-Field Transducer Height"),
               FixedText(scenario.DisplayEFieldHeight(), 2), length},
              {QStringLiteral("Wind Velocity"), FixedText(scenario.DisplayWindVelocity(), 2),
               Latin(project.SpeedUnit())});
    printLine({QStringLiteral("B-Field Transducer Height"),
               FixedText(scenario.DisplayBFieldHeight(), 2), length},
              {QStringLiteral("Ground Conductivity"),
               FixedText(scenario.SiteGroundConductivity(), 2), QStringLiteral("mmhos/m")});
    PopSmallerFont();
}

// ---- Conductor table --------------------------------------------------------

// The heading's three rows, then the data cells in the body font.
void TReptBPA::PrintConductorHeading() {
    TPageCanvas& canvas = Canvas();
    const TEmfProject& project = Project();
    canvas.SetBold(false);
    SelectTablePen();
    DefineCells(leftEdge_, HeadingCells({1.0, 0.7, 0.6, 1.55, 0.6, 0.65, 0.65, 0.65, 0.65},
                                        kLinesLeftRightTop, 0));
    PrintHeadingRow(kHeadingSmaller, {{},
                                      QStringLiteral("Dist From"),
                                      {},
                                      QStringLiteral("SubConductors"),
                                      {},
                                      QStringLiteral("Phase"),
                                      {},
                                      QStringLiteral("Maximum"),
                                      QStringLiteral("Corona")});

    DefineCells(leftEdge_,
                HeadingCells({1.0, 0.7, 0.6, 0.35, 0.65, 0.55, 0.6, 0.65, 0.65, 0.65, 0.65},
                             kLinesLeftRight, 0));
    // The three cells under "SubConductors" get a top line: the line under it.
    PushSmallerFont(kHeadingSmaller);
    canvas.PrintText(QStringLiteral("\tId\tCenter\tHeight"));
    for (const char* text : {"# of", "Diameter", "Spacing"}) {
        canvas.NextTab(TTabOverrides{.Top = 1});
        canvas.PrintText(Latin(text));
    }
    canvas.PrintTextLine(QStringLiteral("\tVoltage\tAngle\tCurrent\tGradient\tLosses"));
    PopSmallerFont();

    DefineCells(leftEdge_,
                HeadingCells({1.0, 0.7, 0.6, 0.35, 0.65, 0.55, 0.6, 0.65, 0.65, 0.65, 0.65},
                             kLinesLeftRightBottom, 0));
    const QString length = InParentheses(project.LengthUnit());
    PrintHeadingRow(kUnitRowSmaller, {{},
                                      length,
                                      length,
                                      {},
                                      InParentheses(project.DiameterUnit()),
                                      InParentheses(project.SpacingUnit()),
                                      QStringLiteral("(kV)"),
                                      QStringLiteral("(Degrees)"),
                                      QStringLiteral("(Amps)"),
                                      QStringLiteral("(kV/cm)"),
                                      IsMetric() ? QStringLiteral("(kW/km)")
                                                 : QStringLiteral("(kW/mi)")});
    DefineCells(leftEdge_, {DataCell(1.0, TJustify::Left, 3), DataCell(0.7, TJustify::Right, 3),
                            DataCell(0.6, TJustify::Right, 3), DataCell(0.35, TJustify::Centre, 0),
                            DataCell(0.65, TJustify::Right, 3), DataCell(0.55, TJustify::Right, 3),
                            DataCell(0.6, TJustify::Right, 3), DataCell(0.65, TJustify::Right, 3),
                            DataCell(0.65, TJustify::Right, 3), DataCell(0.65, TJustify::Right, 3),
                            DataCell(0.65, TJustify::Right, 3)});
    canvas.SetBold(false);
}

// One row per conductor in the cross section's order, in the current font. The
// corona loss is computed per kilometre and printed in the unit of the
// project's long lengths, as its heading says: per mile in English projects,
// per kilometre in metric ones.
void TReptBPA::PrintConductorTable() {
    PrintConductorHeading();
    for (const TConductor* conductor : Scenario().Conductors) {
        const TConductorCalc& calc = conductor->Calc;
        std::optional<float> loss = calc.CoronaLoss;
        if (loss && !IsMetric()) loss = PerKilometreToPerMile(*loss);
        const std::vector<TCellText> row{{ReportText(conductor->Id), false, true},
                                         {FixedText(conductor->DisplayHorizDistance(), 2)},
                                         {FixedText(conductor->DisplayHeight(), 2)},
                                         {QString::number(conductor->SubCondCount)},
                                         {FixedText(conductor->DisplayDiameter(), 2)},
                                         {FixedText(conductor->DisplaySubSpacing(), 2)},
                                         {FixedText(ShownVoltageKv(*conductor), 1)},
                                         {FixedText(conductor->PhaseAngle, 0)},
                                         {FixedText(conductor->DisplayMcr(), 0)},
                                         {FixedText(calc.MaxGradient, 2)},
                                         {FixedText(loss, 3)}};
        PrintTableRow(row, 0, [this] { PrintConductorHeading(); });
    }
}

// ---- Profile table ----------------------------------------------------------

// The rain rate and the altitude of the heading are printed in the project's
// units, as the site parameters above: in/hr and ft, or mm/h and m.
void TReptBPA::PrintProfileHeading() {
    TPageCanvas& canvas = Canvas();
    const TScenario& scenario = Scenario();
    canvas.SetBold(false);
    SelectTablePen();
    DefineCells(leftEdge_,
                {Heading(0.7, kLinesLeftRightTop, 3), Heading(1.4, BoxAll, 3),
                 Heading(1.4, BoxAll, 3), Heading(0.65, kLinesLeftRightTop, 3),
                 Heading(1.5, kLinesLeftRightTop, 3), Heading(0.7, kLinesLeftRightTop, 3),
                 Heading(0.7, kLinesLeftRightTop, 3)});
    PrintHeadingRow(kHeadingSmaller, {QStringLiteral("Lateral Dist"),
                                      QStringLiteral("Audible Noise"),
                                      QStringLiteral("Radio Interference"),
                                      QStringLiteral("TVI"),
                                      QStringLiteral("Ozone"),
                                      {},
                                      {}});

    DefineCells(leftEdge_, {Heading(0.7, kLinesLeftRight, 0), Heading(0.7, kLinesLeftRight, 3),
                            Heading(0.7, kLinesLeftRight, 3), Heading(0.7, kLinesLeftRight, 3),
                            Heading(0.7, kLinesLeftRight, 3), Heading(0.65, kLinesLeftRight, 3),
                            Heading(1.5, kLinesLeftRight, 3), Heading(0.7, kLinesLeftRight, 3),
                            Heading(0.7, kLinesLeftRight, 3)});
    PrintHeadingRow(kHeadingSmaller,
                    {QStringLiteral("From"), QStringLiteral("(Rain)"), QStringLiteral("(Fair)"),
                     QStringLiteral("(Rain)"), QStringLiteral("(Fair)"), QStringLiteral("Total"),
                     QStringLiteral("for Rain Rate of"), QStringLiteral("Electric"),
                     QStringLiteral("Magnetic")});
    const QString rainAtAltitude =
        IsMetric() ? QStringLiteral("%1 mm/h at %2 m Level")
                         .arg(FixedText(scenario.RainRate, 2),
                              QString::fromStdString(FormatGrouped(scenario.Altitude)))
                   : QStringLiteral("%1 in/hr at %2ft Level")
                         .arg(FixedText(MillimetresToInches(scenario.RainRate), 2),
                              QString::fromStdString(FormatGrouped(MetresToFeet(scenario.Altitude))));
    PrintHeadingRow(kHeadingSmaller,
                    {QStringLiteral("Reference"), QStringLiteral("L50"), QStringLiteral("L50"),
                     QStringLiteral("L50"), QStringLiteral("L50"), QStringLiteral("Rain"),
                     rainAtAltitude, QStringLiteral("Field"), QStringLiteral("Field")});
    PrintHeadingRow(kUnitRowSmaller,
                    {InParentheses(Project().LengthUnit()), QStringLiteral("(dba)"),
                     QStringLiteral("(dba)"), QStringLiteral("(dbuv/m)"),
                     QStringLiteral("(dbuv/m)"), QStringLiteral("(dbuv/m)"),
                     QStringLiteral("(ppb)"), QStringLiteral("(kv/m)"), QStringLiteral("(gauss)")});

    DefineCells(leftEdge_, {DataCell(0.7, TJustify::Right, 3), DataCell(0.7, TJustify::Right, 3),
                            DataCell(0.7, TJustify::Right, 3), DataCell(0.7, TJustify::Right, 3),
                            DataCell(0.7, TJustify::Right, 3), DataCell(0.65, TJustify::Right, 3),
                            DataCell(1.5, TJustify::Centre, 3), DataCell(0.7, TJustify::Right, 3),
                            DataCell(0.7, TJustify::Right, 3)});
    canvas.SetBold(false);
}

void TReptBPA::PrintProfileRow(const TCalcResult& result) {
    PushSmallerFont(kProfileRowSmaller);
    PrintRow({FixedText(result.Dist, 2), FixedText(result.AnRainL50, 1),
              FixedText(result.AnFairL50, 1), FixedText(result.RiRain, 1),
              FixedText(result.RiFair, 1), FixedText(result.TviRain, 1), FixedText(result.Ozone, 6),
              FixedText(result.EMax, 3), FixedText(result.BMax, 5)});
    PopSmallerFont();
}

// A row whose baseline would lie below the section bottom starts a new page
// under a repeated heading.
void TReptBPA::PrintProfileTable() {
    TPageCanvas& canvas = Canvas();
    const TScenario& scenario = Scenario();
    if (PrintCalcError(scenario)) return;
    PrintProfileHeading();
    for (const TCalcResult& result : scenario.Results) {
        if (canvas.CursorY() > canvas.SectionBottom()) {
            canvas.NewPage();
            PrintProfileHeading();
        }
        PrintProfileRow(result);
    }
}

} // namespace corvalt
