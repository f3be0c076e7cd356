#pragma once
// TProfileChart: the chart of a plot (PlotData.h) on two y axes, with the ROW
// edges and the points of interest as vertical lines, their labels, and the
// maxima written beside their points. The results panel shows it in a chart
// view; PlotPicture.h draws it offscreen into PNG, SVG and PDF files.

#include "plots/PlotData.h"

#include <QChart>
#include <QPointer>

#include <vector>

class QGraphicsSimpleTextItem;
class QValueAxis;
class QAbstractSeries;

namespace corvalt {

// The axis ranges a chart shows (zoomed or panned, or the whole profile).
struct TChartRanges {
    double XLow = 0, XHigh = 0;
    double LeftLow = 0, LeftHigh = 0;
    double RightLow = 0, RightHigh = 0; // unused without a right axis
};

class TProfileChart : public QChart {
    Q_OBJECT
  public:
    explicit TProfileChart(const TPlotData& data, QGraphicsItem* parent = nullptr);

    const TPlotData& Data() const { return data_; }
    QValueAxis* XAxis() const { return xAxis_; }
    QValueAxis* LeftAxis() const { return leftAxis_; }
    QValueAxis* RightAxis() const { return rightAxis_; } // nullptr without right-axis lines
    // The lateral position (display unit) under a point of the chart.
    double LateralAt(const QPointF& chartPoint);
    // Puts the labels at their points for the present plot area and axis
    // ranges, hiding those whose point lies outside. Runs by itself when the
    // plot area or an axis range changes.
    void PlaceLabels();
    // Back to the whole profile after zooming or panning.
    void ResetZoom();
    // Whether the user zoomed or panned since the chart was made or reset.
    bool IsZoomed() const { return zoomed_; }
    TChartRanges Ranges() const;
    // Shows the ranges as if the user had zoomed to them.
    void ShowRanges(const TChartRanges& ranges);

  private:
    struct TLabel {
        QGraphicsSimpleTextItem* Item;
        // A mark's name at the top of the plot, or a value beside its point.
        enum class TPlace { AtMark, BesidePoint } Place;
        QPointF Value; // x, and y for BesidePoint
        bool RightAxis = false;
    };

    void CreateAxes();
    void FollowZoom(QValueAxis* axis, int ticks);
    void AddLines();
    void AddMarks();
    void AddMaxima();
    void AddError();
    QAbstractSeries* AddSeries(QAbstractSeries* series, bool rightAxis, bool inLegend);
    void AddLabel(const std::string& text, TLabel::TPlace place, QPointF value, bool rightAxis);

    TPlotData data_;
    QValueAxis* xAxis_ = nullptr;
    QValueAxis* leftAxis_ = nullptr;
    QValueAxis* rightAxis_ = nullptr;
    QAbstractSeries* leftAnchor_ = nullptr;  // maps values of the left axis
    QAbstractSeries* rightAnchor_ = nullptr; // and of the right one
    std::vector<TLabel> labels_;
    bool placing_ = false;
    bool resetting_ = false; // ResetZoom is setting the axes' ranges
    bool zoomed_ = false;
};

} // namespace corvalt
