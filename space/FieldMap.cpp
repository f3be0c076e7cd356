#include "space/FieldMap.h"

#include "linalg/Lapack.h"
#include "space/Charges.h"
#include "space/FieldKernels.h"
#include "space/Footprints.h"
#include "space/MapModel.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <variant>

namespace corvalt::space {

TMapLayer::TMapLayer(std::size_t columns, std::vector<float> values)
    : columns_(columns), values_(std::move(values)) {}

std::optional<float> TMapLayer::At(std::size_t i, std::size_t j) const {
    const float v = values_.at(j * columns_ + i);
    if (std::isnan(v)) return std::nullopt;
    return v;
}

namespace {

// The largest value of the layer over the rows' ranges; the first in row
// order on a tie.
std::optional<TMapPeak> Peak(const TMapLayer& layer, const TFieldMap& map,
                             const std::vector<TRowRange>& ranges) {
    if (!layer.Computed()) return std::nullopt;
    std::optional<TMapPeak> peak;
    const std::span<const float> values = layer.Values();
    for (const TRowRange& r : ranges)
        for (std::size_t i = r.Begin; i < r.End; ++i) {
            const float v = values[r.Row * map.X.size() + i];
            if (!std::isnan(v) && (!peak || v > peak->Value)) peak = TMapPeak{v, map.X[i], map.Y[r.Row]};
        }
    return peak;
}

std::vector<TRowRange> WholeGrid(const TFieldMap& map) {
    std::vector<TRowRange> rows;
    for (std::size_t j = 0; j < map.Y.size(); ++j)
        rows.push_back({j, 0, map.X.size()});
    return rows;
}

std::vector<float> Narrowed(const std::vector<double>& values) {
    return {values.begin(), values.end()};
}

// The kernels' share of the work: the charges and the footprints take the
// rest, next to nothing beside the grid.
constexpr double kKernelShare = 0.95;

// Tells the control the share done as a layer's points come in: the layers
// before it done already, this one the points of the grid's count.
TPointsDone LayerProgress(const TMapControl& control, std::size_t points, int layer,
                          int layers) {
    return [&control, points, layer, layers](std::size_t done) {
        if (control.Progress) {
            const double share = (layer + double(done) / double(std::max<std::size_t>(points, 1))) /
                                 std::max(layers, 1);
            control.Progress(share * kKernelShare);
        }
        return !control.Stop.stop_requested();
    };
}

} // namespace

TMapRun ComputeFieldMap(const TPlan& plan, TMapQuantities quantities,
                        const TMapControl& control) {
    TMapRun run;
    const auto stopped = [&] { return run.Stopped = control.Stop.stop_requested(); };
    std::variant<TSpaceModel, TMapInputError> built = BuildSpaceModel(plan);
    if (const auto* error = std::get_if<TMapInputError>(&built)) {
        run.Outcome = TMapOutcome::BadInput;
        run.Message = error->Message;
        return run;
    }
    const TSpaceModel& model = std::get<TSpaceModel>(built);
    TFieldMap& map = run.Map;
    map.Name = plan.Name;
    map.Units = plan.Units;
    map.X = Narrowed(model.Grid.X);
    map.Y = Narrowed(model.Grid.Y);
    map.Height = model.Grid.Height;
    map.Pieces = model.PieceCount();
    const std::size_t columns = map.X.size();
    const std::size_t points = map.X.size() * map.Y.size();
    const int layers = quantities == TMapQuantities::Both ? 2 : 1;

    if (stopped()) return run;
    if (quantities != TMapQuantities::Magnetic) {
        TChargeSolution charges = SolveCharges(model);
        if (charges.Outcome == TChargeOutcome::Singular) {
            run.Outcome = TMapOutcome::Unsolvable;
            run.Message = "the charges of the conductors cannot be solved (a conductor that "
                          "crosses itself makes the system singular)";
            return run;
        }
        if (charges.Outcome == TChargeOutcome::NoLibrary) {
            run.Outcome = TMapOutcome::Unsolvable;
            run.Message = lapack::SystemLibrary().Error;
            return run;
        }
        if (stopped()) return run;
        TFieldLayers e = ElectricLayers(model, charges.ChargesCPerM, std::nullopt,
                                        LayerProgress(control, points, 0, layers));
        if (stopped()) return run;
        map.E = TMapLayer(columns, std::move(e.Major));
        map.EResultant = TMapLayer(columns, std::move(e.Resultant));
    }
    if (quantities != TMapQuantities::Electric) {
        TFieldLayers b = MagneticLayers(model, std::nullopt,
                                        LayerProgress(control, points, layers - 1, layers));
        if (stopped()) return run;
        map.B = TMapLayer(columns, std::move(b.Major));
        map.BResultant = TMapLayer(columns, std::move(b.Resultant));
    }
    const std::vector<TRowRange> all = WholeGrid(map);
    map.MaxE = Peak(map.E, map, all);
    map.MaxB = Peak(map.B, map, all);
    for (const TFootprint& footprint : plan.Footprints) {
        const std::vector<TRowRange> within = PointsWithin(footprint, model.Grid);
        map.Footprints.push_back({footprint.Name, Peak(map.E, map, within), Peak(map.B, map, within)});
    }
    if (control.Progress) control.Progress(1);
    return run;
}

} // namespace corvalt::space
