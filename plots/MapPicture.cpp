#include "plots/MapPicture.h"

#include "model/FileIo.h"
#include "model/TextHelpers.h"

#include <QBuffer>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <filesystem>
#include <functional>
#include <span>

namespace corvalt {
namespace {

using TPaint = std::function<void(QPainter&, const QRectF&)>;

QByteArray PngBytes(const TPaint& paint, QSize size, QString& error) {
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

QByteArray SvgBytes(const TPaint& paint, QSize size, const QString& title, QString& error) {
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

QByteArray PdfBytes(const TPaint& paint, QSize size, const QString& title, QString& error) {
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

QByteArray MapPictureBytes(const TPlan& plan, const space::TFieldMap& map,
                           const TMapDrawOptions& options, TPictureFormat format, QSize size,
                           QString& error) {
    if (size.width() < 1 || size.height() < 1 || size.width() > kMaxMapPictureSide ||
        size.height() > kMaxMapPictureSide) {
        error = QStringLiteral("the size must be 1 to %1 on each side").arg(kMaxMapPictureSide);
        return {};
    }
    const TPaint paint = [&](QPainter& painter, const QRectF& rect) {
        DrawFieldMap(painter, rect, plan, map, options);
    };
    const QString title = QString::fromStdString(plan.Name);
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

QString ExportMapPicture(const TPlan& plan, const space::TFieldMap& map,
                         const TMapDrawOptions& options, const std::string& path,
                         TPictureFormat format, QSize size) {
    const auto failure = [&path](const QString& why) {
        const std::string name = PrintableText(std::filesystem::path(path).filename().string());
        return QStringLiteral("The picture file \"%1\" cannot be written: %2.")
            .arg(QString::fromStdString(name), why);
    };
    QString error;
    const QByteArray bytes = MapPictureBytes(plan, map, options, format, size, error);
    if (!error.isEmpty()) return failure(error);
    const auto* begin = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    const std::string written =
        ReplaceFile(path, std::span(begin, static_cast<std::size_t>(bytes.size())));
    if (!written.empty()) return failure(QString::fromStdString(written));
    return {};
}

} // namespace corvalt
