#include "space/BuildSpans.h"

#include "model/Limits.h"
#include "model/Project.h"
#include "model/Scenario.h"
#include "model/TextHelpers.h"
#include "model/Units.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>
#include <set>
#include <string>
#include <vector>

namespace corvalt::space {

namespace {

// A structure: where the line's centre stands, and where an offset of one
// unit to the right puts a conductor (the mitre at a corner is longer).
struct TStructure {
    double X = 0, Y = 0;
    double RightX = 0, RightY = 0;
};

// The sharpest corner a route may turn: 1 + cos of its turn is at least this
// (a turn of 150°).
constexpr double kSharpestTurn = 1 - 0.8660254037844386;

TMapInputError Refusal(std::string message) {
    return {std::move(message)};
}

std::optional<TMapInputError> CheckRequest(std::span<const TPlanCorner> route, double spanLength,
                                           double sag) {
    if (route.size() < 2) return Refusal("route: a route needs two points or more");
    for (std::size_t k = 0; k < route.size(); ++k) {
        if (!std::isfinite(route[k].X) || !std::isfinite(route[k].Y))
            return Refusal("route: point " + std::to_string(k + 1) + " is not a finite number");
        if (k > 0 && route[k] == route[k - 1])
            return Refusal("route: point " + std::to_string(k + 1) + " repeats the one before");
    }
    if (!std::isfinite(spanLength) || spanLength < 0)
        return Refusal("span length: must be a finite number, 0 or more");
    if (!std::isfinite(sag) || sag < 0) return Refusal("sag: must be a finite number, 0 or more");
    return std::nullopt;
}

// The structures along the route, or why there are none.
std::variant<std::vector<TStructure>, TMapInputError>
Structures(std::span<const TPlanCorner> route, double spanLength) {
    std::vector<double> rightX, rightY, lengths; // per leg: its right normal, its length
    for (std::size_t k = 0; k + 1 < route.size(); ++k) {
        const double dx = route[k + 1].X - route[k].X, dy = route[k + 1].Y - route[k].Y;
        const double length = std::hypot(dx, dy);
        rightX.push_back(dy / length);
        rightY.push_back(-dx / length);
        lengths.push_back(length);
    }
    std::vector<TStructure> structures;
    structures.push_back({route[0].X, route[0].Y, rightX[0], rightY[0]});
    for (std::size_t k = 0; k + 1 < route.size(); ++k) {
        const double spans =
            spanLength > 0 ? std::max(1.0, std::ceil(lengths[k] / spanLength - 1e-9)) : 1.0;
        if (spans * static_cast<double>(structures.size()) > kMaxPlanConductors)
            return Refusal("span length: the line would have more spans than a plan can hold");
        for (double s = 1; s < spans; ++s) {
            const double t = s / spans;
            structures.push_back({route[k].X + t * (route[k + 1].X - route[k].X),
                                  route[k].Y + t * (route[k + 1].Y - route[k].Y), rightX[k],
                                  rightY[k]});
        }
        TStructure end{route[k + 1].X, route[k + 1].Y, rightX[k], rightY[k]};
        if (k + 2 < route.size()) {
            // The mitre m with m·n = 1 for the right normals n of both legs.
            const double turn = 1 + rightX[k] * rightX[k + 1] + rightY[k] * rightY[k + 1];
            if (turn < kSharpestTurn)
                return Refusal("route: turns back on itself at point " + std::to_string(k + 2));
            end.RightX = (rightX[k] + rightX[k + 1]) / turn;
            end.RightY = (rightY[k] + rightY[k + 1]) / turn;
        }
        structures.push_back(end);
    }
    return structures;
}

// A model value as the decimal number it shows as (28.143f becomes 28.143,
// not 28.142999649): the plan prints as the cross section reads, and rounds
// back to the same float.
double Decimal(float value) {
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value);
    double decimal = value;
    std::from_chars(text, written.ptr, decimal);
    return decimal;
}

// The conductor's electrical values as the cross-section computation uses
// them.
void SetElectrical(const TConductor& c, TPlanConductor& p) {
    p.IsGround = c.IsGround();
    p.IsAc = c.AcFlag != 0;
    const double currentA = Decimal(c.DisplayMcr());
    const double kv = Decimal(c.MaxVoltage);
    if (p.IsAc) {
        p.Kv = p.IsGround ? 0.0 : kv;
        p.AngleDeg = Decimal(c.PhaseAngle);
        p.CurrentA = currentA;
        return;
    }
    const double voltageAngle = Decimal(c.PhaseAngle) * std::numbers::pi / 180;
    const double currentAngle = c.MaxVoltage > 0 ? voltageAngle : -std::numbers::pi;
    p.Kv = p.IsGround ? 0.0 : kv / std::numbers::sqrt3 * std::cos(voltageAngle);
    p.CurrentA = currentA * std::cos(currentAngle);
}

TPlanGrid GridAround(const std::vector<TStructure>& structures, double margin, double height) {
    double x0 = structures[0].X, x1 = x0, y0 = structures[0].Y, y1 = y0;
    for (const TStructure& s : structures) {
        x0 = std::min(x0, s.X);
        x1 = std::max(x1, s.X);
        y0 = std::min(y0, s.Y);
        y1 = std::max(y1, s.Y);
    }
    x0 -= margin;
    x1 += margin;
    y0 -= margin;
    y1 += margin;
    // The smallest step of 1, 2 or 5 times a power of ten whose multiples
    // around the area are at most 200 steps apart on either axis.
    const auto steps = [](double lo, double hi, double step) {
        return std::ceil(hi / step) - std::floor(lo / step);
    };
    for (double decade = 1e-3;; decade *= 10)
        for (const double mantissa : {1.0, 2.0, 5.0}) {
            const double step = mantissa * decade;
            if ((steps(x0, x1, step) <= 200 && steps(y0, y1, step) <= 200) || decade > 1e12)
                return {std::floor(x0 / step) * step, std::ceil(x1 / step) * step,
                        std::floor(y0 / step) * step, std::ceil(y1 / step) * step, step, height};
        }
}

std::string PlanName(const TScenario& section) {
    std::string name = !section.TabTitle.empty() ? section.TabTitle
                       : !section.Title.empty()  ? section.Title
                                                 : std::string("Plan");
    if (name.size() > kMaxPlanTextLength) {
        std::size_t cut = kMaxPlanTextLength;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
            --cut; // not inside a UTF-8 character
        name.resize(cut);
    }
    return name;
}

} // namespace

std::variant<TPlan, TMapInputError> BuildSpans(const TScenario& section,
                                               std::span<const TPlanCorner> route,
                                               double spanLength, double sag) {
    if (auto refusal = CheckRequest(route, spanLength, sag)) return *refusal;
    auto laidOut = Structures(route, spanLength);
    if (auto* refusal = std::get_if<TMapInputError>(&laidOut)) return *refusal;
    const std::vector<TStructure>& structures = std::get<std::vector<TStructure>>(laidOut);
    const std::size_t spans = structures.size() - 1;
    if (spans * section.Conductors.size() > static_cast<std::size_t>(kMaxPlanConductors))
        return Refusal("the line would have more than " + std::to_string(kMaxPlanConductors) +
                       " conductor spans");

    const int units = section.Project->Units;
    TPlan plan;
    plan.Name = PlanName(section);
    plan.Units = static_cast<std::uint8_t>(units == English ? English : Metric);
    double farthest = Decimal(std::max(section.DisplayRowLeft(), section.DisplayRowRight()));
    for (const TConductor* c : section.Conductors) {
        if (!(c->Height > 0))
            return Refusal("conductor \"" + c->Id +
                           "\": lies at or below ground; a plan holds overhead conductors only");
        const double x = Decimal(DisplayLength(units, c->AbsoluteX()));
        const double z = Decimal(c->DisplayHeight()) + sag;
        farthest = std::max(farthest, std::abs(x));
        for (std::size_t s = 0; s < spans; ++s) {
            TPlanConductor p;
            p.Id = spans == 1 ? c->Id : c->Id + " span " + std::to_string(s + 1);
            if (p.Id.size() > kMaxPlanTextLength)
                return Refusal("conductor \"" + c->Id + "\": its id is too long for a plan");
            SetElectrical(*c, p);
            p.Diameter = Decimal(c->DisplayDiameter());
            p.SubConductors = c->SubCondCount;
            p.Spacing = Decimal(c->DisplaySubSpacing());
            p.Shape = TPlanShape::Span;
            const TStructure& a = structures[s];
            const TStructure& b = structures[s + 1];
            p.Points = {{a.X + x * a.RightX, a.Y + x * a.RightY, z},
                        {b.X + x * b.RightX, b.Y + x * b.RightY, z}};
            p.Sag = sag;
            plan.Conductors.push_back(std::move(p));
        }
    }
    const double margin = farthest + (units == English ? 100.0 : 30.0);
    plan.Grid = GridAround(structures, margin, Decimal(section.DisplayEFieldHeight()));
    return plan;
}

std::optional<TMapInputError> MergePlan(TPlan& plan, const TPlan& other) {
    if (plan.Units != other.Units) return Refusal("the plans use different units");
    std::set<std::string> ids;
    for (const TPlanConductor& c : plan.Conductors)
        ids.insert(c.Id);
    for (TPlanConductor c : other.Conductors) {
        const std::string id = c.Id;
        for (int n = 2; !ids.insert(c.Id).second; ++n)
            c.Id = id + " (" + std::to_string(n) + ")";
        plan.Conductors.push_back(std::move(c));
    }
    plan.Footprints.insert(plan.Footprints.end(), other.Footprints.begin(), other.Footprints.end());
    TPlanGrid& g = plan.Grid;
    g.X0 = std::min(g.X0, other.Grid.X0);
    g.X1 = std::max(g.X1, other.Grid.X1);
    g.Y0 = std::min(g.Y0, other.Grid.Y0);
    g.Y1 = std::max(g.Y1, other.Grid.Y1);
    g.Step = std::min(g.Step, other.Grid.Step);
    return std::nullopt;
}

std::variant<std::vector<TPlanCorner>, TRouteFault> ParseRoute(std::string_view text,
                                                               const TNumberReader& readNumber) {
    std::vector<TPlanCorner> route;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find_first_of(";\r\n", start), text.size());
        const std::string entry = Trim(text.substr(start, end - start));
        start = end + 1;
        if (entry.empty()) continue;
        const char separator = entry.find('\t') != std::string::npos ? '\t' : ',';
        const std::size_t split = entry.find(separator);
        std::optional<double> x, y;
        if (split != std::string::npos && entry.find(separator, split + 1) == std::string::npos) {
            x = readNumber(Trim(std::string_view(entry).substr(0, split)));
            y = readNumber(Trim(std::string_view(entry).substr(split + 1)));
        }
        if (!x || !y) return TRouteFault{route.size() + 1, entry};
        route.push_back({*x, *y});
    }
    return route;
}

} // namespace corvalt::space
