#pragma once
// The page of a cross-section report that shows the cross section's profile
// plot (the E and B profile, or the corona effects), drawn by the same chart
// as the results panel and corvalt-cli plot and kept as vector drawing.

#include "plots/PlotData.h"

#include <optional>

namespace corvalt {

class TPageCanvas;
class TScenario;

// The field plot with the field limits drawn as lines (none without a table).
TPlotOptions FieldPlotOptions(const std::optional<TFieldLimits>& limits);
// The corona plot of audible noise, radio and television interference.
TPlotOptions CoronaPlotOptions();

// Height of the plot on its page for a body width, inches: the plot keeps
// the shape of the results panel's picture unless the room runs short.
double PlotPageHeight(double width, double room);

// Starts a new page (the report's header names the cross section) and draws
// the plot across the body below the header. Draws nothing, and starts no
// page, when the cross section has no computed profile or no QApplication
// runs (charts need one).
void PrintProfilePlotPage(TPageCanvas& canvas, const TScenario& scenario,
                          const TPlotOptions& options);

} // namespace corvalt
