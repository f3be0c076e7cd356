#include "plots/PlotData.h"

#include "model/Project.h"
#include "model/TextHelpers.h"
#include "model/Units.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace corvalt {
namespace {

constexpr TPlotQuantity kFieldQuantities[] = {TPlotQuantity::EField, TPlotQuantity::BField};
constexpr TPlotQuantity kCoronaQuantities[] = {
    TPlotQuantity::AnRain, TPlotQuantity::AnFair,  TPlotQuantity::RiRain,
    TPlotQuantity::RiFair, TPlotQuantity::TviRain, TPlotQuantity::Ozone,
};

// A running minimum and maximum; {0, 1} when nothing was added.
struct TExtent {
    double Min = std::numeric_limits<double>::infinity();
    double Max = -std::numeric_limits<double>::infinity();
    void Add(double v) {
        Min = std::min(Min, v);
        Max = std::max(Max, v);
    }
    bool Empty() const { return Min > Max; }
};

void SetRange(const TExtent& extent, double& low, double& high) {
    if (extent.Empty()) {
        low = 0;
        high = 1;
        return;
    }
    low = extent.Min;
    high = extent.Max;
    if (high <= low) high = low + 1; // a flat line still gets a scale
}

std::string SectionName(const TScenario& scenario) {
    return ToValidUtf8(scenario.TabTitle);
}

// The largest value of the quantity along the profile, the leftmost on a tie.
std::optional<TPlotPoint> Largest(const std::vector<TPlotRun>& runs) {
    std::optional<TPlotPoint> best;
    for (const TPlotRun& run : runs)
        for (const TPlotPoint& point : run)
            if (!best || point.Y > best->Y) best = point;
    return best;
}

void AddLines(TPlotData& data, const TScenario& scenario, int section,
              const TPlotOptions& options) {
    for (const TPlotQuantity quantity : KindQuantities(options.Kind)) {
        if (!options.Shown[static_cast<std::size_t>(quantity)]) continue;
        TPlotLine line;
        line.Quantity = quantity;
        line.Section = section;
        line.RightAxis = OnRightAxis(quantity);
        const TProfileQuantityInfo& info = ProfileQuantityInfo(quantity);
        line.Name = options.Kind == TPlotKind::Fields ? info.Name : info.Short;
        if (section > 0) line.Name += " - " + SectionName(scenario);
        line.Runs = QuantityRuns(scenario.Results, quantity);
        data.Lines.push_back(std::move(line));
    }
}

void AddMarks(TPlotData& data, const TScenario& scenario) {
    if (const TCalcResult* left = scenario.ResultAt(scenario.RowLeftResult))
        data.RowEdges.push_back({left->Dist, "ROW"});
    if (const TCalcResult* right = scenario.ResultAt(scenario.RowRightResult))
        data.RowEdges.push_back({right->Dist, "ROW"});
    for (const TInterestPoint& point : scenario.InterestPoints)
        if (const TCalcResult* record = scenario.ResultAt(point.ResultIndex))
            data.Points.push_back({record->Dist, ToValidUtf8(point.Name)});
    // Left to right, so that labels of nearby points can make room for each other.
    std::stable_sort(data.Points.begin(), data.Points.end(),
                     [](const TPlotMark& a, const TPlotMark& b) { return a.X < b.X; });
}

// The largest E and B of the plotted cross section, written beside them.
void AddMaxima(TPlotData& data) {
    for (const TPlotLine& line : data.Lines) {
        if (line.Section != 0) continue;
        if (line.Quantity != TPlotQuantity::EField && line.Quantity != TPlotQuantity::BField)
            continue;
        const std::optional<TPlotPoint> top = Largest(line.Runs);
        if (!top) continue;
        const TProfileQuantityInfo& info = ProfileQuantityInfo(line.Quantity);
        data.Maxima.push_back({top->X, top->Y, line.RightAxis,
                               std::string("Max ") + info.Short + " " +
                                   PlotNumber(top->Y, info.Decimals) + " " + info.Unit});
    }
}

void SetExtents(TPlotData& data) {
    TExtent x, left, right;
    for (const TPlotLine& line : data.Lines)
        for (const TPlotRun& run : line.Runs)
            for (const TPlotPoint& point : run) {
                x.Add(point.X);
                (line.RightAxis ? right : left).Add(point.Y);
            }
    for (const TPlotMark& mark : data.RowEdges)
        x.Add(mark.X);
    for (const TPlotMark& mark : data.Points)
        x.Add(mark.X);
    SetRange(x, data.XMin, data.XMax);
    // Fields start at zero; the corona levels in dB may lie below it.
    if (!left.Empty()) left.Add(0);
    if (!right.Empty()) right.Add(0);
    SetRange(left, data.LeftMin, data.LeftMax);
    SetRange(right, data.RightMin, data.RightMax);
}

} // namespace

std::span<const TPlotQuantity> KindQuantities(TPlotKind kind) {
    if (kind == TPlotKind::Fields) return kFieldQuantities;
    return kCoronaQuantities;
}

bool OnRightAxis(TPlotQuantity quantity) {
    return quantity == TPlotQuantity::BField || quantity == TPlotQuantity::Ozone;
}

TPlotData BuildPlotData(const TScenario& scenario, std::span<const TScenario* const> overlays,
                        const TPlotOptions& options) {
    TPlotData data;
    const int units = scenario.IsEnglish() ? English : Metric;
    data.Title = SectionName(scenario);
    if (!scenario.Title.empty()) data.Title += " - " + ToValidUtf8(scenario.Title);
    data.XTitle = std::string("Distance (") + LengthUnit(units) + ")";
    if (options.Kind == TPlotKind::Fields) {
        data.LeftTitle = "Electric field (kV/m)";
        data.RightTitle = "Magnetic field (mG)";
    } else {
        data.LeftTitle = "Audible noise (dBA), RI and TVI (dBuV/m)";
        data.RightTitle = "Ozone (ppb)";
    }
    if (!scenario.CalcError.empty() || scenario.Results.empty()) {
        data.Error = scenario.CalcError.empty() ? "The cross section has not been computed."
                                                : scenario.CalcError;
        return data;
    }
    AddLines(data, scenario, 0, options);
    AddMarks(data, scenario);
    int section = 0;
    for (const TScenario* overlay : overlays) {
        ++section;
        data.OverlayNames.push_back(overlay != nullptr ? SectionName(*overlay) : std::string());
        if (overlay == nullptr) continue;
        if (!overlay->CalcError.empty() || overlay->Results.empty()) {
            data.OverlayErrors.push_back(
                SectionName(*overlay) + ": " +
                (overlay->CalcError.empty() ? "not computed" : overlay->CalcError));
            continue;
        }
        AddLines(data, *overlay, section, options);
    }
    if (options.Kind == TPlotKind::Fields) AddMaxima(data);
    SetExtents(data);
    return data;
}

} // namespace corvalt
