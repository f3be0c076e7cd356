#include "ui/widgets/CrossSectionView.h"

#include "model/ConductorRef.h"
#include "plots/CrossSectionDrawing.h"

#include <QMouseEvent>
#include <QPainter>

namespace corvalt {

TCrossSectionView::TCrossSectionView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
    setToolTip(tr("Click a conductor to select it in the grid."));
}

void TCrossSectionView::SetScenario(TScenario* scenario) {
    scenario_ = scenario;
    highlighted_ = nullptr;
    update();
}

void TCrossSectionView::SetHighlightedConductor(const TConductor* conductor) {
    highlighted_ = conductor;
    update();
}

QSize TCrossSectionView::sizeHint() const {
    return {480, 320};
}

QSize TCrossSectionView::minimumSizeHint() const {
    return {160, 100};
}

void TCrossSectionView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (scenario_ == nullptr) {
        painter.fillRect(rect(), palette().window());
        return;
    }
    TCrossSectionRenderer renderer(*scenario_);
    renderer.SetHighlighted(ConductorRefOf(*scenario_, highlighted_));
    renderer.Paint(painter, QRectF(rect()));
}

void TCrossSectionView::mouseReleaseEvent(QMouseEvent* event) {
    if (scenario_ == nullptr || event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const TCrossSectionRenderer renderer(*scenario_);
    const TConductorRef hit = renderer.HitTest(QRectF(rect()), event->position());
    TConductor* conductor = ConductorAt(*scenario_, hit);
    if (conductor == nullptr) return;
    SetHighlightedConductor(conductor);
    emit ConductorClicked(conductor);
}

} // namespace corvalt
