// The page file: round trips, and damaged files refused with a clear error.

#include "EngineTestSupport.h"

#include "engine/PageFile.h"
#include "engine/PageRenderer.h"
#include "engine/ReportRun.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <limits>

namespace corvalt {
namespace {

using test::SamplePages;

TPageList EveryCommandKind() {
    TPageList pages;
    TPage& page = pages.Pages.emplace_back();
    TFontSpec font{QStringLiteral("Tahoma"), 12.5, true, true, true, true};
    page.Commands.push_back(TTextCmd{1.25, 2.5, QStringLiteral("Ünïcödé ± µT – ok"), font, 1.75});
    page.Commands.push_back(
        TLineCmd{0, 0, 8.5, 11, {qRgba(10, 20, 30, 40), Qt::DashDotLine, 0.03}});
    page.Commands.push_back(TFillCmd{1, 2, 3, 4, ShadeColour(5)});
    page.Commands.push_back(TFrameCmd{-1, -2, 9, 12, qRgb(255, 0, 0), kDevicePixel});
    page.Commands.push_back(
        TBitmapCmd{1, 1, 1.1, 1.1, test::SampleBitmap().convertToFormat(QImage::Format_ARGB32)});
    TVectorPicture picture{640, 400, {}};
    picture.Items.push_back(TVectorShape{{QPolygonF({{1, 2}, {3, 4}, {5, 2}, {1, 2}}), QPolygonF()},
                                         qRgba(1, 2, 3, 4),
                                         Qt::DashLine,
                                         1.5,
                                         qRgb(9, 8, 7),
                                         true,
                                         QRectF(10, 20, 30, 40)});
    picture.Items.push_back(TVectorText{{7.5, -2},
                                        -90,
                                        QStringLiteral("E (kV/m) µ"),
                                        QStringLiteral("DejaVu Sans"),
                                        12.5,
                                        true,
                                        false,
                                        qRgb(0, 0, 255),
                                        QRectF()});
    page.Commands.push_back(TPictureCmd{0.75, 2.5, 8, 7, picture});
    pages.Pages.emplace_back(); // an empty page
    pages.Sections = {{QStringLiteral("Nörth — 1"), 0}, {QStringLiteral("Empty"), 1}};
    return pages;
}

TEST(PageFile, EveryCommandKindSurvivesARoundTrip) {
    const TPageList pages = EveryCommandKind();
    const TPageFileResult read = ParsePages(SerializePages(pages));
    ASSERT_TRUE(read.Ok) << read.Error.toStdString();
    EXPECT_EQ(read.Pages, pages);
}

TEST(PageFile, WrittenAndReadBackRendersTheSame) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(kDefaultPageFileName));
    const TPageList pages = SamplePages(3);
    ASSERT_EQ(WritePageFile(path, pages), QString());
    const TPageFileResult read = ReadPageFile(path);
    ASSERT_TRUE(read.Ok) << read.Error.toStdString();
    ASSERT_EQ(read.Pages, pages);
    EXPECT_EQ(RenderPageImage(read.Pages, 1, 50), RenderPageImage(pages, 1, 50));
    EXPECT_TRUE(DeletePageFile(path));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(DeletePageFile(path)); // already gone: no error
}

TEST(PageFile, ReportRunsKeepTheirOwnPages) {
    QTemporaryDir dir;
    const QString shared = dir.filePath(QStringLiteral("temp.rpt"));
    test::TLambdaReport first, second;
    first.Body = [](TPageCanvas& c) { c.PrintText(QStringLiteral("first")); };
    second.Body = [](TPageCanvas& c) {
        c.PrintText(QStringLiteral("second"));
        c.NewPage();
    };
    const TPageFileResult a = RunReportToFile(first, shared);
    ASSERT_TRUE(a.Ok) << a.Error.toStdString();
    std::vector<int> started;
    const TPageFileResult b =
        RunReportToFile(second, shared, [&](int page) { started.push_back(page); });
    ASSERT_TRUE(b.Ok);
    EXPECT_EQ(started, (std::vector<int>{1, 2}));
    // The first window's pages are in memory: rewriting the file spoils nothing.
    EXPECT_EQ(a.Pages.Pages.size(), 1u);
    EXPECT_EQ(a.Pages.Pages[0].PlainText(), QStringLiteral("first"));
    EXPECT_EQ(ReadPageFile(shared).Pages, b.Pages);
    // A run may also have a file of its own.
    const TPageFileResult c = RunReportToFile(first, dir.filePath(QStringLiteral("window2.rpt")));
    ASSERT_TRUE(c.Ok);
    EXPECT_EQ(c.Pages, a.Pages);
}

TEST(PageFile, UnwritableAndMissingFilesGiveErrors) {
    QTemporaryDir dir;
    const QString missingFolder = dir.filePath(QStringLiteral("no/such/folder/temp.rpt"));
    EXPECT_TRUE(WritePageFile(missingFolder, SamplePages(1)).contains(QStringLiteral("temp.rpt")));
    const TPageFileResult read = ReadPageFile(dir.filePath(QStringLiteral("absent.rpt")));
    EXPECT_FALSE(read.Ok);
    EXPECT_TRUE(read.Error.contains(QStringLiteral("\"absent.rpt\"")));
    test::TLambdaReport empty;
    EXPECT_FALSE(RunReportToFile(empty, missingFolder).Ok);
}

TEST(PageFile, CutAtEveryByteIsRefused) {
    const QByteArray bytes = SerializePages(EveryCommandKind());
    for (qsizetype n = 0; n < bytes.size(); ++n) {
        const TPageFileResult read = ParsePages(bytes.left(n), QStringLiteral("cut.rpt"));
        ASSERT_FALSE(read.Ok) << "cut at " << n;
        ASSERT_TRUE(
            read.Error.startsWith(QStringLiteral("The page file \"cut.rpt\" cannot be read")))
            << read.Error.toStdString();
        ASSERT_TRUE(read.Pages.Pages.empty());
    }
}

TEST(PageFile, AnyChangedByteIsRefused) {
    const QByteArray bytes = SerializePages(EveryCommandKind());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        for (char mask : {char(0x01), char(0x80), char(0xFF)}) {
            QByteArray damaged = bytes;
            damaged[i] = char(damaged[i] ^ mask);
            ASSERT_FALSE(ParsePages(damaged).Ok) << "byte " << i;
        }
    }
    EXPECT_FALSE(ParsePages(bytes + QByteArray(1, '\0')).Ok);
}

// The bytes saved as a file and opened with the reader of a page at a time.
QString RefusalOfReader(const QByteArray& bytes, const QString& name) {
    QTemporaryDir dir;
    QFile file(dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    const TPageFileReader reader(file.fileName());
    EXPECT_EQ(reader.PageCount(), 0u);
    return reader.Error();
}

// Refused as damaged by ParsePages, and by the reader of a page at a time with
// the same text.
void ExpectRefusedAsDamaged(const QByteArray& bytes) {
    const QString name = QStringLiteral("forged.rpt");
    const TPageFileResult read = ParsePages(bytes, name);
    EXPECT_FALSE(read.Ok);
    EXPECT_TRUE(read.Error.contains(QStringLiteral("damaged"))) << read.Error.toStdString();
    EXPECT_EQ(RefusalOfReader(bytes, name), read.Error);
}

// Files with a valid checksum whose contents lie: the structure checks alone
// must refuse them. Each case edits the body of a one-page file and re-signs it.
class TForgedFile {
  public:
    TForgedFile() {
        TPageList pages;
        TPage& page = pages.Pages.emplace_back();
        page.Commands.push_back(TTextCmd{1, 2, QStringLiteral("abc"), {}, 0.5});
        body_ = SerializePages(pages);
        body_.chop(4);
    }
    // Offsets in the one-page file.
    static constexpr qsizetype kWidth = 12, kPageCount = 28, kCommandCount = 32, kKind = 36,
                               kTextX = 37, kFontNameLength = 61, kFontName = 65;

    TForgedFile& Put32(qsizetype at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            body_[at + i] = char((v >> (8 * i)) & 0xFF);
        return *this;
    }
    TForgedFile& PutDouble(qsizetype at, double v) {
        const auto bits = std::bit_cast<std::uint64_t>(v);
        for (int i = 0; i < 8; ++i)
            body_[at + i] = char((bits >> (8 * i)) & 0xFF);
        return *this;
    }
    TForgedFile& Put8(qsizetype at, std::uint8_t v) {
        body_[at] = char(v);
        return *this;
    }
    TForgedFile& Append(const QByteArray& more) {
        body_ += more;
        return *this;
    }
    QByteArray Signed() const {
        QByteArray bytes = body_;
        const std::uint32_t crc = PageFileChecksum(bytes.constData(), bytes.size());
        for (int i = 0; i < 4; ++i)
            bytes.append(char((crc >> (8 * i)) & 0xFF));
        return bytes;
    }
    QByteArray& Body() { return body_; }

  private:
    QByteArray body_;
};

// The forged file with one section titled "A" that starts on page index `page`.
QByteArray WithSection(std::uint32_t page) {
    TForgedFile file;
    const qsizetype at = file.Body().size() - 4; // the section count
    file.Append(QByteArray(9, 'A'));             // page, title length, title
    return file.Put32(at, 1).Put32(at + 4, page).Put32(at + 8, 1).Signed();
}

TEST(PageFile, ForgedButSignedFilesAreRefusedByTheStructureChecks) {
    ASSERT_TRUE(ParsePages(TForgedFile().Signed()).Ok);
    ASSERT_EQ(ParsePages(WithSection(0)).Pages.Sections,
              (std::vector<TSectionMark>{{QStringLiteral("A"), 0}}));
    ASSERT_EQ(TForgedFile().Body().mid(TForgedFile::kFontName, 5), QByteArray("Arial"));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct TCase {
        const char* Name;
        QByteArray Bytes;
    };
    const TCase cases[] = {
        {"huge page count", TForgedFile().Put32(TForgedFile::kPageCount, 0xFFFFFFFF).Signed()},
        {"no pages", TForgedFile().Put32(TForgedFile::kPageCount, 0).Signed()},
        {"huge command count", TForgedFile().Put32(TForgedFile::kCommandCount, 50000000).Signed()},
        {"command count past the end", TForgedFile().Put32(TForgedFile::kCommandCount, 2).Signed()},
        {"unknown kind", TForgedFile().Put8(TForgedFile::kKind, 99).Signed()},
        {"NaN coordinate", TForgedFile().PutDouble(TForgedFile::kTextX, nan).Signed()},
        {"far coordinate", TForgedFile().PutDouble(TForgedFile::kTextX, 1e6).Signed()},
        {"zero paper", TForgedFile().PutDouble(TForgedFile::kWidth, 0).Signed()},
        {"huge string", TForgedFile().Put32(TForgedFile::kFontNameLength, 0x7FFFFFFF).Signed()},
        {"long font name", TForgedFile().Put32(TForgedFile::kFontNameLength, 2000).Signed()},
        {"bad UTF-8", TForgedFile().Put8(TForgedFile::kFontName, 0xFF).Signed()},
        {"trailing bytes", TForgedFile().Append(QByteArray(3, 'x')).Signed()},
        {"flags", TForgedFile().Put8(10, 1).Signed()},
        {"section past the last page", WithSection(1)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        ExpectRefusedAsDamaged(c.Bytes);
    }
}

QByteArray SignedSinglePage(const TPageCommand& command,
                            const std::function<void(QByteArray&)>& edit) {
    TPageList pages;
    pages.Pages.emplace_back().Commands.push_back(command);
    QByteArray bytes = SerializePages(pages);
    bytes.chop(4);
    edit(bytes);
    const std::uint32_t crc = PageFileChecksum(bytes.constData(), bytes.size());
    for (int i = 0; i < 4; ++i)
        bytes.append(char((crc >> (8 * i)) & 0xFF));
    return bytes;
}

TEST(PageFile, BadValuesInsideCommandsAreRefused) {
    // Offsets after the kind byte (at 36): a line's colour at 69, style at 73;
    // a text's style bits after its font name; a bitmap's PNG at 73.
    const TLineCmd line{0, 0, 1, 1, {}};
    EXPECT_FALSE(ParsePages(SignedSinglePage(line, [](QByteArray& b) { b[73] = 9; })).Ok);
    EXPECT_FALSE(ParsePages(SignedSinglePage(line, [](QByteArray& b) {
                     const double w = 5.0; // wider than any pen
                     std::memcpy(b.data() + 74, &w, 8);
                 })).Ok);
    const TTextCmd text{1, 1, QStringLiteral("x"), {QStringLiteral("A"), 10}, 0.1};
    EXPECT_FALSE(ParsePages(SignedSinglePage(text, [](QByteArray& b) { b[74] = 0x10; })).Ok);

    QImage wide(kMaxBitmapSide + 1, 1, QImage::Format_ARGB32);
    wide.fill(Qt::black);
    const TBitmapCmd bitmap{0, 0, 1, 1, wide};
    const TPageFileResult tooWide = ParsePages(SignedSinglePage(bitmap, [](QByteArray&) {}));
    EXPECT_FALSE(tooWide.Ok);
    EXPECT_TRUE(tooWide.Error.contains(QStringLiteral("bitmap size")));
    const TBitmapCmd small{0, 0, 1, 1, test::SampleBitmap()};
    const TPageFileResult garbled = ParsePages(SignedSinglePage(small, [](QByteArray& b) {
        for (qsizetype i = 90; i < b.size(); ++i)
            b[i] = char(i * 7);
    }));
    EXPECT_FALSE(garbled.Ok);
}

// A picture with one shape of two points and no clip: its kind at byte 36,
// rectangle 37, frame width 69, item count 85, the shape's kind 89, clip flag
// 90, pen style 95, fill rule 108, polygon count 109, point count 113, first
// x 117.
TEST(PageFile, BadValuesInsidePicturesAreRefused) {
    TVectorPicture picture{100, 50, {}};
    TVectorShape shape;
    shape.Polygons = {QPolygonF({{1, 2}, {3, 4}})};
    picture.Items.push_back(shape);
    const TPictureCmd command{1, 1, 2, 2, picture};
    ASSERT_TRUE(ParsePages(SignedSinglePage(command, [](QByteArray&) {})).Ok);
    // A value of type T written at byte `at`.
    const auto put = []<typename T>(qsizetype at, T v) {
        return [at, v](QByteArray& b) { std::memcpy(b.data() + at, &v, sizeof v); };
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::pair<const char*, std::function<void(QByteArray&)>> cases[] = {
        {"huge item count", put(85, 0xFFFFFFFFu)},
        {"item count past the end", put(85, 2u)},
        {"huge polygon count", put(109, 1u << 30)},
        {"huge point count", put(113, 1u << 28)},
        {"unknown item kind", put(89, char(3))},
        {"unknown clip flag", put(90, char(2))},
        {"unknown pen style", put(95, char(6))},
        {"unknown fill rule", put(108, char(2))},
        {"zero frame", put(69, 0.0)},
        {"NaN point", put(117, nan)},
        {"far point", put(117, 2 * kMaxPictureCoordinate)},
    };
    for (const auto& [name, edit] : cases) {
        SCOPED_TRACE(name);
        ExpectRefusedAsDamaged(SignedSinglePage(command, edit));
    }
}

// Pages handed to the writer are freed as they are written; the file is the
// same as that of pages kept, and reads back (through a mapping) whole.
TEST(PageFile, HandedOverPagesWriteTheSameFile) {
    QTemporaryDir dir;
    const QString kept = dir.filePath(QStringLiteral("kept.rpt"));
    const QString given = dir.filePath(QStringLiteral("given.rpt"));
    const TPageList pages = EveryCommandKind();
    ASSERT_EQ(WritePageFile(kept, pages), QString());
    TPageList handed = pages;
    ASSERT_EQ(WritePageFile(given, std::move(handed)), QString());
    QFile a(kept), b(given);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll());
    EXPECT_EQ(ReadPageFile(given).Pages, pages);
}

TEST(PageFile, OtherFilesAndOtherVersionsAreNamed) {
    const TPageFileResult notOurs = ParsePages(QByteArray("%PDF-1.4 something"));
    EXPECT_TRUE(notOurs.Error.contains(QStringLiteral("not a report page file")));
    QByteArray newer = SerializePages(SamplePages(1));
    newer[8] = 3;
    EXPECT_TRUE(ParsePages(newer).Error.contains(QStringLiteral("format version 3")));
    // The reader of a page at a time refuses them, and a changed byte and a
    // cut file, with the same words.
    QByteArray flipped = SerializePages(SamplePages(1));
    flipped[100] = char(flipped[100] ^ 0x10);
    const QString name = QStringLiteral("temp.rpt");
    for (const QByteArray& bytes : {QByteArray("%PDF-1.4 something"), newer, flipped,
                                    SerializePages(SamplePages(1)).chopped(1)}) {
        const QString refusal = ParsePages(bytes, name).Error;
        ASSERT_FALSE(refusal.isEmpty());
        EXPECT_EQ(RefusalOfReader(bytes, name), refusal);
    }
}

// The page file's checksum is the CRC-32 of IEEE 802.3: the check value of
// "123456789" is 0xCBF43926 and of no bytes 0.
TEST(PageFile, ChecksumIsTheStandardCrc32) {
    EXPECT_EQ(PageFileChecksum("123456789", 9), 0xCBF43926u);
    EXPECT_EQ(PageFileChecksum("", 0), 0u);
}

} // namespace
} // namespace corvalt
