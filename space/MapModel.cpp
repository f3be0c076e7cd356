#include "space/MapModel.h"

#include "model/Bundle.h"
#include "model/Limits.h"
#include "model/Units.h"
#include "space/Catenary.h"
#include "space/Subdivision.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>
#include <optional>
#include <set>

namespace corvalt::space {

namespace {

// The messages name the limits with their thousands separated.
static_assert(kMaxMapPieces == 20000 && kMaxMapGridPoints == 4000000);

// Farther than this from the origin a point is a typing error, m.
constexpr double kFarthestM = 1e6;

// A system of AC conductors and DC poles: the cross sections leave on such a
// system the charges of the last step of their sweep of the AC phases, turned
// by 3599 × 0.1°; the maps take the same, so that a long straight line
// reproduces its cross section.
constexpr double kMixedAcOffsetDeg = 359.9;

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string Ordinal(std::size_t index) {
    return std::to_string(index + 1);
}

// The plan's values in metres and the program's units.
struct TUnitScale {
    bool English = false;
    double MetresPerUnit = 1;

    TVec3 Metres(const TPlanPoint& p) const {
        return {p.X * MetresPerUnit, p.Y * MetresPerUnit, p.Z * MetresPerUnit};
    }
    float DiameterMm(double d) const {
        return English ? StoredInchesToMillimetres(static_cast<float>(d)) : static_cast<float>(d);
    }
    float SpacingCm(double s) const {
        return English ? StoredInchesToCentimetres(static_cast<float>(s)) : static_cast<float>(s);
    }
};

TUnitScale ScaleOf(const TPlan& plan) {
    if (plan.Units == English) return {true, 1 / 3.28};
    return {};
}

class TModelBuilder {
  public:
    explicit TModelBuilder(const TPlan& plan) : plan_(plan), scale_(ScaleOf(plan)) {}

    std::variant<TSpaceModel, TMapInputError> Build() {
        if (!CheckPlan() || !CheckGrid() || !CheckFootprints() || !BuildConductors() ||
            !CheckSurfacesApart())
            return TMapInputError{error_};
        return std::move(model_);
    }

  private:
    bool Fail(std::string message) {
        error_ = std::move(message);
        return false;
    }

    bool CheckPlan() {
        if (plan_.Units != English && plan_.Units != Metric)
            return Fail("units: must be \"metric\" or \"english\"");
        if (plan_.Name.empty()) return Fail("name: a plan needs a name");
        if (plan_.Name.size() > kMaxPlanTextLength)
            return Fail("name: longer than " + std::to_string(kMaxPlanTextLength) + " bytes");
        if (plan_.Conductors.size() > static_cast<std::size_t>(kMaxPlanConductors))
            return Fail("conductors: more than " + std::to_string(kMaxPlanConductors));
        std::set<std::string> ids;
        for (const TPlanConductor& c : plan_.Conductors) {
            if (c.Id.empty()) return Fail("conductors: a conductor without an id");
            if (c.Id.size() > kMaxPlanTextLength)
                return Fail(ConductorLabel(c) + ": its id is longer than " +
                            std::to_string(kMaxPlanTextLength) + " bytes");
            if (!ids.insert(c.Id).second) return Fail("two conductors have the id " + Quoted(c.Id));
        }
        return true;
    }

    bool CheckGrid() {
        const TPlanGrid& g = plan_.Grid;
        for (const double v : {g.X0, g.X1, g.Y0, g.Y1, g.Step, g.Height})
            if (!std::isfinite(v)) return Fail("grid: a value that is not a finite number");
        if (!(g.Step > 0)) return Fail("grid: step must be above 0");
        if (g.X1 < g.X0) return Fail("grid: x1 must not be less than x0");
        if (g.Y1 < g.Y0) return Fail("grid: y1 must not be less than y0");
        if (g.Height < 0) return Fail("grid: height must not be below ground");
        for (const double v : {g.X0, g.X1, g.Y0, g.Y1, g.Height})
            if (std::abs(v * scale_.MetresPerUnit) > kFarthestM)
                return Fail("grid: lies more than 1,000 km from the origin");
        TGridAxes& axes = model_.Grid;
        axes.X = GridAxis(g.X0, g.X1, g.Step, kMaxMapGridPoints);
        axes.Y = GridAxis(g.Y0, g.Y1, g.Step, kMaxMapGridPoints);
        if (axes.X.empty() || axes.Y.empty() ||
            static_cast<long double>(axes.X.size()) * static_cast<long double>(axes.Y.size()) >
                static_cast<long double>(kMaxMapGridPoints))
            return Fail("grid: more than 4,000,000 grid points");
        axes.Height = g.Height;
        axes.MetresPerUnit = scale_.MetresPerUnit;
        const double m = scale_.MetresPerUnit;
        box_ = {g.X0 * m, axes.X.back() * m, g.Y0 * m, axes.Y.back() * m, g.Height * m};
        return true;
    }

    bool CheckFootprints() {
        if (plan_.Footprints.size() > static_cast<std::size_t>(kMaxFootprints))
            return Fail("footprints: more than " + std::to_string(kMaxFootprints));
        for (std::size_t f = 0; f < plan_.Footprints.size(); ++f) {
            const TFootprint& footprint = plan_.Footprints[f];
            const std::string label = "footprint " + (footprint.Name.empty()
                                                          ? Ordinal(f)
                                                          : Quoted(footprint.Name));
            if (footprint.Name.empty()) return Fail(label + ": a footprint needs a name");
            if (footprint.Name.size() > kMaxPlanTextLength)
                return Fail(label + ": its name is longer than " +
                            std::to_string(kMaxPlanTextLength) + " bytes");
            if (footprint.Corners.size() < 3) return Fail(label + ": fewer than three corners");
            if (footprint.Corners.size() > static_cast<std::size_t>(kMaxFootprintCorners))
                return Fail(label + ": more than " + std::to_string(kMaxFootprintCorners) +
                            " corners");
            for (const TPlanCorner& corner : footprint.Corners)
                if (!std::isfinite(corner.X) || !std::isfinite(corner.Y))
                    return Fail(label + ": a corner that is not a finite number");
        }
        return true;
    }

    bool CheckElectrical(const TPlanConductor& c) {
        const std::string label = ConductorLabel(c);
        for (const double v : {c.Kv, c.AngleDeg, c.CurrentA, c.Diameter, c.Spacing, c.Sag})
            if (!std::isfinite(v)) return Fail(label + ": a value that is not a finite number");
        if (c.IsGround && c.Kv != 0) return Fail(label + ": kv: a ground conductor is at 0 V");
        if (!c.IsAc && c.AngleDeg != 0)
            return Fail(label + ": angle_deg: a DC conductor has no phase angle");
        if (!(c.Diameter > 0)) return Fail(label + ": diameter must be above 0");
        if (c.SubConductors < 1 || c.SubConductors > kMaxPlanSubConductors)
            return Fail(label + ": subconductors must be a whole number from 1 to " +
                        std::to_string(kMaxPlanSubConductors));
        if (c.Spacing < 0) return Fail(label + ": spacing must not be negative");
        if (c.SubConductors > 1 && !(c.Spacing > 0))
            return Fail(label + ": spacing: a bundle needs its sub-conductor spacing");
        return true;
    }

    // The bundle's radii and the phasors of the conductor.
    void SetElectrical(const TPlanConductor& c, TSpaceConductor& s) const {
        const int n = c.SubConductors;
        const TBundle bundle = BundleDimensions(n, scale_.DiameterMm(c.Diameter),
                                                scale_.SpacingCm(c.Spacing));
        s.EqRadiusM = bundle.EqDiameterM / 2.0;
        s.OuterRadiusM = OuterRadiusM(n, bundle);
        s.IsAc = c.IsAc;
        if (c.IsAc) {
            const double offset = mixed_ ? kMixedAcOffsetDeg : 0.0;
            const double voltageTheta = (c.AngleDeg + offset) * std::numbers::pi / 180;
            const double currentTheta = c.AngleDeg * std::numbers::pi / 180;
            s.VoltageV = std::polar(c.Kv / std::numbers::sqrt3 * 1000, voltageTheta);
            s.CurrentA = std::polar(c.CurrentA, currentTheta);
        } else {
            s.VoltageV = c.Kv * 1000;
            s.CurrentA = c.CurrentA;
        }
    }

    bool CheckPoint(const TPlanConductor& c, const TSpaceConductor& s, const TPlanPoint& p,
                    const std::string& which) {
        const std::string label = ConductorLabel(c);
        if (!std::isfinite(p.X) || !std::isfinite(p.Y) || !std::isfinite(p.Z))
            return Fail(label + ": " + which + " is not a finite number");
        const TVec3 m = scale_.Metres(p);
        if (std::max({std::abs(m.X), std::abs(m.Y), std::abs(m.Z)}) > kFarthestM)
            return Fail(label + ": " + which + " lies more than 1,000 km from the origin");
        if (!(m.Z > 0)) return Fail(label + ": " + which + " is at or below ground");
        if (!(m.Z > s.OuterRadiusM))
            return Fail(label + ": " + which + " is so low that the conductor reaches the ground");
        return true;
    }

    bool AddPath(const TPlanConductor& c, TSpaceConductor& s) {
        const std::string label = ConductorLabel(c);
        if (c.Points.size() < 2) return Fail(label + ": a path needs two points or more");
        if (c.Points.size() > static_cast<std::size_t>(kMaxPathPoints))
            return Fail(label + ": more than " + std::to_string(kMaxPathPoints) + " points");
        for (std::size_t k = 0; k < c.Points.size(); ++k)
            if (!CheckPoint(c, s, c.Points[k], "point " + Ordinal(k))) return false;
        s.Vertices.push_back(scale_.Metres(c.Points[0]));
        for (std::size_t k = 1; k < c.Points.size(); ++k) {
            const TVec3 a = scale_.Metres(c.Points[k - 1]);
            const TVec3 b = scale_.Metres(c.Points[k]);
            if (!(Norm(b - a) > 0))
                return Fail(label + ": the piece from point " + Ordinal(k - 1) + " to point " +
                            Ordinal(k) + " has no length");
            if (!Subdivide([a, b](double t) { return a + t * (b - a); }, box_, s.Vertices,
                           VerticesLeft()))
                return TooManyPieces(c);
        }
        return true;
    }

    bool AddSpan(const TPlanConductor& c, TSpaceConductor& s) {
        const std::string label = ConductorLabel(c);
        if (c.Points.size() != 2) return Fail(label + ": a span has two ends");
        if (!CheckPoint(c, s, c.Points[0], "from") || !CheckPoint(c, s, c.Points[1], "to"))
            return false;
        if (c.Sag < 0) return Fail(label + ": sag must not be negative");
        const TVec3 from = scale_.Metres(c.Points[0]);
        const TVec3 to = scale_.Metres(c.Points[1]);
        if (!(Norm(to - from) > 0)) return Fail(label + ": the span's ends are one point");
        const std::optional<TCatenary> catenary =
            TCatenary::Through(from, to, c.Sag * scale_.MetresPerUnit);
        if (!catenary) {
            if (from.X == to.X && from.Y == to.Y)
                return Fail(label + ": sag: a span whose ends lie one above the other cannot sag");
            return Fail(label + ": sag: too deep for a span of this length");
        }
        if (!(catenary->LowestHeight() > s.OuterRadiusM))
            return Fail(label + ": sag: puts the span at or below ground");
        s.Vertices.push_back(from);
        if (!Subdivide([&catenary](double t) { return catenary->At(t); }, box_, s.Vertices,
                       VerticesLeft()))
            return TooManyPieces(c);
        return true;
    }

    // Vertices the conductor being built may hold before the pieces of the
    // plan exceed the limit: its own first one, and one per piece left.
    std::size_t VerticesLeft() const {
        return 1 + static_cast<std::size_t>(kMaxMapPieces) - pieces_;
    }

    bool TooManyPieces(const TPlanConductor& c) {
        return Fail(ConductorLabel(c) + ": more than 20,000 pieces after subdivision (no piece "
                                        "is longer than its height near the grid): use a smaller "
                                        "grid or fewer conductors");
    }

    bool BuildConductors() {
        bool ac = false, dc = false;
        for (const TPlanConductor& c : plan_.Conductors)
            (c.IsAc ? ac : dc) = true;
        mixed_ = ac && dc;
        for (std::size_t i = 0; i < plan_.Conductors.size(); ++i) {
            const TPlanConductor& c = plan_.Conductors[i];
            if (!CheckElectrical(c)) return false;
            TSpaceConductor s;
            s.PlanIndex = i;
            SetElectrical(c, s);
            if (!(c.Shape == TPlanShape::Path ? AddPath(c, s) : AddSpan(c, s))) return false;
            pieces_ += s.PieceCount();
            model_.Conductors.push_back(std::move(s));
        }
        return true;
    }

    bool CheckSurfacesApart();

    const TPlan& plan_;
    TUnitScale scale_;
    TSpaceModel model_;
    TGridBox box_;
    bool mixed_ = false;
    std::size_t pieces_ = 0;
    std::string error_;
};

// The least squared distance between the pieces p1–q1 and p2–q2 (the
// closest points of two segments, clamped to their ends).
double SegmentDistanceSq(TVec3 p1, TVec3 q1, TVec3 p2, TVec3 q2) {
    const TVec3 d1 = q1 - p1, d2 = q2 - p2, r = p1 - p2;
    const double a = Dot(d1, d1), e = Dot(d2, d2), f = Dot(d2, r);
    const double c = Dot(d1, r), b = Dot(d1, d2);
    const double denom = a * e - b * b;
    double s = denom > 0 ? std::clamp((b * f - c * e) / denom, 0.0, 1.0) : 0.0;
    double t = (b * s + f) / e;
    if (t < 0) {
        t = 0;
        s = std::clamp(-c / a, 0.0, 1.0);
    } else if (t > 1) {
        t = 1;
        s = std::clamp((b - c) / a, 0.0, 1.0);
    }
    const TVec3 gap = (p1 + s * d1) - (p2 + t * d2);
    return Dot(gap, gap);
}

struct TPieceBox {
    double Low[3], High[3]; // extents along x, y, z, widened by the radius
    std::size_t Conductor, Vertex;
};

bool SamePoint(TVec3 a, TVec3 b) {
    return a.X == b.X && a.Y == b.Y && a.Z == b.Z;
}

// Whether the pieces join two conductors end to end: each piece holds an end
// of its conductor, at one and the same point (the spans of a line meeting at
// a structure), and the conductors are at one voltage.
bool JoinedEndToEnd(const TSpaceConductor& a, std::size_t pieceA, const TSpaceConductor& b,
                    std::size_t pieceB) {
    if (a.VoltageV != b.VoltageV) return false;
    const auto ends = [](const TSpaceConductor& c, std::size_t piece) {
        std::vector<TVec3> points;
        if (piece == 0) points.push_back(c.Vertices.front());
        if (piece + 2 == c.Vertices.size()) points.push_back(c.Vertices.back());
        return points;
    };
    for (const TVec3 p : ends(a, pieceA))
        for (const TVec3 q : ends(b, pieceB))
            if (SamePoint(p, q)) return true;
    return false;
}

bool TModelBuilder::CheckSurfacesApart() {
    std::vector<TPieceBox> boxes;
    for (std::size_t c = 0; c < model_.Conductors.size(); ++c) {
        const TSpaceConductor& s = model_.Conductors[c];
        for (std::size_t k = 0; k + 1 < s.Vertices.size(); ++k) {
            const TVec3 a = s.Vertices[k], b = s.Vertices[k + 1];
            const double r = s.OuterRadiusM;
            boxes.push_back({{std::min(a.X, b.X) - r, std::min(a.Y, b.Y) - r,
                              std::min(a.Z, b.Z) - r},
                             {std::max(a.X, b.X) + r, std::max(a.Y, b.Y) + r,
                              std::max(a.Z, b.Z) + r},
                             c,
                             k});
        }
    }
    if (boxes.empty()) return true;
    // Sweep along the axis over which the pieces spread farthest.
    int axis = 0;
    double widest = -1;
    for (int d = 0; d < 3; ++d) {
        double lo = boxes[0].Low[d], hi = boxes[0].High[d];
        for (const TPieceBox& box : boxes) {
            lo = std::min(lo, box.Low[d]);
            hi = std::max(hi, box.High[d]);
        }
        if (hi - lo > widest) {
            widest = hi - lo;
            axis = d;
        }
    }
    std::sort(boxes.begin(), boxes.end(), [axis](const TPieceBox& p, const TPieceBox& q) {
        return p.Low[axis] < q.Low[axis];
    });
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const TPieceBox& p = boxes[i];
        for (std::size_t j = i + 1; j < boxes.size() && boxes[j].Low[axis] <= p.High[axis]; ++j) {
            const TPieceBox& q = boxes[j];
            if (q.Conductor == p.Conductor) continue;
            bool overlap = true;
            for (int d = 0; d < 3; ++d)
                overlap = overlap && q.Low[d] <= p.High[d] && p.Low[d] <= q.High[d];
            if (!overlap) continue;
            const TSpaceConductor& sp = model_.Conductors[p.Conductor];
            const TSpaceConductor& sq = model_.Conductors[q.Conductor];
            const double reach = sp.OuterRadiusM + sq.OuterRadiusM;
            if (SegmentDistanceSq(sp.Vertices[p.Vertex], sp.Vertices[p.Vertex + 1],
                                  sq.Vertices[q.Vertex], sq.Vertices[q.Vertex + 1]) <=
                    reach * reach &&
                !JoinedEndToEnd(sp, p.Vertex, sq, q.Vertex)) {
                const std::size_t first = std::min(sp.PlanIndex, sq.PlanIndex);
                const std::size_t second = std::max(sp.PlanIndex, sq.PlanIndex);
                return Fail("conductors " + Quoted(plan_.Conductors[first].Id) + " and " +
                            Quoted(plan_.Conductors[second].Id) + ": their surfaces meet");
            }
        }
    }
    return true;
}

} // namespace

std::string ConductorLabel(const TPlanConductor& conductor) {
    return "conductor " + Quoted(conductor.Id);
}

std::vector<double> GridAxis(double from, double to, double step, long long maxPoints) {
    if (!(step > 0) || !(to >= from)) return {};
    const double intervals = std::floor((to - from) / step + 1e-9);
    if (!(intervals < static_cast<double>(maxPoints))) return {};
    const auto count = static_cast<std::size_t>(intervals) + 1;
    std::vector<double> axis(count);
    for (std::size_t i = 0; i < count; ++i)
        axis[i] = from + static_cast<double>(i) * step;
    return axis;
}

std::variant<TSpaceModel, TMapInputError> BuildSpaceModel(const TPlan& plan) {
    return TModelBuilder(plan).Build();
}

} // namespace corvalt::space
