#include "plots/MapContours.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <unordered_map>

namespace corvalt {
namespace {

// A cell edge: horizontal edges (i, j)–(i+1, j) have even keys, vertical
// edges (i, j)–(i, j+1) odd keys. A line piece runs from one edge of a cell to
// another, so pieces that share an edge key join.
using TEdgeKey = std::uint64_t;

struct TPiece {
    std::array<TEdgeKey, 2> Edge;
    std::array<TPlanXY, 2> Point;
};

class TMarcher {
  public:
    TMarcher(const TGridValues& field, float level) : f_(field), level_(level) {}

    std::vector<TPiece> Pieces() const {
        std::vector<TPiece> pieces;
        const std::size_t nx = f_.X.size(), ny = f_.Y.size();
        for (std::size_t j = 0; j + 1 < ny; ++j)
            for (std::size_t i = 0; i + 1 < nx; ++i) AddCell(i, j, pieces);
        return pieces;
    }

  private:
    // Cell sides, counter-clockwise from the bottom: 0 bottom, 1 right,
    // 2 top, 3 left.
    float At(std::size_t i, std::size_t j) const { return f_.Values[j * f_.X.size() + i]; }

    TEdgeKey Key(std::size_t i, std::size_t j, int side) const {
        const std::size_t nx = f_.X.size();
        switch (side) {
        case 0: return 2 * (j * nx + i);
        case 1: return 2 * (j * nx + i + 1) + 1;
        case 2: return 2 * ((j + 1) * nx + i);
        default: return 2 * (j * nx + i) + 1;
        }
    }

    // Where the level crosses the side: linear between its two corners, one
    // of which is at or above the level and the other below, so they differ.
    TPlanXY Crossing(std::size_t i, std::size_t j, int side) const {
        static constexpr std::array<std::array<int, 4>, 4> kEnds = {
            {{0, 0, 1, 0}, {1, 0, 1, 1}, {0, 1, 1, 1}, {0, 0, 0, 1}}};
        const auto& e = kEnds[static_cast<std::size_t>(side)];
        const std::size_t ia = i + e[0], ja = j + e[1], ib = i + e[2], jb = j + e[3];
        const double a = At(ia, ja), b = At(ib, jb);
        const double t = (level_ - a) / (b - a);
        return {f_.X[ia] + t * (double(f_.X[ib]) - f_.X[ia]),
                f_.Y[ja] + t * (double(f_.Y[jb]) - f_.Y[ja])};
    }

    void Join(std::size_t i, std::size_t j, int from, int to, std::vector<TPiece>& out) const {
        out.push_back({{Key(i, j, from), Key(i, j, to)}, {Crossing(i, j, from), Crossing(i, j, to)}});
    }

    void AddCell(std::size_t i, std::size_t j, std::vector<TPiece>& out) const {
        // Corners counter-clockwise from the bottom left.
        const std::array<float, 4> v = {At(i, j), At(i + 1, j), At(i + 1, j + 1), At(i, j + 1)};
        int index = 0;
        for (int k = 0; k < 4; ++k) {
            if (std::isnan(v[static_cast<std::size_t>(k)])) return;
            if (v[static_cast<std::size_t>(k)] >= level_) index |= 1 << k;
        }
        // The side between corner k and corner k+1 is side k.
        switch (index) {
        case 0: case 15: return;
        case 1: case 14: return Join(i, j, 3, 0, out);
        case 2: case 13: return Join(i, j, 0, 1, out);
        case 3: case 12: return Join(i, j, 3, 1, out);
        case 4: case 11: return Join(i, j, 1, 2, out);
        case 6: case 9: return Join(i, j, 0, 2, out);
        case 7: case 8: return Join(i, j, 2, 3, out);
        default: break;
        }
        // Saddle: corners 0 and 2 above (5) or 1 and 3 above (10). With the
        // mean above the level the above corners are joined through the
        // middle, so the lines cut off the below corners.
        const bool middleAbove = (double(v[0]) + v[1] + v[2] + v[3]) / 4 >= level_;
        if ((index == 5) == middleAbove) {
            Join(i, j, 0, 1, out); // cut off corner 1
            Join(i, j, 2, 3, out); // cut off corner 3
        } else {
            Join(i, j, 3, 0, out); // cut off corner 0
            Join(i, j, 1, 2, out); // cut off corner 2
        }
    }

    const TGridValues& f_;
    float level_;
};

// Chains pieces that share edges into lines.
std::vector<TIsoLine> Chain(const std::vector<TPiece>& pieces) {
    std::unordered_map<TEdgeKey, std::array<int, 2>> byEdge;
    byEdge.reserve(pieces.size() * 2);
    for (int p = 0; p < static_cast<int>(pieces.size()); ++p)
        for (const TEdgeKey key : pieces[static_cast<std::size_t>(p)].Edge) {
            auto [it, added] = byEdge.try_emplace(key, std::array<int, 2>{p, -1});
            if (!added) it->second[1] = p;
        }
    const auto other = [&](TEdgeKey key, int p) {
        const auto& two = byEdge.at(key);
        return two[0] == p ? two[1] : two[0];
    };
    std::vector<bool> used(pieces.size(), false);
    // Walks from piece p leaving through end `end`, appending points.
    const auto walk = [&](int p, int end, std::vector<TPlanXY>& points) {
        while (true) {
            const TPiece& piece = pieces[static_cast<std::size_t>(p)];
            const TEdgeKey key = piece.Edge[static_cast<std::size_t>(end)];
            const int next = other(key, p);
            if (next < 0 || used[static_cast<std::size_t>(next)]) return next;
            used[static_cast<std::size_t>(next)] = true;
            const TPiece& n = pieces[static_cast<std::size_t>(next)];
            end = n.Edge[0] == key ? 1 : 0;
            points.push_back(n.Point[static_cast<std::size_t>(end)]);
            p = next;
        }
    };
    std::vector<TIsoLine> lines;
    for (int start = 0; start < static_cast<int>(pieces.size()); ++start) {
        if (used[static_cast<std::size_t>(start)]) continue;
        used[static_cast<std::size_t>(start)] = true;
        const TPiece& s = pieces[static_cast<std::size_t>(start)];
        std::vector<TPlanXY> forward = {s.Point[0], s.Point[1]};
        const int stop = walk(start, 1, forward);
        TIsoLine line;
        if (stop == start) {
            forward.pop_back(); // back at the first point
            line.Closed = true;
            line.Points = std::move(forward);
        } else {
            std::vector<TPlanXY> backward;
            walk(start, 0, backward);
            line.Points.assign(backward.rbegin(), backward.rend());
            line.Points.insert(line.Points.end(), forward.begin(), forward.end());
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace

std::vector<TIsoLine> IsoLines(const TGridValues& field, float level) {
    if (field.X.size() < 2 || field.Y.size() < 2 ||
        field.Values.size() != field.X.size() * field.Y.size() || std::isnan(level))
        return {};
    return Chain(TMarcher(field, level).Pieces());
}

} // namespace corvalt
