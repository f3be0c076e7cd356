#include "reports/Report.h"

#include "reports/ReportFormat.h"

#include <cassert>
#include <stdexcept>
#include <string>

namespace corvalt {
namespace {

// Footer geometry of the standard footer, inches.
constexpr double kFooterVersionX = 0.75;
constexpr double kFooterVersionDrop = 0.15; // the version line lies this far below the date
constexpr double kFooterFontSize = 10;

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

QDate TReport::Today() const {
    return today_.value_or(QDate::currentDate());
}

double TReport::RemainingHeight() const {
    return Canvas().SectionBottom() - Canvas().CursorY();
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

void TReport::PrintHeadingRow(double smaller, const QStringList& cells) {
    PushSmallerFont(smaller);
    PrintRow(cells);
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
    canvas.SetCursorX(kFooterVersionX);
    canvas.SetCursorY(canvas.CursorY() + kFooterVersionDrop);
    canvas.PrintLeftAt(QStringLiteral("Corvalt (%1)").arg(QLatin1String(kVersionText)),
                       canvas.CursorX());
    canvas.PrintOnLastLine(title, TJustify::Centre);
    canvas.PrintOnLastLine(QStringLiteral("Page %1 ").arg(canvas.PageNumber()), TJustify::Right);
    canvas.PopFont();
}

} // namespace corvalt
