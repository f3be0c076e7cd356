#pragma once
// A plot drawn offscreen into a picture file, PNG, SVG or PDF (at a size, or
// on Letter or A4 paper with a title block), written through
// the program's one safe writer (model/FileIo.h): a pipe, a device or a folder
// as the target is refused as it is for projects. Shared by the results
// panel's picture export and corvalt-cli plot. Needs a QApplication (the
// charts are widgets' graphics items); the platform may be offscreen.

#include "plots/PlotData.h"

#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace corvalt {

class TScenario;

enum class TPictureFormat { Png, Svg, Pdf };

// The format a file name asks for by its extension (".png", ".svg", ".pdf",
// in any case); empty for any other name.
std::optional<TPictureFormat> PictureFormatOf(const std::string& path);

// The size a picture is drawn at, in pixels (PNG, SVG) or points (PDF).
inline constexpr QSize kPictureSize(1200, 750);
// The sides a picture may have, in pixels or points.
inline constexpr int kMinPictureSide = 100, kMaxPictureSide = 10000;

// Whether each side of the size lies within kMinPictureSide..kMaxPictureSide.
bool IsPictureSizeAllowed(QSize size);

// The paper a PDF picture may be printed on, always landscape.
enum class TPaper { Letter, A4 };

// The paper a name asks for: "letter" or "a4" in any case; empty for others.
std::optional<TPaper> PaperOf(std::string_view name);

// What the block under a picture on paper tells: whose drawing it is, when
// it was made and by which program.
struct TTitleBlock {
    QString Project;      // the project's title
    QString CrossSection; // the cross section's title (or the plan's name)
    QString SubjectCaption = QStringLiteral("Cross section"); // what CrossSection names
    QString Date;         // the day the picture was made, yyyy-mm-dd
    QString Version;      // the program and its version
};

// A block dated today and signed with the program's version: the project's
// title, and what the drawing shows under its caption ("Cross section",
// "Plan").
TTitleBlock DatedTitleBlock(const QString& project, const QString& subjectCaption,
                            const QString& subject);

// The block for a cross section of its project, dated today.
TTitleBlock TitleBlockOf(const TScenario& scenario);

// Draws the plot laid out at size (pixels of a screen image) onto the painter,
// stretched into target. Needs a QApplication, as every chart does.
void PaintPlot(const TPlotData& data, QPainter& painter, const QRectF& target,
               QSize size = kPictureSize);

// Draws onto the painter within the rectangle: a plot, a field map.
using TPicturePaint = std::function<void(QPainter&, const QRectF&)>;

// The drawing on a white image of the size, in pixels.
QImage PaintedImage(const TPicturePaint& paint, QSize size);

// A drawing as a picture file's bytes at the size (pixels for PNG and SVG,
// points for PDF), titled where the format keeps a title; empty with error
// set when drawing failed.
QByteArray PaintedPictureBytes(const TPicturePaint& paint, TPictureFormat format, QSize size,
                               const QString& title, QString& error);

// A one-page PDF on the paper in landscape: the drawing fills the page above
// the title block, within the page's margins. Empty with error set when
// drawing failed.
QByteArray PaperPdfBytes(const TPicturePaint& paint, TPaper paper, const TTitleBlock& block,
                         QString& error);

// How a picture file is laid out: at a size (pixels for PNG and SVG, points
// for a PDF), or a PDF on paper with a title block.
struct TPictureLayout {
    QSize Size = kPictureSize; // kMinPictureSide..kMaxPictureSide each
    std::optional<TPaper> Paper; // a PDF only
    TTitleBlock Title;           // shown on paper
};

// The drawing laid out as a picture file's bytes; empty with error set when
// drawing failed, the size is out of range or paper is asked for a PNG or SVG.
QByteArray LaidOutPictureBytes(const TPicturePaint& paint, TPictureFormat format,
                               const TPictureLayout& layout, QString& error);

// The plot's file bytes, laid out at the size it is drawn at; empty with
// error set when drawing failed.
QByteArray PictureBytes(const TPlotData& data, TPictureFormat format, QString& error,
                        const TPictureLayout& layout = {});

// Replaces the file at path by the bytes, unless drawing failed (drawError).
// Empty on success, else the message for the user: "The picture file
// "<name>" cannot be written: <why>."
QString WritePictureFile(const std::string& path, const QByteArray& bytes,
                         const QString& drawError);

// Draws the plot and replaces the file at path by the picture. Empty on
// success, else the message for the user: "The picture file "<name>" cannot
// be written: <why>."
QString ExportPicture(const TPlotData& data, const std::string& path, TPictureFormat format,
                      const TPictureLayout& layout = {});

} // namespace corvalt
