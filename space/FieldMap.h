#pragma once
// A field map: the electric and magnetic fields of a plan's conductors over
// its grid, their largest values and the largest within each footprint. The
// one entry point of the engine for the command line and the windows.
//
// A plan's model that cannot be computed is refused (MapModel.h says what is
// checked); a model whose charge system cannot be solved is reported apart.
// Everything in the result is in the plan's units: x, y and the height in
// its length unit, E in kV/m and B in mG in both systems.

#include "model/Plan.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <stop_token>
#include <string>
#include <vector>

namespace corvalt::space {

enum class TMapQuantities : std::uint8_t { Both, Electric, Magnetic };

// A value at a grid point.
struct TMapPeak {
    float Value = 0;
    float X = 0, Y = 0;
};

// One quantity over the grid: row j is grid line Y[j], element i is X[i]. A
// grid point inside a conductor (or a value that is not finite) has none.
class TMapLayer {
  public:
    TMapLayer() = default;
    // values row after row, NaN where there is none.
    TMapLayer(std::size_t columns, std::vector<float> values);

    bool Computed() const { return !values_.empty(); }
    std::optional<float> At(std::size_t i, std::size_t j) const;
    // Row after row, NaN where there is no value.
    std::span<const float> Values() const { return values_; }

  private:
    std::size_t columns_ = 0;
    std::vector<float> values_;
};

struct TFootprintPeaks {
    std::string Name;
    // The largest values over the grid points inside or on the footprint;
    // empty when it holds no grid point with a value, or the quantity was not
    // computed.
    std::optional<TMapPeak> E, B;
};

struct TFieldMap {
    std::string Name;
    std::uint8_t Units = 1; // TUnits of the plan
    std::vector<float> X, Y;  // the grid lines, ft or m
    double Height = 0;        // ft or m
    TMapLayer E, EResultant;  // kV/m: semi-major axis, rms resultant
    TMapLayer B, BResultant;  // mG: semi-major axis, rms resultant
    std::optional<TMapPeak> MaxE, MaxB; // of the semi-major axes
    std::vector<TFootprintPeaks> Footprints;
    std::size_t Pieces = 0; // straight pieces after subdivision
};

enum class TMapOutcome {
    Computed,
    BadInput,   // the plan cannot be computed: Message names what is at fault
    Unsolvable, // the charge system cannot be solved: Message says so
};

struct TMapRun {
    TMapOutcome Outcome = TMapOutcome::Computed;
    std::string Message;
    TFieldMap Map;
    // Asked to stop before it ended: the map is incomplete and not to be shown.
    bool Stopped = false;
};

// What a computation in the background is given: the token it looks at
// while it works (between its steps and after each range of grid points),
// and where it tells the share done, 0 to 1, from any of its threads.
struct TMapControl {
    std::stop_token Stop;
    std::function<void(double done)> Progress;
};

// Computes the quantities asked for (the others stay not Computed, and their
// peaks empty).
TMapRun ComputeFieldMap(const TPlan& plan, TMapQuantities quantities = TMapQuantities::Both,
                        const TMapControl& control = {});

} // namespace corvalt::space
