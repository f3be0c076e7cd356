#pragma once
// The phasing optimiser: every arrangement of the phases of a cross section's
// three-phase circuits (six orders per circuit, Phasing.h), ranked by the
// field at the ROW edges or within the ROW. Numbers in, numbers out: no Qt.
//
// The search uses the linearity of the fields. The potential coefficients and
// their inverse do not depend on the phasing, so each conductor's field per
// volt (electric) and per ampere-phasor (magnetic) at each point of the ROW is
// computed once; a circuit's contribution for each of its six orders is then a
// complex weighted sum of its three positions' fields, and every arrangement
// the sum of one contribution per circuit and those of the fixed conductors,
// taken through the field-ellipse formula of the computation. These values
// are the computation's up to the rounding of its single-precision sums
// (relative differences of about 1e-6); the arrangements reported (the
// current one and the ranked ones) are computed again through the
// computation itself (ComputeProfileFields), so every value shown is the
// computation's, and the ranking is by those values.

#include "design/Phasing.h"

#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace corvalt {

class TScenario;

enum class TPhasingObjective {
    EdgeB,    // the larger magnetic field of the two ROW edges
    EdgeE,    // the larger electric field of the two ROW edges
    RowE,     // the largest electric field within the ROW (edges included)
    Weighted, // a weighted sum of the three
};

// Weights of the weighted sum: per mG of the edge magnetic field and per kV/m
// of the two electric fields. Not negative, at least one above 0.
struct TObjectiveWeights {
    double EdgeBPerMg = 1;
    double EdgeEPerKvPerM = 0;
    double RowEPerKvPerM = 0;
};

struct TPhasingRequest {
    TPhasingObjective Objective = TPhasingObjective::EdgeB;
    TObjectiveWeights Weights = {};
    int Top = 10; // how many arrangements to rank, at least 1
};

// The values of one arrangement, as the computation gives them: the three
// the objectives use, and what the phasing trades for them, the largest
// surface gradient of a conductor and the corona effects at the ROW edges. A
// value is empty when no point it is taken from has a value (a sensor inside
// a conductor, no conductor in corona); an edge value is the larger of the
// edges that have one.
struct TPhasingValues {
    std::optional<float> EdgeBMg;
    std::optional<float> EdgeEKvPerM;
    std::optional<float> RowEKvPerM;
    std::optional<float> MaxGradientKvPerCm; // of the conductors in corona (IsCoronaSource)
    std::optional<float> EdgeAnRainDba;      // audible noise L50 in rain
    std::optional<float> EdgeRiFairDbuvPerM; // radio interference L50 in fair weather
};

// Whether two arrangements' values are the same to the rounding of the
// computation (relative 1e-5, and 1e-5 absolute near 0): every value, or
// both empty.
bool SameValues(const TPhasingValues& a, const TPhasingValues& b);

struct TArrangement {
    std::vector<int> Orders; // one per searched circuit (TPhasingSearch::Circuits)
    TPhasingValues Values;
    // How many arrangements have these values: the arrangement with its
    // mirror images (on a symmetric line) and relabellings (every circuit's
    // phases renamed alike, where no other conductor carries a phase), which
    // differ in no value. Orders are the first of them in counting order.
    long long Count = 1;
};

// The value of the objective for the values: smaller is better; infinite when
// a value it needs is empty.
double ObjectiveValue(const TPhasingRequest& request, const TPhasingValues& values);

// Why the request cannot be searched (no arrangement to rank, a weight
// below 0 or not a number, no weight above 0), or nothing.
std::optional<std::string> PhasingRequestFault(const TPhasingRequest& request);

// Most circuits searched together: 6^8 = 1,679,616 arrangements.
inline constexpr int kMaxPhasedCircuits = 8;

enum class TSearchOutcome { Done, Cancelled, Failed };

struct TPhasingSearch {
    TSearchOutcome Outcome = TSearchOutcome::Done;
    std::string Message; // why it failed
    std::vector<TPhasedCircuit> Circuits;
    long long Arrangements = 0; // 6 to the number of circuits
    TArrangement Current;       // every order 0
    // The best Top arrangements, best first, those with the same values as
    // one (TArrangement::Count); equal objective values keep the order in
    // which the arrangements are counted (the first circuit's order the most
    // significant digit).
    std::vector<TArrangement> Ranked;
};

// Told the share done (0 to 1) after each step of the search.
using TSearchProgress = std::function<void(double done)>;

// Searches every arrangement of the cross section's phased circuits. The
// cross section is only read. Fails when it cannot be computed (its
// CalcErrorMessage), when it has more than kMaxPhasedCircuits phased circuits
// or when the request is unusable.
//
// The steps: the computation of the current arrangement, the linear fields,
// blocks of 4,096 arrangements, and the computation of each candidate for the
// ranking. Stop is looked at before each step and within the computations
// (ComputeProfileFields); once it is requested the search ends Cancelled,
// with nothing ranked.
TPhasingSearch OptimisePhasing(const TScenario& scenario, const TPhasingRequest& request,
                               const TSearchProgress& progress = {}, std::stop_token stop = {});

// The objective of every arrangement as the search computes it, from the
// linear fields (not yet the computation's values), in counting order; empty
// when the search cannot run.
std::vector<double> SearchedObjectiveValues(const TScenario& scenario,
                                            const TPhasingRequest& request);

// The values of one arrangement through the computation itself, or the
// reason it cannot be computed.
struct TExactValues {
    std::optional<TPhasingValues> Values;
    std::string Message;
};
TExactValues ArrangementValues(const TScenario& scenario, std::span<const TPhasedCircuit> circuits,
                               std::span<const int> orders);

} // namespace corvalt
