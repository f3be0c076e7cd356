#include "engine/PageCanvas.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <utility>

namespace corvalt {

namespace {

// Thrown when a run exceeds the page or command limits; Run turns it into an
// error result.
class TCanvasOverflow : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

bool OnPaper(std::initializer_list<double> values) {
    return std::all_of(values.begin(), values.end(),
                       [](double v) { return std::isfinite(v) && std::abs(v) <= kMaxCoordinate; });
}

double ClampFontSize(double size) {
    return std::isfinite(size) ? std::clamp(size, kMinFontSize, kMaxFontSize) : 10.0;
}

} // namespace

QString PageStatusText(int pageNumber) {
    return QString::fromLatin1(kPageStatusFormat)
        .replace(QStringLiteral("%p"), QString::number(pageNumber));
}

TPageCanvas::TPageCanvas() {
    Reset();
}

// ---- Running a report -------------------------------------------------------

void TPageCanvas::Reset() {
    pages_ = TPageList{};
    pages_.Pages.emplace_back();
    pageNumber_ = 1;
    font_ = TFontSpec{};
    fontStack_.clear();
    topBeforeFontChange_.reset();
    sectionLeft_ = 0;
    sectionRight_ = pages_.Width;
    sectionTop_ = 0;
    sectionBottom_ = pages_.Height;
    tabs_.clear();
    ResetTabCursor();
    pen_ = TPenSpec{};
    brushColour_ = qRgb(0, 0, 0);
    brushStyle_ = Qt::SolidPattern;
    originX_ = originY_ = 0;
    penX_ = penY_ = 0;
    GoHome();
}

TRunResult TPageCanvas::Run(TPageEvents& events) {
    Reset();
    events_ = &events;
    pageEventDepth_ = 0;
    struct TDetach {
        TPageCanvas& Canvas;
        ~TDetach() { Canvas.events_ = nullptr; }
    } detach{*this};
    try {
        events.BeforePrint(*this);
        StartPage();
        events.Print(*this);
        CallPageEvent(&TPageEvents::PrintFooter);
    } catch (const TCanvasOverflow& overflow) {
        return {false, QString::fromUtf8(overflow.what())};
    }
    if (pageSink_) {
        pageSink_(std::move(CurrentPage()));
        CurrentPage() = TPage{};
    }
    return {};
}

void TPageCanvas::SetPageSink(std::function<void(TPage&&)> sink) {
    pageSink_ = std::move(sink);
}

void TPageCanvas::SetPageStartedHandler(std::function<void(int)> handler) {
    pageStarted_ = std::move(handler);
}

TPageList TPageCanvas::TakePages() {
    TPageList pages = std::move(pages_);
    Reset();
    return pages;
}

void TPageCanvas::StartPage() {
    if (pageStarted_) pageStarted_(pageNumber_);
    CallPageEvent(&TPageEvents::PrintHeader);
}

void TPageCanvas::CallPageEvent(void (TPageEvents::*event)(TPageCanvas&)) {
    if (!events_) return;
    ++pageEventDepth_;
    struct TLeave {
        int& Depth;
        ~TLeave() { --Depth; }
    } leave{pageEventDepth_};
    (events_->*event)(*this);
}

void TPageCanvas::MarkSection(const QString& title) {
    pages_.Sections.push_back({title, pageNumber_ - 1});
}

void TPageCanvas::NewPage() {
    if (pageEventDepth_ == 0) CallPageEvent(&TPageEvents::PrintFooter);
    if (pageNumber_ >= kMaxPages)
        throw TCanvasOverflow("The report was stopped: it has more than " +
                              std::to_string(kMaxPages) + " pages.");
    if (pageSink_) {
        pageSink_(std::move(CurrentPage()));
        CurrentPage() = TPage{};
    } else {
        // The finished page keeps no spare room: a long report holds many pages.
        CurrentPage().Commands.shrink_to_fit();
        pages_.Pages.emplace_back();
    }
    ++pageNumber_;
    ResetTabCursor();
    GoHome();
    if (pageEventDepth_ == 0) {
        StartPage();
    } else if (pageStarted_) {
        pageStarted_(pageNumber_);
    }
}

// ---- Fonts ------------------------------------------------------------------

TFontMetrics TPageCanvas::CurrentMetrics() const {
    return measurer_.Metrics(font_);
}

void TPageCanvas::ChangeFont(const TFontSpec& font) {
    if (!topBeforeFontChange_) topBeforeFontChange_ = LineTop();
    font_ = font;
    font_.Size = ClampFontSize(font_.Size);
    if (font_.Name.size() > kMaxFontNameLength) font_.Name.truncate(kMaxFontNameLength);
}

void TPageCanvas::SelectFont(const QString& name, double size) {
    TFontSpec font;
    font.Name = name;
    font.Size = size;
    ChangeFont(font);
}

void TPageCanvas::KeepLineTop() {
    const double top = topBeforeFontChange_.value_or(LineTop());
    PlaceBaseline(BaselineForTop(top, CurrentMetrics()));
}

void TPageCanvas::SetStyle(bool TFontSpec::*style, bool on) {
    TFontSpec font = font_;
    font.*style = on;
    ChangeFont(font);
}

void TPageCanvas::SetBold(bool on) {
    SetStyle(&TFontSpec::Bold, on);
}
void TPageCanvas::SetUnderline(bool on) {
    SetStyle(&TFontSpec::Underline, on);
}
void TPageCanvas::SetItalic(bool on) {
    SetStyle(&TFontSpec::Italic, on);
}
void TPageCanvas::SetStrikeOut(bool on) {
    SetStyle(&TFontSpec::StrikeOut, on);
}

void TPageCanvas::SetFont(const TFontSpec& font) {
    ChangeFont(font);
}

void TPageCanvas::PushFont() {
    fontStack_.push_back(font_);
}

void TPageCanvas::PopFont() {
    if (fontStack_.empty()) return;
    ChangeFont(fontStack_.back());
    fontStack_.pop_back();
}

double TPageCanvas::TextWidth(const QString& text) const {
    return measurer_.TextWidth(font_, text);
}

TFittedText TPageCanvas::FitText(const QString& text, double width, const TFitRule& rule) const {
    return FitText(font_, text, width, rule);
}

TFittedText TPageCanvas::FitText(const TFontSpec& font, const QString& text, double width,
                                 const TFitRule& rule) const {
    const TSizedMeasure measure = [this, &font](const QString& piece, double size) {
        TFontSpec sized = font;
        sized.Size = size;
        return measurer_.TextWidth(sized, piece);
    };
    return corvalt::FitText(PrintableText(text), ClampFontSize(font.Size), width, rule, measure);
}

// ---- Cursor, line and section -----------------------------------------------

void TPageCanvas::PlaceBaseline(double y) {
    cursorY_ = y;
    topBeforeFontChange_.reset();
}

void TPageCanvas::SetCursorX(double x) {
    cursorX_ = x;
}
void TPageCanvas::SetCursorY(double y) {
    PlaceBaseline(y);
}

double TPageCanvas::LineTop() const {
    return LineBoxAt(cursorY_, CurrentMetrics()).Top;
}

double TPageCanvas::LineBottom() const {
    return LineBoxAt(cursorY_, CurrentMetrics()).Bottom;
}

TFontMetrics TPageCanvas::TextBoxMetrics() const {
    return measurer_.TextBoxMetrics(font_);
}

double TPageCanvas::LineHeight() const {
    return CurrentMetrics().LineHeight();
}

void TPageCanvas::SetSectionLeft(double x) {
    sectionLeft_ = x;
    if (cursorX_ < x) cursorX_ = x;
}

void TPageCanvas::SetSectionRight(double x) {
    sectionRight_ = x;
}

void TPageCanvas::SetSectionTop(double y) {
    sectionTop_ = y;
    if (LineTop() < y) PlaceBaseline(BaselineForTop(y, CurrentMetrics()));
}

void TPageCanvas::SetSectionBottom(double y) {
    sectionBottom_ = y;
}

void TPageCanvas::MarkTopOfPage() {
    sectionTop_ = LineTop();
}

void TPageCanvas::GoHome() {
    cursorX_ = sectionLeft_;
    PlaceBaseline(BaselineForTop(sectionTop_, CurrentMetrics()));
}

// ---- Text -------------------------------------------------------------------

void TPageCanvas::PrintText(const QString& text) {
    const QStringList pieces = text.split(QLatin1Char('\t'));
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (i > 0) NextTab();
        PrintPiece(pieces[i]);
    }
}

void TPageCanvas::PrintTextLine(const QString& text) {
    PrintText(text);
    NewLine();
}

void TPageCanvas::NewLine() {
    cursorX_ = sectionLeft_;
    PlaceBaseline(cursorY_ + LineHeight());
    ResetTabCursor();
}

void TPageCanvas::PrintPiece(const QString& text) {
    if (text.isEmpty()) return;
    if (!cellActive_ || tabs_[tabIndex_].Width <= 0) {
        const double width = TextWidth(text);
        if (cellActive_ && tabs_[tabIndex_].Justify != TJustify::Left) {
            PrintJustifiedInCell(text, width);
        } else {
            PrintAt(text, cursorX_, width);
        }
        return;
    }
    // The piece in the room the cell has left between its margins.
    const TTabCell& cell = tabs_[tabIndex_];
    const double room = cell.Justify == TJustify::Left
                            ? cell.Right() - cell.MarginInches() - cursorX_
                            : cell.Width - 2 * cell.MarginInches() - cellTextWidth_;
    const TFittedText fitted = FitText(text, room);
    const QString& piece = fitted.Lines.front();
    if (piece.isEmpty()) return;
    const double size = font_.Size;
    font_.Size = fitted.Size; // this piece only; the line keeps its font
    const double width = TextWidth(piece);
    if (cell.Justify == TJustify::Left) {
        PrintAt(piece, cursorX_, width);
    } else {
        PrintJustifiedInCell(piece, width);
    }
    font_.Size = size;
}

// Centred and right-justified cells justify all their pieces together: move
// the pieces already printed, then append this one.
void TPageCanvas::PrintJustifiedInCell(const QString& text, double width) {
    cellTextWidth_ += width;
    double x = CellTextStart(tabs_[tabIndex_], cellTextWidth_);
    auto& commands = CurrentPage().Commands;
    for (std::size_t index : cellRuns_) {
        auto& run = std::get<TTextCmd>(commands[index]);
        run.X = x + originX_;
        x += run.Width;
    }
    const std::size_t before = commands.size();
    PrintAt(text, x, width);
    if (commands.size() > before) cellRuns_.push_back(before);
}

void TPageCanvas::PrintAt(const QString& text, double x, double width) {
    AddText(x, text, width);
    cursorX_ = x + width;
}

void TPageCanvas::PrintCentredAt(const QString& text, double x) {
    const double width = TextWidth(text);
    PrintAt(text, x - width / 2, width);
}

void TPageCanvas::PrintLeftAt(const QString& text, double x) {
    PrintAt(text, x, TextWidth(text));
}

void TPageCanvas::PrintOnFirstLine(const QString& text, TJustify justify) {
    PlaceBaseline(BaselineForTop(sectionTop_, CurrentMetrics()));
    const double width = TextWidth(text);
    PrintAt(text, SpanTextStart(sectionLeft_, sectionRight_, justify, width), width);
}

void TPageCanvas::PrintOnLastLine(const QString& text, TJustify justify) {
    PlaceBaseline(BaselineForBottom(sectionBottom_, CurrentMetrics()));
    const double width = TextWidth(text);
    PrintAt(text, SpanTextStart(sectionLeft_, sectionRight_, justify, width), width);
}

// ---- Tab cells --------------------------------------------------------------

void TPageCanvas::ResetTabCursor() {
    tabIndex_ = -1;
    cellActive_ = false;
    cellRuns_.clear();
    cellTextWidth_ = 0;
}

void TPageCanvas::DefineTab(double x, TJustify justify, double width, int margin, int lines,
                            int shade) {
    TTabCell cell;
    cell.Left = ResolveTabLeft(x, tabs_, sectionLeft_);
    cell.Justify = justify;
    cell.Width = std::isfinite(width) ? std::max(width, 0.0) : 0.0;
    cell.Margin = margin;
    cell.Lines = lines & BoxAll;
    cell.Shade = std::clamp(shade, 0, 100);
    tabs_.push_back(cell);
}

void TPageCanvas::ClearTabs() {
    tabs_.clear();
    ResetTabCursor();
}

void TPageCanvas::SetTabShade(int percent) {
    tabShade_ = std::clamp(percent, 0, 100);
}

void TPageCanvas::NextTab(const TTabOverrides& overrides) {
    cellRuns_.clear();
    cellTextWidth_ = 0;
    if (tabIndex_ + 1 >= static_cast<int>(tabs_.size())) {
        tabIndex_ = static_cast<int>(tabs_.size());
        cellActive_ = false;
        return;
    }
    ++tabIndex_;
    cellActive_ = true;
    const TTabCell& cell = tabs_[tabIndex_];
    if (cell.Width > 0) DrawCellBox(cell, overrides);
    cursorX_ = CellTextStart(cell, 0);
}

void TPageCanvas::DrawCellBox(const TTabCell& cell, const TTabOverrides& overrides) {
    const TLineBox line = LineBoxAt(cursorY_, CurrentMetrics());
    const int shade = EffectiveShade(overrides.Shade, cell.Shade, tabShade_);
    if (shade > 0) {
        if (const auto box = BoxOnPage(cell.Left, line.Top, cell.Right(), line.Bottom))
            RecordCommand(TFillCmd{box->Left, box->Top, box->Right, box->Bottom, ShadeColour(shade)});
    }
    struct TSide {
        int Bit;
        std::optional<int> Override;
        double X1, Y1, X2, Y2;
    };
    const TSide sides[] = {
        {BoxLeft, overrides.Left, cell.Left, line.Top, cell.Left, line.Bottom},
        {BoxRight, overrides.Right, cell.Right(), line.Top, cell.Right(), line.Bottom},
        {BoxTop, overrides.Top, cell.Left, line.Top, cell.Right(), line.Top},
        {BoxBottom, overrides.Bottom, cell.Left, line.Bottom, cell.Right(), line.Bottom},
    };
    for (const TSide& side : sides) {
        const TBoxSide box = ResolveBoxSide((cell.Lines & side.Bit) != 0, side.Override);
        if (!box.Drawn) continue;
        TPenSpec pen = pen_;
        if (box.WidthPixels) pen.Width = std::min(*box.WidthPixels * kDevicePixel, kMaxLineWidth);
        AddLine(side.X1, side.Y1, side.X2, side.Y2, pen);
    }
}

// ---- Drawing ----------------------------------------------------------------

void TPageCanvas::SetPen(const QColor& colour, Qt::PenStyle style, TLineWidth width) {
    pen_.Colour = colour.rgba();
    pen_.Style = (style >= Qt::NoPen && style <= Qt::DashDotDotLine) ? style : Qt::SolidLine;
    const double inches = width.InInches();
    pen_.Width = std::isfinite(inches) ? std::clamp(inches, 0.0, kMaxLineWidth) : kDevicePixel;
}

void TPageCanvas::SetBrush(const QColor& colour, Qt::BrushStyle style) {
    brushColour_ = colour.rgba();
    brushStyle_ = style;
}

void TPageCanvas::SetDrawOrigin(double x, double y) {
    originX_ = x;
    originY_ = y;
}

void TPageCanvas::MoveTo(double x, double y) {
    penX_ = x;
    penY_ = y;
}

void TPageCanvas::LineTo(double x, double y) {
    AddLine(penX_, penY_, x, y, pen_);
    penX_ = x;
    penY_ = y;
}

void TPageCanvas::FrameRect(double left, double top, double right, double bottom) {
    if (brushStyle_ == Qt::NoBrush) return;
    const auto box = BoxOnPage(left, top, right, bottom);
    if (!box) return;
    RecordCommand(TFrameCmd{box->Left, box->Top, box->Right, box->Bottom, brushColour_, kDevicePixel});
}

void TPageCanvas::DrawBitmap(double left, double top, double right, double bottom,
                             const QImage& bitmap) {
    if (bitmap.isNull()) return;
    const auto box = BoxOnPage(left, top, right, bottom);
    if (!box) return;
    QImage image = bitmap.convertToFormat(QImage::Format_ARGB32);
    if (image.width() > kMaxBitmapSide || image.height() > kMaxBitmapSide) {
        image = image.scaled(kMaxBitmapSide, kMaxBitmapSide, Qt::KeepAspectRatio,
                             Qt::SmoothTransformation);
    }
    RecordCommand(TBitmapCmd{box->Left, box->Top, box->Right, box->Bottom, std::move(image)});
}

void TPageCanvas::DrawPicture(double left, double top, double right, double bottom,
                              TVectorPicture picture) {
    if (picture.Items.empty() || picture.Items.size() > static_cast<std::size_t>(kMaxPictureItems))
        return;
    if (!(picture.Width > 0 && picture.Width <= kMaxPictureCoordinate && picture.Height > 0 &&
          picture.Height <= kMaxPictureCoordinate))
        return;
    const auto box = BoxOnPage(left, top, right, bottom);
    if (!box) return;
    RecordCommand(TPictureCmd{box->Left, box->Top, box->Right, box->Bottom, std::move(picture)});
}

// ---- Recording --------------------------------------------------------------

void TPageCanvas::RecordCommand(TPageCommand command) {
    auto& commands = CurrentPage().Commands;
    if (commands.size() >= static_cast<std::size_t>(kMaxCommandsPerPage))
        throw TCanvasOverflow("The report was stopped: page " + std::to_string(pageNumber_) +
                              " has more than " + std::to_string(kMaxCommandsPerPage) +
                              " drawing commands.");
    commands.push_back(std::move(command));
}

void TPageCanvas::AddText(double x, const QString& text, double width) {
    if (text.isEmpty()) return;
    const double pageX = x + originX_;
    const double pageY = cursorY_ + originY_;
    if (!OnPaper({pageX, pageY, width})) return;
    RecordCommand(TTextCmd{pageX, pageY, PrintableText(text), font_, width});
}

std::optional<TPageCanvas::TPageBox> TPageCanvas::BoxOnPage(double left, double top, double right,
                                                           double bottom) const {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    const TPageBox box{left + originX_, top + originY_, right + originX_, bottom + originY_};
    if (!OnPaper({box.Left, box.Top, box.Right, box.Bottom})) return std::nullopt;
    return box;
}

void TPageCanvas::AddLine(double x1, double y1, double x2, double y2, const TPenSpec& pen) {
    if (pen.Style == Qt::NoPen) return;
    x1 += originX_;
    x2 += originX_;
    y1 += originY_;
    y2 += originY_;
    if (!OnPaper({x1, y1, x2, y2})) return;
    RecordCommand(TLineCmd{x1, y1, x2, y2, pen});
}

} // namespace corvalt
