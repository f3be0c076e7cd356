#pragma once
// TPageCanvas: the page canvas the reports draw on. It keeps the print state
// (font and font stack, cursor, section edges, tab cells, pen, brush, draw
// origin) and records every page as a display list (TPageList) in page inches.
//
// Coordinates are inches from the top-left corner of the paper, x to the right,
// y downwards; font sizes are points. The cursor's y is the baseline of the
// current line. The current line's top lies one font ascent above the baseline
// and its bottom one line height below its top; the line height comes from the
// font (fallback 5 lines per inch).
//
// A report plugs in as a TPageEvents (BeforePrint = Prepare, Print = the body,
// PrintHeader, PrintFooter) and draws through the operations below. A report
// window runs it with RunReportToFile (ReportRun.h), or by hand:
//   TPageCanvas canvas;
//   TRunResult run = canvas.Run(report);
//   if (run.Ok) WritePageFile(path, canvas.Pages());
// Layout needs a QGuiApplication (fonts); the canvas itself never paints.

#include "engine/PageEvents.h"
#include "engine/PageLayout.h"
#include "engine/PageModel.h"
#include "engine/ReportFonts.h"
#include "engine/TextFit.h"

#include <QColor>
#include <QImage>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace corvalt {

// Outcome of one report run; Error is the text to show when it failed.
struct TRunResult {
    bool Ok = true;
    QString Error;
};

// Status line shown while a report runs: "Printing page %p", %p the page number.
inline constexpr const char* kPageStatusFormat = "Printing page %p";
QString PageStatusText(int pageNumber);

// Line overrides of NextTab for the four sides (0 suppresses the side, n > 0
// draws it n device pixels wide) and the shade override in percent. Absent
// members keep what the cell defines.
struct TTabOverrides {
    std::optional<int> Left{}, Right{}, Top{}, Bottom{};
    std::optional<int> Shade{};
};

// Width of a pen: either device pixels (the reports' "width 1") or inches.
class TLineWidth {
  public:
    static TLineWidth DevicePixels(double pixels) { return TLineWidth(pixels * kDevicePixel); }
    static TLineWidth Inches(double inches) { return TLineWidth(inches); }
    double InInches() const { return inches_; }

  private:
    explicit TLineWidth(double inches) : inches_(inches) {}
    double inches_;
};

class TPageCanvas {
  public:
    TPageCanvas();

    // ---- Running a report -------------------------------------------------
    // A fresh pass: clears the pages and the print state (the TabShade setting
    // stays), then calls the events in the order of TPageEvents. Fails only when
    // the report exceeds kMaxPages or kMaxCommandsPerPage.
    TRunResult Run(TPageEvents& events);
    // Called with the page number whenever a page starts (status line).
    void SetPageStartedHandler(std::function<void(int)> handler);
    // Hands each page to sink as soon as it is finished (at NewPage, and the
    // last one at the end of a run that succeeds) instead of keeping it, so
    // that a long report is never held whole in memory; the canvas then keeps
    // only the page being drawn. An empty sink keeps every page again.
    void SetPageSink(std::function<void(TPage&&)> sink);
    // The recorded pages; the last one is the page being drawn. With a page
    // sink only that one (empty after the run), besides the paper and the
    // sections.
    const TPageList& Pages() const { return pages_; }
    TPageList TakePages();

    // ---- Fonts ------------------------------------------------------------
    // Font name at size points, bold, underline, italic and strike-out off.
    void SelectFont(const QString& name, double size);
    // After a font change: move the baseline so that the current line keeps its
    // top (as it was before the first font change since the baseline was last
    // placed) and gets the new font's height.
    void KeepLineTop();
    void SetBold(bool on);
    void SetUnderline(bool on);
    void SetItalic(bool on);
    void SetStrikeOut(bool on);
    // The whole current font, for fonts derived from it (same name, other size).
    const TFontSpec& Font() const { return font_; }
    void SetFont(const TFontSpec& font);
    void PushFont(); // save the current font (name, size, styles)
    void PopFont();  // restore the last saved one; nothing when none is saved

    // ---- Cursor, line and section -----------------------------------------
    double CursorX() const { return cursorX_; }
    double CursorY() const { return cursorY_; } // baseline
    void SetCursorX(double x);
    void SetCursorY(double y);
    double LineTop() const;
    double LineBottom() const;
    double LineHeight() const;
    // The box a word of the current font covers as PDF readers take it
    // (TFontMeasurer::TextBoxMetrics).
    TFontMetrics TextBoxMetrics() const;
    double SectionLeft() const { return sectionLeft_; }
    double SectionRight() const { return sectionRight_; }
    double SectionTop() const { return sectionTop_; }
    double SectionBottom() const { return sectionBottom_; }
    // Moving the left edge right of the cursor moves the cursor to it; moving
    // the top edge below the current line's top moves the line down to it.
    void SetSectionLeft(double x);
    void SetSectionRight(double x);
    void SetSectionTop(double y);
    void SetSectionBottom(double y);
    void MarkTopOfPage(); // section top := top of the current line
    void GoHome();        // cursor to section left on the section's first line

    // ---- Text -------------------------------------------------------------
    // Text at the cursor, justified in the active tab cell if there is one.
    // Each "\t" first prints what precedes it, then steps with NextTab().
    // Several pieces printed into one centred or right-justified cell are
    // justified together. Text in a cell with a width never runs past the
    // cell's margins: a piece wider than the room left is set smaller (whole
    // points, down to kSmallestFitSize) and, when that is not enough, cut with
    // "…" (FitText). Line breaks and other control characters print as blanks:
    // a text never leaves its line.
    void PrintText(const QString& text);
    void PrintTextLine(const QString& text); // PrintText, then NewLine
    // Next line: cursor x := section left, baseline down one line height, tab
    // cursor before the first cell. Never breaks the page.
    void NewLine();
    // Ends the page (footer), starts the next one with the cursor at home
    // (header); the page number increases by 1. Inside a header or footer it
    // starts the next page without page events. Past kMaxPages it stops the
    // run: Run returns the error (outside Run, a std::runtime_error is thrown);
    // so does a page with more than kMaxCommandsPerPage commands.
    void NewPage();
    // Notes that a part of the report titled `title` starts on the current
    // page (a bookmark of the exported PDF).
    void MarkSection(const QString& title);
    void PrintCentredAt(const QString& text, double x);
    void PrintLeftAt(const QString& text, double x);
    // On the section's first line (top at section top) or last line (bottom at
    // section bottom), justified across the section width.
    void PrintOnFirstLine(const QString& text, TJustify justify);
    void PrintOnLastLine(const QString& text, TJustify justify);
    double TextWidth(const QString& text) const; // in the current font, inches
    // The text fitted into width in the current font, or in the font given
    // (engine/TextFit.h); the canvas's font stays as it is.
    TFittedText FitText(const QString& text, double width, const TFitRule& rule = {}) const;
    TFittedText FitText(const TFontSpec& font, const QString& text, double width,
                        const TFitRule& rule = {}) const;

    // ---- Tab cells --------------------------------------------------------
    // Appends a cell. x is its left edge or kTabAfterPrevious; width in inches;
    // margin in hundredths of an inch; lines a TBoxLine bit set; shade percent.
    void DefineTab(double x, TJustify justify, double width, int margin, int lines, int shade);
    void ClearTabs();
    // Steps into the next cell of the line: fills it (shade override, else its
    // own shade, else TabShade) and draws its box lines from line top to line
    // bottom. With no further cell nothing is drawn and text continues at the
    // cursor.
    void NextTab(const TTabOverrides& overrides = {});
    int TabShade() const { return tabShade_; }
    void SetTabShade(int percent);
    const std::vector<TTabCell>& Tabs() const { return tabs_; }

    // ---- Page -------------------------------------------------------------
    double PageWidth() const { return pages_.Width; }
    double PageHeight() const { return pages_.Height; }
    int PageNumber() const { return pageNumber_; }

    // ---- Drawing ----------------------------------------------------------
    // Pen of MoveTo/LineTo and of box lines.
    void SetPen(const QColor& colour, Qt::PenStyle style, TLineWidth width);
    // Brush of FrameRect; with Qt::NoBrush frames are not drawn.
    void SetBrush(const QColor& colour, Qt::BrushStyle style);
    // Offset added to every position the canvas draws at (lines, frames,
    // bitmaps, text and cells) while the cursor, the section edges and the tab
    // positions keep the values the report gives; (0, 0) restores page
    // coordinates.
    void SetDrawOrigin(double x, double y);
    void MoveTo(double x, double y);
    void LineTo(double x, double y);
    // Outline in the brush colour, one device pixel wide.
    void FrameRect(double left, double top, double right, double bottom);
    // Stretches the bitmap into the rectangle (bitmaps over kMaxBitmapSide
    // pixels are scaled down first).
    void DrawBitmap(double left, double top, double right, double bottom, const QImage& bitmap);
    // Stretches the vector picture's frame into the rectangle; an empty
    // picture, or one of more than kMaxPictureItems items, draws nothing.
    void DrawPicture(double left, double top, double right, double bottom, TVectorPicture picture);

  private:
    void Reset();
    TPage& CurrentPage() { return pages_.Pages.back(); }
    TFontMetrics CurrentMetrics() const;
    void ChangeFont(const TFontSpec& font);
    void SetStyle(bool TFontSpec::*style, bool on);
    void PlaceBaseline(double y);
    void ResetTabCursor();
    void StartPage();
    void CallPageEvent(void (TPageEvents::*event)(TPageCanvas&));
    void PrintPiece(const QString& text);
    void PrintJustifiedInCell(const QString& text, double width);
    void PrintAt(const QString& text, double x, double width);
    void RecordCommand(TPageCommand command);
    void AddText(double x, const QString& text, double width);
    void AddLine(double x1, double y1, double x2, double y2, const TPenSpec& pen);
    // The rectangle moved by the draw origin, corners put in order, or nothing
    // when a corner lies off any sensible page.
    struct TPageBox {
        double Left, Top, Right, Bottom;
    };
    std::optional<TPageBox> BoxOnPage(double left, double top, double right, double bottom) const;
    void DrawCellBox(const TTabCell& cell, const TTabOverrides& overrides);

    mutable TFontMeasurer measurer_; // a cache: measuring does not change the canvas
    TPageList pages_;
    int pageNumber_ = 1;
    TPageEvents* events_ = nullptr;
    int pageEventDepth_ = 0;
    std::function<void(int)> pageStarted_;
    std::function<void(TPage&&)> pageSink_;

    TFontSpec font_;
    std::vector<TFontSpec> fontStack_;
    std::optional<double> topBeforeFontChange_;

    double cursorX_ = 0, cursorY_ = 0;
    double sectionLeft_ = 0, sectionRight_ = kLetterWidth;
    double sectionTop_ = 0, sectionBottom_ = kLetterHeight;

    std::vector<TTabCell> tabs_;
    int tabIndex_ = -1;                 // cell the tab cursor is in; -1 before the first
    bool cellActive_ = false;           // text goes into tabs_[tabIndex_]
    std::vector<std::size_t> cellRuns_; // command indices of the active cell's text
    double cellTextWidth_ = 0;
    int tabShade_ = 0;

    TPenSpec pen_;
    QRgb brushColour_ = qRgb(0, 0, 0);
    Qt::BrushStyle brushStyle_ = Qt::SolidPattern;
    double originX_ = 0, originY_ = 0;
    double penX_ = 0, penY_ = 0;
};

} // namespace corvalt
