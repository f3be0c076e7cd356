#pragma once
// The page file: a recorded report (TPageList) stored as our own versioned
// binary format, written after a run and read back by the preview, printing and
// PDF export. A report window keeps the pages in memory once read, so several
// windows can be open at once even when they share one file name; a window may
// also give its run a page file of its own.
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

#include <QByteArray>
#include <QString>

#include <cstdint>

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

} // namespace corvalt
