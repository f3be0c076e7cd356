#include "engine/ReportFonts.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QPainterPath>
#include <QRawFont>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

namespace corvalt {

namespace {

constexpr double kPointsPerInch = 72.0;

// A 1 × 1 image whose logical resolution is the layout resolution: font metrics
// taken on it are the metrics of the PDF writer and of high-resolution printers.
const QImage& LayoutDevice() {
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        const int dotsPerMetre = static_cast<int>(std::lround(kLayoutDpi / 0.0254));
        image.setDotsPerMeterX(dotsPerMetre);
        image.setDotsPerMeterY(dotsPerMetre);
        return image;
    }();
    return device;
}

QFont FontWithStyles(const TFontSpec& spec) {
    QFont font(spec.Name);
    font.setBold(spec.Bold);
    font.setItalic(spec.Italic);
    font.setUnderline(spec.Underline);
    font.setStrikeOut(spec.StrikeOut);
    // Unhinted outlines keep glyph advances proportional to the size, so text
    // measured at the layout resolution has the same width on every device.
    font.setHintingPreference(QFont::PreferNoHinting);
    // No shaping for the Latin texts of the reports: without it Tahoma's "fi"
    // and "fl" ligatures turn "Configuration" into "Con\uFB01guration" in the
    // PDF's text, which a search for the word does not find.
    font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferOutline | QFont::PreferNoShaping));
    return font;
}

std::optional<int> ReadBigEndian(const QByteArray& table, qsizetype offset, int bytes,
                                 bool isSigned) {
    if (offset < 0 || offset + bytes > table.size()) return std::nullopt;
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value = (value << 8) | static_cast<std::uint8_t>(table[offset + i]);
    if (isSigned && bytes == 2) return static_cast<std::int16_t>(value);
    return static_cast<int>(value);
}

// Where a table of a TrueType file lies; nothing when the file is too short
// for its own table directory or the table lies outside the file.
std::optional<std::pair<qsizetype, qsizetype>> FindTable(const QByteArray& font, const char* tag) {
    const auto count = ReadBigEndian(font, 4, 2, false);
    if (!count) return std::nullopt;
    for (int i = 0; i < *count; ++i) {
        const qsizetype record = 12 + 16 * qsizetype(i);
        if (record + 16 > font.size()) return std::nullopt;
        if (font.mid(record, 4) != QByteArray(tag, 4)) continue;
        const auto offset = ReadBigEndian(font, record + 8, 4, false);
        const auto length = ReadBigEndian(font, record + 12, 4, false);
        if (!offset || !length || *offset < 0 || *length < 0 ||
            qsizetype(*offset) + *length > font.size())
            return std::nullopt;
        return std::pair<qsizetype, qsizetype>(*offset, *length);
    }
    return std::nullopt;
}

// Whether two font files draw some telling glyphs with the same outlines (a
// bold face copied from the regular one draws its stems just as thin).
bool HasSameOutlines(const QByteArray& a, const QByteArray& b) {
    constexpr double kPixelSize = 100;
    const QRawFont rawA(a, kPixelSize, QFont::PreferNoHinting);
    const QRawFont rawB(b, kPixelSize, QFont::PreferNoHinting);
    if (!rawA.isValid() || !rawB.isValid()) return false;
    const QString probe = QStringLiteral("lHoM");
    const QList<quint32> glyphsA = rawA.glyphIndexesForString(probe);
    const QList<quint32> glyphsB = rawB.glyphIndexesForString(probe);
    if (glyphsA.size() != probe.size() || glyphsB.size() != probe.size()) return false;
    for (qsizetype i = 0; i < probe.size(); ++i) {
        const QRectF boxA = rawA.pathForGlyph(glyphsA[i]).boundingRect();
        const QRectF boxB = rawB.pathForGlyph(glyphsB[i]).boundingRect();
        if (boxA.isEmpty() || std::abs(boxA.width() - boxB.width()) > 0.5 ||
            std::abs(boxA.height() - boxB.height()) > 0.5)
            return false;
    }
    return true;
}

void WriteBigEndian16(QByteArray& font, qsizetype offset, int value) {
    font[offset] = char((value >> 8) & 0xFF);
    font[offset + 1] = char(value & 0xFF);
}

// Weight class 600 and no bold flags (OS/2 fsSelection bit 5, head macStyle
// bit 0): a face that Qt matches for bold requests and emboldens. Returns
// whether the file had the tables to mark.
bool MarkAsSemiBold(QByteArray& font) {
    const auto os2 = FindTable(font, "OS/2");
    const auto head = FindTable(font, "head");
    if (!os2 || !head || os2->second < 64 || head->second < 46) return false;
    WriteBigEndian16(font, os2->first + 4, 600);
    const auto selection = ReadBigEndian(font, os2->first + 62, 2, false);
    WriteBigEndian16(font, os2->first + 62, *selection & ~0x20);
    const auto macStyle = ReadBigEndian(font, head->first + 44, 2, false);
    WriteBigEndian16(font, head->first + 44, *macStyle & ~0x01);
    return true;
}

// A bold face registered with the regular face's outlines: the face, known by
// its OS/2 table (which MarkAsSemiBold made unique), and for each glyph half of
// what its bold advance adds to the outline's regular advance, in ems.
struct TWideAdvanceFace {
    QByteArray Os2;
    std::vector<double> HalfSlack;
};

std::optional<TWideAdvanceFace>& WideAdvanceFace() {
    static std::optional<TWideAdvanceFace> face;
    return face;
}

// The glyphs of a face with wide advances and narrow outlines sit at the left
// of their advances: "230/115" in bold reads "230/ 115", since the slash's
// bold advance is half as wide again as the regular one. Each glyph is drawn
// centred in its advance instead, so the extra room falls on both sides.
TWideAdvanceFace MeasureSlack(const QByteArray& bold, const QByteArray& regular) {
    TWideAdvanceFace face;
    const QRawFont rawBold(bold, 1000, QFont::PreferNoHinting);
    const QRawFont rawRegular(regular, 1000, QFont::PreferNoHinting);
    face.Os2 = rawBold.fontTable("OS/2");
    const auto glyphs = ReadBigEndian(rawBold.fontTable("maxp"), 4, 2, false);
    if (!glyphs || !rawRegular.isValid()) return face;
    QList<quint32> indexes(*glyphs);
    for (int i = 0; i < *glyphs; ++i)
        indexes[i] = static_cast<quint32>(i);
    const QList<QPointF> wide = rawBold.advancesForGlyphIndexes(indexes);
    const QList<QPointF> narrow = rawRegular.advancesForGlyphIndexes(indexes);
    face.HalfSlack.resize(static_cast<std::size_t>(*glyphs));
    for (int i = 0; i < *glyphs && i < wide.size() && i < narrow.size(); ++i)
        face.HalfSlack[static_cast<std::size_t>(i)] =
            std::max(wide[i].x() - narrow[i].x(), 0.0) / 2 / 1000;
    return face;
}

// Moves each glyph of a run in the face with wide advances by its half slack.
void CentreInAdvances(QGlyphRun& run) {
    const std::optional<TWideAdvanceFace>& face = WideAdvanceFace();
    if (!face || face->HalfSlack.empty()) return;
    const QRawFont font = run.rawFont();
    if (font.fontTable("OS/2") != face->Os2) return;
    const QList<quint32> glyphs = run.glyphIndexes();
    QList<QPointF> positions = run.positions();
    for (qsizetype i = 0; i < positions.size() && i < glyphs.size(); ++i) {
        const std::size_t glyph = glyphs[i];
        if (glyph < face->HalfSlack.size())
            positions[i].rx() += face->HalfSlack[glyph] * font.pixelSize();
    }
    run.setPositions(positions);
}

// Windows line metrics from the font's own tables, in inches; nothing when the
// font lacks the tables or they are implausible.
std::optional<TFontMetrics> WindowsMetrics(const QFont& layoutFont, double sizePoints) {
    const QRawFont raw = QRawFont::fromFont(layoutFont);
    if (!raw.isValid()) return std::nullopt;
    const QByteArray os2 = raw.fontTable("OS/2");
    const QByteArray hhea = raw.fontTable("hhea");
    const auto winAscent = ReadBigEndian(os2, 74, 2, false);
    const auto winDescent = ReadBigEndian(os2, 76, 2, false);
    const auto hheaAscent = ReadBigEndian(hhea, 4, 2, true);
    const auto hheaDescent = ReadBigEndian(hhea, 6, 2, true);
    const auto lineGap = ReadBigEndian(hhea, 8, 2, true);
    const double unitsPerEm = raw.unitsPerEm();
    if (!winAscent || !winDescent || !hheaAscent || !hheaDescent || !lineGap || unitsPerEm < 16 ||
        *winAscent + *winDescent <= 0)
        return std::nullopt;
    const int extraLeading = *lineGap - ((*winAscent + *winDescent) - (*hheaAscent - *hheaDescent));
    const double inchesPerUnit = sizePoints / kPointsPerInch / unitsPerEm;
    return TFontMetrics{*winAscent * inchesPerUnit, *winDescent * inchesPerUnit,
                        std::max(extraLeading, 0) * inchesPerUnit};
}

} // namespace

QStringList RegisterReportFonts(const QString& folder) {
    static std::optional<QStringList> registered;
    if (registered) return *registered;
    registered.emplace();
    if (QFontDatabase::hasFamily(QStringLiteral("Tahoma"))) return *registered;
    const QDir dir(folder);
    const QString regularPath = dir.filePath(QStringLiteral("tahoma.ttf"));
    const QString boldPath = dir.filePath(QStringLiteral("tahomabd.ttf"));
    if (QFontDatabase::addApplicationFont(regularPath) >= 0) registered->append(regularPath);

    QFile regularFile(regularPath), boldFile(boldPath);
    if (!boldFile.open(QIODevice::ReadOnly)) return *registered;
    QByteArray bold = boldFile.readAll();
    const QByteArray regular =
        regularFile.open(QIODevice::ReadOnly) ? regularFile.readAll() : QByteArray();
    // Wine's Tahoma Bold has Tahoma Bold's advance widths but the regular
    // outlines. Registered as it is, bold text is laid out wide and drawn thin.
    // Marked as a lighter face instead, it makes Qt embolden the outlines (in
    // the raster engine and in PDF alike) while the bold widths remain; its
    // glyphs are then drawn centred in those widths.
    const bool wideAdvances =
        !regular.isEmpty() && HasSameOutlines(bold, regular) && MarkAsSemiBold(bold);
    if (QFontDatabase::addApplicationFontFromData(bold) >= 0) {
        registered->append(boldPath);
        if (wideAdvances) WideAdvanceFace() = MeasureSlack(bold, regular);
    }
    return *registered;
}

QString PrintableText(const QString& text) {
    QString line = text;
    for (QChar& c : line)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) c = QLatin1Char(' ');
    return line;
}

QFont LayoutFont(const TFontSpec& spec) {
    QFont font = FontWithStyles(spec);
    font.setPointSizeF(spec.Size);
    return font;
}

QList<QGlyphRun> LayoutGlyphRuns(const TFontSpec& spec, const QString& text) {
    // QTextLayout takes a non-const device only to read its resolution.
    QTextLayout layout(PrintableText(text), LayoutFont(spec), const_cast<QImage*>(&LayoutDevice()));
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid()) {
        line.setLineWidth(kMaxCoordinate * kLayoutDpi / 10); // wider than any page
        line.setPosition(QPointF(0, 0));
    }
    layout.endLayout();
    if (!line.isValid()) return {};
    // Positions relative to the baseline at x = 0.
    const double ascent = line.ascent();
    QList<QGlyphRun> runs = layout.glyphRuns();
    for (QGlyphRun& run : runs) {
        QList<QPointF> positions = run.positions();
        for (QPointF& p : positions)
            p.ry() -= ascent;
        run.setPositions(positions);
        CentreInAdvances(run);
    }
    return runs;
}

QString ResolvedFamily(const TFontSpec& spec) {
    RegisterReportFonts();
    return QFontInfo(LayoutFont(spec)).family();
}

struct TFontMeasurer::TEntry {
    explicit TEntry(const TFontSpec& spec)
        : Font(LayoutFont(spec)), Measure(Font, &LayoutDevice()) {
        if (auto windows = WindowsMetrics(Font, spec.Size)) {
            Metrics = *windows;
        } else {
            Metrics = {Measure.ascent() / kLayoutDpi, Measure.descent() / kLayoutDpi,
                       std::max(Measure.leading(), 0.0) / kLayoutDpi};
        }
    }
    QFont Font;
    QFontMetricsF Measure;
    TFontMetrics Metrics;
};

TFontMeasurer::TFontMeasurer() {
    RegisterReportFonts();
}
TFontMeasurer::~TFontMeasurer() = default;

TFontMeasurer::TEntry& TFontMeasurer::Entry(const TFontSpec& spec) {
    // Underline and strike-out change neither metrics nor advances.
    TKey key{spec.Name, spec.Size, spec.Bold, spec.Italic};
    auto it = cache_.find(key);
    if (it == cache_.end()) {
        TFontSpec plain = spec;
        plain.Underline = plain.StrikeOut = false;
        it = cache_.emplace(std::move(key), std::make_unique<TEntry>(plain)).first;
    }
    return *it->second;
}

TFontMetrics TFontMeasurer::Metrics(const TFontSpec& spec) {
    return Entry(spec).Metrics;
}

TFontMetrics TFontMeasurer::TextBoxMetrics(const TFontSpec& spec) {
    const QFontMetricsF& measure = Entry(spec).Measure;
    return {measure.ascent() / kLayoutDpi, measure.descent() / kLayoutDpi, 0};
}

double TFontMeasurer::TextWidth(const TFontSpec& spec, const QString& text) {
    if (text.isEmpty()) return 0;
    return Entry(spec).Measure.horizontalAdvance(PrintableText(text)) / kLayoutDpi;
}

} // namespace corvalt
