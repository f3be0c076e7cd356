#include "ui/windows/PagePreview.h"

#include "engine/PageRenderer.h"

#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace corvalt::ui {

TPagePreview::TPagePreview(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("repPreview"));
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(128, 128, 128));
    setPalette(colours);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void TPagePreview::SetPage(const TPage* page, double widthInches, double heightInches) {
    page_ = page;
    widthInches_ = widthInches;
    heightInches_ = heightInches;
    resize(SizeAt(zoom_));
    update();
}

void TPagePreview::SetZoom(double percent) {
    zoom_ = percent;
    resize(SizeAt(zoom_));
    updateGeometry();
    update();
}

double TPagePreview::PixelsPerInch(double percent) const {
    return logicalDpiX() * percent / 100.0;
}

QSize TPagePreview::SizeAt(double percent) const {
    const double dpi = PixelsPerInch(percent);
    return {static_cast<int>(std::ceil(widthInches_ * dpi)) + 2 * kMargin,
            static_cast<int>(std::ceil(heightInches_ * dpi)) + 2 * kMargin};
}

QSize TPagePreview::sizeHint() const {
    return SizeAt(zoom_);
}

void TPagePreview::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setClipRegion(event->region());
    const double dpi = PixelsPerInch(zoom_);
    painter.translate(kMargin, kMargin);
    painter.fillRect(QRectF(0, 0, widthInches_ * dpi, heightInches_ * dpi), Qt::white);
    if (page_ != nullptr) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        RenderPage(painter, *page_, dpi);
    }
}

} // namespace corvalt::ui
