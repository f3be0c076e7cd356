#include "engine/VectorPicture.h"

#include <QFont>
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace corvalt {
namespace {

// ---- Recording --------------------------------------------------------------

// A paint engine that keeps every outline and text it is given as items of a
// picture, in device units, with the painter's transform applied.
class TRecordingEngine : public QPaintEngine {
  public:
    explicit TRecordingEngine(TVectorPicture& picture)
        : QPaintEngine(QPaintEngine::AllFeatures), picture_(picture) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }

    void updateState(const QPaintEngineState& changed) override {
        const QPaintEngine::DirtyFlags flags = changed.state();
        if (flags & DirtyPen) pen_ = changed.pen();
        if (flags & DirtyBrush) brush_ = changed.brush();
        if (flags & DirtyTransform) transform_ = changed.transform();
        if (flags & DirtyOpacity) opacity_ = changed.opacity();
        if (flags & (DirtyClipPath | DirtyClipRegion | DirtyClipEnabled)) UpdateClip();
    }

    void drawPath(const QPainterPath& path) override { Record(path, true); }

    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
        QPainterPath path;
        path.addPolygon(QPolygonF(QList<QPointF>(points, points + count)));
        if (mode != PolylineMode) path.closeSubpath();
        path.setFillRule(mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
        Record(path, mode != PolylineMode);
    }

    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        const QFont font = item.font();
        TVectorText text;
        const double scale = std::hypot(transform_.m11(), transform_.m12());
        text.Origin = transform_.map(p);
        text.Angle = std::atan2(transform_.m12(), transform_.m11()) * 180 / std::numbers::pi;
        text.Text = item.text();
        text.Family = font.family();
        const double pixels =
            font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * dpi_ / 72.0;
        text.Size = pixels * scale;
        text.Bold = font.bold();
        text.Italic = font.italic();
        text.Colour = Faded(pen_.color());
        text.Clip = clip_;
        if (!text.Text.isEmpty() && text.Size > 0) picture_.Items.push_back(text);
    }

    // Images are not kept: the drawings recorded here are made of lines and text.
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {
    }

    void SetDpi(double dpi) { dpi_ = dpi; }

  private:
    QRgb Faded(const QColor& colour) const {
        QColor c = colour;
        c.setAlphaF(static_cast<float>(c.alphaF() * opacity_));
        return c.rgba();
    }

    // The clip as the rectangle that bounds it on the device; charts clip to
    // rectangles (the plot area). The painter has the whole clip, intersections
    // and restores included.
    void UpdateClip() {
        const QPainter* p = painter();
        clip_ = p->hasClipping() ? p->deviceTransform().mapRect(p->clipBoundingRect()) : QRectF();
    }

    void Record(const QPainterPath& path, bool fill) {
        TVectorShape shape;
        for (const QPolygonF& polygon : path.toSubpathPolygons(transform_))
            shape.Polygons.push_back(polygon);
        if (shape.Polygons.empty()) return;
        shape.PenStyle = pen_.style() <= Qt::DashDotDotLine ? pen_.style() : Qt::SolidLine;
        shape.PenColour = Faded(pen_.color());
        const double scale = std::hypot(transform_.m11(), transform_.m12());
        shape.PenWidth = pen_.isCosmetic() ? 0 : pen_.widthF() * scale;
        if (fill && brush_.style() != Qt::NoBrush) shape.BrushColour = Faded(BrushColour());
        shape.Winding = path.fillRule() == Qt::WindingFill;
        shape.Clip = clip_;
        if (shape.PenStyle == Qt::NoPen && qAlpha(shape.BrushColour) == 0) return;
        picture_.Items.push_back(std::move(shape));
    }

    // A gradient fills with the colour it starts with.
    QColor BrushColour() const {
        const QGradient* gradient = brush_.gradient();
        if (gradient == nullptr) return brush_.color();
        const QGradientStops stops = gradient->stops();
        return stops.isEmpty() ? brush_.color() : stops.value(0).second;
    }

    TVectorPicture& picture_;
    QPen pen_;
    QBrush brush_;
    QTransform transform_;
    double opacity_ = 1;
    double dpi_ = 96;
    QRectF clip_;
};

// The device a picture is recorded on: its size in units, the resolution of
// a plain image, so that text takes the pixel size it takes on screen images.
class TRecordingDevice : public QPaintDevice {
  public:
    TRecordingDevice(double width, double height, TVectorPicture& picture)
        : width_(width), height_(height), dpi_(QImage(1, 1, QImage::Format_RGB32).logicalDpiY()),
          engine_(picture) {
        engine_.SetDpi(dpi_);
    }
    QPaintEngine* paintEngine() const override { return &engine_; }

  protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
        case PdmWidth:
            return static_cast<int>(std::ceil(width_));
        case PdmHeight:
            return static_cast<int>(std::ceil(height_));
        case PdmWidthMM:
            return static_cast<int>(std::ceil(width_ * 25.4 / dpi_));
        case PdmHeightMM:
            return static_cast<int>(std::ceil(height_ * 25.4 / dpi_));
        case PdmNumColors:
            return 0x7fffffff;
        case PdmDepth:
            return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return dpi_;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
        }
        return 0;
    }

  private:
    double width_, height_;
    int dpi_;
    mutable TRecordingEngine engine_;
};

// ---- Painting ---------------------------------------------------------------

void SetClip(QPainter& painter, const QRectF& clip) {
    if (clip.isNull())
        painter.setClipping(false);
    else
        painter.setClipRect(clip);
}

void PaintShape(QPainter& painter, const TVectorShape& shape) {
    SetClip(painter, shape.Clip);
    if (shape.PenStyle == Qt::NoPen) {
        painter.setPen(Qt::NoPen);
    } else {
        QPen pen(QColor::fromRgba(shape.PenColour), shape.PenWidth,
                 static_cast<Qt::PenStyle>(shape.PenStyle));
        pen.setCosmetic(shape.PenWidth == 0);
        painter.setPen(pen);
    }
    painter.setBrush(qAlpha(shape.BrushColour) == 0 ? QBrush(Qt::NoBrush)
                                                    : QBrush(QColor::fromRgba(shape.BrushColour)));
    QPainterPath path;
    path.setFillRule(shape.Winding ? Qt::WindingFill : Qt::OddEvenFill);
    for (const QPolygonF& polygon : shape.Polygons)
        path.addPolygon(polygon);
    painter.drawPath(path);
}

void PaintText(QPainter& painter, const TVectorText& text) {
    SetClip(painter, text.Clip);
    painter.save();
    // A point size that gives the font its pixel size in painter units.
    const int dpi = std::max(painter.device()->logicalDpiY(), 1);
    QFont font(text.Family);
    font.setPointSizeF(text.Size * 72.0 / dpi);
    font.setBold(text.Bold);
    font.setItalic(text.Italic);
    painter.setFont(font);
    painter.setPen(QColor::fromRgba(text.Colour));
    painter.translate(text.Origin);
    painter.rotate(text.Angle);
    painter.drawText(QPointF(0, 0), text.Text);
    painter.restore();
}

} // namespace

TVectorPicture RecordVectorPicture(double width, double height,
                                   const std::function<void(QPainter&)>& paint) {
    TVectorPicture picture;
    picture.Width = width;
    picture.Height = height;
    TRecordingDevice device(width, height, picture);
    QPainter painter;
    if (!painter.begin(&device)) return picture;
    paint(painter);
    painter.end();
    return picture;
}

void PaintVectorPicture(QPainter& painter, const TVectorPicture& picture) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    for (const TVectorItem& item : picture.Items) {
        if (const auto* shape = std::get_if<TVectorShape>(&item))
            PaintShape(painter, *shape);
        else
            PaintText(painter, std::get<TVectorText>(item));
    }
    painter.restore();
}

} // namespace corvalt
