#include "plots/PlotData.h"

#include "limits/FieldLimits.h"
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

// An edge limit's line reaches this share of the ROW's width inside the edge.
constexpr double kEdgeLimitReach = 0.1;

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
        const TResultantInfo* resultant = ResultantOf(quantity);
        const bool drawsResultant =
            options.FieldMeasure == TFieldMeasure::Resultant && resultant != nullptr;
        line.Name = options.Kind == TPlotKind::Corona ? info.Short
                    : drawsResultant                  ? resultant->Name
                                                      : info.Name;
        if (section > 0) line.Name += " - " + SectionName(scenario);
        line.Runs = QuantityRuns(scenario.Results, quantity, options.FieldMeasure);
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

// The ROW edges' records of the plotted cross section; null when it has none.
struct TEdges {
    const TCalcResult* Left = nullptr;
    const TCalcResult* Right = nullptr;
    bool Within(double x) const {
        return Left != nullptr && Right != nullptr && x >= Left->Dist && x <= Right->Dist;
    }
};

TEdges EdgesOf(const TScenario& scenario) {
    return {scenario.ResultAt(scenario.RowLeftResult), scenario.ResultAt(scenario.RowRightResult)};
}

bool IsShown(const TPlotOptions& options, TPlotQuantity quantity) {
    return options.Shown[static_cast<std::size_t>(quantity)];
}

// The limits of the cross section's row of the table; none without a table.
std::optional<TClassLimits> ClassLimits(const TScenario& scenario, const TPlotOptions& options) {
    if (!options.Limits) return std::nullopt;
    return options.Limits->For(LimitClassOf(scenario));
}

// The limit a field value at lateral position x is held to: within the ROW
// the electric field's within-ROW limit (the magnetic field has none there),
// at the edges and beyond them the edge limits.
std::optional<float> LimitAt(const std::optional<TClassLimits>& limits, const TEdges& edges,
                             TPlotQuantity quantity, double x) {
    if (!limits) return std::nullopt;
    const bool inside = edges.Within(x) && x != edges.Left->Dist && x != edges.Right->Dist;
    if (quantity == TPlotQuantity::EField) return inside ? limits->EWithinRow : limits->EAtEdge;
    if (quantity == TPlotQuantity::BField && !inside) return limits->BAtEdge;
    return std::nullopt;
}

bool IsOver(double value, std::optional<float> limit) {
    return limit && value > static_cast<double>(*limit);
}

int DecimalsOf(TPlotQuantity quantity) {
    return quantity == TPlotQuantity::EField ? LimitDecimals(TLimitQuantity::ElectricField)
                                             : LimitDecimals(TLimitQuantity::MagneticField);
}

// A field value with enough decimals to show an excess over its limit.
std::string FieldValueText(double value, std::optional<float> limit, TPlotQuantity quantity) {
    return LimitValueText(static_cast<float>(value), limit, DecimalsOf(quantity)) + " " +
           ProfileQuantityInfo(quantity).Unit;
}

// The largest E and B of the plotted cross section, written beside them,
// marked when over the limit that applies where they are.
void AddMaxima(TPlotData& data, const std::optional<TClassLimits>& limits, const TEdges& edges,
               TFieldMeasure measure) {
    const std::string which = measure == TFieldMeasure::Resultant ? " resultant " : " ";
    for (const TPlotLine& line : data.Lines) {
        if (line.Section != 0) continue;
        if (line.Quantity != TPlotQuantity::EField && line.Quantity != TPlotQuantity::BField)
            continue;
        const std::optional<TPlotPoint> top = Largest(line.Runs);
        if (!top) continue;
        const std::optional<float> limit = LimitAt(limits, edges, line.Quantity, top->X);
        data.Maxima.push_back({top->X, top->Y, line.RightAxis,
                               "Max " + std::string(ProfileQuantityInfo(line.Quantity).Short) +
                                   which + FieldValueText(top->Y, limit, line.Quantity),
                               IsOver(top->Y, limit)});
    }
}

// E and B where the profile meets each ROW edge.
void AddEdgeValues(TPlotData& data, const std::optional<TClassLimits>& limits,
                   const TEdges& edges, const TPlotOptions& options) {
    for (const TCalcResult* edge : {edges.Left, edges.Right}) {
        if (edge == nullptr) continue;
        for (const TPlotQuantity quantity : {TPlotQuantity::EField, TPlotQuantity::BField}) {
            const std::optional<double> value =
                QuantityValue(*edge, quantity, options.FieldMeasure);
            if (!value || !IsShown(options, quantity)) continue;
            const std::optional<float> limit = LimitAt(limits, edges, quantity, edge->Dist);
            data.EdgeValues.push_back({edge->Dist, *value, OnRightAxis(quantity),
                                       FieldValueText(*value, limit, quantity),
                                       IsOver(*value, limit)});
        }
    }
}

// The limits as lines over the stretches they hold on: the within-ROW limit
// between the edges, an edge limit from each edge out to the end of the plot,
// reaching a tenth of the ROW's width inside it, so that it shows at the edge
// however little of the profile lies beyond.
void AddLimitLines(TPlotData& data, const std::optional<TClassLimits>& limits, const TEdges& edges,
                   const TScenario& scenario, const TPlotOptions& options) {
    if (!limits || edges.Left == nullptr || edges.Right == nullptr) return;
    const double left = edges.Left->Dist;
    const double right = edges.Right->Dist;
    const double inside = (right - left) * kEdgeLimitReach;
    const std::string edge = scenario.SectionType == Substation ? "Boundary " : "Edge ";
    const auto add = [&](TPlotQuantity quantity, std::optional<float> limit, bool withinRow) {
        if (!limit || !IsShown(options, quantity)) return;
        const TProfileQuantityInfo& info = ProfileQuantityInfo(quantity);
        const std::string text = (withinRow ? std::string() : edge) + info.Short + " limit " +
                                 LimitNumberText(*limit) + " " + info.Unit;
        TPlotLimit line{quantity, OnRightAxis(quantity), *limit, left, right, text, withinRow, true};
        if (withinRow) {
            data.Limits.push_back(line);
            return;
        }
        // Outwards from each edge, labelled once.
        for (const auto& [from, to] : {std::pair{std::min(data.XMin, left), left + inside},
                                       std::pair{right - inside, std::max(data.XMax, right)}}) {
            line.XFrom = from;
            line.XTo = to;
            data.Limits.push_back(line);
            line.Labelled = false;
        }
    };
    add(TPlotQuantity::EField, limits->EWithinRow, true);
    add(TPlotQuantity::EField, limits->EAtEdge, false);
    add(TPlotQuantity::BField, limits->BAtEdge, false);
}

// The lateral extent of the lines and the marks.
void SetLateralExtent(TPlotData& data) {
    TExtent x;
    for (const TPlotLine& line : data.Lines)
        for (const TPlotRun& run : line.Runs)
            for (const TPlotPoint& point : run)
                x.Add(point.X);
    for (const TPlotMark& mark : data.RowEdges)
        x.Add(mark.X);
    for (const TPlotMark& mark : data.Points)
        x.Add(mark.X);
    SetRange(x, data.XMin, data.XMax);
}

// The extent of each value axis: its lines and its limits.
void SetValueExtents(TPlotData& data) {
    TExtent left, right;
    for (const TPlotLine& line : data.Lines)
        for (const TPlotRun& run : line.Runs)
            for (const TPlotPoint& point : run)
                (line.RightAxis ? right : left).Add(point.Y);
    for (const TPlotLimit& limit : data.Limits)
        (limit.RightAxis ? right : left).Add(limit.Value);
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
        data.LeftShortTitle = "E (kV/m)";
        data.RightShortTitle = "B (mG)";
    } else {
        data.LeftTitle = "Audible noise (dBA), RI and TVI (dBuV/m)";
        data.RightTitle = "Ozone (ppb)";
        data.LeftShortTitle = "dBA, dBuV/m";
        data.RightShortTitle = "Ozone (ppb)";
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
    SetLateralExtent(data);
    if (options.Kind == TPlotKind::Fields) {
        const std::optional<TClassLimits> limits = ClassLimits(scenario, options);
        const TEdges edges = EdgesOf(scenario);
        AddMaxima(data, limits, edges, options.FieldMeasure);
        AddEdgeValues(data, limits, edges, options);
        AddLimitLines(data, limits, edges, scenario, options);
    }
    SetValueExtents(data);
    return data;
}

} // namespace corvalt
