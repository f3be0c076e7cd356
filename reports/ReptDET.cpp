#include "reports/ReptDET.h"

#include "model/Project.h"
#include "reports/ProfilePlotPage.h"
#include "reports/ReportFormat.h"

#include <algorithm>
#include <string>
#include <utility>

namespace corvalt {
namespace {

constexpr double kBodyTop = 2.5;           // baseline of the first body line
constexpr double kNewPageBlockDrop = 0.02; // first block of a new page starts this lower
constexpr int kHeadingShade = 5;
constexpr int kHeaderTitleLines = 2; // the header's titles wrap onto at most this many lines

// Heading cell of the conductor table and the profile blocks: centred, shaded.
TCellSpec Heading(double width, int lines, int margin = 0) {
    return {width, TJustify::Centre, margin, lines, kHeadingShade};
}

std::string Bold(const std::string& text) {
    return kMarkupBoldOn + text + kMarkupBoldOff;
}

} // namespace

TReptDET::TReptDET(TEmfProject& project, TScenario& scenario, std::optional<TPlotOptions> plot)
    : TReport(project, &scenario), plot_(std::move(plot)) {}

void TReptDET::Prepare(TPageCanvas& canvas) {
    leftEdge_ = kReportLeftEdge;
    rightEdge_ = canvas.PageWidth() - kReportRightMargin;
    skipNextFooter_ = false;
}

// ---- Header and footer ------------------------------------------------------

void TReptDET::PrintHeader() {
    TPageCanvas& canvas = Canvas();
    canvas.SetSectionTop(0.5);
    canvas.SetSectionLeft(leftEdge_);
    canvas.SetSectionRight(rightEdge_);
    canvas.SetSectionTop(0.75);
    PrintHeaderTitles();
    // The body starts below titles that took more lines than one.
    const double bodyTop = std::max(kBodyTop, Canvas().CursorY());
    PrintFooter();
    StartBody(bodyTop, false);
}

void TReptDET::PrintHeaderTitles() {
    TPageCanvas& canvas = Canvas();
    const TEmfProject& project = Project();
    const TScenario& scenario = Scenario();
    canvas.SelectFont(kArial, 16);
    canvas.KeepLineTop();
    canvas.SetUnderline(true);
    canvas.PrintOnFirstLine(QStringLiteral("Electric and Magnetic Field Effects"),
                            TJustify::Centre);
    canvas.NewLine();
    canvas.NewLine();
    canvas.SetUnderline(false);
    PrintFittedLines(ReportText(project.Title), canvas.SectionLeft(),
                     canvas.SectionRight() - canvas.SectionLeft(), kHeaderTitleLines);

    canvas.SelectFont(kTahoma, 8);
    canvas.KeepLineTop();
    canvas.NewLine();
    PrintMarkupLine("     Units: " + Bold(project.UnitsName()) + "   Physical System: " +
                    Bold(FormatInteger(scenario.ConductorCount())) + " Conductors (" +
                    Bold(FormatInteger(scenario.EnergizedCount())) + " Energized Phases)");
    const std::string length = project.LengthUnit();
    PrintMarkupLine("     E-Field Transducer Height " +
                    Bold(FormatFixed(scenario.DisplayEFieldHeight(), 2)) + " " + length +
                    "     B-Field Transducer Height " +
                    Bold(FormatFixed(scenario.DisplayBFieldHeight(), 2)) + " " + length);
    canvas.NewLine();

    // "CrossSection: " and the titles in bold. The titles are printed as text
    // rather than through the mark-up, so that a ";" in a title prints as typed.
    canvas.SelectFont(kArial, 14);
    canvas.KeepLineTop();
    QString title = ReportText(scenario.TabTitle + "- " + scenario.Title);
    if (canvas.PageNumber() > 1) title += QStringLiteral(" (continued)");
    PrintLabelledTitle(canvas.SectionLeft(), QStringLiteral("CrossSection: "), title,
                       kHeaderTitleLines);
}

void TReptDET::PrintFooter() {
    if (skipNextFooter_) {
        skipNextFooter_ = false;
        return;
    }
    if (!StartFooterOnThisPage()) return;
    PrintStandardFooter(kArial, false, ReportText(Scenario().Title));
}

// ---- Body -------------------------------------------------------------------

void TReptDET::PrintBody() {
    skipNextFooter_ = true;
    PrintConductorTable();
    Canvas().NewLine();
    Canvas().NewLine();
    PrintProfileTable();
    if (plot_) PrintProfilePlotPage(Canvas(), Scenario(), *plot_);
}

void TReptDET::PrintConductorTable() {
    PrintConductorHeading();
    PrintConductorRows();
}

void TReptDET::PrintConductorHeading() {
    PrintConductorTableHeading({leftEdge_, 1.0, 0.6, 0.6});
}

// One row per conductor in the cross section's order. The cells are filled
// one by one (not by splitting a formatted line at ";"), so a ";" in a circuit
// name or an id stays in its cell. A table longer than the page goes on on the
// next under its heading, rather than over the footer.
void TReptDET::PrintConductorRows() {
    for (const TConductor* conductor : Scenario().Conductors) {
        std::vector<TCellText> row = ConductorRow(*conductor);
        row.insert(row.begin(), TCellText{ReportText(conductor->Circuit->Name), false, true});
        PrintTableRow(row, 0, [this] { PrintConductorHeading(); });
    }
}

// ---- Profile ----------------------------------------------------------------

void TReptDET::PrintBlockHeading(double left) {
    TPageCanvas& canvas = Canvas();
    SelectTablePen();
    canvas.SelectFont(kTahoma, 8);
    canvas.KeepLineTop();
    const std::pair<int, std::string> rows[] = {
        {kLinesLeftRightTop, ";Dist From;Electric;Magnetic"},
        {kLinesLeftRight, ";RowLeft;Field;Field"},
        {kLinesLeftRightBottom, std::string(";(") + Project().LengthUnit() + ");(kV/m);(mG)"},
    };
    for (const auto& [lines, text] : rows) {
        DefineCells(left, {Heading(0.6, lines), Heading(0.5, lines, 3), Heading(0.6, lines, 3)});
        PrintMarkupLine(text);
    }
    DefineCells(left, {DataCell(0.6, TJustify::Right, 0), DataCell(0.5, TJustify::Right, 3),
                       DataCell(0.6, TJustify::Right, 3)});
    canvas.SelectFont(kTahoma, 10);
    canvas.KeepLineTop();
}

void TReptDET::PrintProfileRow(const TCalcResult& result) {
    const std::string values[] = {FormatFixed(result.Dist, 2), FormatFixed(result.EMax, 2),
                                  FormatMilligauss(result.BMax, 2)};
    const char separator = result.IsMarked ? kMarkupShadedTab : kMarkupTab;
    std::string line = result.IsMarked ? std::string(1, kMarkupBoldOn) : std::string();
    for (const std::string& value : values)
        line += separator + value;
    PrintMarkupLine(line);
}

// The profile runs down a block until a row's baseline lies past the section
// bottom; that row starts the next block to the right, at the top of the first.
// After the fourth block a new page starts with block 1.
void TReptDET::PrintProfileTable() {
    TPageCanvas& canvas = Canvas();
    const TScenario& scenario = Scenario();
    if (!scenario.CalcError.empty()) {
        canvas.SelectFont(kTahoma, 10);
        canvas.KeepLineTop();
        PrintCalcError(scenario);
        return;
    }
    double top = canvas.CursorY();
    int block = 1;
    PrintBlockHeading(leftEdge_);
    for (const TCalcResult& result : scenario.Results) {
        if (canvas.CursorY() > canvas.SectionBottom()) {
            ++block;
            canvas.SetCursorY(top);
            if (block > kBlocksPerPage) {
                canvas.NewPage();
                block = 1;
                top = canvas.CursorY();
                canvas.SetCursorY(canvas.CursorY() + kNewPageBlockDrop);
            }
            PrintBlockHeading(leftEdge_ + kBlockStep * (block - 1));
        }
        PrintProfileRow(result);
    }
}

} // namespace corvalt
