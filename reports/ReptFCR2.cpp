#include "reports/ReptFCR2.h"

#include "compute/Profile.h"
#include "limits/ComplianceStatement.h"
#include "model/TextHelpers.h"
#include "prefs/Libraries.h"
#include "reports/PhaseDrawing.h"
#include "reports/ReportFormat.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <vector>

namespace corvalt {
namespace {

constexpr int kShade = 5;
constexpr int kMargin = 3;

// Page geometry, inches.
constexpr double kHeaderTop = 0.5;
constexpr double kSectionBottomMargin = 0.9; // section bottom = page height - this

// Agent block.
constexpr double kBlockIndent = 0.2; // first column from the left edge
constexpr double kLeftColumnWidth = 3.5;
constexpr double kRightColumnX = 3.75; // from the first column
constexpr double kRightColumnWidth = 3.15;
constexpr double kRightColumnRaise = 0.075; // right column starts this far higher
constexpr double kFieldFontSize = 10;
constexpr int kFieldLines = 2; // lines one line of a field may take
constexpr double kSignatureGap = 0.75; // below the longer column
constexpr double kSignatureDrop = 0.5;
constexpr double kSignatureWidth = 2.5;
constexpr double kAgentSignatureX = 1.0;    // from the first column
constexpr double kEngineerSignatureX = 4.4; // from the first column

// Tables.
constexpr double kTableIndent = 0.4; // the two summary tables from the left edge
constexpr double kSubtitleIndent = 0.25;
constexpr double kHeadingDrop = 0.06;
constexpr double kRowRoom = 0.2; // a table row needs this much room
constexpr double kSubstationRowRoom = 0.6;
constexpr double kSubstationsRoom = 0.7;
constexpr double kBlockRoom = 1.4; // a circuit table or the points of interest
constexpr double kConductorTableX = 1.25;
constexpr double kPointIndent = 0.5;
constexpr double kPointRowRoom = 0.6;
constexpr int kTitleLines = 3; // a details heading's title wraps onto at most this many lines

// Centred shaded heading cells of one row, of widths with the given box lines.
std::vector<TCellSpec> Headings(std::initializer_list<std::pair<double, int>> cells) {
    std::vector<TCellSpec> specs;
    for (const auto& [width, lines] : cells)
        specs.push_back({width, TJustify::Centre, kMargin, lines, kShade});
    return specs;
}

// The lines of an address-like text: a ";" is a line break.
QStringList TextLines(const std::string& text) {
    QStringList lines;
    const int count = CountFields(text, ';');
    for (int i = 1; i <= count; ++i)
        lines << ReportText(GetField(text, i, ';'));
    return lines;
}

} // namespace

// One value cell pair (value, distance) of a transmission-line row.
struct TReptFCR2::TMaxCell {
    enum TState { NotMaximum, Maximum, Unknown };
    TState State = NotMaximum;
    QString Value, Dist;
};

TReptFCR2::TReptFCR2(TEmfProject& project, TScenario* scenario, int crossSectionsToPrint,
                     std::optional<TFieldLimits> limits)
    : TReport(project, scenario), crossSectionsToPrint_(crossSectionsToPrint),
      limits_(std::move(limits)) {}

void TReptFCR2::Prepare(TPageCanvas& canvas) {
    left_ = kReportLeftEdge;
    right_ = canvas.PageWidth() - kReportRightMargin;
    centre_ = left_ + (right_ - left_) / 2;
}

// ---- Header and footer ------------------------------------------------------

// The header starts at the section top on every page (GoHome), so that it sits
// at the same place on page 1 and on the pages that follow.
void TReptFCR2::PrintHeader() {
    TPageCanvas& canvas = Canvas();
    canvas.PushFont();
    canvas.SetSectionTop(kHeaderTop);
    canvas.SetSectionLeft(left_);
    canvas.SetSectionRight(right_);
    canvas.GoHome();
    canvas.SelectFont(kArial, 16);
    canvas.KeepLineTop();
    canvas.SetUnderline(true);
    canvas.SetItalic(true);
    canvas.PrintCentredAt(QStringLiteral("Florida Department of Environmental Protection"),
                          centre_);
    const double agencyBaseline = canvas.CursorY();
    const double agencyDescent = canvas.TextBoxMetrics().Descent;
    canvas.NewLine();
    canvas.SelectFont(kArial, 8);
    canvas.KeepLineTop();
    // The address comes 0.02 in closer to the agency's name, as far as their
    // words stay clear of each other.
    canvas.SetCursorY(std::max(canvas.CursorY() - 0.02,
                               agencyBaseline + agencyDescent + canvas.TextBoxMetrics().Ascent));
    canvas.PrintCentredAt(QStringLiteral("Twin Tower Office Bldg  *  2600 Blair Stone Road  *  "
                                         "Tallahassee, Florida  32399-2400"),
                          centre_);
    canvas.NewLine();
    PrintFooter();
    canvas.SetSectionBottom(canvas.PageHeight() - kSectionBottomMargin);
    canvas.PopFont();
    // The body's first line has its top (not its baseline) at the body top, so
    // that its larger font stays clear of the agency's address.
    const double bodyTop = canvas.PageNumber() == 1 ? kFirstPageBodyTop : kLaterPageBodyTop;
    canvas.SetCursorY(bodyTop);
    canvas.SetCursorY(bodyTop + canvas.CursorY() - canvas.LineTop());
    canvas.MarkTopOfPage();
    canvas.GoHome();
    if (continuedOf_ != nullptr) {
        canvas.SelectFont(kTahoma, 10);
        canvas.KeepLineTop();
        PrintSectionHeading(continuedLabel_, *continuedOf_, true);
    }
}

void TReptFCR2::PrintFooter() {
    if (!StartFooterOnThisPage()) return;
    PrintStandardFooter(kTahoma, true, FooterTitle());
}

QString TReptFCR2::FooterTitle() const {
    return QFileInfo(QFile::decodeName(Project().FileName.c_str())).fileName();
}

// ---- Body -------------------------------------------------------------------

void TReptFCR2::PrintBody() {
    TPageCanvas& canvas = Canvas();
    details_.clear();
    PrintTitles();
    PrintAgentBlock();
    canvas.NewLine();
    canvas.NewLine();

    canvas.SelectFont(kTahoma, 12);
    canvas.KeepLineTop();
    canvas.PrintLeftAt(QStringLiteral("Field Strength Information"), left_);
    canvas.NewLine();
    canvas.NewLine();
    canvas.SelectFont(kTahoma, 10);
    canvas.KeepLineTop();
    canvas.PrintLeftAt(QStringLiteral("Transmission Lines"), left_ + kSubtitleIndent);
    canvas.NewLine();
    canvas.NewLine();
    PrintTransmissionTable();
    canvas.NewLine();

    if (RemainingHeight() < kSubstationsRoom) canvas.NewPage();
    canvas.PrintLeftAt(QStringLiteral("Substations"), left_ + kSubtitleIndent);
    canvas.NewLine();
    canvas.NewLine();
    PrintSubstationTable();

    for (const TScenario* scenario : details_)
        PrintDetails(*scenario);
    details_.clear();
    if (!limits_) return;
    canvas.NewPage();
    for (const TScenario& scenario : Project().Scenarios)
        PrintLimitsStatement(scenario);
}

void TReptFCR2::PrintTitles() {
    TPageCanvas& canvas = Canvas();
    canvas.SelectFont(kTahoma, 16);
    canvas.KeepLineTop();
    canvas.PrintCentredAt(QStringLiteral("Report on Compliance with"), centre_);
    canvas.NewLine();
    canvas.PrintCentredAt(QStringLiteral("Electric and Magnetic Field (EMF) Standards"), centre_);
    canvas.NewLine();
    canvas.NewLine();
    canvas.SelectFont(kTahoma, 12);
    canvas.KeepLineTop();
    canvas.PrintLeftAt(QStringLiteral("Agent/Facility Information"), left_);
    canvas.NewLine();
    canvas.NewLine();
}

// ---- Agent block ------------------------------------------------------------

// Two columns of field blocks. The signature lines go below the longer column,
// so that a long engineer's address never runs into them.
void TReptFCR2::PrintAgentBlock() {
    TPageCanvas& canvas = Canvas();
    const TEmfProject& project = Project();
    const double x1 = left_ + kBlockIndent;
    canvas.SetCursorY(canvas.CursorY() + 0.1);
    const double y0 = canvas.CursorY();
    PrintFieldBlock(TextLines(project.Title),
                    QStringLiteral("Name of Transmission Line/InterestPoint"), 1, kLeftColumnWidth,
                    x1);
    PrintFieldBlock(TextLines(project.FacilityName + ";" + project.FacilityAddress),
                    QStringLiteral("Name and Address of Facilty (Utility) Owner"), 3,
                    kLeftColumnWidth, x1);
    PrintFieldBlock(TextLines(project.AgentName + ";" + project.AgentAddress),
                    QStringLiteral("Name and Address of Authorized Agent"), 3, kLeftColumnWidth,
                    x1);
    const double leftEnd = canvas.CursorY();

    canvas.SetCursorY(y0 - kRightColumnRaise);
    PrintFieldBlock({LongDate(DateOfDayNumber(project.ConstructionDate))},
                    QStringLiteral("Date of Proposed Construction"), 1, kRightColumnWidth,
                    x1 + kRightColumnX);
    PrintFieldBlock(TextLines(project.PeName + ";" + project.PeAddress),
                    QStringLiteral("Name and Address of Professional Engineer"), 3,
                    kRightColumnWidth, x1 + kRightColumnX);
    const double y1 = std::max(leftEnd, canvas.CursorY()) + kSignatureGap;

    canvas.SetCursorY(y1);
    PrintSignatureLine(QStringLiteral("Signature of Authorized Agent"), kSignatureDrop,
                       kSignatureWidth, x1 + kAgentSignatureX);
    canvas.SetCursorY(y1);
    PrintSignatureLine(QStringLiteral("Signature and Seal of Professional Engineer"),
                       kSignatureDrop, kSignatureWidth, x1 + kEngineerSignatureX);
}

// The lines in a shaded cell with a line on its left and under its last line,
// at least minLines of them, the first bold. A line wider than the cell goes
// on over a second line; only what does not fit on two is set smaller (down
// to 6 points) and at last cut. The caption below.
void TReptFCR2::PrintFieldBlock(const QStringList& lines, const QString& caption, int minLines,
                                double width, double x) {
    TPageCanvas& canvas = Canvas();
    canvas.SelectFont(kTahoma, kFieldFontSize);
    canvas.KeepLineTop();
    const TCellSpec cell{width, TJustify::Left, kMargin, BoxLeft, kShade};
    struct TShownLine {
        QString Text;
        TFontSpec Font;
    };
    std::vector<TShownLine> shown;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        TFontSpec font{kTahoma, kFieldFontSize, i == 0};
        const TFittedText fitted =
            canvas.FitText(font, lines[i], cell.InnerWidth(), TFitRule{kFieldLines, 6});
        font.Size = fitted.Size;
        for (const QString& line : fitted.Lines)
            shown.push_back({line, font});
    }
    while (static_cast<int>(shown.size()) < minLines)
        shown.push_back({QString(), TFontSpec{kTahoma, kFieldFontSize, shown.empty()}});
    DefineCells(x, {cell});
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (i + 1 == shown.size())
            DefineCells(x, {TCellSpec{cell.Width, cell.Justify, cell.Margin, BoxLeft | BoxBottom,
                                      cell.Shade}});
        canvas.SelectFont(kTahoma, shown[i].Font.Size);
        canvas.KeepLineTop();
        canvas.SetBold(shown[i].Font.Bold);
        canvas.PrintTextLine(QStringLiteral("\t") + shown[i].Text);
    }
    canvas.SetCursorY(canvas.CursorY() - 0.02);
    canvas.SelectFont(kTahoma, 7);
    canvas.KeepLineTop();
    DefineCells(x, {TCellSpec{width, TJustify::Left, kMargin, 0, 0}});
    canvas.PrintTextLine(QStringLiteral("\t  ") + caption);
    canvas.SetCursorY(canvas.CursorY() + 0.1);
}

// The caption right-justified on the line of a signature, and a shorter line
// for the date below its right end.
void TReptFCR2::PrintSignatureLine(const QString& caption, double drop, double width, double x) {
    TPageCanvas& canvas = Canvas();
    canvas.ClearTabs();
    canvas.SetCursorY(canvas.CursorY() + drop);
    DefineCells(x, {TCellSpec{width, TJustify::Right, kMargin, BoxTop, 0}});
    canvas.PrintTextLine(QStringLiteral("\t  ") + caption);
    canvas.SetCursorY(canvas.CursorY() + 0.2);
    DefineCells(x + width - 1, {TCellSpec{1.0, TJustify::Right, kMargin, BoxTop, 0}});
    canvas.PrintTextLine(QStringLiteral("\t  Date"));
    canvas.SetCursorY(canvas.CursorY() + 0.1);
}

// ---- Transmission lines -----------------------------------------------------

void TReptFCR2::PrintTransmissionHeading() {
    TPageCanvas& canvas = Canvas();
    const double x0 = left_ + kTableIndent;
    const QString length = QString::fromLatin1(Project().LengthUnit());
    SelectTablePen();
    canvas.SetCursorY(canvas.CursorY() + kHeadingDrop);
    canvas.SelectFont(kTahoma, 7);
    canvas.KeepLineTop();
    DefineCells(x0,
                Headings({{1.4, kLinesLeftRightTop}, {0.75, kLinesLeftRightTop}, {4.5, BoxAll}}));
    canvas.PrintTextLine(
        QStringLiteral("\t\tRight-of-Way\tMaximum Calculated Fields and Distance From ROW Left"));
    DefineCells(
        x0,
        Headings({{1.4, kLinesLeftRight}, {0.75, kLinesLeftRight}, {3.0, BoxAll}, {1.5, BoxAll}}));
    PrintMarkupLine(";;(ROW)\xFD;Electric;Magnetic");
    DefineCells(x0, Headings({{1.4, kLinesLeftRight},
                              {0.75, kLinesLeftRight},
                              {1.5, BoxAll},
                              {1.5, BoxAll},
                              {1.5, BoxAll}}));
    canvas.PrintTextLine(
        QStringLiteral("\tCross Section\tWidth\tWithin ROW\tAt Edge of ROW\tAt Edge of ROW"));
    canvas.SetBold(false);
    DefineCells(x0, Headings({{1.4, kLinesLeftRightBottom},
                              {0.75, kLinesLeftRightBottom},
                              {0.75, BoxAll},
                              {0.75, BoxAll},
                              {0.75, BoxAll},
                              {0.75, BoxAll},
                              {0.75, BoxAll},
                              {0.75, BoxAll}}));
    const QString unit = QStringLiteral("(%1)").arg(length);
    PrintRow({QString(), unit, QStringLiteral("(kV/m)"), unit, QStringLiteral("(kV/m)"), unit,
              QStringLiteral("(mG)"), unit});

    std::vector<TCellSpec> data{DataCell(1.4, TJustify::Centre, kMargin)};
    for (int i = 0; i < 7; ++i)
        data.push_back(DataCell(0.75, TJustify::Centre, kMargin));
    DefineCells(x0, data);
    canvas.SelectFont(kTahoma, 10);
    canvas.KeepLineTop();
}

// A value is marked when it is the project's largest of its quantity (ties
// count). A value that could not be computed is shown as "n/a", never left
// out: its cross section might hold the maximum.
TReptFCR2::TMaxCell TReptFCR2::MaxCellOf(const TScenario& scenario, TMaxQuantity quantity) const {
    const TCalcResult* record = MaximumRecord(scenario, quantity);
    const std::optional<float> value = MaximumValue(scenario, quantity);
    if (record == nullptr || !value)
        return {TMaxCell::Unknown, QString::fromLatin1(kNotAvailable), QString()};
    if (!Project().IsProjectMaximum(quantity, *value)) return {};
    const QString text =
        quantity == TMaxQuantity::BMaxAtRowEdge ? MilligaussText(value, 1) : FixedText(value, 1);
    return {TMaxCell::Maximum, text, DistanceText(record->Dist, IsMetric())};
}

// One row per transmission-line cross section holding at least one of the
// project's three maxima (or a value that could not be computed). Those
// holding a maximum get the first details sections, the last found first; the
// others follow in project order with "All", and only when a value could not be
// computed with "Maximum Readings Only".
void TReptFCR2::PrintTransmissionTable() {
    TPageCanvas& canvas = Canvas();
    PrintTransmissionHeading();
    std::vector<const TScenario*> others;
    for (const TScenario& scenario : Project().Scenarios) {
        if (scenario.SectionType != TransmissionLine) continue;
        std::vector<TCellText> row{
            {ReportText(scenario.TabTitle), false, true},
            {DistanceText(std::fabs(static_cast<double>(scenario.DisplayRowLeft()) +
                                    static_cast<double>(scenario.DisplayRowRight())),
                          IsMetric())}};
        bool holdsMaximum = false, unknown = false;
        for (const TMaxQuantity quantity :
             {TMaxQuantity::EMaxWithinRow, TMaxQuantity::EMaxAtRowEdge,
              TMaxQuantity::BMaxAtRowEdge}) {
            const TMaxCell cell = MaxCellOf(scenario, quantity);
            holdsMaximum |= cell.State == TMaxCell::Maximum;
            unknown |= cell.State == TMaxCell::Unknown;
            row.push_back({cell.Value, cell.State != TMaxCell::NotMaximum});
            row.push_back({cell.Dist});
        }
        const bool printed = holdsMaximum || unknown;
        TRowLayout layout = LayoutRow(row);
        if (RemainingHeight() < kRowRoom + (printed ? RowExtraHeight(layout) : 0)) {
            canvas.NewPage();
            PrintTransmissionHeading();
            layout = LayoutRow(row);
        }
        if (printed) PrintRowLayout(row, layout);
        if (holdsMaximum) {
            details_.push_front(&scenario);
        } else if (crossSectionsToPrint_ == PrintAll || unknown) {
            others.push_back(&scenario);
        }
    }
    details_.insert(details_.end(), others.begin(), others.end());
}

// ---- Substations ------------------------------------------------------------

void TReptFCR2::PrintSubstationHeading() {
    TPageCanvas& canvas = Canvas();
    const double x0 = left_ + kTableIndent;
    SelectTablePen();
    canvas.SelectFont(kTahoma, 7);
    canvas.KeepLineTop();
    DefineCells(x0, Headings({{2.0, kLinesLeftRightTop}, {2.2, kLinesLeftRightTop}}));
    PrintMarkupLine(";;Maximum Calculated Fields and ");
    DefineCells(x0, Headings({{2.0, kLinesLeftRight}, {2.2, kLinesLeftRightBottom}}));
    PrintMarkupLine(";Substation;Distance from Left ROW");
    DefineCells(x0, Headings({{2.0, kLinesLeftRight},
                              {0.55, BoxAll},
                              {0.55, BoxAll},
                              {0.55, BoxAll},
                              {0.55, BoxAll}}));
    PrintMarkupLine(";Name\xFD;Electric\xFE;Distance\xFD;Magnetic\xFE;Distance");
    DefineCells(x0, Headings({{2.0, kLinesLeftRightBottom},
                              {0.55, BoxAll},
                              {0.55, BoxAll},
                              {0.55, BoxAll},
                              {0.55, BoxAll}}));
    const QString unit = QStringLiteral("(%1)").arg(QString::fromLatin1(Project().LengthUnit()));
    PrintRow({QString(), QStringLiteral("(kV/m)"), unit, QStringLiteral("(mG)"), unit});
    DefineSubstationCells();
    canvas.SelectFont(kTahoma, 10);
    canvas.KeepLineTop();
}

void TReptFCR2::DefineSubstationCells() {
    DefineCells(left_ + kTableIndent,
                {DataCell(2.0, TJustify::Centre, kMargin), DataCell(0.55, TJustify::Right, kMargin),
                 DataCell(0.55, TJustify::Right, kMargin), DataCell(0.55, TJustify::Right, kMargin),
                 DataCell(0.55, TJustify::Right, kMargin)});
}

namespace {

// The field at the ROW edge with the larger value (the right edge on a tie) and
// that edge's position from the reference line (the left edge's negative);
// "n/a" and no position when the edges have no value.
std::pair<QString, QString> EdgeField(const TScenario& scenario,
                                      std::optional<float> TCalcResult::*field, bool milligauss) {
    const TCalcResult* left = scenario.ResultAt(scenario.RowLeftResult);
    const TCalcResult* right = scenario.ResultAt(scenario.RowRightResult);
    if (left == nullptr || right == nullptr) return {QString::fromLatin1(kNotAvailable), {}};
    const bool rightEdge = LargerRowEdge(left->*field, right->*field, 0, 1) == 1;
    const std::optional<float> value = rightEdge ? right->*field : left->*field;
    if (!value) return {QString::fromLatin1(kNotAvailable), {}};
    const double position = rightEdge ? static_cast<double>(scenario.DisplayRowRight())
                                      : -static_cast<double>(scenario.DisplayRowLeft());
    return {milligauss ? MilligaussText(value, 1) : FixedText(value, 1),
            DistanceText(position, !scenario.IsEnglish())};
}

} // namespace

// Every substation gets a row and a details section.
void TReptFCR2::PrintSubstationTable() {
    TPageCanvas& canvas = Canvas();
    canvas.SetCursorY(canvas.CursorY() + kHeadingDrop);
    bool first = true;
    for (const TScenario& scenario : Project().Scenarios) {
        if (scenario.SectionType != Substation) continue;
        details_.push_back(&scenario);
        const auto [electric, electricDist] = EdgeField(scenario, &TCalcResult::EMax, false);
        const auto [magnetic, magneticDist] = EdgeField(scenario, &TCalcResult::BMax, true);
        const std::vector<TCellText> row{{ReportText(scenario.TabTitle), false, true},
                                         {electric, true},
                                         {electricDist},
                                         {magnetic, true},
                                         {magneticDist}};
        DefineSubstationCells();
        TRowLayout layout = LayoutRow(row);
        if (RemainingHeight() < kSubstationRowRoom + RowExtraHeight(layout)) {
            canvas.NewPage();
            PrintSubstationHeading();
            layout = LayoutRow(row);
        } else if (first) {
            PrintSubstationHeading();
            layout = LayoutRow(row);
        }
        first = false;
        PrintRowLayout(row, layout);
    }
    if (first) PrintNone(left_ + kTableIndent, 2.0);
}

// "None" in a plain cell where a table's rows would start.
void TReptFCR2::PrintNone(double x, double width) {
    DefineCells(x, {TCellSpec{width, TJustify::Left, kMargin, 0, 0}});
    Canvas().PrintTextLine(QStringLiteral("\tNone"));
}

// ---- Details ----------------------------------------------------------------

// Every page of a details section names its cross section: a page the
// section continues on starts with its heading and "(continued)" (printed by
// the page header).
void TReptFCR2::PrintDetails(const TScenario& scenario) {
    TPageCanvas& canvas = Canvas();
    continuedOf_ = nullptr;
    canvas.NewPage();
    canvas.MarkSection(SectionTitle(scenario));
    continuedLabel_ = QStringLiteral("Details for CrossSection: ");
    PrintSectionHeading(continuedLabel_, scenario, false);
    continuedOf_ = &scenario;
    if (PrintCalcError(scenario)) canvas.NewLine();
    PrintCircuitTables(scenario, true);
    PrintCircuitTables(scenario, false);
    PrintInterestPoints(scenario);
    TPhaseDrawing(canvas, left_, centre_).Draw(scenario);
    continuedOf_ = nullptr;
}

QString TReptFCR2::SectionTitle(const TScenario& scenario) {
    return ReportText(scenario.TabTitle + "- " + scenario.Title);
}

void TReptFCR2::PrintSectionHeading(const QString& label, const TScenario& scenario,
                                    bool continued) {
    TPageCanvas& canvas = Canvas();
    canvas.NewLine();
    canvas.SelectFont(kTahoma, 12);
    canvas.KeepLineTop();
    QString title = SectionTitle(scenario);
    if (continued) title += QStringLiteral(" (continued)");
    PrintLabelledTitle(left_, label, title, kTitleLines);
    canvas.SelectFont(kTahoma, 10);
    canvas.KeepLineTop();
    canvas.NewLine();
}

void TReptFCR2::PrintCircuitTables(const TScenario& scenario, bool newCircuits) {
    TPageCanvas& canvas = Canvas();
    const QString kind =
        newCircuits ? QStringLiteral("NEW CIRCUIT") : QStringLiteral("Existing Circuit");
    const double x = left_ + 0.2;
    for (const TCircuit& circuit : scenario.Circuits) {
        if (circuit.NewCircuit != newCircuits) continue;
        canvas.SetCursorY(canvas.CursorY() + 0.2);
        if (RemainingHeight() < kBlockRoom) canvas.NewPage();
        canvas.SetCursorY(canvas.CursorY() + 0.02);
        canvas.SelectFont(kTahoma, 10);
        canvas.KeepLineTop();
        const auto cells = [&](int lines, int shade) {
            const TCellSpec blank{0.2, TJustify::Left, kMargin, 0, 0};
            DefineCells(x, {TCellSpec{2.75, TJustify::Left, kMargin, lines, shade}, blank,
                            TCellSpec{0.75, TJustify::Left, kMargin, lines, shade}, blank,
                            TCellSpec{1.2, TJustify::Left, kMargin, lines, shade}});
        };
        cells(BoxLeft | BoxBottom, kShade);
        PrintCells(
            {{ReportText(circuit.Name), false, true},
             {},
             {QString::fromStdString(VoltageText(circuit.VoltageClass)) + QStringLiteral(" kV")},
             {},
             {kind, true}});
        canvas.SetCursorY(canvas.CursorY() - 0.02);
        canvas.SelectFont(kTahoma, 7);
        canvas.KeepLineTop();
        cells(0, 0);
        PrintMarkupLine(";Circuit Name;;Rated Voltage;;New/Existing");
        canvas.SetCursorY(canvas.CursorY() + 0.08);
        PrintConductorTable(circuit);
    }
}

// A conductor row that finds no room continues the table on a new page under
// its heading.
void TReptFCR2::PrintConductorTable(const TCircuit& circuit) {
    PrintConductorHeading();
    for (const TConductor& conductor : circuit.Conductors)
        PrintTableRow(ConductorRow(conductor), kRowRoom, [this] { PrintConductorHeading(); });
}

void TReptFCR2::PrintConductorHeading() {
    PrintConductorTableHeading({kConductorTableX, 0, 0.7, 0.55});
}

void TReptFCR2::PrintInterestPointHeading() {
    TPageCanvas& canvas = Canvas();
    const double x0 = left_ + kPointIndent;
    SelectTablePen();
    canvas.SelectFont(kTahoma, 7);
    canvas.KeepLineTop();
    DefineCells(x0, Headings({{3.0, kLinesLeftRightTop}, {1.8, kLinesLeftRightTop}}));
    PrintMarkupLine(";;Maximum Calculated Fields and ");
    DefineCells(x0, Headings({{3.0, kLinesLeftRight}, {1.8, kLinesLeftRightBottom}}));
    PrintMarkupLine(";Point Of Interest;Distance from Left ROW");
    DefineCells(x0,
                Headings({{3.0, kLinesLeftRight}, {0.6, BoxAll}, {0.6, BoxAll}, {0.6, BoxAll}}));
    PrintMarkupLine("\xFD;Name\xFE;Distance\xFD;Electric;Magnetic");
    DefineCells(
        x0, Headings({{3.0, kLinesLeftRightBottom}, {0.6, BoxAll}, {0.6, BoxAll}, {0.6, BoxAll}}));
    PrintRow({QString(), QStringLiteral("(%1)").arg(QString::fromLatin1(Project().LengthUnit())),
              QStringLiteral("(kV/m)"), QStringLiteral("(mG)")});
    canvas.SelectFont(kTahoma, 10);
    canvas.KeepLineTop();
    DefineInterestPointCells();
}

void TReptFCR2::DefineInterestPointCells() {
    DefineCells(left_ + kPointIndent,
                {DataCell(3.0, TJustify::Left, kMargin), DataCell(0.6, TJustify::Right, kMargin),
                 DataCell(0.6, TJustify::Right, kMargin), DataCell(0.6, TJustify::Right, kMargin)});
}

void TReptFCR2::PrintInterestPoints(const TScenario& scenario) {
    TPageCanvas& canvas = Canvas();
    canvas.SetCursorY(canvas.CursorY() + 0.1);
    if (RemainingHeight() < kBlockRoom) canvas.NewPage();
    canvas.PrintLeftAt(QStringLiteral("Points of Interest"), left_ + kSubtitleIndent);
    canvas.NewLine();
    canvas.SetCursorY(canvas.CursorY() + 0.05);
    bool first = true;
    for (const TInterestPoint& point : scenario.InterestPoints) {
        const TCalcResult* record = scenario.ResultAt(point.ResultIndex);
        const std::optional<float> electric = record ? record->EMax : std::nullopt;
        const std::optional<float> magnetic = record ? record->BMax : std::nullopt;
        const std::vector<TCellText> row{
            {ReportText(point.Name), false, true},
            {DistanceText(point.DisplayDistFromRowLeft(), IsMetric())},
            {FixedText(electric, 1), true},
            {MilligaussText(magnetic, 1), true}};
        DefineInterestPointCells();
        TRowLayout layout = LayoutRow(row);
        if (RemainingHeight() < kPointRowRoom + RowExtraHeight(layout)) {
            canvas.NewPage();
            PrintInterestPointHeading();
            layout = LayoutRow(row);
        } else if (first) {
            PrintInterestPointHeading();
            layout = LayoutRow(row);
        }
        first = false;
        PrintRowLayout(row, layout);
    }
    if (first) PrintNone(left_ + kPointIndent, 3.0);
}

// ---- Field limits statement ---------------------------------------------------

namespace {

// Columns of the statement table: what and where, value, limit, unit, class,
// margin, verdict (7.2 in, from the left edge).
constexpr double kWhatWidth = 3.4;
constexpr double kValueWidth = 0.6;
constexpr double kLimitWidth = 0.5;
constexpr double kUnitWidth = 0.45;
constexpr double kClassWidth = 1.05;
constexpr double kMarginWidth = 0.6;
constexpr double kStatusWidth = 0.6;
constexpr double kStatementRoom = 1.6;  // a statement starts on a page with this much left
constexpr double kVerdictRoom = 0.5;    // the sentence under the table

} // namespace

void TReptFCR2::PrintLimitsHeading() {
    TPageCanvas& canvas = Canvas();
    SelectTablePen();
    canvas.SelectFont(kTahoma, 8);
    canvas.KeepLineTop();
    DefineCells(left_, Headings({{kWhatWidth, BoxAll}, {kValueWidth, BoxAll}, {kLimitWidth, BoxAll},
                                 {kUnitWidth, BoxAll}, {kClassWidth, BoxAll},
                                 {kMarginWidth, BoxAll}, {kStatusWidth, BoxAll}}));
    PrintRow({QStringLiteral("Value and where"), QStringLiteral("Value"), QStringLiteral("Limit"),
              QStringLiteral("Unit"), QStringLiteral("Limit class"), QStringLiteral("Margin"),
              QStringLiteral("Status")});
    canvas.SelectFont(kTahoma, 10);
    canvas.KeepLineTop();
    DefineCells(left_, {DataCell(kWhatWidth, TJustify::Left, kMargin),
                        DataCell(kValueWidth, TJustify::Right, kMargin),
                        DataCell(kLimitWidth, TJustify::Right, kMargin),
                        DataCell(kUnitWidth, TJustify::Left, kMargin),
                        DataCell(kClassWidth, TJustify::Left, kMargin),
                        DataCell(kMarginWidth, TJustify::Right, kMargin),
                        DataCell(kStatusWidth, TJustify::Centre, kMargin)});
}

// The values of the cross section the limits speak about, each with its
// limit and margin, then one sentence saying whether all keep within them and
// whose limits they are.
void TReptFCR2::PrintLimitsStatement(const TScenario& scenario) {
    TPageCanvas& canvas = Canvas();
    const TComplianceStatement statement = ComplianceStatementOf(scenario, *limits_);
    canvas.ClearTabs();
    if (RemainingHeight() < kStatementRoom) canvas.NewPage();
    continuedLabel_ = QStringLiteral("Field Limits for CrossSection: ");
    PrintSectionHeading(continuedLabel_, scenario, false);
    continuedOf_ = &scenario;
    if (!statement.Computed) {
        if (!PrintCalcError(scenario)) PrintWrapped(QStringLiteral("Not computed."));
        PrintWrapped(QStringLiteral("No value of this cross section can be shown to keep within "
                                    "its limits."));
    } else {
        canvas.SetCursorY(canvas.CursorY() + kHeadingDrop);
        PrintLimitsHeading();
        for (const TStatementRow& row : statement.Rows) {
            const bool over = row.Status == TLimitStatus::Over;
            PrintTableRow({{ReportText(row.What), false, true},
                           {QString::fromStdString(row.Value), over},
                           {QString::fromStdString(row.Limit)},
                           {QString::fromStdString(row.Unit)},
                           {QString::fromStdString(row.LimitClass)},
                           {QString::fromStdString(row.Margin)},
                           {QString::fromLatin1(MaximaStatusText(row.Status)), over}},
                          kRowRoom, [this] { PrintLimitsHeading(); });
        }
        canvas.ClearTabs();
        canvas.SetCursorY(canvas.CursorY() + 0.1);
        if (RemainingHeight() < kVerdictRoom) canvas.NewPage();
        canvas.SetBold(true);
        PrintWrapped(QString::fromStdString(statement.Verdict));
        canvas.SetBold(false);
    }
    PrintWrapped(QString::fromStdString(statement.Source));
    canvas.NewLine();
    continuedOf_ = nullptr;
}

} // namespace corvalt
