#include "labels/ShapeGrid.h"

#include <cmath>

namespace corvalt {
namespace {

// How far beyond an extent the cells reach, relative to its coordinates:
// far above the rounding of the tests run on the shapes (about 1e-16 of
// them), far below anything a drawing tells apart.
constexpr double kRelativeSlack = 1e-9;

bool Finite(const QRectF& rect) {
    return std::isfinite(rect.left()) && std::isfinite(rect.right()) && std::isfinite(rect.top()) &&
           std::isfinite(rect.bottom());
}

// The cell of a coordinate along one axis, border cells for coordinates
// beyond the bounds.
int CellAlong(double value, double origin, double size, int cells) {
    if (cells == 1) return 0;
    const double at = std::floor((value - origin) / size);
    return static_cast<int>(std::clamp(at, 0.0, static_cast<double>(cells - 1)));
}

} // namespace

TCellMap::TCellMap(const QRectF& bounds) : left_(bounds.left()), top_(bounds.top()) {
    if (!Finite(bounds)) return;
    if (bounds.width() > 0) {
        columns_ = kCells;
        cellWidth_ = bounds.width() / kCells;
    }
    if (bounds.height() > 0) {
        rows_ = kCells;
        cellHeight_ = bounds.height() / kCells;
    }
}

TCellRange TCellMap::CellsOf(const QRectF& extent) const {
    if (!Finite(extent)) return {0, columns_ - 1, 0, rows_ - 1};
    const double magnitude = std::max({std::abs(extent.left()), std::abs(extent.right()),
                                       std::abs(extent.top()), std::abs(extent.bottom()), 1.0});
    const double slack = kRelativeSlack * magnitude;
    const double x0 = std::min(extent.left(), extent.right()) - slack;
    const double x1 = std::max(extent.left(), extent.right()) + slack;
    const double y0 = std::min(extent.top(), extent.bottom()) - slack;
    const double y1 = std::max(extent.top(), extent.bottom()) + slack;
    return {CellAlong(x0, left_, cellWidth_, columns_), CellAlong(x1, left_, cellWidth_, columns_),
            CellAlong(y0, top_, cellHeight_, rows_), CellAlong(y1, top_, cellHeight_, rows_)};
}

QRectF ExtentOf(const QRectF& box) {
    return box;
}

QRectF ExtentOf(const QLineF& line) {
    return QRectF(line.p1(), line.p2()); // may be of negative size: CellsOf orders its sides
}

} // namespace corvalt
