#pragma once
// The page file: a recorded report (TPageList) stored as our own versioned
// binary format, written a page at a time as a run lays the pages out, and read
// back by the preview, printing and PDF export. A report window keeps the pages
// in memory once read, so several windows can be open at once even when they
// share one file name; a window may also give its run a page file of its own.
// An export of the command line reads the file a page at a time instead.
//
// Layout, little-endian throughout:
//   "CVPAGES" 0x1A    magic, 8 bytes
//   u16 version (2), u16 flags (0)
//   f64 paper width, f64 paper height (inches)
//   u32 page count, then per page: u32 command count, then the commands,
//       each a u8 kind followed by its fields:
//         1 text:   f64 x, y, width; text font name; f64 size (pt);
//                   u8 styles (1 bold, 2 italic, 4 underline, 8 strike-out);
//                   text
//         2 line:   f64 x1, y1, x2, y2; u32 ARGB colour; u8 Qt::PenStyle;
//                   f64 width
//         3 fill:   f64 left, top, right, bottom; u32 ARGB colour
//         4 frame:  f64 left, top, right, bottom; u32 ARGB colour; f64 width
//         5 bitmap: f64 left, top, right, bottom; blob PNG
//         6 picture: f64 left, top, right, bottom; f64 frame width, height;
//                   u32 item count, then per item a u8 kind and its fields:
//                     1 shape: clip; u32 ARGB pen colour; u8 Qt::PenStyle;
//                              f64 pen width; u32 ARGB brush colour;
//                              u8 fill rule (0 odd-even, 1 winding);
//                              u32 polygon count, per polygon u32 point
//                              count and f64 x, y per point
//                     2 text:  clip; f64 x, y, angle (degrees); text font
//                              name; f64 pixel size; u8 styles (1 bold,
//                              2 italic); u32 ARGB colour; text
//                   a clip is u8 0 (none) or u8 1 and f64 left, top, right,
//                   bottom; picture values are in the frame's units
//   u32 section count, then per section: u32 index of its first page; text
//       title
//   u32 CRC-32 of every byte before it
// Lengths and positions are inches. A text is a u32 byte length and UTF-8, a
// blob a u32 byte length and the bytes.
//
// The reader trusts nothing in the file: every count, length and value is
// checked against the bytes left and the bounds of PageModel.h before it is
// used, so a damaged file ends in a clear error, never a crash or a huge
// allocation.

#include "engine/PageModel.h"
#include "engine/PageSource.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class QFile;

namespace corvalt {

inline constexpr const char* kDefaultPageFileName = "temp.rpt";
inline constexpr int kPageFileVersion = 2;
// Larger files are refused before they are read into memory.
inline constexpr qint64 kMaxPageFileBytes = qint64(1) << 30;

struct TPageFileResult {
    bool Ok = true;
    QString Error; // the text to show when reading failed
    TPageList Pages;
};

QByteArray SerializePages(const TPageList& pages);
// CRC-32 (IEEE 802.3) with which a page file ends, over every byte before it.
std::uint32_t PageFileChecksum(const char* data, qsizetype size);
// fileName only names the file in error texts.
TPageFileResult ParsePages(const QByteArray& bytes,
                           const QString& fileName = QString::fromLatin1(kDefaultPageFileName));

// Writes the file whole or not at all (a failed write leaves any old file as it
// was). Returns an empty string on success, else the error text.
QString WritePageFile(const QString& path, const TPageList& pages);
// The same for pages handed over: each is freed as soon as it is written, so
// that a long report is never held twice in memory.
QString WritePageFile(const QString& path, TPageList&& pages);
TPageFileResult ReadPageFile(const QString& path);
// Deletes the file; a file that does not exist is no error. Returns false only
// when the file exists and could not be deleted.
bool DeletePageFile(const QString& path);

// Writes a page file a page at a time, as the layout finishes each page, so
// that a long report is never held whole in memory. The finished file is byte
// for byte what WritePageFile writes for the same pages, and it appears whole
// or not at all: the pages go to a temporary file beside it, which Finish puts
// in its place; a writer that fails or is never finished leaves no file (and
// any old one as it was).
class TPageFileWriter {
  public:
    explicit TPageFileWriter(const QString& path, double paperWidth = kLetterWidth,
                             double paperHeight = kLetterHeight);
    ~TPageFileWriter();
    TPageFileWriter(const TPageFileWriter&) = delete;
    TPageFileWriter& operator=(const TPageFileWriter&) = delete;

    // Appends the page. After a failure further pages are ignored and Finish
    // reports the failure.
    void AddPage(const TPage& page);
    // Writes the sections, the page count and the checksum and puts the file
    // in place. Returns an empty string on success, else the error text.
    QString Finish(const std::vector<TSectionMark>& sections);

  private:
    struct TState;
    std::unique_ptr<TState> state_;
};

// A page file checked whole once, with every check of ParsePages, and then
// read a page at a time: it keeps the file open and where each page starts,
// never the pages, so a long report is not held in memory.
class TPageFileReader final : public TPageSource {
  public:
    explicit TPageFileReader(const QString& path);
    ~TPageFileReader() override;
    TPageFileReader(const TPageFileReader&) = delete;
    TPageFileReader& operator=(const TPageFileReader&) = delete;

    // Whether the file passed the checks; Error() says why it did not.
    bool Ok() const { return error_.isEmpty(); }
    QString Error() const override { return error_; }
    double PaperWidth() const override { return width_; }
    double PaperHeight() const override { return height_; }
    std::size_t PageCount() const override { return pageStarts_.size(); }
    const std::vector<TSectionMark>& Sections() const override { return sections_; }
    // Reads the page from the file; null only when the file was changed on the
    // disk after it was checked.
    const TPage* Page(std::size_t index) override;

  private:
    std::unique_ptr<QFile> file_;
    QByteArray bytes_; // the file's bytes, mapped where the system allows
    QString name_;
    QString error_;
    double width_ = kLetterWidth, height_ = kLetterHeight;
    std::vector<qsizetype> pageStarts_;
    qsizetype pageEnd_ = 0; // the byte after the last page
    std::vector<TSectionMark> sections_;
    TPage page_; // the page read last
};

} // namespace corvalt
