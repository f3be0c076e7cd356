#include "labels/LabelPlacement.h"

#include <algorithm>
#include <array>
#include <optional>

namespace corvalt {
namespace {

constexpr double kLabelDrop = 0.02;      // label baseline below the leader's end, in
constexpr double kAtPointOverlap = 0.02; // a label left of its point ends this far past it, in
constexpr double kSamePoint = 1e-6;      // in

struct TDirection {
    int Sh, Sv;
};

TDirection DirectionOf(TLeader leader) {
    switch (leader) {
    case TLeader::None:
        return {0, 0};
    case TLeader::Left:
        return {-1, 0};
    case TLeader::Right:
        return {1, 0};
    case TLeader::LeftUp:
        return {-1, -1};
    case TLeader::LeftDown:
        return {-1, 1};
    case TLeader::RightUp:
        return {1, -1};
    case TLeader::RightDown:
        return {1, 1};
    }
    return {0, 0};
}

TLeader LeaderOf(int sh, int sv) {
    if (sh < 0) return sv < 0 ? TLeader::LeftUp : sv > 0 ? TLeader::LeftDown : TLeader::Left;
    if (sh > 0) return sv < 0 ? TLeader::RightUp : sv > 0 ? TLeader::RightDown : TLeader::Right;
    return TLeader::None;
}

// Labels of leaders that go down move up by the quarter height, all others down.
bool GoesDown(TLeader leader) {
    return DirectionOf(leader).Sv > 0;
}

bool Meets(const QRectF& a, const QRectF& b) {
    return a.left() <= b.right() && b.left() <= a.right() && a.top() <= b.bottom() &&
           b.top() <= a.bottom();
}

QRectF Grown(const QRectF& rect, double by) {
    return rect.adjusted(-by, -by, by, by);
}

// The steps and length of the try: a label printed at its point (no steps) that
// finds no room there is led away with the longer steps.
std::pair<TLeaderSteps, int> StepsOf(const TLabelRequest& request, int length) {
    const bool atPoint = request.Steps.Dh == 0 && request.Steps.Dv == 0;
    if (!atPoint || length == 1) return {request.Steps, length};
    return {request.LongerSteps, length - 1};
}

} // namespace

TLabelPlace LabelPlaceFor(const TLabelRequest& request, TLeader leader, int length) {
    const auto [steps, k] = StepsOf(request, length);
    const TDirection d = DirectionOf(leader);
    const QPointF mark = request.Mark;
    const QPointF bend(mark.x() + d.Sh * steps.Dh * k, mark.y() + d.Sv * steps.Dv * k);
    const QPointF end(bend.x() + d.Sh * steps.Dh, bend.y());
    TLabelPlace place;
    place.Leader = leader;
    if (end != mark) place.LeaderPoints = {mark, bend, end};
    double x = end.x();
    if (place.LeaderPoints.empty()) {
        // Printed at its point: a label of a leftward direction ends just past it.
        if (d.Sh < 0) x -= request.TextWidth - kAtPointOverlap;
    } else if (d.Sh > 0) {
        x += kLeaderToLabel;
    } else if (d.Sh < 0) {
        x -= kLeaderToLabel + request.TextWidth;
    }
    double y = end.y() + kLabelDrop;
    if (request.QuarterShift) y += (GoesDown(leader) ? -1 : 1) * request.FontHeight / 4;
    place.Baseline = QPointF(x, y);
    place.Box = QRectF(x, y - request.Ascent, request.TextWidth, request.Ascent + request.Descent);
    return place;
}

std::vector<TLeader> LeaderCandidates(TLeader preferred) {
    const TDirection d = DirectionOf(preferred);
    const int side = d.Sh != 0 ? d.Sh : 1;
    const std::array<int, 3> verticals =
        d.Sv != 0 ? std::array{d.Sv, -d.Sv, 0} : std::array{0, -1, 1};
    std::vector<TLeader> candidates;
    for (const int sh : {side, -side})
        for (const int sv : verticals)
            candidates.push_back(LeaderOf(sh, sh == side ? sv : (d.Sv != 0 ? -sv : sv)));
    return candidates;
}

bool SegmentMeetsRect(const QLineF& segment, const QRectF& rect) {
    // Liang-Barsky clipping of the segment against the rectangle.
    const QPointF p = segment.p1();
    const QPointF delta = segment.p2() - segment.p1();
    double t0 = 0, t1 = 1;
    const std::array<std::pair<double, double>, 4> edges = {{
        {-delta.x(), p.x() - rect.left()},
        {delta.x(), rect.right() - p.x()},
        {-delta.y(), p.y() - rect.top()},
        {delta.y(), rect.bottom() - p.y()},
    }};
    for (const auto& [q, r] : edges) {
        if (q == 0) {
            if (r < 0) return false; // parallel to this edge and outside it
            continue;
        }
        const double t = r / q;
        if (q < 0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
        if (t0 > t1) return false;
    }
    return true;
}

TLabelLayout::TLabelLayout(const QRectF& bounds, double clearance)
    : bounds_(bounds), clearance_(clearance) {}

void TLabelLayout::AddBox(const QRectF& box) {
    boxes_.Add(box);
}

void TLabelLayout::AddLine(const QLineF& line) {
    lines_.Add(line);
}

std::size_t TLabelLayout::AddSymbol(const QRectF& symbol) {
    return symbols_.Add(symbol);
}

int TLabelLayout::Conflicts(const TLabelPlace& place, std::size_t ownSymbol) const {
    const QRectF box = Grown(place.Box, clearance_);
    const QRectF inside = bounds_.adjusted(clearance_, clearance_, -clearance_, -clearance_);
    int conflicts = inside.contains(place.Box) ? 0 : 1;
    boxes_.ForEachNear(box, [&](const QRectF& other, int count, std::size_t) {
        conflicts += count * Meets(box, other);
    });
    // The label comes close to its own symbol, at the end of its short leader,
    // but never covers it.
    symbols_.ForEachNear(box, [&](const QRectF& symbol, int, std::size_t i) {
        conflicts += Meets(i == ownSymbol ? place.Box : box, symbol);
    });
    lines_.ForEachNear(box, [&](const QLineF& line, int count, std::size_t) {
        conflicts += count * SegmentMeetsRect(line, box);
    });
    // The leader must not run through a label placed before.
    for (std::size_t i = 1; i < place.LeaderPoints.size(); ++i) {
        const QLineF stroke(place.LeaderPoints[i - 1], place.LeaderPoints[i]);
        boxes_.ForEachNear(ExtentOf(stroke), [&](const QRectF& other, int count, std::size_t) {
            conflicts += count * SegmentMeetsRect(stroke, other);
        });
    }
    return conflicts;
}

int TLabelLayout::Crossings(const TLabelPlace& place, std::size_t ownSymbol) const {
    int crossings = 0;
    for (std::size_t i = 1; i < place.LeaderPoints.size(); ++i) {
        const QLineF stroke(place.LeaderPoints[i - 1], place.LeaderPoints[i]);
        const QRectF extent = ExtentOf(stroke);
        lines_.ForEachNear(extent, [&](const QLineF& line, int count, std::size_t) {
            // A line through the mark itself (its structure) is not crossed.
            QPointF at;
            crossings += count * (stroke.intersects(line, &at) == QLineF::BoundedIntersection &&
                                  QLineF(at, place.LeaderPoints.front()).length() > kSamePoint);
        });
        symbols_.ForEachNear(extent, [&](const QRectF& symbol, int, std::size_t s) {
            crossings += s != ownSymbol && SegmentMeetsRect(stroke, symbol);
        });
    }
    return crossings;
}

bool TLabelLayout::Inside(const TLabelPlace& place) const {
    return bounds_.adjusted(clearance_, clearance_, -clearance_, -clearance_).contains(place.Box);
}

// The label and its leader moved as little as takes the label inside the
// bounds (less the clearance); the leader still starts at the mark.
TLabelPlace TLabelLayout::PulledInside(TLabelPlace place) const {
    const QRectF inside = bounds_.adjusted(clearance_, clearance_, -clearance_, -clearance_);
    const auto shift = [](double low, double high, double from, double to) {
        if (high - low > to - from) return from - low; // wider than the room: its start inside
        if (low < from) return from - low;
        if (high > to) return to - high;
        return 0.0;
    };
    const QPointF by(shift(place.Box.left(), place.Box.right(), inside.left(), inside.right()),
                     shift(place.Box.top(), place.Box.bottom(), inside.top(), inside.bottom()));
    place.Box.translate(by);
    place.Baseline += by;
    for (std::size_t i = 1; i < place.LeaderPoints.size(); ++i)
        place.LeaderPoints[i] += by;
    return place;
}

TLabelPlace TLabelLayout::Place(const TLabelRequest& request) {
    const TLabelPlace place = BestPlace(request);
    Keep(place);
    return place;
}

std::optional<TLabelPlace> TLabelLayout::PlaceIfClear(const TLabelRequest& request) {
    const TLabelPlace place = BestPlace(request);
    if (!place.Clear) return std::nullopt;
    Keep(place);
    return place;
}

TLabelPlace TLabelLayout::BestPlace(const TLabelRequest& request) const {
    const std::vector<TLeader> candidates = LeaderCandidates(request.Preferred);
    const std::size_t perSide = candidates.size() / 2;
    std::optional<TLabelPlace> clear, inside;
    TLabelPlace best;
    int fewest = std::numeric_limits<int>::max(), fewestInside = fewest;
    // The preferred side with every length first, then the other side.
    for (std::size_t side = 0; side < 2; ++side) {
        for (int length = 1; length <= request.LongestLeader; ++length) {
            for (std::size_t i = 0; i < perSide; ++i) {
                const TLabelPlace place =
                    LabelPlaceFor(request, candidates[side * perSide + i], length);
                const int conflicts = Conflicts(place, request.OwnSymbol);
                if (conflicts == 0 && Crossings(place, request.OwnSymbol) == 0) return place;
                if (conflicts == 0 && !clear) clear = place;
                if (conflicts < fewest) {
                    fewest = conflicts;
                    best = place;
                }
                if (Inside(place) && conflicts < fewestInside) {
                    fewestInside = conflicts;
                    inside = place;
                }
            }
        }
    }
    // A clear label whose leader crosses a line or a symbol comes next, then
    // the place inside the bounds that meets the fewest things; a label never
    // leaves the bounds.
    if (clear) {
        best = *clear;
    } else if (inside) {
        best = *inside;
    } else {
        best = PulledInside(best);
    }
    best.Clear = clear.has_value();
    return best;
}

void TLabelLayout::Keep(const TLabelPlace& place) {
    boxes_.Add(place.Box);
    for (std::size_t i = 1; i < place.LeaderPoints.size(); ++i)
        lines_.Add(QLineF(place.LeaderPoints[i - 1], place.LeaderPoints[i]));
}

std::vector<int> CaptionRows(const std::vector<std::pair<double, double>>& extents, double gap) {
    std::vector<std::vector<std::pair<double, double>>> rows;
    std::vector<int> placed;
    for (const auto& [left, right] : extents) {
        std::size_t row = 0;
        for (; row < rows.size(); ++row) {
            const bool free = std::none_of(rows[row].begin(), rows[row].end(), [&](const auto& o) {
                return left < o.second + gap && o.first < right + gap;
            });
            if (free) break;
        }
        if (row == rows.size()) rows.emplace_back();
        rows[row].emplace_back(left, right);
        placed.push_back(static_cast<int>(row));
    }
    return placed;
}

} // namespace corvalt
