#pragma once
// Everything a plot of one computed cross section shows, as plain numbers and
// texts: the lines (one per quantity and cross section, split at the gaps),
// the ROW edges, the points of interest, the maxima, the axis titles. The
// results panel and corvalt-cli plot both build their charts from it
// (ProfileChart.h), and tests read it without drawing anything.

#include "plots/ProfileSeries.h"

#include <array>
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
};

struct TPlotData {
    std::string Title;
    std::string XTitle; // "Distance (ft)"
    std::string LeftTitle;
    std::string RightTitle;
    // Empty when the cross section was computed; else why not, and nothing to draw.
    std::string Error;
    std::vector<TPlotLine> Lines;
    std::vector<TPlotMark> RowEdges;
    std::vector<TPlotMark> Points;
    std::vector<TPlotAnnotation> Maxima;
    // The overlaid cross sections' tab titles, by Section - 1.
    std::vector<std::string> OverlayNames;
    // "<tab title>: <reason>" for each overlay that could not be computed.
    std::vector<std::string> OverlayErrors;
    // The extent of the lines and marks: lateral (display unit), left and
    // right axis; each range is {0, 1} when nothing lies on it.
    double XMin = 0, XMax = 1;
    double LeftMin = 0, LeftMax = 1;
    double RightMin = 0, RightMax = 1;
};

// The plot of the computed cross section, with the computed overlays drawn
// after it. The sections' Results must come from their last computation.
TPlotData BuildPlotData(const TScenario& scenario, std::span<const TScenario* const> overlays,
                        const TPlotOptions& options);

} // namespace corvalt
