#include "reports/ReptBPA.h"

#include "model/Project.h"
#include "model/Units.h"
#include "reports/ReportFormat.h"

#include <algorithm>
#include <string>

namespace corvalt {
namespace {

constexpr double kLeftEdge = 0.75;          // in
constexpr double kRightMargin = 0.5;        // right edge = page width − this
constexpr double kBodyTop = 1.75;           // baseline of the first body line
constexpr double kBodyBottomMargin = 1.0;   // section bottom = page height − this
constexpr double kFooterBottomMargin = 0.6; // footer's section bottom = page height − this

constexpr int kLeftRightTop = BoxLeft | BoxRight | BoxTop;
constexpr int kLeftRight = BoxLeft | BoxRight;
constexpr int kLeftRightBottom = BoxLeft | BoxRight | BoxBottom;

// Heading rows print in the current font made smaller by these points.
constexpr double kHeadingSmaller = 2;
constexpr double kUnitRowSmaller = 3;
constexpr double kProfileRowSmaller = 2;
constexpr double kSiteParameterSmaller = 2;

const QString kTahoma = QStringLiteral("Tahoma");
const QString kArial = QStringLiteral("Arial");

TCellSpec Heading(double width, int lines, int margin = 0) {
    return {width, TJustify::Centre, margin, lines, 0};
}

TCellSpec Data(double width, TJustify justify, int margin) {
    return {width, justify, margin, BoxAll, 0};
}

TCellSpec Plain(double width, TJustify justify) {
    return {width, justify, 3, 0, 0};
}

QString Number(double value, int decimals) {
    return QString::fromStdString(FormatFixed(value, decimals));
}

QString Number(std::optional<float> value, int decimals) {
    return QString::fromStdString(FormatFixed(value, decimals));
}

QString Latin(const char* text) {
    return QString::fromLatin1(text);
}

QString InParentheses(const char* unit) {
    return QStringLiteral("(%1)").arg(Latin(unit));
}

} // namespace

TReptBPA::TReptBPA(TEmfProject& project, TScenario& scenario) : TReport(project, &scenario) {}

void TReptBPA::Prepare(TPageCanvas& canvas) {
    leftEdge_ = kLeftEdge;
    rightEdge_ = canvas.PageWidth() - kRightMargin;
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
    canvas.PrintTextLine(ReportText(Project().Title));
    canvas.PrintTextLine(ReportText(Scenario().Title));
    // The body starts at kBodyTop, or on the line below the titles when they
    // reach further down, so that it never prints over them.
    const double bodyTop = std::max(kBodyTop, canvas.CursorY());

    PrintFooter();
    canvas.SetSectionBottom(canvas.PageHeight() - kBodyBottomMargin);
    canvas.SetCursorY(bodyTop);
    canvas.SelectFont(kTahoma, 12);
    canvas.KeepLineTop();
    canvas.MarkTopOfPage();
    canvas.GoHome();
}

void TReptBPA::PrintFooter() {
    if (!StartFooterOnThisPage()) return;
    TPageCanvas& canvas = Canvas();
    canvas.PushFont();
    canvas.SelectFont(kArial, 8);
    canvas.KeepLineTop();
    canvas.SetSectionBottom(canvas.PageHeight() - kFooterBottomMargin);
    canvas.PrintOnLastLine(QStringLiteral("Corvalt   Date ") + ShortDate(Today()), TJustify::Left);
    canvas.PrintOnLastLine(ReportText(Scenario().TabTitle), TJustify::Centre);
    canvas.PrintOnLastLine(QStringLiteral("Page %1 ").arg(canvas.PageNumber()), TJustify::Right);
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
}

// Four lines of two groups of label, value and unit, without boxes, in the
// body font made 2 points smaller so that the labels fit their cells. The wind
// velocity is printed in the unit its label names (MPH or km/H).
void TReptBPA::PrintSiteParameters() {
    TPageCanvas& canvas = Canvas();
    const TEmfProject& project = Project();
    const TScenario& scenario = Scenario();
    canvas.SetBold(false);
    PushSmallerFont(kSiteParameterSmaller);
    DefineCells(leftEdge_, {Plain(2.1, TJustify::Right), Plain(0.6, TJustify::Right),
                            Plain(0.4, TJustify::Left), Plain(1.5, TJustify::Right),
                            Plain(0.6, TJustify::Right), Plain(0.4, TJustify::Left),
                            Plain(0.55, TJustify::Right), Plain(0.5, TJustify::Right),
                            Plain(0.4, TJustify::Left)});
    const QString length = Latin(project.LengthUnit());
    const QString megahertz = QStringLiteral("MHz");
    const auto printLine = [&](const QStringList& left, const QStringList& right) {
        canvas.PrintText(QLatin1Char('\t') + left.join(QLatin1Char('\t')));
        PrintRow(right);
    };
    printLine({QStringLiteral("Audio Noise Microphone Height"),
               Number(scenario.DisplayMicrophoneHeight(), 2), length},
              {QStringLiteral("Radio Antenna Height"),
               Number(scenario.DisplayRadioAntennaHeight(), 2), length, QStringLiteral("Frequency"),
               Number(scenario.SiteRadioFrequency(), 2), megahertz});
    printLine({QStringLiteral("Altitude"), Number(scenario.DisplayAltitude(), 2), length},
              {QStringLiteral("TV Antenna Height"), Number(scenario.DisplayTvAntennaHeight(), 2),
               length, QStringLiteral("Frequency"), Number(scenario.SiteTvFrequency(), 2),
               megahertz});
    printLine({QStringLiteral("E-Field Transducer Height"),
               Number(scenario.DisplayEFieldHeight(), 2), length},
              {QStringLiteral("Wind Velocity"), Number(scenario.DisplayWindVelocity(), 2),
               Latin(project.SpeedUnit())});
    printLine({QStringLiteral("B-Field Transducer Height"),
               Number(scenario.DisplayBFieldHeight(), 2), length},
              {QStringLiteral("Ground Conductivity"), Number(scenario.SiteGroundConductivity(), 2),
               QStringLiteral("mmhos/m")});
    PopSmallerFont();
}

// ---- Conductor table --------------------------------------------------------

void TReptBPA::PrintConductorHeading() {
    TPageCanvas& canvas = Canvas();
    const TEmfProject& project = Project();
    DefineCells(leftEdge_, {Heading(1.0, kLeftRightTop), Heading(0.7, kLeftRightTop),
                            Heading(0.6, kLeftRightTop), Heading(1.55, kLeftRightTop),
                            Heading(0.6, kLeftRightTop), Heading(0.65, kLeftRightTop),
                            Heading(0.65, kLeftRightTop), Heading(0.65, kLeftRightTop),
                            Heading(0.65, kLeftRightTop)});
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
                {Heading(1.0, kLeftRight), Heading(0.7, kLeftRight), Heading(0.6, kLeftRight),
                 Heading(0.35, kLeftRight), Heading(0.65, kLeftRight), Heading(0.55, kLeftRight),
                 Heading(0.6, kLeftRight), Heading(0.65, kLeftRight), Heading(0.65, kLeftRight),
                 Heading(0.65, kLeftRight), Heading(0.65, kLeftRight)});
    // The three cells under "SubConductors" get a top line: the line under it.
    PushSmallerFont(kHeadingSmaller);
    canvas.PrintText(QStringLiteral("\tId\tCenter\tHeight"));
    for (const char* text : {"# of", "Diameter", "Spacing"}) {
        canvas.NextTab(TTabOverrides{.Top = 1});
        canvas.PrintText(Latin(text));
    }
    canvas.PrintTextLine(QStringLiteral("\tVoltage\tAngle\tCurrent\tGradient\tLosses"));
    PopSmallerFont();

    DefineCells(leftEdge_, {Heading(1.0, kLeftRightBottom), Heading(0.7, kLeftRightBottom),
                            Heading(0.6, kLeftRightBottom), Heading(0.35, kLeftRightBottom),
                            Heading(0.65, kLeftRightBottom), Heading(0.55, kLeftRightBottom),
                            Heading(0.6, kLeftRightBottom), Heading(0.65, kLeftRightBottom),
                            Heading(0.65, kLeftRightBottom), Heading(0.65, kLeftRightBottom),
                            Heading(0.65, kLeftRightBottom)});
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
                                      QStringLiteral("(kW/mi)")});
}

// One row per conductor in the cross section's order, in the current font. The
// corona loss is computed per kilometre and printed per mile, the unit of its
// heading "(kW/mi)", in both measurement systems.
void TReptBPA::PrintConductorTable() {
    TPageCanvas& canvas = Canvas();
    canvas.SetBold(false);
    SelectTablePen();
    PrintConductorHeading();
    DefineCells(leftEdge_, {Data(1.0, TJustify::Left, 3), Data(0.7, TJustify::Right, 3),
                            Data(0.6, TJustify::Right, 3), Data(0.35, TJustify::Centre, 0),
                            Data(0.65, TJustify::Right, 3), Data(0.55, TJustify::Right, 3),
                            Data(0.6, TJustify::Right, 3), Data(0.65, TJustify::Right, 3),
                            Data(0.65, TJustify::Right, 3), Data(0.65, TJustify::Right, 3),
                            Data(0.65, TJustify::Right, 3)});
    canvas.SetBold(false);
    for (const TConductor* conductor : Scenario().Conductors) {
        const TConductorCalc& calc = conductor->Calc;
        const std::optional<float> lossPerMile =
            calc.CoronaLoss ? std::optional<float>(PerKilometreToPerMile(*calc.CoronaLoss))
                            : std::nullopt;
        PrintRow({ReportText(conductor->Id), Number(conductor->DisplayHorizDistance(), 2),
                  Number(conductor->DisplayHeight(), 2), QString::number(conductor->SubCondCount),
                  Number(conductor->DisplayDiameter(), 2),
                  Number(conductor->DisplaySubSpacing(), 2), Number(conductor->MaxVoltage, 1),
                  Number(conductor->PhaseAngle, 0), Number(conductor->DisplayMcr(), 0),
                  Number(calc.MaxGradient, 2), Number(lossPerMile, 3)});
    }
}

// ---- Profile table ----------------------------------------------------------

// The rain rate and the altitude of the heading are printed in the units the
// heading names (in/hr and ft) in both measurement systems.
void TReptBPA::PrintProfileHeading() {
    TPageCanvas& canvas = Canvas();
    const TScenario& scenario = Scenario();
    canvas.SetBold(false);
    SelectTablePen();
    DefineCells(leftEdge_,
                {Heading(0.7, kLeftRightTop, 3), Heading(1.4, BoxAll, 3), Heading(1.4, BoxAll, 3),
                 Heading(0.65, kLeftRightTop, 3), Heading(1.5, kLeftRightTop, 3),
                 Heading(0.7, kLeftRightTop, 3), Heading(0.7, kLeftRightTop, 3)});
    PrintHeadingRow(kHeadingSmaller, {QStringLiteral("Lateral Dist"),
                                      QStringLiteral("Audible Noise"),
                                      QStringLiteral("Radio Interference"),
                                      QStringLiteral("TVI"),
                                      QStringLiteral("Ozone"),
                                      {},
                                      {}});

    DefineCells(leftEdge_, {Heading(0.7, kLeftRight, 0), Heading(0.7, kLeftRight, 3),
                            Heading(0.7, kLeftRight, 3), Heading(0.7, kLeftRight, 3),
                            Heading(0.7, kLeftRight, 3), Heading(0.65, kLeftRight, 3),
                            Heading(1.5, kLeftRight, 3), Heading(0.7, kLeftRight, 3),
                            Heading(0.7, kLeftRight, 3)});
    PrintHeadingRow(kHeadingSmaller,
                    {QStringLiteral("From"), QStringLiteral("(Rain)"), QStringLiteral("(Fair)"),
                     QStringLiteral("(Rain)"), QStringLiteral("(Fair)"), QStringLiteral("Total"),
                     QStringLiteral("for Rain Rate of"), QStringLiteral("Electric"),
                     QStringLiteral("Magnetic")});
    const QString rainAtAltitude =
        QStringLiteral("%1 in/hr at %2ft Level")
            .arg(Number(MillimetresToInches(scenario.RainRate), 2),
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

    DefineCells(leftEdge_, {Data(0.7, TJustify::Right, 3), Data(0.7, TJustify::Right, 3),
                            Data(0.7, TJustify::Right, 3), Data(0.7, TJustify::Right, 3),
                            Data(0.7, TJustify::Right, 3), Data(0.65, TJustify::Right, 3),
                            Data(1.5, TJustify::Centre, 3), Data(0.7, TJustify::Right, 3),
                            Data(0.7, TJustify::Right, 3)});
    canvas.SetBold(false);
}

void TReptBPA::PrintProfileRow(const TCalcResult& result) {
    PushSmallerFont(kProfileRowSmaller);
    PrintRow({Number(result.Dist, 2), Number(result.AnRainL50, 1), Number(result.AnFairL50, 1),
              Number(result.RiRain, 1), Number(result.RiFair, 1), Number(result.TviRain, 1),
              Number(result.Ozone, 6), Number(result.EMax, 3), Number(result.BMax, 5)});
    PopSmallerFont();
}

// A row whose baseline would lie below the section bottom starts a new page
// under a repeated heading.
void TReptBPA::PrintProfileTable() {
    TPageCanvas& canvas = Canvas();
    const TScenario& scenario = Scenario();
    if (!scenario.CalcError.empty()) {
        canvas.SetBold(true);
        PrintWrapped(ReportText(scenario.CalcError));
        canvas.SetBold(false);
        return;
    }
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
