#pragma once
// A plot drawn offscreen into a picture file, PNG, SVG or PDF, written through
// the program's one safe writer (model/FileIo.h): a pipe, a device or a folder
// as the target is refused as it is for projects. Shared by the results
// panel's picture export and corvalt-cli plot. Needs a QApplication (the
// charts are widgets' graphics items); the platform may be offscreen.

#include "plots/PlotData.h"

#include <QByteArray>
#include <QPainter>
#include <QRectF>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>
#include <string>

namespace corvalt {

enum class TPictureFormat { Png, Svg, Pdf };

// The format a file name asks for by its extension (".png", ".svg", ".pdf",
// in any case); empty for any other name.
std::optional<TPictureFormat> PictureFormatOf(const std::string& path);

// The size a picture is drawn at, in pixels (PNG, SVG) or points (PDF).
inline constexpr QSize kPictureSize(1200, 750);

// The file's bytes; empty with error set when drawing failed.
QByteArray PictureBytes(const TPlotData& data, TPictureFormat format, QString& error,
                        QSize size = kPictureSize);

// Draws the plot laid out at size (pixels of a screen image) onto the painter,
// stretched into target. Needs a QApplication, as every chart does.
void PaintPlot(const TPlotData& data, QPainter& painter, const QRectF& target,
               QSize size = kPictureSize);

// Draws onto the painter within the rectangle: a plot, a field map.
using TPicturePaint = std::function<void(QPainter&, const QRectF&)>;

// A drawing as a picture file's bytes at the size (pixels for PNG and SVG,
// points for PDF), titled where the format keeps a title; empty with error
// set when drawing failed.
QByteArray PaintedPictureBytes(const TPicturePaint& paint, TPictureFormat format, QSize size,
                               const QString& title, QString& error);

// Replaces the file at path by the bytes, unless drawing failed (drawError).
// Empty on success, else the message for the user: "The picture file
// "<name>" cannot be written: <why>."
QString WritePictureFile(const std::string& path, const QByteArray& bytes,
                         const QString& drawError);

// Draws the plot and replaces the file at path by the picture. Empty on
// success, else the message for the user: "The picture file "<name>" cannot
// be written: <why>."
QString ExportPicture(const TPlotData& data, const std::string& path, TPictureFormat format,
                      QSize size = kPictureSize);

} // namespace corvalt
