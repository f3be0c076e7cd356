#include "design/PhasingOptimiser.h"

#include "compute/Charges.h"
#include "compute/Compute.h"
#include "compute/Constants.h"
#include "compute/Corona.h"
#include "compute/FieldEllipse.h"
#include "compute/Fields.h"
#include "design/LargestAxis.h"
#include "design/ProfileTrial.h"
#include "limits/FieldLimits.h"
#include "model/Project.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstddef>
#include <limits>
#include <map>
#include <utility>
#include <variant>

namespace corvalt {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Arrangements ranked through the computation beyond the Top asked for, so
// that arrangements whose searched values tie within rounding (mirror images,
// all circuits turned by 120°) are ranked by the computation's values.
constexpr std::size_t kExtraCandidates = 32;
// The most arrangements that share their values through the line's symmetry:
// a mirror image and six relabellings each. The search keeps this many times
// the candidates, so that every arrangement of a ranked row is counted.
constexpr std::size_t kLargestFold = 12;
// Values this close, relative, are the same (mirror images and relabellings
// differ by the rounding of the computation's sums, about 1e-6).
constexpr double kSameValueTolerance = 1e-5;
// Searched values this close to the last ranked one, relative, may still rank
// above it by the computation's values.
constexpr double kCandidateTolerance = 1e-4;

std::size_t Size(long long n) {
    return static_cast<std::size_t>(n);
}

double Objective(const TPhasingRequest& request, std::optional<double> edgeBMg,
                 std::optional<double> edgeEKvPerM, std::optional<double> rowEKvPerM) {
    auto value = [](std::optional<double> v) { return v ? *v : kInfinity; };
    switch (request.Objective) {
    case TPhasingObjective::EdgeB:
        return value(edgeBMg);
    case TPhasingObjective::EdgeE:
        return value(edgeEKvPerM);
    case TPhasingObjective::RowE:
        return value(rowEKvPerM);
    case TPhasingObjective::Weighted:
        break;
    }
    // A term without weight needs no value.
    const TObjectiveWeights& w = request.Weights;
    double sum = 0;
    for (const auto& [weight, v] :
         {std::pair{w.EdgeBPerMg, edgeBMg}, std::pair{w.EdgeEPerKvPerM, edgeEKvPerM},
          std::pair{w.RowEPerKvPerM, rowEKvPerM}})
        if (weight != 0) sum += weight * value(v);
    return sum;
}

} // namespace

std::optional<std::string> PhasingRequestFault(const TPhasingRequest& request) {
    if (request.Top < 1) return "at least one arrangement must be ranked";
    if (request.Top > kMaxRankedArrangements)
        return "at most " + std::to_string(kMaxRankedArrangements) +
               " arrangements can be ranked (each is computed again in full)";
    if (request.Objective != TPhasingObjective::Weighted) return std::nullopt;
    const TObjectiveWeights& w = request.Weights;
    for (const double weight : {w.EdgeBPerMg, w.EdgeEPerKvPerM, w.RowEPerKvPerM})
        if (!std::isfinite(weight) || weight < 0) return "a weight must be a number of 0 or more";
    if (w.EdgeBPerMg == 0 && w.EdgeEPerKvPerM == 0 && w.RowEPerKvPerM == 0)
        return "at least one weight must be above 0";
    return std::nullopt;
}

namespace {

// For every conductor of the system: the searched circuit it belongs to (an
// index into circuits) when it is a phase conductor of one, else -1.
std::vector<int> SearchedCircuitOf(const TScenario& scenario,
                                   std::span<const TPhasedCircuit> circuits) {
    std::map<const TCircuit*, int> searched;
    for (std::size_t k = 0; k < circuits.size(); ++k)
        searched[&scenario.Circuits[circuits[k].CircuitIndex]] = static_cast<int>(k);
    std::vector<int> of;
    of.reserve(scenario.Conductors.size());
    for (const TConductor* conductor : scenario.Conductors) {
        const auto found = searched.find(conductor->Circuit);
        of.push_back(found != searched.end() && !conductor->IsGround() ? found->second : -1);
    }
    return of;
}

// The phase angle (degrees) a searched circuit's phase conductor of type
// condType gets from the order.
float AngleAfter(const TPhasedCircuit& circuit, int order, int condType) {
    return circuit.AnglesDeg[static_cast<std::size_t>(PhaseOrder(order)[condType])];
}

// The computation of arrangements through ComputeProfileFields: the cross
// section's inputs once, then the fields of each arrangement.
class TExactEvaluator {
  public:
    TExactEvaluator(const TScenario& scenario, std::span<const TPhasedCircuit> circuits)
        : scenario_(scenario), circuits_(circuits.begin(), circuits.end()),
          searchedOf_(SearchedCircuitOf(scenario, circuits)), trial_(scenario, false),
          site_(CoronaSiteOf(scenario)) {
        if (!trial_.Message().empty()) return;
        const TProfileLayout& layout = trial_.Inputs().Layout;
        const int units = scenario.Project->Units;
        for (const int edge : {layout.RowLeftResult, layout.RowRightResult})
            edgesM_.push_back(RecordPositionM(layout.Records[Size(edge)], units));
    }

    const TFieldInputs& Inputs() const { return trial_.Inputs(); }
    const std::string& Message() const { return trial_.Message(); }

    TExactValues Evaluate(std::span<const int> orders, std::stop_token stop = {}) const {
        if (!trial_.Message().empty()) return {std::nullopt, trial_.Message()};
        std::vector<TSystemConductor> system = trial_.Inputs().System;
        for (std::size_t j = 0; j < system.size(); ++j) {
            const int k = searchedOf_[j];
            if (k < 0) continue;
            system[j].PhaseAngleDeg =
                AngleAfter(circuits_[Size(k)], orders[Size(k)], scenario_.Conductors[j]->CondType);
        }
        // The values the field limits speak about, taken as the limits take them.
        TTrialChecks trial = trial_.SolveAndCheck(system, {}, std::move(stop));
        if (!trial.Checks) return {std::nullopt, std::move(trial.Message)};
        const TRowValues row = RowValuesOf(*trial.Checks);
        TPhasingValues values;
        values.EdgeBMg = row.EdgeBMg;
        values.EdgeEKvPerM = row.EdgeEKvPerM;
        values.RowEKvPerM = row.LargestEWithinRowKvPerM;
        AddCoronaValues(system, values);
        return {values, {}};
    }

  private:
    // What the arrangement trades for its fields, as the computation takes it
    // from the solved system (ComputeScenario): the gradients, and the audible
    // noise and radio interference at the ROW edges' records.
    void AddCoronaValues(std::span<const TSystemConductor> system, TPhasingValues& values) const {
        for (const TSystemConductor& c : system)
            if (IsCoronaSource(c))
                values.MaxGradientKvPerCm = Larger(values.MaxGradientKvPerCm, c.MaxGradientKvCm);
        const TCoronaField corona(system, site_);
        for (const float xM : edgesM_) {
            values.EdgeAnRainDba = Larger(values.EdgeAnRainDba, corona.AudibleNoiseDba(xM).Rain);
            values.EdgeRiFairDbuvPerM =
                Larger(values.EdgeRiFairDbuvPerM, corona.RadioInterferenceDbuv(xM).Fair);
        }
    }

    const TScenario& scenario_;
    std::vector<TPhasedCircuit> circuits_;
    std::vector<int> searchedOf_;
    TProfileTrial trial_;
    TCoronaSite site_;
    std::vector<float> edgesM_; // where the ROW edges' records lie, m
};

// A field's two components at a set of points: the real and imaginary parts of
// the horizontal (X) and the vertical (Y) component, one array each, padded
// with zeros for LargestAxisOfSum.
struct TComponents {
    std::vector<double> XRe, XIm, YRe, YIm;

    explicit TComponents(std::size_t points = 0)
        : XRe(PaddedPointCount(points)), XIm(XRe.size()), YRe(XRe.size()), YIm(XRe.size()) {}

    TPhasorArrays Arrays() const { return {XRe.data(), XIm.data(), YRe.data(), YIm.data()}; }

    // Adds phasor × (x, y) for real components x and y.
    void AddScaled(std::complex<double> phasor, std::span<const double> x,
                   std::span<const double> y) {
        for (std::size_t p = 0; p < XRe.size(); ++p) {
            XRe[p] += phasor.real() * x[p];
            XIm[p] += phasor.imag() * x[p];
            YRe[p] += phasor.real() * y[p];
            YIm[p] += phasor.imag() * y[p];
        }
    }

    // this = a + b.
    void SetSum(const TComponents& a, const TComponents& b) {
        AddPhasorArrays(a.Arrays(), b.Arrays(), {XRe.data(), XIm.data(), YRe.data(), YIm.data()},
                        XRe.size());
    }
};

// Real components of a field at a set of points (the field of one conductor
// per unit of its phasor), padded as TComponents.
struct TRealField {
    std::vector<double> X, Y;
    explicit TRealField(std::size_t points = 0) : X(PaddedPointCount(points)), Y(X.size()) {}
    void AddScaled(double factor, const TRealField& other) {
        for (std::size_t p = 0; p < X.size(); ++p) {
            X[p] += factor * other.X[p];
            Y[p] += factor * other.Y[p];
        }
    }
};

struct TSquareRoot {
    double operator()(double v) const { return std::sqrt(v); }
};

// The searched points of the profile: the ROW edges and every record within
// the ROW (edges included), in record order.
struct TSearchPoints {
    std::vector<double> XM;          // where the kernels evaluate them, m
    std::vector<bool> WithinRow;     // counts for the largest field within the ROW
    std::size_t Left = 0, Right = 0; // the edges among them
};

TSearchPoints SearchPointsOf(const TScenario& scenario, const TProfileLayout& layout) {
    TSearchPoints points;
    const int units = scenario.Project->Units;
    const float fromM = -scenario.RowLeft;
    const float toM = scenario.RowRight;
    for (std::size_t i = 0; i < layout.Records.size(); ++i) {
        const TCalcResult& record = layout.Records[i];
        const bool edge = static_cast<int>(i) == layout.RowLeftResult ||
                          static_cast<int>(i) == layout.RowRightResult;
        const bool within = record.DistM >= fromM && record.DistM <= toM;
        if (!edge && !within) continue;
        if (static_cast<int>(i) == layout.RowLeftResult) points.Left = points.XM.size();
        if (static_cast<int>(i) == layout.RowRightResult) points.Right = points.XM.size();
        points.XM.push_back(RecordPositionM(record, units));
        points.WithinRow.push_back(within);
    }
    return points;
}

// The fields of the cross section as linear functions of the searched
// circuits' orders: the fixed conductors' field, and for each searched circuit
// and order the field of its phase conductors. It keeps copies of what it is
// built from, so that it may be moved.
class TLinearFields {
  public:
    TLinearFields(const TScenario& scenario, const TFieldInputs& inputs,
                  std::span<const TPhasedCircuit> circuits, TSearchPoints points)
        : scenario_(scenario), system_(inputs.System), circuits_(circuits.begin(), circuits.end()),
          searchedOf_(SearchedCircuitOf(scenario, circuits)), points_(std::move(points)) {}

    // False when the potential coefficients cannot be inverted or stop was
    // requested (looked at within the inversion and for each conductor).
    bool Build(const std::stop_token& stop) {
        const std::size_t n = points_.XM.size();
        eFixed_ = TComponents(n);
        bFixed_ = TComponents(2);
        std::vector<std::array<TRealField, 3>> eGroups(circuits_.size());
        std::vector<std::array<TRealField, 3>> bGroups(circuits_.size());
        for (auto& groups : eGroups)
            groups.fill(TRealField(n));
        for (auto& groups : bGroups)
            groups.fill(TRealField(2));
        eInside_.assign(n, false);
        bInside_.assign(2, false);
        if (!AddElectricSources(eGroups, stop)) return false;
        AddMagneticSources(bGroups);
        CombineOrders(eGroups, bGroups);
        WeighRowPoints();
        return true;
    }

    const TSearchPoints& Points() const { return points_; }
    std::size_t PointCount() const { return points_.XM.size(); }
    const TComponents& FixedE() const { return eFixed_; }
    const TComponents& FixedB() const { return bFixed_; }
    const TComponents& CircuitE(std::size_t k, int order) const { return eOrders_[k][Size(order)]; }
    const TComponents& CircuitB(std::size_t k, int order) const { return bOrders_[k][Size(order)]; }
    bool EInside(std::size_t p) const { return eInside_[p]; }
    bool BInside(std::size_t edge) const { return bInside_[edge]; }
    // 1 for each point that counts for the largest field within the ROW (within
    // it and not inside a conductor), else 0; padded as TComponents.
    const std::vector<double>& RowWeights() const { return rowWeights_; }
    bool AnyRowPoint() const { return anyRowPoint_; }

  private:
    void WeighRowPoints() {
        rowWeights_.assign(PaddedPointCount(points_.XM.size()), 0.0);
        for (std::size_t p = 0; p < points_.XM.size(); ++p)
            if (points_.WithinRow[p] && !eInside_[p]) rowWeights_[p] = 1;
        anyRowPoint_ = std::find(rowWeights_.begin(), rowWeights_.end(), 1.0) != rowWeights_.end();
    }

    // Searched circuit and phase type of conductor j; -1 for a fixed conductor.
    int SearchedOf(std::size_t j) const { return searchedOf_[j]; }
    int TypeOf(std::size_t j) const { return scenario_.Conductors[j]->CondType; }

    // The field of each unit line charge at every point, V/m per C/m, as the
    // computation forms it (UnitChargeField); the points inside a conductor or
    // its image have no value.
    std::vector<TRealField> UnitChargeFields(std::span<const int> members) {
        const double ys = scenario_.EFieldHeight;
        std::vector<TRealField> unit(members.size(), TRealField(points_.XM.size()));
        for (std::size_t i = 0; i < members.size(); ++i) {
            const TSystemConductor& s = system_[Size(members[i])];
            for (std::size_t p = 0; p < points_.XM.size(); ++p) {
                const TUnitField field = UnitChargeField(s, points_.XM[p], ys);
                if (field.Inside) eInside_[p] = true;
                unit[i].X[p] = field.Horizontal;
                unit[i].Y[p] = field.Vertical;
            }
        }
        return unit;
    }

    // The electric field per volt of each member's voltage: Σ_i P⁻¹[i][j]
    // times the unit field of charge i, in kV/m per V; added to the fixed field
    // with the member's voltage phasor, or to its position's field with the
    // voltage's magnitude.
    bool AddElectricSources(std::vector<std::array<TRealField, 3>>& groups,
                            const std::stop_token& stop) {
        const std::vector<int> members = ChargeSystemMembers(system_);
        if (members.empty()) return true;
        // The columns of P⁻¹: P solved for each unit voltage.
        TCholesky coefficients;
        if (!coefficients.Factor(PotentialCoefficients(system_, members))) return false;
        if (stop.stop_requested()) return false;
        const std::size_t n = members.size();
        std::vector<double> inverse(n * n, 0.0);
        for (std::size_t j = 0; j < n; ++j)
            inverse[j * n + j] = 1;
        coefficients.Solve(inverse);
        const std::vector<TRealField> unit = UnitChargeFields(members);
        // The charges that stay on the conductors, and so the field, are those
        // of the last step of a mixed AC/DC system's sweep: its AC voltages
        // turned by that step's offset.
        eOffsetDeg_ = IsMixedAcDc(system_) ? SweepOffsetDeg(kSweepSteps) : 0.0;
        for (std::size_t jm = 0; jm < members.size(); ++jm) {
            if (stop.stop_requested()) return false;
            const std::size_t j = Size(members[jm]);
            const TSystemConductor& c = system_[j];
            if (c.MaxVoltageKv == 0) continue; // a grounded conductor drives nothing
            TRealField perVolt(points_.XM.size());
            for (std::size_t i = 0; i < n; ++i)
                perVolt.AddScaled(inverse[jm * n + i] / 1000.0, unit[i]);
            const double magnitudeV = PhaseToGroundKv(c.MaxVoltageKv) * 1000.0;
            const double offsetDeg = c.IsAc ? eOffsetDeg_ : 0.0;
            const int k = SearchedOf(j);
            if (k >= 0) {
                groups[Size(k)][Size(TypeOf(j))].AddScaled(magnitudeV, perVolt);
            } else {
                const double theta = VoltageAngleRad(c.PhaseAngleDeg, offsetDeg);
                eFixed_.AddScaled(std::polar(magnitudeV, theta), perVolt.X, perVolt.Y);
            }
        }
        return true;
    }

    // The magnetic field at the two edges per unit current phasor of each
    // conductor carrying current, gauss per (gauss·m): (dy, dx) ÷ d².
    void AddMagneticSources(std::vector<std::array<TRealField, 3>>& groups) {
        const double yb = scenario_.BFieldHeight;
        const double edges[2] = {points_.XM[points_.Left], points_.XM[points_.Right]};
        for (std::size_t j = 0; j < system_.size(); ++j) {
            const TSystemConductor& c = system_[j];
            if (c.CurrentA == 0) continue;
            TRealField unit(2);
            for (std::size_t e = 0; e < 2; ++e) {
                const TUnitField field = UnitCurrentField(c, edges[e], yb);
                if (field.Inside) bInside_[e] = true;
                unit.X[e] = field.Horizontal;
                unit.Y[e] = field.Vertical;
            }
            const int k = SearchedOf(j);
            if (k >= 0) {
                groups[Size(k)][Size(TypeOf(j))].AddScaled(LineCurrentGaussM(c.CurrentA), unit);
            } else {
                bFixed_.AddScaled({c.CurrentSourceRe, c.CurrentSourceIm}, unit.X, unit.Y);
            }
        }
    }

    // Each order of each searched circuit: its positions' fields turned by the
    // phase the order puts there.
    void CombineOrders(const std::vector<std::array<TRealField, 3>>& eGroups,
                       const std::vector<std::array<TRealField, 3>>& bGroups) {
        eOrders_.resize(circuits_.size());
        bOrders_.resize(circuits_.size());
        for (std::size_t k = 0; k < circuits_.size(); ++k) {
            for (int order = 0; order < kPhaseOrderCount; ++order) {
                TComponents& e = eOrders_[k][Size(order)];
                TComponents& b = bOrders_[k][Size(order)];
                e = TComponents(points_.XM.size());
                b = TComponents(2);
                for (int position = 0; position < 3; ++position) {
                    const float angle = AngleAfter(circuits_[k], order, position);
                    const TRealField& eg = eGroups[k][Size(position)];
                    const TRealField& bg = bGroups[k][Size(position)];
                    e.AddScaled(std::polar(1.0, VoltageAngleRad(angle, eOffsetDeg_)), eg.X, eg.Y);
                    b.AddScaled(std::polar(1.0, CurrentAngleRad(true, 1, angle)), bg.X, bg.Y);
                }
            }
        }
    }

    const TScenario& scenario_;
    std::vector<TSystemConductor> system_;
    std::vector<TPhasedCircuit> circuits_;
    std::vector<int> searchedOf_;
    TSearchPoints points_;
    double eOffsetDeg_ = 0;
    TComponents eFixed_, bFixed_;
    std::vector<std::array<TComponents, kPhaseOrderCount>> eOrders_, bOrders_;
    std::vector<bool> eInside_, bInside_;
    std::vector<double> rowWeights_;
    bool anyRowPoint_ = false;
};

// The semi-major axis of the field ellipse of the sum a + b at point p.
double AxisOfSum(const TComponents& a, const TComponents& b, std::size_t p) {
    return SemiMajorAxisOfPhasors(a.XRe[p] + b.XRe[p], a.XIm[p] + b.XIm[p], a.YRe[p] + b.YRe[p],
                                  a.YIm[p] + b.YIm[p], TSquareRoot{});
}

// The arrangements with the smallest searched objective values.
class TCandidates {
  public:
    explicit TCandidates(std::size_t capacity) : capacity_(capacity) {}

    void Offer(double value, long long index) {
        const std::pair entry{value, index};
        if (heap_.size() < capacity_) {
            heap_.push_back(entry);
            std::push_heap(heap_.begin(), heap_.end());
        } else if (entry < heap_.front()) {
            std::pop_heap(heap_.begin(), heap_.end());
            heap_.back() = entry;
            std::push_heap(heap_.begin(), heap_.end());
        }
    }

    // Best first.
    std::vector<std::pair<double, long long>> Sorted() const {
        std::vector<std::pair<double, long long>> sorted = heap_;
        std::sort(sorted.begin(), sorted.end());
        return sorted;
    }

  private:
    std::size_t capacity_;
    std::vector<std::pair<double, long long>> heap_; // a max-heap
};

// The values the request's objective needs of each arrangement.
struct TNeededValues {
    bool EdgeB = false, EdgeE = false, RowE = false;
};

TNeededValues NeededValues(const TPhasingRequest& request) {
    const TPhasingObjective objective = request.Objective;
    const TObjectiveWeights& w = request.Weights;
    const bool weighted = objective == TPhasingObjective::Weighted;
    return {objective == TPhasingObjective::EdgeB || (weighted && w.EdgeBPerMg != 0),
            objective == TPhasingObjective::EdgeE || (weighted && w.EdgeEPerKvPerM != 0),
            objective == TPhasingObjective::RowE || (weighted && w.RowEPerKvPerM != 0)};
}

// The work of a search's steps, a rough count of multiply-adds each: the
// computations of single arrangements (the current one and the candidates)
// with conductors and records, the linear fields at points, and the
// arrangements, whose values are field ellipses at some points after the
// partial sums of the electric field at every point.
struct TSearchWork {
    double Evaluation = 0, Fields = 0, Arrangement = 0, Total = 0;
};

TSearchWork SearchWork(std::size_t conductors, std::size_t records, std::size_t points,
                       long long arrangements, std::size_t candidates, TNeededValues needed) {
    TSearchWork work;
    const double m = static_cast<double>(conductors);
    work.Evaluation = m * m * m + m * static_cast<double>(records);
    work.Fields = m * m * m + m * m * static_cast<double>(points);
    const std::size_t ellipses = (needed.RowE    ? points
                                  : needed.EdgeE ? 2
                                                 : 0) +
                                 (needed.EdgeB ? 2 : 0);
    const std::size_t partialSums = needed.RowE || needed.EdgeE ? points : 0;
    work.Arrangement = 10.0 * static_cast<double>(ellipses + 1) + static_cast<double>(partialSums);
    work.Total = work.Evaluation * static_cast<double>(1 + candidates) + work.Fields +
                 work.Arrangement * static_cast<double>(arrangements);
    return work;
}

// Multiply-adds of SearchWork per second on one core, measured on the slowest
// objective (bench_design, and a 25 km right of way) and rounded down, so
// that estimates err long.
constexpr double kWorkPerSecond = 2e8;

// The steps of a search, for its progress callback and its stop token. Each
// step is weighted by its SearchWork, so that the share done moves evenly
// whether the charge solutions of many conductors or the arrangements of many
// circuits dominate.
class TSearchSteps {
  public:
    TSearchSteps(const TSearchProgress& progress, std::stop_token stop)
        : progress_(progress), stop_(std::move(stop)) {}

    void Plan(std::size_t conductors, std::size_t records, std::size_t points,
              long long arrangements, std::size_t candidates, TNeededValues needed) {
        const TSearchWork work =
            SearchWork(conductors, records, points, arrangements, candidates, needed);
        evaluationCost_ = work.Evaluation;
        fieldsCost_ = work.Fields;
        arrangementCost_ = work.Arrangement;
        total_ = work.Total;
    }

    const std::stop_token& Stop() const { return stop_; }
    bool Stopped() const { return stop_.stop_requested(); }

    void EvaluationDone() { Done(evaluationCost_); }
    void FieldsDone() { Done(fieldsCost_); }
    void ArrangementsDone(long long count) { Done(arrangementCost_ * static_cast<double>(count)); }

  private:
    void Done(double cost) {
        done_ += cost;
        if (progress_ && total_ > 0) progress_(std::min(1.0, done_ / total_));
    }

    TSearchProgress progress_; // a copy: callers may pass a temporary
    std::stop_token stop_;
    double evaluationCost_ = 0, fieldsCost_ = 0, arrangementCost_ = 0;
    double total_ = 0, done_ = 0;
};

// Runs through every arrangement, the first circuit's order the most
// significant digit, keeping the partial sums of the circuits before the last.
class TSearch {
  public:
    TSearch(const TPhasingRequest& request, const TLinearFields& fields, std::size_t circuitCount,
            TCandidates& candidates, TSearchSteps& steps, long long total)
        : request_(request), fields_(fields), points_(fields.Points()), circuitCount_(circuitCount),
          candidates_(candidates), steps_(steps), total_(total) {
        const TNeededValues needed = NeededValues(request);
        needB_ = needed.EdgeB;
        needEdgeE_ = needed.EdgeE;
        needRowE_ = needed.RowE;
        for (std::size_t level = 0; level + 1 < circuitCount; ++level) {
            partialE_.emplace_back(fields.PointCount());
            partialB_.emplace_back(2);
        }
    }

    // Keeps every arrangement's value as well, in counting order.
    void KeepEvery(std::vector<double>& every) {
        every.assign(Size(total_), 0.0);
        every_ = &every;
    }

    // False when stop was requested (looked at after each block).
    bool Run() {
        if (circuitCount_ == 0) {
            const TComponents noE(fields_.PointCount());
            const TComponents noB(2);
            std::optional<double> rowE;
            if (needRowE_ && fields_.AnyRowPoint())
                rowE = LargestAxisOfSum(fields_.FixedE().Arrays(), noE.Arrays(),
                                        fields_.RowWeights().data(), fields_.RowWeights().size(),
                                        largestBlocks_[0]);
            Offer(0, fields_.FixedE(), noE, fields_.FixedB(), noB, rowE);
            done_ = 1;
        } else if (!Descend(0, 0, fields_.FixedE(), fields_.FixedB())) {
            return false;
        }
        return EndBlock();
    }

  private:
    bool Descend(std::size_t level, long long index, const TComponents& sumE,
                 const TComponents& sumB) {
        if (level + 1 == circuitCount_) {
            // The largest E within the ROW of the six orders in one pass.
            std::array<std::optional<double>, kPhaseOrderCount> rowE;
            if (needRowE_ && fields_.AnyRowPoint()) {
                std::array<TPhasorArrays, kPhaseOrderCount> orders;
                for (int order = 0; order < kPhaseOrderCount; ++order)
                    orders[Size(order)] = fields_.CircuitE(level, order).Arrays();
                std::array<double, kPhaseOrderCount> largest;
                LargestAxesOfSums(sumE.Arrays(), orders, fields_.RowWeights().data(),
                                  fields_.RowWeights().size(), largestBlocks_, largest);
                std::copy(largest.begin(), largest.end(), rowE.begin());
            }
            for (int order = 0; order < kPhaseOrderCount; ++order)
                Offer(index * kPhaseOrderCount + order, sumE, fields_.CircuitE(level, order), sumB,
                      fields_.CircuitB(level, order), rowE[Size(order)]);
            done_ += kPhaseOrderCount;
            return Report();
        }
        for (int order = 0; order < kPhaseOrderCount; ++order) {
            TComponents& e = partialE_[level];
            TComponents& b = partialB_[level];
            if (needEdgeE_ || needRowE_) e.SetSum(sumE, fields_.CircuitE(level, order));
            if (needB_) b.SetSum(sumB, fields_.CircuitB(level, order));
            if (!Descend(level + 1, index * kPhaseOrderCount + order, e, b)) return false;
        }
        return true;
    }

    bool Report() {
        if (done_ < nextReport_) return true;
        nextReport_ = done_ + kReportEvery;
        return EndBlock();
    }

    // Reports the arrangements since the last block; false when stop was requested.
    bool EndBlock() {
        if (done_ > reported_) steps_.ArrangementsDone(done_ - reported_);
        reported_ = done_;
        return !steps_.Stopped();
    }

    // rowE: the largest E within the ROW of e1 + e2, when the objective needs it.
    void Offer(long long index, const TComponents& e1, const TComponents& e2, const TComponents& b1,
               const TComponents& b2, std::optional<double> rowE) {
        std::optional<double> edgeB, edgeE;
        if (needB_) {
            for (std::size_t edge = 0; edge < 2; ++edge)
                if (!fields_.BInside(edge))
                    edgeB = std::max(edgeB.value_or(0.0), AxisOfSum(b1, b2, edge) * 1000.0);
        }
        if (needEdgeE_) {
            for (const std::size_t p : {points_.Left, points_.Right})
                if (!fields_.EInside(p))
                    edgeE = std::max(edgeE.value_or(0.0), AxisOfSum(e1, e2, p));
        }
        const double value = Objective(request_, edgeB, edgeE, rowE);
        candidates_.Offer(value, index);
        if (every_ != nullptr) (*every_)[Size(index)] = value;
    }

    static constexpr long long kReportEvery = 4096;

    const TPhasingRequest& request_;
    const TLinearFields& fields_;
    const TSearchPoints& points_;
    std::size_t circuitCount_;
    TCandidates& candidates_;
    std::vector<double>* every_ = nullptr;
    TSearchSteps& steps_;
    long long total_;
    long long done_ = 0;
    long long reported_ = 0;
    long long nextReport_ = kReportEvery;
    bool needB_ = false, needEdgeE_ = false, needRowE_ = false;
    std::vector<TComponents> partialE_, partialB_;
    // Where the largest E within the ROW of each order of the last circuit lay
    // in the arrangements before.
    std::array<std::size_t, kPhaseOrderCount> largestBlocks_{};
};

// The orders of the arrangement counted as index.
std::vector<int> OrdersOf(long long index, std::size_t circuitCount) {
    std::vector<int> orders(circuitCount);
    for (std::size_t k = circuitCount; k-- > 0;) {
        orders[k] = static_cast<int>(index % kPhaseOrderCount);
        index /= kPhaseOrderCount;
    }
    return orders;
}

TPhasingSearch Failed(TPhasingSearch search, std::string message) {
    search.Outcome = TSearchOutcome::Failed;
    search.Message = std::move(message);
    search.Ranked.clear();
    return search;
}

TPhasingSearch Cancelled(TPhasingSearch search) {
    search.Outcome = TSearchOutcome::Cancelled;
    search.Ranked.clear();
    return search;
}

} // namespace

bool SameValues(const TPhasingValues& a, const TPhasingValues& b) {
    auto same = [](std::optional<float> x, std::optional<float> y) {
        if (!x || !y) return !x && !y;
        const double u = *x, v = *y;
        return std::abs(u - v) <= kSameValueTolerance * std::max({1.0, std::abs(u), std::abs(v)});
    };
    return same(a.EdgeBMg, b.EdgeBMg) && same(a.EdgeEKvPerM, b.EdgeEKvPerM) &&
           same(a.RowEKvPerM, b.RowEKvPerM) && same(a.MaxGradientKvPerCm, b.MaxGradientKvPerCm) &&
           same(a.EdgeAnRainDba, b.EdgeAnRainDba) &&
           same(a.EdgeRiFairDbuvPerM, b.EdgeRiFairDbuvPerM);
}

double ObjectiveValue(const TPhasingRequest& request, const TPhasingValues& values) {
    auto widen = [](std::optional<float> v) -> std::optional<double> {
        if (!v) return std::nullopt;
        return static_cast<double>(*v);
    };
    return Objective(request, widen(values.EdgeBMg), widen(values.EdgeEKvPerM),
                     widen(values.RowEKvPerM));
}

TExactValues ArrangementValues(const TScenario& scenario, std::span<const TPhasedCircuit> circuits,
                               std::span<const int> orders) {
    return TExactEvaluator(scenario, circuits).Evaluate(orders);
}

std::optional<TSearchEstimate> EstimatePhasingSearch(const TScenario& scenario,
                                                     const TPhasingRequest& request) {
    if (PhasingRequestFault(request)) return std::nullopt;
    const std::size_t circuits = PhasedCircuits(scenario).size();
    if (circuits > static_cast<std::size_t>(kMaxPhasedCircuits)) return std::nullopt;
    const std::variant<TFieldInputs, TCalcFailure> inputs = FieldInputsOf(scenario);
    const TFieldInputs* fields = std::get_if<TFieldInputs>(&inputs);
    if (fields == nullptr) return std::nullopt;
    TSearchEstimate estimate;
    estimate.Arrangements = 1;
    for (std::size_t k = 0; k < circuits; ++k)
        estimate.Arrangements *= kPhaseOrderCount;
    estimate.Points = SearchPointsOf(scenario, fields->Layout).XM.size();
    const TSearchWork work =
        SearchWork(fields->System.size(), fields->Layout.Records.size(), estimate.Points,
                   estimate.Arrangements,
                   std::min(Size(estimate.Arrangements), Size(request.Top) + kExtraCandidates),
                   NeededValues(request));
    estimate.Seconds = work.Total / kWorkPerSecond;
    return estimate;
}

namespace {

// "about 3 minutes": a duration as an estimate says it.
std::string DurationText(double seconds) {
    const auto about = [](double value, const char* unit) {
        const long long rounded = std::max(1LL, std::llround(value));
        return "about " + std::to_string(rounded) + " " + unit + (rounded == 1 ? "" : "s");
    };
    if (seconds < 90) return about(seconds, "second");
    if (seconds < 90 * 60) return about(seconds / 60, "minute");
    if (seconds < 48 * 3600) return about(seconds / 3600, "hour");
    return about(seconds / 86400, "day");
}

} // namespace

std::string SearchTooLongText(const TSearchEstimate& estimate) {
    return "the search would take " + DurationText(estimate.Seconds) + " (" +
           std::to_string(estimate.Arrangements) + " arrangements, each at " +
           std::to_string(estimate.Points) + " points of the profile), more than the " +
           std::to_string(std::llround(kMaxSearchSeconds)) +
           " seconds allowed; search fewer three-phase circuits (each one fewer divides the "
           "arrangements by 6), use an objective at the ROW edges, narrow the ROW or rank "
           "fewer arrangements";
}

namespace {

// What a search needs before it runs: the circuits, the computation of single
// arrangements and the linear fields. Failure leaves the search Failed, a
// requested stop Cancelled. None of its members refers to another, so it may
// be moved.
struct TPreparedSearch {
    TPhasingSearch Search;
    std::optional<TExactEvaluator> Exact;
    std::optional<TLinearFields> Fields;
};

bool Prepare(const TScenario& scenario, const TPhasingRequest& request, TPreparedSearch& prepared,
             TSearchSteps& steps) {
    TPhasingSearch& search = prepared.Search;
    if (const auto fault = PhasingRequestFault(request)) {
        search = Failed(std::move(search), *fault);
        return false;
    }
    search.Circuits = PhasedCircuits(scenario);
    const std::size_t circuitCount = search.Circuits.size();
    if (circuitCount > static_cast<std::size_t>(kMaxPhasedCircuits)) {
        search = Failed(std::move(search), "the cross section has " + std::to_string(circuitCount) +
                                               " three-phase circuits; at most " +
                                               std::to_string(kMaxPhasedCircuits) +
                                               " can be searched together");
        return false;
    }
    search.Arrangements = 1;
    for (std::size_t k = 0; k < circuitCount; ++k)
        search.Arrangements *= kPhaseOrderCount;
    if (const auto estimate = EstimatePhasingSearch(scenario, request);
        estimate && estimate->Seconds > kMaxSearchSeconds) {
        search = Failed(std::move(search), SearchTooLongText(*estimate));
        return false;
    }

    const TExactEvaluator& exact = prepared.Exact.emplace(scenario, search.Circuits);
    TSearchPoints points = SearchPointsOf(scenario, exact.Inputs().Layout);
    steps.Plan(exact.Inputs().System.size(), exact.Inputs().Layout.Records.size(),
               points.XM.size(), search.Arrangements,
               std::min(Size(search.Arrangements), Size(request.Top) + kExtraCandidates),
               NeededValues(request));
    if (steps.Stopped()) {
        search = Cancelled(std::move(search));
        return false;
    }
    search.Current.Orders.assign(circuitCount, 0);
    const TExactValues current = exact.Evaluate(search.Current.Orders, steps.Stop());
    if (!current.Values) {
        search = steps.Stopped() ? Cancelled(std::move(search))
                                 : Failed(std::move(search), current.Message);
        return false;
    }
    search.Current.Values = *current.Values;
    steps.EvaluationDone();

    const bool built =
        !steps.Stopped() &&
        prepared.Fields.emplace(scenario, exact.Inputs(), search.Circuits, std::move(points))
            .Build(steps.Stop());
    if (!built) {
        search = steps.Stopped()
                     ? Cancelled(std::move(search))
                     : Failed(std::move(search),
                              CalcErrorMessage(scenario.TabTitle, {TCalcFault::Singular, {}, {}}));
        return false;
    }
    steps.FieldsDone();
    if (steps.Stopped()) {
        search = Cancelled(std::move(search));
        return false;
    }
    return true;
}

} // namespace

TPhasingSearch OptimisePhasing(const TScenario& scenario, const TPhasingRequest& request,
                               const TSearchProgress& progress, std::stop_token stop) {
    TSearchSteps steps(progress, std::move(stop));
    TPreparedSearch prepared;
    if (!Prepare(scenario, request, prepared, steps)) return std::move(prepared.Search);
    TPhasingSearch& search = prepared.Search;
    const TExactEvaluator& exact = *prepared.Exact;
    const std::size_t circuitCount = search.Circuits.size();

    const std::size_t top = static_cast<std::size_t>(request.Top);
    TCandidates candidates((top + kExtraCandidates) * kLargestFold);
    TSearch run(request, *prepared.Fields, circuitCount, candidates, steps, search.Arrangements);
    if (!run.Run()) return Cancelled(std::move(search));

    // The candidates that may rank among the best Top by the computation's
    // values, computed through it; those with the same values are one row,
    // shown by the first of them in counting order. Once Top rows are
    // found, the candidates whose searched values come close to the last
    // one's may still rank above it.
    struct TRow {
        TArrangement Arrangement;
        long long Index; // of its first arrangement in counting order
    };
    std::vector<TRow> rows;
    std::optional<double> reach;
    for (const auto& [searched, index] : candidates.Sorted()) {
        if (reach && !(searched <= *reach)) break;
        if (steps.Stopped()) return Cancelled(std::move(search));
        TArrangement arrangement{OrdersOf(index, circuitCount), {}};
        const TExactValues values = exact.Evaluate(arrangement.Orders, steps.Stop());
        if (!values.Values)
            return steps.Stopped() ? Cancelled(std::move(search))
                                   : Failed(std::move(search), values.Message);
        steps.EvaluationDone();
        arrangement.Values = *values.Values;
        const auto same = std::find_if(rows.begin(), rows.end(), [&](const TRow& row) {
            return SameValues(row.Arrangement.Values, arrangement.Values);
        });
        if (same == rows.end()) {
            rows.push_back({std::move(arrangement), index});
        } else {
            const long long count = same->Arrangement.Count + 1;
            if (index < same->Index) *same = {std::move(arrangement), index};
            same->Arrangement.Count = count;
        }
        if (!reach && rows.size() >= top)
            reach = searched + std::abs(searched) * kCandidateTolerance;
    }
    if (steps.Stopped()) return Cancelled(std::move(search));
    // Equal objective values keep the counting order.
    std::sort(rows.begin(), rows.end(), [&](const TRow& a, const TRow& b) {
        const double x = ObjectiveValue(request, a.Arrangement.Values);
        const double y = ObjectiveValue(request, b.Arrangement.Values);
        if (x != y) return x < y;
        return a.Index < b.Index;
    });
    for (std::size_t r = 0; r < rows.size() && r < top; ++r)
        search.Ranked.push_back(std::move(rows[r].Arrangement));
    return std::move(search);
}

std::vector<double> SearchedObjectiveValues(const TScenario& scenario,
                                            const TPhasingRequest& request) {
    TSearchSteps steps({}, {});
    TPreparedSearch prepared;
    if (!Prepare(scenario, request, prepared, steps)) return {};
    TCandidates candidates(1);
    TSearch run(request, *prepared.Fields, prepared.Search.Circuits.size(), candidates, steps,
                prepared.Search.Arrangements);
    std::vector<double> every;
    run.KeepEvery(every);
    run.Run();
    return every;
}

} // namespace corvalt
