#pragma once
// The recorded report: every page as a display list of drawing commands in page
// inches (origin at the top-left corner of the paper, y downwards). The canvas
// writes it, the page file stores it, the renderer paints it, and tests read it.

#include "engine/VectorPicture.h"

#include <QImage>
#include <QRgb>
#include <QString>

#include <variant>
#include <vector>

namespace corvalt {

// Paper of every report: US Letter, portrait.
inline constexpr double kLetterWidth = 8.5;   // in
inline constexpr double kLetterHeight = 11.0; // in

// A "device pixel" of the canvas operations (pen widths, box-line overrides,
// frame outlines) is the pixel of a 300 dpi printer. The renderer never draws a
// line thinner than one pixel of the device it paints on.
inline constexpr double kDevicePixel = 1.0 / 300.0; // in

// Text layout is measured at this resolution whatever the output device, so
// that the preview, the PDF and the printout break lines and pages alike.
inline constexpr double kLayoutDpi = 1200.0;

// Bounds of the values on a page. The canvas records nothing beyond them (it
// could not be seen on the paper) and the page file reader refuses them.
inline constexpr double kMaxCoordinate = 10000.0; // in, for |x| and |y|
inline constexpr double kMinFontSize = 1.0;       // pt
inline constexpr double kMaxFontSize = 1000.0;    // pt
inline constexpr double kMaxLineWidth = 1.0;      // in
inline constexpr int kMaxBitmapSide = 4096;       // pixels
inline constexpr int kMaxFontNameLength = 255;    // characters
// A report that runs past these is stopped with an error instead of filling
// memory and the page file.
inline constexpr int kMaxPages = 10000;
inline constexpr int kMaxCommandsPerPage = 1000000;

// Grey of a shade percentage: 0 white, 100 black.
QRgb ShadeColour(int percent);

// Font of a text run: family as the report asked for it ("Tahoma", "Arial"),
// size in points and the styles.
struct TFontSpec {
    QString Name = QStringLiteral("Arial");
    double Size = 10.0; // pt
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    bool operator==(const TFontSpec&) const = default;
};

// Text whose baseline starts at (X, Y). Width is its advance as measured when
// the page was laid out; the renderer does not need it, tests and tools do.
struct TTextCmd {
    double X = 0, Y = 0; // in, baseline-left
    QString Text;
    TFontSpec Font;
    double Width = 0; // in
    bool operator==(const TTextCmd&) const = default;
};

// Pen of straight lines: colour, Qt::PenStyle (solid to dash-dot-dot) and width.
struct TPenSpec {
    QRgb Colour = qRgb(0, 0, 0);
    int Style = Qt::SolidLine;
    double Width = kDevicePixel; // in
    bool operator==(const TPenSpec&) const = default;
};

struct TLineCmd {
    double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0; // in
    TPenSpec Pen;
    bool operator==(const TLineCmd&) const = default;
};

// A filled rectangle without outline (the shade of a tab cell).
struct TFillCmd {
    double Left = 0, Top = 0, Right = 0, Bottom = 0; // in
    QRgb Colour = qRgb(255, 255, 255);
    bool operator==(const TFillCmd&) const = default;
};

// The outline of a rectangle; a rectangle of zero height or width is a line.
struct TFrameCmd {
    double Left = 0, Top = 0, Right = 0, Bottom = 0; // in
    QRgb Colour = qRgb(0, 0, 0);
    double Width = kDevicePixel; // in
    bool operator==(const TFrameCmd&) const = default;
};

// A bitmap stretched into a rectangle. The image is held as ARGB32.
struct TBitmapCmd {
    double Left = 0, Top = 0, Right = 0, Bottom = 0; // in
    QImage Image;
    bool operator==(const TBitmapCmd&) const = default;
};

// A vector drawing (a plot) with its frame stretched into a rectangle.
struct TPictureCmd {
    double Left = 0, Top = 0, Right = 0, Bottom = 0; // in
    TVectorPicture Picture;
    bool operator==(const TPictureCmd&) const = default;
};

using TPageCommand = std::variant<TTextCmd, TLineCmd, TFillCmd, TFrameCmd, TBitmapCmd, TPictureCmd>;

// One page: its commands in drawing order (later ones paint over earlier ones).
struct TPage {
    std::vector<TPageCommand> Commands;
    bool operator==(const TPage&) const = default;

    // The texts of the page in drawing order, and their concatenation with "|"
    // between runs; convenient for tests and diagnostics.
    std::vector<const TTextCmd*> Texts() const;
    QString PlainText() const;
};

// Where a part of the report (a cross section) starts: its title and the
// index of its first page (0 is page 1). The PDF export makes them bookmarks.
struct TSectionMark {
    QString Title;
    int Page = 0;
    bool operator==(const TSectionMark&) const = default;
};

// A whole report: paper size, pages (page 1 first) and the parts it is made
// of, in page order.
struct TPageList {
    double Width = kLetterWidth;   // in
    double Height = kLetterHeight; // in
    std::vector<TPage> Pages;
    std::vector<TSectionMark> Sections;
    bool operator==(const TPageList&) const = default;
};

} // namespace corvalt
