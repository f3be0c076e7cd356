#include "reports/Report.h"

#include "model/PoleVoltage.h"
#include "model/Project.h"
#include "reports/ReportFormat.h"

#include <algorithm>
#include <cassert>
#include <stdexcept>
#include <string>

namespace corvalt {
namespace {

// Footer geometry of the standard footer, inches.
constexpr double kFooterVersionX = 0.75;
constexpr double kFooterVersionDrop = 0.15; // the version line lies this far below the date
constexpr double kFooterFontSize = 10;
// Least room between a heading and the sides of its cell, inches.
constexpr double kHeadingGap = 0.01;
// Room kept at the end of lines fitted to a width: PDF readers add up the
// advances of a long line a little differently (rounded per glyph).
constexpr double kFittedLineGap = 0.02; // in

// A mark-up text between mark-up characters: tabs stay tab steps, every other
// piece is printed text.
QString MarkupPieces(const std::string& pending) {
    QStringList pieces;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = pending.find('\t', start);
        pieces << ReportText(std::string_view(pending).substr(start, tab - start));
        if (tab == std::string::npos) break;
        start = tab + 1;
    }
    return pieces.join(QLatin1Char('\t'));
}

} // namespace

double RemainingHeight(const TPageCanvas& canvas) {
    return canvas.SectionBottom() - canvas.CursorY();
}

TReport::TReport(TEmfProject& project, TScenario* scenario)
    : project_(&project), scenario_(scenario) {}

TReport::~TReport() = default;

// ---- Page events ------------------------------------------------------------

void TReport::TEvents::BeforePrint(TPageCanvas& canvas) {
    report_.canvas_ = &canvas;
    report_.footerPage_ = 0;
    report_.Prepare(canvas);
}

void TReport::TEvents::Print(TPageCanvas& /*canvas*/) {
    report_.PrintBody();
}

void TReport::TEvents::PrintHeader(TPageCanvas& /*canvas*/) {
    report_.PrintHeader();
}

void TReport::TEvents::PrintFooter(TPageCanvas& /*canvas*/) {
    report_.PrintFooter();
}

// ---- Access -----------------------------------------------------------------

TScenario& TReport::Scenario() const {
    assert(scenario_ != nullptr);
    if (scenario_ == nullptr) throw std::logic_error("report made without a cross section");
    return *scenario_;
}

TPageCanvas& TReport::Canvas() const {
    assert(canvas_ != nullptr);
    if (canvas_ == nullptr) throw std::logic_error("report used before Prepare");
    return *canvas_;
}

bool TReport::IsMetric() const {
    return Project().Units == Metric;
}

QDate TReport::Today() const {
    return today_.value_or(QDate::currentDate());
}

double TReport::RemainingHeight() const {
    return corvalt::RemainingHeight(Canvas());
}

// ---- Mark-up ----------------------------------------------------------------

void TReport::PrintMarkupLine(std::string_view line) {
    TPageCanvas& canvas = Canvas();
    canvas.SetBold(false);
    std::string pending;
    const auto printPending = [&] {
        if (!pending.empty()) canvas.PrintText(MarkupPieces(pending));
        pending.clear();
    };
    for (const char c : line) {
        switch (c) {
        case kMarkupTab:
            pending += '\t';
            break;
        case kMarkupShadedTab:
            printPending();
            canvas.NextTab(TTabOverrides{.Shade = kMarkupShade});
            break;
        case kMarkupBoldOn:
            printPending();
            canvas.SetBold(true);
            break;
        case kMarkupBoldOff:
            printPending();
            canvas.SetBold(false);
            break;
        default:
            pending += c;
            break;
        }
    }
    canvas.PrintTextLine(MarkupPieces(pending));
    canvas.SetBold(false);
}

// ---- Table helpers ----------------------------------------------------------

void TReport::StartBody(double y, bool keepLineTop) {
    TPageCanvas& canvas = Canvas();
    canvas.SetSectionBottom(canvas.PageHeight() - kBodyBottomMargin);
    canvas.SetCursorY(y);
    canvas.SelectFont(kTahoma, 12);
    if (keepLineTop) canvas.KeepLineTop();
    canvas.MarkTopOfPage();
    canvas.GoHome();
}

void TReport::SelectTablePen() {
    Canvas().SetPen(Qt::black, Qt::SolidLine, TLineWidth::DevicePixels(1));
}

std::vector<TCellSpec> HeadingCells(std::initializer_list<double> widths, int lines, int shade,
                                    int margin) {
    std::vector<TCellSpec> cells;
    for (const double width : widths)
        cells.push_back({width, TJustify::Centre, margin, lines, shade});
    return cells;
}

void TReport::DefineCells(double left, std::initializer_list<TCellSpec> cells) {
    DefineCells(left, std::vector<TCellSpec>(cells));
}

void TReport::DefineCells(double left, const std::vector<TCellSpec>& cells) {
    TPageCanvas& canvas = Canvas();
    canvas.ClearTabs();
    double x = left;
    for (const TCellSpec& cell : cells) {
        canvas.DefineTab(x, cell.Justify, cell.Width, cell.Margin, cell.Lines, cell.Shade);
        x = kTabAfterPrevious;
    }
}

void TReport::PrintRow(const QStringList& cells) {
    Canvas().PrintTextLine(QLatin1Char('\t') + cells.join(QLatin1Char('\t')));
}

void TReport::PrintCells(const std::vector<TCellText>& cells) {
    PrintRowLayout(cells, LayoutRow(cells));
}

TRowLayout TReport::LayoutRow(const std::vector<TCellText>& cells) const {
    const TPageCanvas& canvas = Canvas();
    const std::vector<TTabCell>& tabs = canvas.Tabs();
    TRowLayout layout;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const TCellText& cell = cells[i];
        TFontSpec font = canvas.Font();
        font.Bold = cell.Bold;
        const bool inCell = i < tabs.size() && tabs[i].Width > 0;
        const double room = cell.FitWidth > 0 ? cell.FitWidth
                            : inCell ? tabs[i].Width - 2 * tabs[i].MarginInches()
                                     : 0;
        TFittedText fitted{{cell.Text}, font.Size, false};
        if (room > 0 || inCell)
            fitted = canvas.FitText(font, cell.Text, room,
                                    TFitRule{cell.Wrap ? kMaxRowLines : 1, kSmallestFitSize});
        layout.Lines = std::max(layout.Lines, static_cast<int>(fitted.Lines.size()));
        layout.Cells.push_back(std::move(fitted));
    }
    return layout;
}

double TReport::RowExtraHeight(const TRowLayout& layout) const {
    return (layout.Lines - 1) * Canvas().LineHeight();
}

void TReport::PrintTableRow(const std::vector<TCellText>& row, double room,
                            const std::function<void()>& heading) {
    TRowLayout layout = LayoutRow(row);
    if (RemainingHeight() < room + RowExtraHeight(layout)) {
        Canvas().NewPage();
        heading();
        layout = LayoutRow(row);
    }
    PrintRowLayout(row, layout);
}

void TReport::PrintRowLayout(const std::vector<TCellText>& cells, const TRowLayout& layout) {
    TPageCanvas& canvas = Canvas();
    for (int line = 0; line < layout.Lines; ++line) {
        // The lines of a tall row draw no box lines between them.
        TTabOverrides overrides;
        if (line > 0) overrides.Top = 0;
        if (line + 1 < layout.Lines) overrides.Bottom = 0;
        for (std::size_t i = 0; i < cells.size() && i < layout.Cells.size(); ++i) {
            canvas.SetBold(cells[i].Bold);
            canvas.NextTab(overrides);
            const TFittedText& fitted = layout.Cells[i];
            if (line >= fitted.Lines.size()) continue;
            const TFontSpec font = canvas.Font();
            if (fitted.Size == font.Size) {
                canvas.PrintText(fitted.Lines[line]);
                continue;
            }
            TFontSpec smaller = font;
            smaller.Size = fitted.Size;
            canvas.SetFont(smaller);
            canvas.PrintText(fitted.Lines[line]);
            canvas.SetFont(font);
        }
        canvas.NewLine();
    }
    canvas.SetBold(false);
}

void TReport::PrintFittedLines(const QString& text, double x, double width, int maxLines,
                               TJustify justify) {
    TPageCanvas& canvas = Canvas();
    const TFittedText fitted =
        canvas.FitText(text, width - kFittedLineGap, TFitRule{maxLines, kSmallestFitSize});
    const TFontSpec font = canvas.Font();
    TFontSpec sized = font;
    sized.Size = fitted.Size;
    // Lines set smaller follow each other at their own spacing; the line after
    // them, in the font of before, starts where the last of them ends.
    if (sized.Size != font.Size) canvas.SetFont(sized);
    for (const QString& line : fitted.Lines) {
        const double lineWidth = canvas.TextWidth(line);
        canvas.PrintLeftAt(line, SpanTextStart(x, x + width, justify, lineWidth));
        canvas.NewLine();
    }
    if (sized.Size != font.Size) {
        canvas.SetFont(font);
        canvas.KeepLineTop();
    }
}

void TReport::PrintLabelledTitle(double x, const QString& label, const QString& title,
                                 int maxLines) {
    TPageCanvas& canvas = Canvas();
    canvas.SetBold(false);
    canvas.PrintLeftAt(label, x);
    const double titleX = canvas.CursorX();
    canvas.SetBold(true);
    PrintFittedLines(title, titleX, canvas.SectionRight() - titleX, maxLines);
    canvas.SetBold(false);
}

void TReport::PrintConductorTableHeading(const TConductorColumns& columns) {
    TPageCanvas& canvas = Canvas();
    const TEmfProject& project = Project();
    constexpr int kShade = 5;
    const bool named = columns.NameWidth > 0;
    const auto heading = [&](std::initializer_list<double> widths, int lines) {
        std::vector<TCellSpec> cells;
        if (named) cells.push_back({columns.NameWidth, TJustify::Centre, 0, lines, kShade});
        for (const TCellSpec& cell : HeadingCells(widths, lines, kShade))
            cells.push_back(cell);
        return cells;
    };
    SelectTablePen();
    canvas.SelectFont(kTahoma, 8);
    canvas.KeepLineTop();

    DefineCells(columns.Left,
                heading({columns.IdWidth, 0.7, 0.7, 0.6, 1.55, 0.65, 0.55, columns.McrWidth},
                        kLinesLeftRightTop));
    PrintMarkupLine(std::string(named ? ";Circuit" : "") +
                    ";;Dist From;Dist From;Minimum;SubConductors;Maximum;;");

    std::vector<TCellSpec> row2 = heading({columns.IdWidth, 0.7, 0.7, 0.6}, kLinesLeftRight);
    for (const TCellSpec& cell : HeadingCells({0.35, 0.65, 0.55}, kLinesLeftRightTop, kShade))
        row2.push_back(cell);
    for (const TCellSpec& cell :
         HeadingCells({0.65, 0.55, columns.McrWidth}, kLinesLeftRight, kShade))
        row2.push_back(cell);
    DefineCells(columns.Left, row2);
    PrintMarkupLine(std::string(named ? ";Name" : "") +
                    ";Id;Left ROW;Circuit CL;Height;# of;Diameter;Spacing;Voltage;Angle;MCR");

    DefineCells(columns.Left, heading({columns.IdWidth, 0.7, 0.7, 0.6, 0.35, 0.65, 0.55, 0.65, 0.55,
                                       columns.McrWidth},
                                      kLinesLeftRightBottom));
    const std::string length = std::string("(") + project.LengthUnit() + ")";
    PrintMarkupLine(std::string(named ? ";" : "") + ";;" + length + ";" + length + ";" + length +
                    ";;(" + project.DiameterUnit() + ");(" + project.SpacingUnit() +
                    ");(kV);(Degrees);(Amps)");

    std::vector<TCellSpec> data;
    if (named) data.push_back(DataCell(columns.NameWidth, TJustify::Left, 3));
    for (const TCellSpec& cell :
         {DataCell(columns.IdWidth, TJustify::Centre, 3), DataCell(0.7, TJustify::Right, 3),
          DataCell(0.7, TJustify::Right, 3), DataCell(0.6, TJustify::Right, 3),
          DataCell(0.35, TJustify::Centre, 0), DataCell(0.65, TJustify::Right, 3),
          DataCell(0.55, TJustify::Right, 3), DataCell(0.65, TJustify::Right, 3),
          DataCell(0.55, TJustify::Right, 3), DataCell(columns.McrWidth, TJustify::Right, 3)})
        data.push_back(cell);
    DefineCells(columns.Left, data);
    canvas.SelectFont(kTahoma, 10);
    canvas.KeepLineTop();
}

QStringList TReport::ConductorCells(const TConductor& conductor) {
    const double leftRow = static_cast<double>(conductor.Circuit->DisplayDistFromRowLeft()) +
                           static_cast<double>(conductor.DisplayHorizDistance());
    return {ReportText(conductor.Id),
            FixedText(leftRow, 2),
            FixedText(conductor.DisplayHorizDistance(), 2),
            FixedText(conductor.DisplayHeight(), 2),
            QString::number(conductor.SubCondCount),
            FixedText(conductor.DisplayDiameter(), 2),
            FixedText(conductor.DisplaySubSpacing(), 2),
            FixedText(ShownVoltageKv(conductor), 1),
            FixedText(conductor.PhaseAngle, 0),
            FixedText(conductor.DisplayMcr(), 0)};
}

std::vector<TCellText> TReport::ConductorRow(const TConductor& conductor) {
    std::vector<TCellText> row;
    for (const QString& text : ConductorCells(conductor))
        row.push_back({text});
    row.front().Wrap = true;
    return row;
}

void TReport::PushSmallerFont(double smaller) {
    TPageCanvas& canvas = Canvas();
    canvas.PushFont();
    TFontSpec font = canvas.Font();
    font.Size -= smaller;
    canvas.SetFont(font);
    canvas.KeepLineTop();
}

void TReport::PopSmallerFont() {
    Canvas().PopFont();
    Canvas().KeepLineTop();
}

// A heading wider than its cell is printed in a smaller size of the font, so
// that it keeps the cell's margins (at least kHeadingGap where the cell has
// none) from the cell's sides; the cells keep their widths.
void TReport::PrintHeadingRow(double smaller, const QStringList& cells) {
    TPageCanvas& canvas = Canvas();
    PushSmallerFont(smaller);
    const std::vector<TTabCell>& tabs = canvas.Tabs();
    std::vector<TCellText> texts;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        TCellText text{cells[i], canvas.Font().Bold};
        if (static_cast<std::size_t>(i) < tabs.size() && tabs[i].Width > 0)
            text.FitWidth = tabs[i].Width - 2 * std::max(tabs[i].MarginInches(), kHeadingGap);
        texts.push_back(text);
    }
    const bool bold = canvas.Font().Bold;
    PrintCells(texts);
    canvas.SetBold(bold);
    PopSmallerFont();
}

void TReport::PrintWrapped(const QString& text) {
    TPageCanvas& canvas = Canvas();
    const double width = canvas.SectionRight() - canvas.SectionLeft();
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QString line;
    for (const QString& word : words) {
        const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (!line.isEmpty() && canvas.TextWidth(longer) > width) {
            canvas.PrintTextLine(line);
            line = word;
        } else {
            line = longer;
        }
    }
    if (!line.isEmpty()) canvas.PrintTextLine(line);
}

bool TReport::PrintCalcError(const TScenario& scenario) {
    if (scenario.CalcError.empty()) return false;
    Canvas().SetBold(true);
    PrintWrapped(ReportText(scenario.CalcError));
    Canvas().SetBold(false);
    return true;
}

// ---- Footer -----------------------------------------------------------------

bool TReport::StartFooterOnThisPage() {
    const int page = Canvas().PageNumber();
    if (footerPage_ == page) return false;
    footerPage_ = page;
    return true;
}

void TReport::PrintStandardFooter(const QString& fontName, bool keepLineTop, const QString& title) {
    TPageCanvas& canvas = Canvas();
    canvas.PushFont();
    canvas.SelectFont(fontName, kFooterFontSize);
    if (keepLineTop) canvas.KeepLineTop();
    canvas.SetSectionBottom(canvas.PageHeight() - kFooterBottomMargin);
    canvas.PrintOnLastLine(LongDate(Today()), TJustify::Left);
    const double dateEnd = canvas.CursorX();
    const double baseline = canvas.CursorY();
    // The version line goes below the date, its words clear of the date's.
    const TFontMetrics box = canvas.TextBoxMetrics();
    canvas.SetCursorX(kFooterVersionX);
    canvas.SetCursorY(baseline + std::max(kFooterVersionDrop, box.Ascent + box.Descent));
    canvas.PrintLeftAt(QStringLiteral("Corvalt (%1)").arg(QLatin1String(kVersionText)),
                       canvas.CursorX());
    canvas.SetCursorY(baseline);
    PrintFooterTitleAndRight(dateEnd, title, QStringLiteral("Page %1 ").arg(canvas.PageNumber()));
    canvas.PopFont();
}

void TReport::PrintFooterLine(const QString& left, const QString& title, const QString& right) {
    TPageCanvas& canvas = Canvas();
    canvas.PrintOnLastLine(left, TJustify::Left);
    PrintFooterTitleAndRight(left.isEmpty() ? canvas.SectionLeft() : canvas.CursorX(), title,
                             right);
}

// The title is centred on the section; it keeps a blank's width from the
// texts at either side, set smaller or cut where it would come closer.
void TReport::PrintFooterTitleAndRight(double leftEnd, const QString& title, const QString& right) {
    TPageCanvas& canvas = Canvas();
    const double baseline = canvas.CursorY();
    const double rightStart = canvas.SectionRight() - canvas.TextWidth(right);
    const double centre = (canvas.SectionLeft() + canvas.SectionRight()) / 2;
    const double gap = canvas.TextWidth(QStringLiteral(" "));
    const double half = std::min(centre - leftEnd, rightStart - centre) - gap;
    const TFittedText fitted = canvas.FitText(title, 2 * half);
    const TFontSpec font = canvas.Font();
    TFontSpec sized = font;
    sized.Size = fitted.Size;
    canvas.SetFont(sized);
    canvas.SetCursorY(baseline);
    canvas.PrintCentredAt(fitted.Lines.front(), centre);
    canvas.SetFont(font);
    canvas.PrintOnLastLine(right, TJustify::Right);
}

} // namespace corvalt
