#include "ui/windows/WindowPlacement.h"

#include <algorithm>

namespace corvalt::ui {
namespace {

constexpr int kStep = 24;
constexpr int kSteps = 5;

} // namespace

QRect StaggeredPlace(int index, const QSize& workspace) {
    const int offset = kStep * (std::max(index, 0) % kSteps);
    return KeptInside(
        QRect(offset, offset, workspace.width() - offset, workspace.height() - offset),
        QRect(QPoint(0, 0), workspace));
}

QRect KeptInside(const QRect& window, const QRect& area) {
    const int width = std::clamp(window.width(), 0, std::max(area.width(), 0));
    const int height = std::clamp(window.height(), 0, std::max(area.height(), 0));
    const int x = std::clamp(window.x(), area.left(), area.left() + area.width() - width);
    const int y = std::clamp(window.y(), area.top(), area.top() + area.height() - height);
    return {x, y, width, height};
}

QRect RestoredPlace(const QRect& saved, const QRect& area, const QSize& fallback,
                    const QSize& smallest) {
    if (!saved.isValid()) {
        QRect centred(QPoint(0, 0), fallback);
        centred.moveCenter(area.center());
        return KeptInside(centred, area);
    }
    return KeptInside(QRect(saved.topLeft(), saved.size().expandedTo(smallest)), area);
}

} // namespace corvalt::ui
