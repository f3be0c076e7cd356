#include "plots/MapLevels.h"

#include "limits/FieldLimits.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

namespace corvalt {
namespace {

constexpr double kLowerClassKv = 230;
constexpr double kLowerClassTopKv = 1.1 * kLowerClassKv;

// Runs of the conductors: those sharing an end point are one run.
class TRuns {
  public:
    explicit TRuns(const std::vector<TPlanConductor>& conductors)
        : parent_(conductors.size()) {
        std::iota(parent_.begin(), parent_.end(), std::size_t{0});
        for (std::size_t a = 0; a < conductors.size(); ++a)
            for (std::size_t b = a + 1; b < conductors.size(); ++b)
                if (ShareAnEnd(conductors[a], conductors[b])) parent_[Root(a)] = Root(b);
    }
    std::size_t Root(std::size_t i) {
        while (parent_[i] != i) i = parent_[i] = parent_[parent_[i]];
        return i;
    }

  private:
    static bool ShareAnEnd(const TPlanConductor& a, const TPlanConductor& b) {
        if (a.Points.empty() || b.Points.empty()) return false;
        for (const TPlanPoint& p : {a.Points.front(), a.Points.back()})
            if (p == b.Points.front() || p == b.Points.back()) return true;
        return false;
    }
    std::vector<std::size_t> parent_;
};

bool IsHighPhase(const TPlanConductor& c) {
    return !c.IsGround && c.IsAc && std::abs(c.Kv) > kLowerClassTopKv;
}

} // namespace

int PhaseIndexOf(double angleDeg) {
    const double a = std::fmod(std::fmod(angleDeg, 360.0) + 360.0, 360.0);
    return static_cast<int>(std::lround(a / 120.0)) % 3;
}

TLimitClass PlanLimitClass(const TPlan& plan) {
    double highest = 0;
    for (const TPlanConductor& c : plan.Conductors)
        if (!c.IsGround) highest = std::max(highest, std::abs(c.Kv));
    if (!(highest > kLowerClassTopKv)) return TLimitClass::Line230;
    TRuns runs(plan.Conductors);
    std::array<std::vector<std::size_t>, 3> roots;
    for (std::size_t i = 0; i < plan.Conductors.size(); ++i) {
        const TPlanConductor& c = plan.Conductors[i];
        if (!IsHighPhase(c)) continue;
        auto& phase = roots[static_cast<std::size_t>(PhaseIndexOf(c.AngleDeg))];
        const std::size_t root = runs.Root(i);
        if (std::find(phase.begin(), phase.end(), root) == phase.end()) phase.push_back(root);
    }
    std::size_t sets = roots[0].size();
    for (const auto& phase : roots) sets = std::min(sets, phase.size());
    return LineClassOf(kLowerClassKv + 1, static_cast<int>(sets));
}

std::vector<TMapLevel> DefaultMapLevels(const TPlan& plan, const TFieldLimits& limits,
                                        TMapQuantity quantity) {
    return LimitLevels(limits.For(PlanLimitClass(plan)), quantity);
}

std::vector<TMapLevel> LimitLevels(const TClassLimits& row, TMapQuantity quantity) {
    std::vector<TMapLevel> levels;
    const auto add = [&levels](const std::optional<float>& limit, const char* place) {
        if (!limit || !(*limit > 0)) return;
        for (const TMapLevel& level : levels)
            if (level.Value == *limit) return;
        levels.push_back({*limit, place});
    };
    if (quantity == TMapQuantity::Electric) {
        add(row.EWithinRow, "within the ROW");
        add(row.EAtEdge, "at the ROW edge");
    } else {
        add(row.BAtEdge, "at the ROW edge");
    }
    std::sort(levels.begin(), levels.end(),
              [](const TMapLevel& a, const TMapLevel& b) { return a.Value > b.Value; });
    return levels;
}

} // namespace corvalt
