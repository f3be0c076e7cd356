#include "plots/PlotPicture.h"

#include "model/FileIo.h"
#include "model/Project.h"
#include "model/TextHelpers.h"
#include "model/Version.h"
#include "plots/ModelText.h"
#include "plots/ProfileChart.h"

#include <QBuffer>
#include <QDate>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <span>

namespace corvalt {

QImage PaintedImage(const TPicturePaint& paint, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paint(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

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
    const QImage image = PaintedImage(paint, size);
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

// The page's whole rectangle is the painter's, one unit a point.
QByteArray PdfBytes(const TPicturePaint& paint, const QPageLayout& page, const QString& title,
                    QString& error) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("Corvalt"));
        writer.setTitle(title);
        // One unit a point, so the drawing's sizes are the page's.
        writer.setResolution(72);
        writer.setPageLayout(page);
        QPainter painter;
        if (!painter.begin(&writer)) {
            error = QStringLiteral("the PDF writer did not start");
            return {};
        }
        paint(painter, QRectF(page.fullRectPoints()));
        painter.end();
    }
    return bytes;
}

// The page around a drawing of the size, in points, without margins.
QPageLayout PageOfSize(QSize size) {
    return QPageLayout(QPageSize(QSizeF(size), QPageSize::Point), QPageLayout::Portrait,
                       QMarginsF());
}

// The white space around a drawing on paper, and the title block's height
// and its distance from the drawing, in points.
constexpr double kPaperMargin = 36, kTitleBlockHeight = 36, kTitleBlockGap = 10;

// The block's cells side by side, each a grey caption over its value, the
// values cut short with "…" where they do not fit.
void DrawTitleBlock(QPainter& painter, const QRectF& box, const TTitleBlock& block) {
    struct TCell {
        QString Caption;
        const QString& Value;
        double Share; // of the block's width
    };
    const std::array<TCell, 4> cells{{{QStringLiteral("Project"), block.Project, 0.36},
                                      {block.SubjectCaption, block.CrossSection, 0.36},
                                      {QStringLiteral("Date"), block.Date, 0.12},
                                      {QStringLiteral("Program"), block.Version, 0.16}}};
    QFont captionFont(QStringLiteral("Arial"));
    captionFont.setPointSizeF(7);
    QFont valueFont(QStringLiteral("Arial"));
    valueFont.setPointSizeF(10);
    const QFontMetricsF valueMetrics(valueFont, painter.device());
    constexpr double kInset = 4;
    painter.save();
    painter.setPen(QPen(Qt::black, 0.75));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box);
    double left = box.left();
    for (const TCell& cell : cells) {
        const QRectF area(left, box.top(), box.width() * cell.Share, box.height());
        if (left > box.left()) painter.drawLine(area.topLeft(), area.bottomLeft());
        const QRectF inside = area.adjusted(kInset, kInset / 2, -kInset, -kInset / 2);
        painter.setFont(captionFont);
        painter.setPen(Qt::darkGray);
        painter.drawText(inside, Qt::AlignLeft | Qt::AlignTop, cell.Caption);
        painter.setFont(valueFont);
        painter.setPen(Qt::black);
        painter.drawText(inside, Qt::AlignLeft | Qt::AlignBottom,
                         valueMetrics.elidedText(cell.Value, Qt::ElideRight, inside.width()));
        left = area.right();
    }
    painter.restore();
}

QPageSize PageSizeOf(TPaper paper) {
    return QPageSize(paper == TPaper::A4 ? QPageSize::A4 : QPageSize::Letter);
}

} // namespace

bool IsPictureSizeAllowed(QSize size) {
    const auto allowed = [](int side) { return side >= kMinPictureSide && side <= kMaxPictureSide; };
    return allowed(size.width()) && allowed(size.height());
}

std::optional<TPaper> PaperOf(std::string_view name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "letter") return TPaper::Letter;
    if (lower == "a4") return TPaper::A4;
    return std::nullopt;
}

TTitleBlock DatedTitleBlock(const QString& project, const QString& subjectCaption,
                            const QString& subject) {
    TTitleBlock block;
    block.Project = project;
    block.CrossSection = subject;
    block.SubjectCaption = subjectCaption;
    block.Date = QDate::currentDate().toString(Qt::ISODate);
    block.Version = QStringLiteral("Corvalt %1").arg(QString::fromUtf8(kVersionText));
    return block;
}

TTitleBlock TitleBlockOf(const TScenario& scenario) {
    return DatedTitleBlock(
        scenario.Project != nullptr ? ToQString(scenario.Project->Title) : QString(),
        QStringLiteral("Cross section"),
        ToQString(scenario.Title.empty() ? scenario.TabTitle : scenario.Title));
}

QByteArray PaperPdfBytes(const TPicturePaint& paint, TPaper paper, const TTitleBlock& block,
                         QString& error) {
    const TPicturePaint onPaper = [&paint, &block](QPainter& painter, const QRectF& page) {
        const QRectF inner = page.adjusted(kPaperMargin, kPaperMargin, -kPaperMargin, -kPaperMargin);
        const QRectF titleBox(inner.left(), inner.bottom() - kTitleBlockHeight, inner.width(),
                              kTitleBlockHeight);
        const QRectF drawing(inner.topLeft(),
                             QSizeF(inner.width(), titleBox.top() - kTitleBlockGap - inner.top()));
        paint(painter, drawing);
        DrawTitleBlock(painter, titleBox, block);
    };
    const QString title = block.CrossSection.isEmpty()
                              ? block.Project
                              : block.Project + QStringLiteral(" \u2013 ") + block.CrossSection;
    return PdfBytes(onPaper, QPageLayout(PageSizeOf(paper), QPageLayout::Landscape, QMarginsF()),
                    title, error);
}

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

QByteArray LaidOutPictureBytes(const TPicturePaint& paint, TPictureFormat format,
                               const TPictureLayout& layout, QString& error) {
    if (layout.Paper) {
        if (format == TPictureFormat::Pdf)
            return PaperPdfBytes(paint, *layout.Paper, layout.Title, error);
        error = QStringLiteral("only a PDF goes on paper");
        return {};
    }
    if (!IsPictureSizeAllowed(layout.Size)) {
        error = QStringLiteral("the size must be %1 to %2 on each side")
                    .arg(kMinPictureSide)
                    .arg(kMaxPictureSide);
        return {};
    }
    return PaintedPictureBytes(paint, format, layout.Size, QStringLiteral("Corvalt plot"), error);
}

QByteArray PictureBytes(const TPlotData& data, TPictureFormat format, QString& error,
                        const TPictureLayout& layout) {
    // The chart laid out at the size it is drawn at: the page's room on paper.
    const TPicturePaint paint = [&data](QPainter& painter, const QRectF& target) {
        PaintPlot(data, painter, target, target.size().toSize());
    };
    return LaidOutPictureBytes(paint, format, layout, error);
}

QByteArray PaintedPictureBytes(const TPicturePaint& paint, TPictureFormat format, QSize size,
                               const QString& title, QString& error) {
    switch (format) {
    case TPictureFormat::Png:
        return PngBytes(paint, size, error);
    case TPictureFormat::Svg:
        return SvgBytes(paint, size, title, error);
    case TPictureFormat::Pdf:
        return PdfBytes(paint, PageOfSize(size), title, error);
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
                      const TPictureLayout& layout) {
    QString error;
    const QByteArray bytes = PictureBytes(data, format, error, layout);
    return WritePictureFile(path, bytes, error);
}

} // namespace corvalt
