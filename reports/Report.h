#pragma once
// TReport: the base of every printed report. A report draws its pages on the
// page canvas through four slots (Prepare, PrintHeader, PrintFooter,
// PrintBody) and prints its tabbed, boxed and bold table rows with the report
// mark-up (PrintMarkupLine). Run it with RunReportToFile(report.PageEvents()).

#include "engine/PageCanvas.h"
#include "model/Version.h"
#include "engine/PageEvents.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvalt {

class TConductor;
class TEmfProject;
class TScenario;

// The characters of the report mark-up; every other character prints as it is.
inline constexpr char kMarkupTab = ';';          // next tab cell
inline constexpr char kMarkupShadedTab = '\xFC'; // next tab cell, filled with 5 % grey
inline constexpr char kMarkupBoldOn = '\xFD';    // bold on
inline constexpr char kMarkupBoldOff = '\xFE';   // bold off
inline constexpr int kMarkupShade = 5;           // percent grey of a shaded tab


// One tab cell of a table row: width in inches, margin in hundredths of an inch,
// box lines as TBoxLine bits, shade in percent.
struct TCellSpec {
    double Width = 0;
    TJustify Justify = TJustify::Left;
    int Margin = 0;
    int Lines = 0;
    int Shade = 0;
    // The width text has between the margins, inches.
    double InnerWidth() const { return Width - 2 * Margin / 100.0; }
};

// The text of one tab cell of a row printed with TReport::PrintCells. Every
// text is fitted to its cell: set smaller (down to kSmallestFitSize) and cut
// with "…" when that is not enough; a text that may wrap first takes more
// lines, up to kMaxRowLines, and the whole row grows with it.
struct TCellText {
    QString Text;
    bool Bold = false;
    bool Wrap = false;
    // When above 0, the width (inches) the text is fitted to instead of the
    // cell's room between its margins.
    double FitWidth = 0;
};

// Most lines a table row grows to for a text that wraps.
inline constexpr int kMaxRowLines = 3;

// A row of cell texts laid out for the tab cells it is printed in: each text
// fitted to its cell, and the lines the row takes.
struct TRowLayout {
    std::vector<TFittedText> Cells;
    int Lines = 1;
};

// Box lines of the three rows of a table heading.
inline constexpr int kLinesLeftRightTop = BoxLeft | BoxRight | BoxTop;
inline constexpr int kLinesLeftRight = BoxLeft | BoxRight;
inline constexpr int kLinesLeftRightBottom = BoxLeft | BoxRight | BoxBottom;

// Centred heading cells of the given widths (inches), all with the same box
// lines, shade and margin.
std::vector<TCellSpec> HeadingCells(std::initializer_list<double> widths, int lines, int shade,
                                    int margin = 0);

// A data cell of a table: all four box lines, no shade.
inline TCellSpec DataCell(double width, TJustify justify, int margin) {
    return {width, justify, margin, BoxAll, 0};
}

// Columns of a conductor table: an optional circuit name column, then the ten
// columns from Id to MCR (the widths that differ between reports given here).
struct TConductorColumns {
    double Left = 0;      // in
    double NameWidth = 0; // 0: no circuit name column
    double IdWidth = 0;
    double McrWidth = 0;
};

// The fonts the reports ask for.
inline const QString kTahoma = QStringLiteral("Tahoma");
inline const QString kArial = QStringLiteral("Arial");

// Page geometry of the reports of one cross section, inches.
inline constexpr double kReportLeftEdge = 0.75;
inline constexpr double kReportRightMargin = 0.5;  // right edge = page width − this
inline constexpr double kBodyBottomMargin = 1.0;   // body's section bottom = page height − this
inline constexpr double kFooterBottomMargin = 0.6; // footer's section bottom = page height − this

// The room left on the page below the canvas's print line: section bottom minus
// cursor y, in inches.
double RemainingHeight(const TPageCanvas& canvas);

class TReport {
  public:
    // The report does not own the project or the cross section. Reports that
    // cover the whole project accept a null cross section.
    TReport(TEmfProject& project, TScenario* scenario);
    virtual ~TReport();
    TReport(const TReport&) = delete;
    TReport& operator=(const TReport&) = delete;

    // Prints one line of mark-up: ";" steps to the next tab cell, 0xFC to the
    // next cell filled with 5 % grey, 0xFD and 0xFE switch bold on and off. The
    // line starts and ends in normal weight and always ends with a new line.
    // Texts between the mark-up characters are UTF-8.
    virtual void PrintMarkupLine(std::string_view line);
    // Once before the first page; Canvas() is usable from here on.
    virtual void Prepare(TPageCanvas& canvas) = 0;
    // At the start of each page.
    virtual void PrintHeader() = 0;
    // At the end of each page; each report's PrintHeader also calls it, so that
    // the footer is on the page from its start.
    virtual void PrintFooter() = 0;
    // The whole report, breaking pages itself with NewPage.
    virtual void PrintBody() = 0;

    // The room left on the page below the current print line: section bottom
    // minus cursor y, in inches.
    double RemainingHeight() const;

    // Why parts of the report that it computes itself (the maps of plans)
    // could not be computed, a line each; the reports of cross sections find
    // theirs on the cross sections (CalcError).
    virtual std::vector<std::string> ComputeFailures() const { return {}; }

    // The report as the page events of TPageCanvas::Run and RunReportToFile.
    TPageEvents& PageEvents() { return events_; }

    // The date the footers print: today, unless fixed here.
    void SetToday(const QDate& date) { today_ = date; }
    QDate Today() const;

  protected:
    TEmfProject& Project() const { return *project_; }
    TScenario& Scenario() const; // only for reports made for a cross section
    TPageCanvas& Canvas() const;
    // Whether the project is in metric units.
    bool IsMetric() const;

    // The end of a page header: the body's section bottom (page height − 1 in),
    // its first line at baseline y in Tahoma 12 (keeping the line top or not),
    // marked as the top of the page, cursor at home.
    void StartBody(double y, bool keepLineTop);
    // Pen of box lines and drawings: black, solid, one device pixel.
    void SelectTablePen();
    // Clears the tab cells and defines the cells side by side from x = left.
    void DefineCells(double left, std::initializer_list<TCellSpec> cells);
    void DefineCells(double left, const std::vector<TCellSpec>& cells);
    // Prints each text in the next tab cell (as the pieces "\t" + text) and ends
    // the line. The texts must not contain tabs (ReportText removes them).
    void PrintRow(const QStringList& cells);
    // The three heading rows of a conductor table (Tahoma 8, shaded), then its
    // data cells and Tahoma 10 for the rows.
    void PrintConductorTableHeading(const TConductorColumns& columns);
    // The values of a conductor's row from Id to MCR, in display units, and
    // the same as the cells of a row in which the id may wrap.
    static QStringList ConductorCells(const TConductor& conductor);
    static std::vector<TCellText> ConductorRow(const TConductor& conductor);
    // Saves the font and continues in the same font made smaller by `smaller`
    // points; PopSmallerFont restores it. Both keep the line top, so rows in
    // fonts of different sizes follow each other without gaps or overlaps.
    void PushSmallerFont(double smaller);
    void PopSmallerFont();
    // Prints each text in the next tab cell, in bold where it says so, and ends
    // the line in normal weight. Unlike the mark-up, a ";" in a text (a title or
    // a name the user typed) prints as it is.
    void PrintCells(const std::vector<TCellText>& cells);
    // PrintRow in the current font made smaller by `smaller` points; a text
    // wider than its cell within the cell's margins (at least 0.01 in) is made
    // smaller still, in whole points, until it fits.
    void PrintHeadingRow(double smaller, const QStringList& cells);
    // The row fitted to the current tab cells in the current font (bold where
    // a cell says so). PrintRowLayout prints it: a row of several lines is
    // boxed and shaded as one tall row. RowExtraHeight is the height it takes
    // below its first line, for the room a page must have for it.
    TRowLayout LayoutRow(const std::vector<TCellText>& cells) const;
    void PrintRowLayout(const std::vector<TCellText>& cells, const TRowLayout& layout);
    double RowExtraHeight(const TRowLayout& layout) const;
    // A row of a table whose heading (which defines the row's cells) `heading`
    // prints: when less than `room` is left below the row's last line, the
    // table continues on a new page under its heading.
    void PrintTableRow(const std::vector<TCellText>& row, double room,
                       const std::function<void()>& heading);
    // The text in lines broken at blanks to fit between the section edges.
    void PrintWrapped(const QString& text);
    // The text in the current font in at most maxLines lines of the width
    // from x, justified there (FitText: wrapped, else smaller, else cut); each
    // line ends with a new line. The first line is printed on the current line.
    void PrintFittedLines(const QString& text, double x, double width, int maxLines,
                          TJustify justify = TJustify::Left);
    // A title line: the label in normal weight at x, then the title in bold,
    // wrapped under itself between the label's end and the section's right
    // edge (at most maxLines lines); ends with a new line.
    void PrintLabelledTitle(double x, const QString& label, const QString& title, int maxLines);
    // When the cross section could not be computed, prints why (its CalcError)
    // in bold in the current font, wrapped between the section edges, and
    // returns true; returns false and prints nothing otherwise.
    bool PrintCalcError(const TScenario& scenario);

    // The standard page footer: today's date, "Corvalt (v1.19)" below it, the
    // title centred and "Page n " right, in fontName 10, font saved and restored.
    void PrintStandardFooter(const QString& fontName, bool keepLineTop, const QString& title);
    // The footer's three texts on the section's last line: left, the title
    // centred between them (set smaller, else cut, where it would come closer
    // than a blank's width to either), right.
    void PrintFooterLine(const QString& left, const QString& title, const QString& right);
    // The same after the left text, which ends at leftEnd, on the current line.
    void PrintFooterTitleAndRight(double leftEnd, const QString& title, const QString& right);
    // A footer is drawn once per page: the header draws it, and the page-end
    // call finds it there. Returns false when it is already on this page, else
    // notes that it is being drawn now.
    bool StartFooterOnThisPage();

  private:
    class TEvents : public TPageEvents {
      public:
        explicit TEvents(TReport& report) : report_(report) {}
        void BeforePrint(TPageCanvas& canvas) override;
        void Print(TPageCanvas& canvas) override;
        void PrintHeader(TPageCanvas& canvas) override;
        void PrintFooter(TPageCanvas& canvas) override;

      private:
        TReport& report_;
    };

    TEmfProject* project_;
    TScenario* scenario_;
    TPageCanvas* canvas_ = nullptr;
    TEvents events_{*this};
    std::optional<QDate> today_;
    int footerPage_ = 0; // page whose footer is drawn; 0 before the first
};

} // namespace corvalt
