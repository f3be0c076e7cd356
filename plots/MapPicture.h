#pragma once
// A field map's colour map written as a picture file, PNG, SVG or PDF, of the
// size asked for (pixels for PNG and SVG, points for PDF), through the
// program's one safe writer (model/FileIo.h). Needs a QGuiApplication; the
// platform may be offscreen.

#include "plots/FieldMapDrawing.h"
#include "plots/PlotPicture.h"

#include <QByteArray>
#include <QSize>
#include <QString>

#include <string>

namespace corvalt {

// The size a map is drawn at unless another is asked for.
inline constexpr QSize kMapPictureSize(1200, 900);
// The largest side a map picture may have.
inline constexpr int kMaxMapPictureSide = 10000;

// The file's bytes; empty with error set when drawing failed.
QByteArray MapPictureBytes(const TPlan& plan, const space::TFieldMap& map,
                           const TMapDrawOptions& options, TPictureFormat format, QSize size,
                           QString& error);

// The map laid out as a picture file's bytes: at a size, or a PDF on paper
// with the title block; empty with error set when drawing failed or the
// layout is refused (PlotPicture.h, LaidOutPictureBytes).
QByteArray LaidOutMapPictureBytes(const TPlan& plan, const space::TFieldMap& map,
                                  const TMapDrawOptions& options, TPictureFormat format,
                                  const TPictureLayout& layout, QString& error);

// The title block of a plan's map on paper, dated today.
TTitleBlock MapTitleBlock(const QString& projectTitle, const TPlan& plan);

// Draws the map and replaces the file at path by the picture. Empty on
// success, else the message for the user: "The picture file "<name>" cannot
// be written: <why>."
QString ExportMapPicture(const TPlan& plan, const space::TFieldMap& map,
                         const TMapDrawOptions& options, const std::string& path,
                         TPictureFormat format, QSize size = kMapPictureSize);

} // namespace corvalt
