#include "plots/PlotPicture.h"

#include "model/FileIo.h"
#include "model/TextHelpers.h"
#include "plots/ProfileChart.h"

#include <QBuffer>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <span>

namespace corvalt {
namespace {

// The chart laid out at the size in a scene of its own, its labels placed.
class TOffscreenChart {
  public:
    TOffscreenChart(const TPlotData& data, QSize size) : chart_(new TProfileChart(data)) {
        scene_.addItem(chart_); // the scene owns the chart
        chart_->setGeometry(QRectF(QPointF(0, 0), QSizeF(size)));
        if (chart_->layout() != nullptr) chart_->layout()->activate();
        chart_->PlaceLabels();
        scene_.setSceneRect(QRectF(QPointF(0, 0), QSizeF(size)));
    }
    void Render(QPainter& painter, const QRectF& target) {
        scene_.render(&painter, target, scene_.sceneRect());
    }

  private:
    QGraphicsScene scene_;
    TProfileChart* chart_;
};

QByteArray PngBytes(const TPicturePaint& paint, QSize size, QString& error) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        paint(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) error = QStringLiteral("the PNG encoder failed");
    return bytes;
}

QByteArray SvgBytes(const TPicturePaint& paint, QSize size, const QString& title, QString& error) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(title);
    QPainter painter;
    if (!painter.begin(&svg)) {
        error = QStringLiteral("the SVG writer did not start");
        return {};
    }
    paint(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    return bytes;
}

QByteArray PdfBytes(const TPicturePaint& paint, QSize size, const QString& title, QString& error) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("Corvalt"));
        writer.setTitle(title);
        // One unit a point, so the drawing's sizes are the page's.
        writer.setResolution(72);
        writer.setPageLayout(QPageLayout(QPageSize(QSizeF(size), QPageSize::Point),
                                         QPageLayout::Portrait, QMarginsF()));
        QPainter painter;
        if (!painter.begin(&writer)) {
            error = QStringLiteral("the PDF writer did not start");
            return {};
        }
        paint(painter, QRectF(QPointF(0, 0), QSizeF(size)));
        painter.end();
    }
    return bytes;
}

} // namespace

std::optional<TPictureFormat> PictureFormatOf(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".png") return TPictureFormat::Png;
    if (extension == ".svg") return TPictureFormat::Svg;
    if (extension == ".pdf") return TPictureFormat::Pdf;
    return std::nullopt;
}

void PaintPlot(const TPlotData& data, QPainter& painter, const QRectF& target, QSize size) {
    TOffscreenChart chart(data, size);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    chart.Render(painter, target);
    painter.restore();
}

QByteArray PictureBytes(const TPlotData& data, TPictureFormat format, QString& error, QSize size) {
    const TPicturePaint paint = [&data, size](QPainter& painter, const QRectF& target) {
        PaintPlot(data, painter, target, size);
    };
    return PaintedPictureBytes(paint, format, size, QStringLiteral("Corvalt plot"), error);
}

QByteArray PaintedPictureBytes(const TPicturePaint& paint, TPictureFormat format, QSize size,
                               const QString& title, QString& error) {
    switch (format) {
    case TPictureFormat::Png:
        return PngBytes(paint, size, error);
    case TPictureFormat::Svg:
        return SvgBytes(paint, size, title, error);
    case TPictureFormat::Pdf:
        return PdfBytes(paint, size, title, error);
    }
    error = QStringLiteral("unknown picture format");
    return {};
}

QString WritePictureFile(const std::string& path, const QByteArray& bytes,
                         const QString& drawError) {
    const auto failure = [&path](const QString& why) {
        return QStringLiteral("The picture file \"%1\" cannot be written: %2.")
            .arg(QString::fromStdString(ShownFileName(path)), why);
    };
    if (!drawError.isEmpty()) return failure(drawError);
    const auto* begin = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    const std::string written =
        ReplaceFile(path, std::span(begin, static_cast<std::size_t>(bytes.size())));
    if (!written.empty()) return failure(QString::fromStdString(written));
    return {};
}

QString ExportPicture(const TPlotData& data, const std::string& path, TPictureFormat format,
                      QSize size) {
    QString error;
    const QByteArray bytes = PictureBytes(data, format, error, size);
    return WritePictureFile(path, bytes, error);
}

} // namespace corvalt
