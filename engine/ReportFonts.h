#pragma once
// Fonts of the reports: registering "Tahoma" where the system lacks it, building
// the QFont of a TFontSpec for measuring and for painting, and measuring text at
// the fixed layout resolution. Needs a QGuiApplication.

#include "engine/PageLayout.h"
#include "engine/PageModel.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QList>
#include <QStringList>

#include <map>
#include <memory>
#include <tuple>

namespace corvalt {

// Folder of the Tahoma files shipped by Debian's fonts-wine.
inline constexpr const char* kWineFontFolder = "/usr/share/wine/fonts";

// Makes "Tahoma" (regular and bold) available to the program when fontconfig
// knows no font of that family, from tahoma.ttf and tahomabd.ttf in `folder`.
// Only those two files are registered, never the whole folder. A bold file
// that only carries the regular outlines (Wine's does) is registered so that Qt
// emboldens them. Runs once per process; later calls return the first result.
// Returns the files registered.
QStringList RegisterReportFonts(const QString& folder = QString::fromLatin1(kWineFontFolder));

// The text as one printed line: control characters (line breaks, tabs left in
// a text) become blanks, so that measuring and painting see the same glyphs.
QString PrintableText(const QString& text);

// The QFont of a spec for measuring on the layout device (kLayoutDpi).
QFont LayoutFont(const TFontSpec& spec);

// The glyphs of a text as laid out at the layout resolution: fonts (fallback
// fonts included), glyph indexes and positions in layout units (kLayoutDpi per
// inch) from the start of the baseline. The renderer scales these positions to
// the device, so every device places each glyph where the layout measured it.
// Glyphs of a bold face registered with regular outlines (RegisterReportFonts)
// are centred in their bold advances.
QList<QGlyphRun> LayoutGlyphRuns(const TFontSpec& spec, const QString& text);

// The family the font system actually uses for a font request ("Liberation Sans" for
// "Arial" on Debian).
QString ResolvedFamily(const TFontSpec& spec);

// Measures fonts and text at the layout resolution and caches per font.
// Vertical metrics follow the font's Windows metrics (OS/2 usWinAscent and
// usWinDescent, plus the hhea line gap beyond them as leading), which is how the
// report designs were measured; fonts without those tables use Qt's metrics.
class TFontMeasurer {
  public:
    TFontMeasurer();
    ~TFontMeasurer();
    TFontMeasurer(const TFontMeasurer&) = delete;
    TFontMeasurer& operator=(const TFontMeasurer&) = delete;

    TFontMetrics Metrics(const TFontSpec& spec);
    // How far above and below its baseline a text of the font reaches as PDF
    // readers take it (the box pdftotext gives a word): the font's typographic
    // ascent and descent, no leading. Within the line the canvas gives it.
    TFontMetrics TextBoxMetrics(const TFontSpec& spec);
    double TextWidth(const TFontSpec& spec, const QString& text); // in

  private:
    struct TEntry;
    TEntry& Entry(const TFontSpec& spec);
    using TKey = std::tuple<QString, double, bool, bool>; // name, size, bold, italic
    std::map<TKey, std::unique_ptr<TEntry>> cache_;
};

} // namespace corvalt
