#pragma once
// TShapeGrid: the boxes or lines a label layout holds, found by where they lie
// so that a label's place is tested only against what lies near it. A uniform
// grid of cells over the layout's bounds; each shape sits in every cell its
// extent reaches (a shape beyond the bounds in the border cells, one whose
// extent is not finite in all of them), so a shape near a rectangle is never
// missed. The caller runs its own exact test on the shapes it is handed.
//
// A grid that merges shapes holds identical shapes (the same coordinates, bit
// for bit) once, with how often they were added: a hundred points of interest
// at the same place make one line to test, counted a hundred times.

#include <QLineF>
#include <QRectF>

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace corvalt {

// Which cells a shape's extent reaches: columns X0..X1 and rows Y0..Y1.
struct TCellRange {
    int X0 = 0, X1 = 0, Y0 = 0, Y1 = 0;
};

// The cells of a grid of columns × rows over bounds that an extent reaches,
// grown a little beyond it (a millionth of a thousandth of its coordinates),
// so that shapes that only rounding keeps apart share a cell.
class TCellMap {
  public:
    static constexpr int kCells = 32; // columns and rows of a grid over valid bounds

    explicit TCellMap(const QRectF& bounds);
    TCellRange CellsOf(const QRectF& extent) const;
    int Columns() const { return columns_; }
    int Rows() const { return rows_; }

  private:
    double left_, top_;
    double cellWidth_ = 0, cellHeight_ = 0;
    int columns_ = 1, rows_ = 1;
};

// The extent of a box is itself; of a line, the rectangle its ends span.
QRectF ExtentOf(const QRectF& box);
QRectF ExtentOf(const QLineF& line);

template <class Shape> class TShapeGrid {
  public:
    TShapeGrid(const QRectF& bounds, bool merge) : map_(bounds), merge_(merge) {
        cells_.resize(static_cast<std::size_t>(map_.Columns() * map_.Rows()));
    }

    // Adds the shape; returns its index among the distinct shapes.
    std::size_t Add(const Shape& shape) {
        if (merge_) {
            const auto [at, added] = indices_.try_emplace(KeyOf(shape), shapes_.size());
            if (!added) {
                ++counts_[at->second];
                return at->second;
            }
        }
        const std::size_t index = shapes_.size();
        shapes_.push_back(shape);
        counts_.push_back(1);
        const TCellRange range = map_.CellsOf(ExtentOf(shape));
        ranges_.push_back(range);
        for (int y = range.Y0; y <= range.Y1; ++y)
            for (int x = range.X0; x <= range.X1; ++x)
                cells_[Cell(x, y)].push_back(index);
        return index;
    }

    // Calls visit(shape, count, index) once for each distinct shape whose
    // extent may meet the area, and for no shape whose extent is further
    // from it than rounding can blur.
    template <class Visit> void ForEachNear(const QRectF& area, Visit&& visit) const {
        const TCellRange q = map_.CellsOf(area);
        for (int y = q.Y0; y <= q.Y1; ++y)
            for (int x = q.X0; x <= q.X1; ++x)
                for (const std::size_t index : cells_[Cell(x, y)]) {
                    // A shape in several of these cells is visited in the
                    // first of them only.
                    const TCellRange& s = ranges_[index];
                    if (x != std::max(s.X0, q.X0) || y != std::max(s.Y0, q.Y0)) continue;
                    visit(shapes_[index], counts_[index], index);
                }
    }

  private:
    using TKey = std::array<std::uint64_t, 4>;
    struct THash {
        std::size_t operator()(const TKey& key) const {
            std::uint64_t h = 0xcbf29ce484222325ull;
            for (const std::uint64_t word : key)
                h = (h ^ word) * 0x100000001b3ull;
            return static_cast<std::size_t>(h);
        }
    };
    static TKey KeyOf(const QRectF& box) {
        return {Bits(box.x()), Bits(box.y()), Bits(box.width()), Bits(box.height())};
    }
    static TKey KeyOf(const QLineF& line) {
        return {Bits(line.x1()), Bits(line.y1()), Bits(line.x2()), Bits(line.y2())};
    }
    static std::uint64_t Bits(double value) { return std::bit_cast<std::uint64_t>(value); }
    std::size_t Cell(int x, int y) const {
        return static_cast<std::size_t>(y * map_.Columns() + x);
    }

    TCellMap map_;
    bool merge_;
    std::vector<Shape> shapes_;
    std::vector<int> counts_;
    std::vector<TCellRange> ranges_;
    std::vector<std::vector<std::size_t>> cells_;
    std::unordered_map<TKey, std::size_t, THash> indices_;
};

} // namespace corvalt
