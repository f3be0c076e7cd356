#pragma once
// Everything a plot of one computed cross section shows, as plain numbers and
// texts: the lines (one per quantity and cross section, split at the gaps),
// the ROW edges, the points of interest, the maxima, the axis titles. The
// results panel and corvalt-cli plot both build their charts from it
// (ProfileChart.h), and tests read it without drawing anything.

#include "model/FieldLimitTable.h"
#include "plots/ProfileSeries.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace corvalt {

class TScenario;

// The field profile (E on the left axis, B on the right) or the corona
// effects (audible noise, radio and TV interference on the left axis in dB,
// ozone on the right).
enum class TPlotKind { Fields, Corona };

struct TPlotOptions {
    TPlotKind Kind = TPlotKind::Fields;
    // Which quantities are drawn, by TPlotQuantity; quantities of the other
    // kind are never drawn whatever their flag.
    std::array<bool, kProfileQuantityCount> Shown{true, true, true, true, true, true, true, true};
    // The field plot draws the limits of the table's row for the cross
    // section's class (those its maxima are held to) and marks the values
    // over them; without a table it draws none.
    std::optional<TFieldLimits> Limits;
    // The field plot draws the ellipses' axes or the resultants (its lines,
    // maxima and edge values); the limits are the same for both.
    TFieldMeasure FieldMeasure = TFieldMeasure::Axis;
};

// The quantities of a kind, in legend order.
std::span<const TPlotQuantity> KindQuantities(TPlotKind kind);
// Whether the quantity goes on the right axis (B, ozone).
bool OnRightAxis(TPlotQuantity quantity);

struct TPlotLine {
    TPlotQuantity Quantity = TPlotQuantity::EField;
    int Section = 0;  // 0 the plotted cross section, 1.. the overlays in order
    std::string Name; // legend text
    bool RightAxis = false;
    std::vector<TPlotRun> Runs;
};

// A vertical mark across the plot: a ROW edge or a point of interest.
struct TPlotMark {
    double X = 0; // display unit
    std::string Label;
};

// A value written beside its point.
struct TPlotAnnotation {
    double X = 0;
    double Y = 0;
    bool RightAxis = false;
    std::string Text;
    bool Over = false; // over the limit that applies there (marked red)
};

// A field limit drawn as a horizontal line over the stretch it applies to:
// the electric field's within the ROW, the edge limits from each ROW edge
// outwards (a limit at the edge holds beyond it too), from a little inside
// the edge so that the line crosses it.
struct TPlotLimit {
    TPlotQuantity Quantity = TPlotQuantity::EField;
    bool RightAxis = false;
    double Value = 0;            // in the quantity's plot unit
    double XFrom = 0, XTo = 0;   // display unit
    std::string Text;            // "E limit 8 kV/m", written once per limit
    bool WithinRow = false;      // the within-ROW limit; else an edge limit
    bool Labelled = true;        // false for the second stretch of an edge limit
};

struct TPlotData {
    std::string Title;
    std::string XTitle; // "Distance (ft)"
    std::string LeftTitle;
    std::string RightTitle;
    // The axis titles for a low plot: "E (kV/m)", "B (mG)".
    std::string LeftShortTitle;
    std::string RightShortTitle;
    // Empty when the cross section was computed; else why not, and nothing to draw.
    std::string Error;
    std::vector<TPlotLine> Lines;
    std::vector<TPlotMark> RowEdges;
    std::vector<TPlotMark> Points;
    std::vector<TPlotAnnotation> Maxima;
    // E and B at the left and the right ROW edge (the field plot only).
    std::vector<TPlotAnnotation> EdgeValues;
    std::vector<TPlotLimit> Limits;
    // The overlaid cross sections' tab titles, by Section - 1.
    std::vector<std::string> OverlayNames;
    // "<tab title>: <reason>" for each overlay that could not be computed.
    std::vector<std::string> OverlayErrors;
    // The extent of the lines, marks and limits: lateral (display unit), left
    // and right axis; each range is {0, 1} when nothing lies on it.
    double XMin = 0, XMax = 1;
    double LeftMin = 0, LeftMax = 1;
    double RightMin = 0, RightMax = 1;
};

// The plot of the computed cross section, with the computed overlays drawn
// after it. The sections' Results must come from their last computation.
TPlotData BuildPlotData(const TScenario& scenario, std::span<const TScenario* const> overlays,
                        const TPlotOptions& options);

} // namespace corvalt
