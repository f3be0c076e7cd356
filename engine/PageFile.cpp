#include "engine/PageFile.h"

#include <zlib.h>

#include "model/FileIo.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <span>
#include <string>
#include <type_traits>

#include <sys/mman.h>
#include <unistd.h>

namespace corvalt {

namespace {

constexpr char kMagic[8] = {'C', 'V', 'P', 'A', 'G', 'E', 'S', '\x1a'};

// Command kinds in the file; new kinds get new numbers, old ones keep theirs.
enum TCommandKind : std::uint8_t {
    KindText = 1,
    KindLine = 2,
    KindFill = 3,
    KindFrame = 4,
    KindBitmap = 5,
    KindPicture = 6
};

// Items of a vector picture.
enum TPictureItemKind : std::uint8_t { ItemShape = 1, ItemText = 2 };

// Style bits of a text run's font.
enum TStyleBit : std::uint8_t {
    StyleBold = 1,
    StyleItalic = 2,
    StyleUnderline = 4,
    StyleStrikeOut = 8,
    StyleAll = 15
};

// Bytes of the header (magic to page count) and of the smallest command (a
// fill: kind, four coordinates, colour): they bound the counts a file can hold.
constexpr qsizetype kHeaderBytes = 8 + 2 + 2 + 8 + 8 + 4;
constexpr qsizetype kCrcBytes = 4;
constexpr qsizetype kMinPageBytes = 4;
constexpr qsizetype kMinCommandBytes = 1 + 4 * 8 + 4;

} // namespace

namespace {

// Hears, during the check of a file, of an offset before which the bytes
// have been read for the last time in that pass.
using TBytesPassed = std::function<void(qsizetype)>;

// The checksum is computed in slices of this many bytes.
constexpr qsizetype kChecksumSlice = qsizetype{8} << 20;

// zlib's crc32, the same CRC-32 computed a word at a time, slice by slice;
// passed hears of the end of each slice.
std::uint32_t SlicedChecksum(const char* data, qsizetype size, const TBytesPassed& passed) {
    uLong crc = crc32(0L, Z_NULL, 0);
    for (qsizetype at = 0; at < size; at += kChecksumSlice) {
        const qsizetype slice = std::min(kChecksumSlice, size - at);
        crc = crc32_z(crc, reinterpret_cast<const Bytef*>(data + at),
                      static_cast<z_size_t>(slice));
        if (passed) passed(at + slice);
    }
    return static_cast<std::uint32_t>(crc);
}

} // namespace

std::uint32_t PageFileChecksum(const char* data, qsizetype size) {
    return SlicedChecksum(data, size, {});
}

namespace {

// ---- Writing ----------------------------------------------------------------

class TByteWriter {
  public:
    QByteArray& Bytes() { return bytes_; }

    template <typename T> void Unsigned(T value) {
        static_assert(std::is_unsigned_v<T>);
        for (std::size_t i = 0; i < sizeof(T); ++i)
            bytes_.append(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
    void U8(std::uint8_t v) { Unsigned(v); }
    void U16(std::uint16_t v) { Unsigned(v); }
    void U32(std::uint32_t v) { Unsigned(v); }
    void F64(double v) { Unsigned(std::bit_cast<std::uint64_t>(v)); }
    void Blob(const QByteArray& data) {
        U32(static_cast<std::uint32_t>(data.size()));
        bytes_.append(data);
    }
    void Text(const QString& text) { Blob(text.toUtf8()); }
    void Rect(double left, double top, double right, double bottom) {
        F64(left);
        F64(top);
        F64(right);
        F64(bottom);
    }

  private:
    QByteArray bytes_;
};

std::uint8_t StyleBits(const TFontSpec& font) {
    return static_cast<std::uint8_t>((font.Bold ? StyleBold : 0) | (font.Italic ? StyleItalic : 0) |
                                     (font.Underline ? StyleUnderline : 0) |
                                     (font.StrikeOut ? StyleStrikeOut : 0));
}

QByteArray PngBytes(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.write(image);
    return png;
}

struct TCommandWriter {
    TByteWriter& Out;
    void operator()(const TTextCmd& c) const {
        Out.U8(KindText);
        Out.F64(c.X);
        Out.F64(c.Y);
        Out.F64(c.Width);
        Out.Text(c.Font.Name);
        Out.F64(c.Font.Size);
        Out.U8(StyleBits(c.Font));
        Out.Text(c.Text);
    }
    void operator()(const TLineCmd& c) const {
        Out.U8(KindLine);
        Out.Rect(c.X1, c.Y1, c.X2, c.Y2);
        Out.U32(c.Pen.Colour);
        Out.U8(static_cast<std::uint8_t>(c.Pen.Style));
        Out.F64(c.Pen.Width);
    }
    void operator()(const TFillCmd& c) const {
        Out.U8(KindFill);
        Out.Rect(c.Left, c.Top, c.Right, c.Bottom);
        Out.U32(c.Colour);
    }
    void operator()(const TFrameCmd& c) const {
        Out.U8(KindFrame);
        Out.Rect(c.Left, c.Top, c.Right, c.Bottom);
        Out.U32(c.Colour);
        Out.F64(c.Width);
    }
    void operator()(const TBitmapCmd& c) const {
        Out.U8(KindBitmap);
        Out.Rect(c.Left, c.Top, c.Right, c.Bottom);
        Out.Blob(PngBytes(c.Image));
    }
    void operator()(const TPictureCmd& c) const {
        Out.U8(KindPicture);
        Out.Rect(c.Left, c.Top, c.Right, c.Bottom);
        Out.F64(c.Picture.Width);
        Out.F64(c.Picture.Height);
        Out.U32(static_cast<std::uint32_t>(c.Picture.Items.size()));
        for (const TVectorItem& item : c.Picture.Items)
            std::visit(*this, item);
    }
    void operator()(const TVectorShape& s) const {
        Out.U8(ItemShape);
        Clip(s.Clip);
        Out.U32(s.PenColour);
        Out.U8(static_cast<std::uint8_t>(s.PenStyle));
        Out.F64(s.PenWidth);
        Out.U32(s.BrushColour);
        Out.U8(s.Winding ? 1 : 0);
        Out.U32(static_cast<std::uint32_t>(s.Polygons.size()));
        for (const QPolygonF& polygon : s.Polygons) {
            Out.U32(static_cast<std::uint32_t>(polygon.size()));
            for (const QPointF& p : polygon) {
                Out.F64(p.x());
                Out.F64(p.y());
            }
        }
    }
    void operator()(const TVectorText& t) const {
        Out.U8(ItemText);
        Clip(t.Clip);
        Out.F64(t.Origin.x());
        Out.F64(t.Origin.y());
        Out.F64(t.Angle);
        Out.Text(t.Family);
        Out.F64(t.Size);
        Out.U8(static_cast<std::uint8_t>((t.Bold ? StyleBold : 0) | (t.Italic ? StyleItalic : 0)));
        Out.U32(t.Colour);
        Out.Text(t.Text);
    }
    // A clip: a flag, then its left, top, right and bottom when there is one.
    void Clip(const QRectF& clip) const {
        Out.U8(clip.isNull() ? 0 : 1);
        if (!clip.isNull()) Out.Rect(clip.left(), clip.top(), clip.right(), clip.bottom());
    }
};

// ---- Reading ----------------------------------------------------------------

// Reads little-endian values from the file's bytes. The first failed check
// stops the reading; later reads return zeros, and the caller asks Failed()
// after each record.
class TByteReader {
  public:
    // Reads the bytes from start up to end.
    TByteReader(const QByteArray& bytes, qsizetype end, qsizetype start = 0)
        : data_(bytes.constData()), end_(end), pos_(start) {}

    bool Failed() const { return failed_; }
    const QString& Failure() const { return failure_; }
    qsizetype FailureOffset() const { return failureOffset_; }
    qsizetype Offset() const { return pos_; }
    qsizetype Left() const { return end_ - pos_; }

    void Fail(const QString& what) {
        if (failed_) return;
        failed_ = true;
        failure_ = what;
        failureOffset_ = pos_;
    }

    template <typename T> T Unsigned(const char* what) {
        if (!Need(static_cast<qsizetype>(sizeof(T)), what)) return 0;
        T value = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            value |= static_cast<T>(static_cast<std::uint8_t>(data_[pos_ + i])) << (8 * i);
        pos_ += static_cast<qsizetype>(sizeof(T));
        return value;
    }
    std::uint8_t U8(const char* what) { return Unsigned<std::uint8_t>(what); }
    std::uint16_t U16(const char* what) { return Unsigned<std::uint16_t>(what); }
    std::uint32_t U32(const char* what) { return Unsigned<std::uint32_t>(what); }

    // A number within [low, high]; NaN and infinities fail.
    double Number(const char* what, double low, double high) {
        const qsizetype at = pos_;
        const double v = std::bit_cast<double>(Unsigned<std::uint64_t>(what));
        if (failed_) return 0;
        if (!std::isfinite(v) || v < low || v > high) {
            pos_ = at;
            Fail(QStringLiteral("%1 out of range").arg(QLatin1String(what)));
            return 0;
        }
        return v;
    }
    double Coordinate(const char* what) { return Number(what, -kMaxCoordinate, kMaxCoordinate); }

    // A count of records that each take at least minBytes.
    std::uint32_t Count(const char* what, qsizetype minBytes) {
        const qsizetype at = pos_;
        const std::uint32_t n = U32(what);
        if (!failed_ && static_cast<qsizetype>(n) > Left() / minBytes) {
            pos_ = at;
            Fail(QStringLiteral("%1 larger than the file can hold").arg(QLatin1String(what)));
            return 0;
        }
        return n;
    }

    QByteArray Blob(const char* what, qsizetype maxBytes) {
        const qsizetype at = pos_;
        const std::uint32_t n = U32(what);
        if (failed_) return {};
        if (static_cast<qsizetype>(n) > Left() || static_cast<qsizetype>(n) > maxBytes) {
            pos_ = at;
            Fail(QStringLiteral("%1 length beyond the end of the file").arg(QLatin1String(what)));
            return {};
        }
        QByteArray blob(data_ + pos_, n);
        pos_ += n;
        return blob;
    }

    QString Text(const char* what, qsizetype maxBytes) {
        const qsizetype at = pos_;
        const QByteArray utf8 = Blob(what, maxBytes);
        if (failed_) return {};
        QStringDecoder decoder(QStringDecoder::Utf8);
        QString text = decoder(utf8);
        if (decoder.hasError()) {
            pos_ = at;
            Fail(QStringLiteral("%1 is not valid UTF-8").arg(QLatin1String(what)));
            return {};
        }
        return text;
    }

  private:
    bool Need(qsizetype n, const char* what) {
        if (failed_) return false;
        if (Left() < n) {
            Fail(QStringLiteral("%1 cut off").arg(QLatin1String(what)));
            return false;
        }
        return true;
    }

    const char* data_;
    qsizetype end_;
    qsizetype pos_;
    bool failed_ = false;
    QString failure_;
    qsizetype failureOffset_ = 0;
};

QImage DecodePng(TByteReader& in, const QByteArray& png) {
    QBuffer buffer;
    buffer.setData(png);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kMaxBitmapSide || size.height() > kMaxBitmapSide) {
        in.Fail(QStringLiteral("bitmap size out of range"));
        return {};
    }
    QImage image = reader.read();
    if (image.isNull()) {
        in.Fail(QStringLiteral("bitmap cannot be decoded"));
        return {};
    }
    return image.convertToFormat(QImage::Format_ARGB32);
}

void ReadRect(TByteReader& in, double& left, double& top, double& right, double& bottom) {
    left = in.Coordinate("left");
    top = in.Coordinate("top");
    right = in.Coordinate("right");
    bottom = in.Coordinate("bottom");
}

// ---- Vector pictures --------------------------------------------------------

double PictureCoordinate(TByteReader& in, const char* what) {
    return in.Number(what, -kMaxPictureCoordinate, kMaxPictureCoordinate);
}

QRectF ReadClip(TByteReader& in) {
    const std::uint8_t flag = in.U8("clip flag");
    if (flag > 1) in.Fail(QStringLiteral("unknown clip flag"));
    if (flag != 1 || in.Failed()) return {};
    const double left = PictureCoordinate(in, "clip left");
    const double top = PictureCoordinate(in, "clip top");
    const double right = PictureCoordinate(in, "clip right");
    const double bottom = PictureCoordinate(in, "clip bottom");
    const QRectF clip(QPointF(left, top), QPointF(right, bottom));
    if (!in.Failed() && clip.isNull()) in.Fail(QStringLiteral("empty clip"));
    return clip;
}

// Bytes of the smallest picture item, a shape without clip and polygons
// (kind, clip flag, pen, brush, rule, polygon count); they bound the item
// count. A text item takes more.
constexpr qsizetype kMinPictureItemBytes = 1 + 1 + 4 + 1 + 8 + 4 + 1 + 4;
constexpr qsizetype kPointBytes = 2 * 8;

TVectorShape ReadShape(TByteReader& in) {
    TVectorShape s;
    s.Clip = ReadClip(in);
    s.PenColour = in.U32("pen colour");
    s.PenStyle = in.U8("pen style");
    if (s.PenStyle > Qt::DashDotDotLine) in.Fail(QStringLiteral("unknown pen style"));
    s.PenWidth = in.Number("pen width", 0, kMaxPictureLineWidth);
    s.BrushColour = in.U32("brush colour");
    const std::uint8_t rule = in.U8("fill rule");
    if (rule > 1) in.Fail(QStringLiteral("unknown fill rule"));
    s.Winding = rule == 1;
    const std::uint32_t polygons = in.Count("polygon count", 4);
    for (std::uint32_t i = 0; i < polygons && !in.Failed(); ++i) {
        const std::uint32_t points = in.Count("point count", kPointBytes);
        QPolygonF& polygon = s.Polygons.emplace_back();
        if (!in.Failed()) polygon.reserve(points);
        for (std::uint32_t p = 0; p < points && !in.Failed(); ++p) {
            const double x = PictureCoordinate(in, "point x");
            polygon.append(QPointF(x, PictureCoordinate(in, "point y")));
        }
    }
    return s;
}

TVectorText ReadPictureText(TByteReader& in) {
    TVectorText t;
    t.Clip = ReadClip(in);
    const double x = PictureCoordinate(in, "text x");
    t.Origin = QPointF(x, PictureCoordinate(in, "text y"));
    t.Angle = in.Number("text angle", -360, 360);
    t.Family = in.Text("font name", 4 * kMaxFontNameLength);
    t.Size = in.Number("font size", 0.01, kMaxPictureCoordinate);
    const std::uint8_t styles = in.U8("font styles");
    if (styles & ~(StyleBold | StyleItalic)) in.Fail(QStringLiteral("unknown font style"));
    t.Bold = styles & StyleBold;
    t.Italic = styles & StyleItalic;
    t.Colour = in.U32("text colour");
    t.Text = in.Text("text", in.Left());
    return t;
}

TVectorPicture ReadPicture(TByteReader& in) {
    TVectorPicture picture;
    picture.Width = in.Number("picture width", 0.01, kMaxPictureCoordinate);
    picture.Height = in.Number("picture height", 0.01, kMaxPictureCoordinate);
    const std::uint32_t items = in.Count("picture item count", kMinPictureItemBytes);
    if (items > static_cast<std::uint32_t>(kMaxPictureItems))
        in.Fail(QStringLiteral("picture item count out of range"));
    if (!in.Failed()) picture.Items.reserve(items);
    for (std::uint32_t i = 0; i < items && !in.Failed(); ++i) {
        switch (in.U8("picture item kind")) {
        case ItemShape:
            picture.Items.push_back(ReadShape(in));
            break;
        case ItemText:
            picture.Items.push_back(ReadPictureText(in));
            break;
        default:
            in.Fail(QStringLiteral("unknown picture item kind"));
        }
    }
    return picture;
}

TPageCommand ReadCommand(TByteReader& in) {
    switch (in.U8("command kind")) {
    case KindText: {
        TTextCmd c;
        c.X = in.Coordinate("text x");
        c.Y = in.Coordinate("text y");
        c.Width = in.Number("text width", 0, kMaxCoordinate);
        c.Font.Name = in.Text("font name", 4 * kMaxFontNameLength);
        c.Font.Size = in.Number("font size", kMinFontSize, kMaxFontSize);
        const std::uint8_t styles = in.U8("font styles");
        if (styles & ~StyleAll) in.Fail(QStringLiteral("unknown font style"));
        c.Font.Bold = styles & StyleBold;
        c.Font.Italic = styles & StyleItalic;
        c.Font.Underline = styles & StyleUnderline;
        c.Font.StrikeOut = styles & StyleStrikeOut;
        c.Text = in.Text("text", in.Left());
        return c;
    }
    case KindLine: {
        TLineCmd c;
        ReadRect(in, c.X1, c.Y1, c.X2, c.Y2);
        c.Pen.Colour = in.U32("pen colour");
        c.Pen.Style = in.U8("pen style");
        if (c.Pen.Style > Qt::DashDotDotLine) in.Fail(QStringLiteral("unknown pen style"));
        c.Pen.Width = in.Number("pen width", 0, kMaxLineWidth);
        return c;
    }
    case KindFill: {
        TFillCmd c;
        ReadRect(in, c.Left, c.Top, c.Right, c.Bottom);
        c.Colour = in.U32("fill colour");
        return c;
    }
    case KindFrame: {
        TFrameCmd c;
        ReadRect(in, c.Left, c.Top, c.Right, c.Bottom);
        c.Colour = in.U32("frame colour");
        c.Width = in.Number("frame width", 0, kMaxLineWidth);
        return c;
    }
    case KindBitmap: {
        TBitmapCmd c;
        ReadRect(in, c.Left, c.Top, c.Right, c.Bottom);
        const QByteArray png = in.Blob("bitmap", in.Left());
        if (!in.Failed()) c.Image = DecodePng(in, png);
        return c;
    }
    case KindPicture: {
        TPictureCmd c;
        ReadRect(in, c.Left, c.Top, c.Right, c.Bottom);
        c.Picture = ReadPicture(in);
        return c;
    }
    default:
        if (!in.Failed()) in.Fail(QStringLiteral("unknown command kind"));
        return TFillCmd{};
    }
}

// One page's commands, read at the reader's position.
TPage ReadPage(TByteReader& in) {
    TPage page;
    const std::uint32_t commandCount = in.Count("command count", kMinCommandBytes);
    if (commandCount > static_cast<std::uint32_t>(kMaxCommandsPerPage))
        in.Fail(QStringLiteral("command count out of range"));
    if (!in.Failed()) page.Commands.reserve(commandCount);
    for (std::uint32_t c = 0; c < commandCount && !in.Failed(); ++c)
        page.Commands.push_back(ReadCommand(in));
    return page;
}

// The section marks after the last page: each on a page of the report, in
// page order.
void ReadSections(TByteReader& in, std::uint32_t pageCount, std::vector<TSectionMark>& sections) {
    if (in.Failed()) return;
    const std::uint32_t count = in.Count("section count", 4 + 4);
    for (std::uint32_t i = 0; i < count && !in.Failed(); ++i) {
        const std::uint32_t page = in.U32("section page");
        const QString title = in.Text("section title", in.Left());
        const bool ordered = sections.empty() || page >= std::uint32_t(sections.back().Page);
        if (!in.Failed() && (page >= pageCount || !ordered))
            in.Fail(QStringLiteral("section page out of range"));
        sections.push_back({title, static_cast<int>(page)});
    }
}

QString DamagedText(const QString& fileName, const QString& detail) {
    return QStringLiteral("The page file \"%1\" cannot be read: %2.").arg(fileName, detail);
}

TPageFileResult Failure(const QString& fileName, const QString& detail) {
    return {false, DamagedText(fileName, detail), {}};
}

// The header, magic to page count.
void WriteHeader(TByteWriter& out, double width, double height, std::size_t pageCount) {
    out.Bytes().append(kMagic, sizeof kMagic);
    out.U16(kPageFileVersion);
    out.U16(0);
    out.F64(width);
    out.F64(height);
    out.U32(static_cast<std::uint32_t>(pageCount));
}

void WritePage(TByteWriter& out, const TPage& page) {
    out.U32(static_cast<std::uint32_t>(page.Commands.size()));
    for (const TPageCommand& command : page.Commands)
        std::visit(TCommandWriter{out}, command);
}

void WriteSections(TByteWriter& out, const std::vector<TSectionMark>& sections) {
    out.U32(static_cast<std::uint32_t>(sections.size()));
    for (const TSectionMark& section : sections) {
        out.U32(static_cast<std::uint32_t>(section.Page));
        out.Text(section.Title);
    }
}

// The file's bytes. Pages given to keep (TList const) stay as they are; pages
// given away are emptied one by one as soon as they are written.
template <typename TList> QByteArray SerializeList(TList& pages) {
    TByteWriter out;
    WriteHeader(out, pages.Width, pages.Height, pages.Pages.size());
    for (auto& page : pages.Pages) {
        WritePage(out, page);
        if constexpr (!std::is_const_v<TList>) page = TPage{};
    }
    WriteSections(out, pages.Sections);
    out.U32(PageFileChecksum(out.Bytes().constData(), out.Bytes().size()));
    return out.Bytes();
}

QString CannotWriteText(const QString& path, const QString& why) {
    return QStringLiteral("The page file \"%1\" cannot be written: %2.")
        .arg(QString::fromStdString(ShownFileName(QFile::encodeName(path).toStdString())), why);
}

QString WriteBytes(const QString& path, const QByteArray& bytes) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    const std::string failure =
        ReplaceFile(QFile::encodeName(path).toStdString(),
                    std::span(data, static_cast<std::size_t>(bytes.size())));
    if (!failure.empty()) return CannotWriteText(path, QString::fromStdString(failure));
    return {};
}

} // namespace

QByteArray SerializePages(const TPageList& pages) {
    return SerializeList(pages);
}

namespace {

// Receives each page of a file as it is checked, with the bytes it takes: from
// its first byte up to (not including) the last.
using TPageKeeper = std::function<void(qsizetype, qsizetype, TPage&&)>;

// Checks the whole file, every byte as ParsePages says, and hands each page
// read to keep. The result carries the paper and the sections but no pages.
TPageFileResult ScanPages(const QByteArray& bytes, const QString& fileName,
                          const TPageKeeper& keep, const TBytesPassed& passed = {}) {
    if (bytes.size() < qsizetype(sizeof kMagic) ||
        std::memcmp(bytes.constData(), kMagic, sizeof kMagic) != 0)
        return Failure(fileName, QStringLiteral("it is not a report page file"));
    if (bytes.size() < kHeaderBytes + kCrcBytes)
        return Failure(fileName,
                       QStringLiteral("it is damaged (cut off after %1 bytes)").arg(bytes.size()));

    const qsizetype body = bytes.size() - kCrcBytes;
    TByteReader reader(bytes, body); // never reads into the checksum
    reader.Unsigned<std::uint64_t>("magic");
    const std::uint16_t version = reader.U16("version");
    if (version != kPageFileVersion)
        return Failure(fileName, QStringLiteral("it has format version %1; this program reads "
                                                "version %2")
                                     .arg(version)
                                     .arg(kPageFileVersion));
    std::uint32_t storedCrc = 0;
    for (qsizetype i = 0; i < kCrcBytes; ++i)
        storedCrc |= std::uint32_t{static_cast<std::uint8_t>(bytes[body + i])} << (8 * i);
    if (storedCrc != SlicedChecksum(bytes.constData(), body, passed))
        return Failure(fileName, QStringLiteral("it is damaged (checksum mismatch)"));

    if (reader.U16("flags") != 0) reader.Fail(QStringLiteral("unknown flags"));
    TPageFileResult result;
    result.Pages.Width = reader.Number("paper width", 1, 100);
    result.Pages.Height = reader.Number("paper height", 1, 100);
    const std::uint32_t pageCount = reader.Count("page count", kMinPageBytes);
    if (!reader.Failed() && (pageCount == 0 || pageCount > static_cast<std::uint32_t>(kMaxPages)))
        reader.Fail(QStringLiteral("page count out of range"));
    for (std::uint32_t p = 0; p < pageCount && !reader.Failed(); ++p) {
        const qsizetype start = reader.Offset();
        TPage page = ReadPage(reader);
        if (reader.Failed())
            return Failure(fileName, QStringLiteral("it is damaged (%1 on page %2, byte %3)")
                                         .arg(reader.Failure())
                                         .arg(p + 1)
                                         .arg(reader.FailureOffset()));
        keep(start, reader.Offset(), std::move(page));
        if (passed) passed(reader.Offset());
    }
    ReadSections(reader, pageCount, result.Pages.Sections);
    if (!reader.Failed() && reader.Left() != 0)
        reader.Fail(QStringLiteral("%1 unexpected bytes after the sections").arg(reader.Left()));
    if (reader.Failed())
        return Failure(fileName, QStringLiteral("it is damaged (%1, byte %2)")
                                     .arg(reader.Failure())
                                     .arg(reader.FailureOffset()));
    return result;
}

} // namespace

TPageFileResult ParsePages(const QByteArray& bytes, const QString& fileName) {
    std::vector<TPage> pages;
    TPageFileResult result =
        ScanPages(bytes, fileName,
                  [&pages](qsizetype, qsizetype, TPage&& page) { pages.push_back(std::move(page)); });
    if (result.Ok) result.Pages.Pages = std::move(pages);
    return result;
}

QString WritePageFile(const QString& path, const TPageList& pages) {
    return WriteBytes(path, SerializeList(pages));
}

QString WritePageFile(const QString& path, TPageList&& pages) {
    TPageList given = std::move(pages);
    return WriteBytes(path, SerializeList(given));
}

namespace {

// Opens the page file for reading and gives its bytes: a mapping of the file
// where the system allows (no copy of it in memory; mapped then says so), else
// a copy. Returns why it cannot be read, or an empty string.
QString OpenPageBytes(QFile& file, QByteArray& bytes, bool& mapped) {
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString().isEmpty() ? QStringLiteral("it cannot be opened")
                                            : file.errorString();
    if (file.size() > kMaxPageFileBytes)
        return QStringLiteral("it is larger than %1 bytes").arg(kMaxPageFileBytes);
    const uchar* mapping = file.map(0, file.size());
    mapped = mapping != nullptr;
    if (mapped)
        bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(mapping),
                                        static_cast<qsizetype>(file.size()));
    else
        bytes = file.readAll();
    return {};
}

// Hands the mapped bytes before an offset back to the system (they stay in
// the file and are read again when touched), at most every slice of the
// checksum, so that checking a long page file never holds all of it in
// memory. The mapping starts on a page boundary (offset 0).
TBytesPassed ReleaseMappedBytes(const char* mapping) {
    return [mapping, released = qsizetype{0}](qsizetype upTo) mutable {
        if (std::abs(upTo - released) < kChecksumSlice) return;
        released = upTo;
        const qsizetype page = std::max(sysconf(_SC_PAGESIZE), 1L);
        const qsizetype whole = upTo / page * page;
        if (whole > 0)
            madvise(const_cast<char*>(mapping), static_cast<std::size_t>(whole), MADV_DONTNEED);
    };
}

} // namespace

TPageFileResult ReadPageFile(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    QByteArray bytes;
    bool mapped = false; // the pages are kept: the whole file is read anyway
    if (const QString error = OpenPageBytes(file, bytes, mapped); !error.isEmpty())
        return Failure(name, error);
    return ParsePages(bytes, name);
}

bool DeletePageFile(const QString& path) {
    return !QFile::exists(path) || QFile::remove(path);
}

// ---- Writing a page at a time -----------------------------------------------

struct TPageFileWriter::TState {
    QString Path;
    QSaveFile File;
    double Width, Height;
    std::size_t PageCount = 0;
    uLong BodyCrc = crc32(0L, Z_NULL, 0); // of every byte after the header
    qint64 BodyBytes = 0;
    QString Error; // the first failure

    TState(const QString& path, double width, double height)
        : Path(path), File(path), Width(width), Height(height) {}

    void Fail(const QString& why) {
        if (Error.isEmpty()) Error = CannotWriteText(Path, why);
    }
    bool Write(const QByteArray& bytes) {
        if (!Error.isEmpty()) return false;
        if (File.write(bytes) != bytes.size()) Fail(File.errorString());
        return Error.isEmpty();
    }
    // Writes bytes of the body and counts them into its checksum.
    void WriteBody(const QByteArray& bytes) {
        if (!Write(bytes)) return;
        BodyCrc = crc32_z(BodyCrc, reinterpret_cast<const Bytef*>(bytes.constData()),
                          static_cast<z_size_t>(bytes.size()));
        BodyBytes += bytes.size();
    }
    QByteArray Header() const {
        TByteWriter out;
        WriteHeader(out, Width, Height, PageCount);
        return out.Bytes();
    }
};

TPageFileWriter::TPageFileWriter(const QString& path, double paperWidth, double paperHeight)
    : state_(std::make_unique<TState>(path, paperWidth, paperHeight)) {
    if (!state_->File.open(QIODevice::WriteOnly)) {
        state_->Fail(state_->File.errorString());
        return;
    }
    // The page count is not known yet: the header is written again at the end.
    state_->Write(state_->Header());
}

// A QSaveFile that is not committed removes its temporary file.
TPageFileWriter::~TPageFileWriter() = default;

void TPageFileWriter::AddPage(const TPage& page) {
    if (!state_->Error.isEmpty()) return;
    TByteWriter out;
    WritePage(out, page);
    state_->WriteBody(out.Bytes());
    ++state_->PageCount;
}

QString TPageFileWriter::Finish(const std::vector<TSectionMark>& sections) {
    TState& s = *state_;
    TByteWriter out;
    WriteSections(out, sections);
    s.WriteBody(out.Bytes());
    // The checksum of the whole file from the header's and the body's, so the
    // body is never read back.
    const QByteArray header = s.Header();
    const uLong headerCrc = crc32_z(crc32(0L, Z_NULL, 0),
                                    reinterpret_cast<const Bytef*>(header.constData()),
                                    static_cast<z_size_t>(header.size()));
    TByteWriter crc;
    crc.U32(static_cast<std::uint32_t>(crc32_combine64(headerCrc, s.BodyCrc, s.BodyBytes)));
    s.Write(crc.Bytes());
    if (s.Error.isEmpty() && !s.File.seek(0)) s.Fail(s.File.errorString());
    s.Write(header);
    if (s.Error.isEmpty() && !s.File.commit()) s.Fail(s.File.errorString());
    if (!s.Error.isEmpty()) s.File.cancelWriting();
    return s.Error;
}

// ---- Reading a page at a time -----------------------------------------------

TPageFileReader::TPageFileReader(const QString& path)
    : file_(std::make_unique<QFile>(path)), name_(QFileInfo(path).fileName()) {
    QByteArray bytes;
    bool mapped = false;
    if (const QString error = OpenPageBytes(*file_, bytes, mapped); !error.isEmpty()) {
        error_ = DamagedText(name_, error);
        return;
    }
    TPageFileResult checked = ScanPages(
        bytes, name_,
        [this](qsizetype start, qsizetype end, TPage&&) {
            pageStarts_.push_back(start);
            pageEnd_ = end;
        },
        mapped ? ReleaseMappedBytes(bytes.constData()) : TBytesPassed());
    // The pages' bytes are read again one page at a time; the mapping goes.
    const auto* mapping = reinterpret_cast<const uchar*>(bytes.constData());
    bytes = QByteArray();
    if (mapped) file_->unmap(const_cast<uchar*>(mapping));
    if (!checked.Ok) {
        error_ = checked.Error;
        pageStarts_.clear();
        return;
    }
    width_ = checked.Pages.Width;
    height_ = checked.Pages.Height;
    sections_ = std::move(checked.Pages.Sections);
}

TPageFileReader::~TPageFileReader() = default;

const TPage* TPageFileReader::Page(std::size_t index) {
    const qsizetype start = pageStarts_[index];
    const qsizetype end = index + 1 < pageStarts_.size() ? pageStarts_[index + 1] : pageEnd_;
    page_ = TPage{};
    QByteArray bytes;
    if (file_->seek(start)) bytes = file_->read(end - start);
    TByteReader reader(bytes, bytes.size());
    if (bytes.size() == end - start) page_ = ReadPage(reader);
    if (bytes.size() != end - start || reader.Failed() || reader.Left() != 0) {
        error_ = DamagedText(name_, QStringLiteral("it was changed after it was checked "
                                                   "(page %1)")
                                        .arg(index + 1));
        page_ = TPage{};
        return nullptr;
    }
    return &page_;
}

} // namespace corvalt
