#pragma once
// TProfileChart: the chart of a plot (PlotData.h) on two y axes that share
// their grid lines, with the ROW edges and the points of interest as vertical
// lines, the field limits as dashed lines (named in the legend), and labels
// (the marks' names, the maxima, the values at the ROW edges, the limits)
// placed so that none meets another, a vertical or limit line or a marker; a
// label that finds no such place is left out. Each line holds at most two points per pixel column of
// the plot (its lowest and highest there), thinned again when the plot is
// resized, zoomed or panned. New data for the same chart updates its series
// in place. The results panel shows it in a chart view; PlotPicture.h draws
// it offscreen into pictures and onto any painter.

#include "plots/PlotData.h"

#include <QChart>
#include <QPen>

#include <vector>

class QGraphicsPathItem;
class QGraphicsSimpleTextItem;
class QValueAxis;
class QXYSeries;

namespace corvalt {

// The axis ranges a chart shows (zoomed or panned, or the whole profile).
struct TChartRanges {
    double XLow = 0, XHigh = 0;
    double LeftLow = 0, LeftHigh = 0;
    double RightLow = 0, RightHigh = 0; // unused without a right axis
};

// The colour a quantity is drawn in (its line, its limit).
QColor QuantityColour(TPlotQuantity quantity);
// The colour of a value over its limit.
QColor OverLimitColour();

class TProfileChart : public QChart {
    Q_OBJECT
  public:
    explicit TProfileChart(const TPlotData& data, QGraphicsItem* parent = nullptr);

    // Shows other data in this chart: the series are updated in place. The
    // axes show the new data whole, unless keepZoom is set and the user had
    // zoomed or panned: then they keep their ranges.
    void SetData(const TPlotData& data, bool keepZoom);
    const TPlotData& Data() const { return data_; }

    QValueAxis* XAxis() const { return xAxis_; }
    QValueAxis* LeftAxis() const { return leftAxis_; }
    QValueAxis* RightAxis() const; // nullptr without right-axis lines
    // The lateral position (display unit) under a point of the chart.
    double LateralAt(const QPointF& chartPoint);

    // Thins the lines to the plot's width and places the labels for the
    // present plot area and axis ranges. Runs by itself when the plot area or
    // an axis range changes.
    void PlaceLabels();
    // A low plot: short axis titles ("E (kV/m)") and no chart title.
    void SetCompact(bool compact);

    // Back to the whole profile after zooming or panning.
    void ResetZoom();
    // Whether the user zoomed or panned since the chart was made or reset.
    bool IsZoomed() const { return zoomed_; }
    TChartRanges Ranges() const;
    // Shows the ranges as if the user had zoomed to them.
    void ShowRanges(const TChartRanges& ranges);

    // A label as last placed, in chart coordinates; not shown when its point
    // lies outside the plot or no free place was found for it.
    struct TShownLabel {
        QString Text;
        QRectF Box;
        bool Shown = false;
        bool Over = false; // marked as over its limit
    };
    std::vector<TShownLabel> Labels() const;
    // The points the lines' series hold now, in all.
    qsizetype DrawnPoints() const;

  private:
    // One series of the chart, kept from one SetData to the next.
    struct TSlot {
        QXYSeries* Series = nullptr;
        bool Scatter = false;
        bool Right = false;
        const TPlotRun* Run = nullptr; // a line's run, thinned to the plot; null: fixed points
    };
    struct TSeriesSpec;
    enum class TLabelKind { Caption, Maximum, EdgeValue, Limit };
    struct TLabel {
        TLabelKind Kind = TLabelKind::Caption;
        QGraphicsSimpleTextItem* Item = nullptr;
        QGraphicsPathItem* Leader = nullptr; // the line from its point, when placed away
        QPointF Value;                       // x, and y except for captions
        bool Right = false;
        bool Over = false;
        bool LeftEdge = false; // an edge value of the left ROW edge (written outwards)
        std::size_t Limit = 0; // a limit's label: the limit's index in the data
    };

    void CreateAxes();
    void ApplyData(bool keepZoom);
    std::vector<TSeriesSpec> SeriesSpecs() const;
    void ApplySeries(const std::vector<TSeriesSpec>& specs);
    QXYSeries* NewSeries(bool scatter, bool right);
    void CreateLabels();
    void AddLabel(TLabelKind kind, const std::string& text, QPointF value, bool right, bool over,
                  const QColor& colour);
    void ClearLabels();
    // The axes over the data's whole extent, with shared round ticks.
    void ApplyScales();
    // After a zoom or pan: round ticks on the left axis, the right axis's
    // ticks at the same heights.
    void AlignTicks();
    void AxisRangeChanged();
    void Rethin();
    QPointF PositionOf(QPointF value, bool right);
    // Where a limit's label may go: points along its lines in sight, px.
    std::vector<QPointF> LimitLabelMarks(std::size_t limit);

    TPlotData data_;
    QValueAxis* xAxis_ = nullptr;
    QValueAxis* leftAxis_ = nullptr;
    QValueAxis* rightAxis_ = nullptr;
    bool rightUsed_ = false;
    QXYSeries* leftAnchor_ = nullptr;  // maps values of the left axis
    QXYSeries* rightAnchor_ = nullptr; // and of the right one
    std::vector<TSlot> slots_;
    std::vector<TLabel> labels_;
    bool compact_ = false;
    bool placing_ = false;
    bool applying_ = false; // the chart itself is setting the axes' ranges
    bool zoomed_ = false;
    // The x range and width the lines were last thinned for.
    double thinLow_ = 0, thinHigh_ = 0;
    int thinColumns_ = -1;
};

} // namespace corvalt
