#include "reports/ProfilePlotPage.h"

#include "engine/PageCanvas.h"
#include "model/Scenario.h"
#include "plots/PlotPicture.h"

#include <QCoreApplication>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace corvalt {
namespace {

// The chart is laid out at the size it has on paper in pixels of a screen
// image, so that its fonts print at their own point sizes.
constexpr double kLayoutPixelsPerInch = 96;

bool ChartsCanDraw() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app != nullptr && app->inherits("QApplication");
}

} // namespace

TPlotOptions FieldPlotOptions(const std::optional<TFieldLimits>& limits) {
    TPlotOptions options;
    options.Kind = TPlotKind::Fields;
    options.Limits = limits;
    return options;
}

TPlotOptions CoronaPlotOptions() {
    TPlotOptions options;
    options.Kind = TPlotKind::Corona;
    options.Shown[static_cast<std::size_t>(TPlotQuantity::Ozone)] = false;
    return options;
}

double PlotPageHeight(double width, double room) {
    const double shape = double(kPictureSize.height()) / kPictureSize.width();
    return std::max(0.0, std::min(width * shape, room));
}

void PrintProfilePlotPage(TPageCanvas& canvas, const TScenario& scenario,
                          const TPlotOptions& options) {
    if (!scenario.CalcError.empty() || scenario.Results.empty() || !ChartsCanDraw()) return;
    const TPlotData data = BuildPlotData(scenario, {}, options);
    if (!data.Error.empty()) return;
    canvas.NewPage();
    const double left = canvas.SectionLeft();
    const double top = canvas.LineTop();
    const double width = canvas.SectionRight() - left;
    const double height = PlotPageHeight(width, canvas.SectionBottom() - top);
    const QSize size(static_cast<int>(std::lround(width * kLayoutPixelsPerInch)),
                     static_cast<int>(std::lround(height * kLayoutPixelsPerInch)));
    if (size.isEmpty()) return;
    TVectorPicture picture =
        RecordVectorPicture(size.width(), size.height(), [&](QPainter& painter) {
            PaintPlot(data, painter, QRectF(QPointF(0, 0), QSizeF(size)), size);
        });
    canvas.DrawPicture(left, top, left + width, top + height, std::move(picture));
    canvas.SetCursorY(top + height);
}

} // namespace corvalt
