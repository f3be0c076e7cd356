#include "plots/ProfileChart.h"

#include "labels/LabelPlacement.h"
#include "plots/ModelText.h"
#include "plots/PlotScale.h"

#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsPathItem>
#include <QGraphicsSimpleTextItem>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainterPath>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace corvalt {
namespace {

// Room kept free around each label, px.
constexpr double kLabelClearance = 2;
// A leader's steps from a marked point to its label, px.
constexpr double kLeaderStep = 6;
// Above its largest value, each value axis keeps this share of the values'
// span free for the labels of the maxima.
constexpr double kHeadroom = 0.08;
// Vertical marks reach this many spans of the values beyond them, so that
// they cross the plot however it is zoomed.
constexpr double kMarkReach = 100;
constexpr double kMaximumMarkerSize = 8;
constexpr double kEdgeMarkerSize = 6;
// A limit's label is tried at this many places along its line, this far apart, px.
constexpr std::size_t kLimitLabelTries = 12;
constexpr double kLimitLabelStep = 40;
// The columns a plot not laid out yet is thinned for.
constexpr int kDefaultColumns = 1200;

const QColor kLabelColour(0x22, 0x22, 0x22);
const QColor kRowColour(0x55, 0x55, 0x55);
const QColor kPointColour(0x27, 0x8e, 0x4a);

// The plotted cross section solid, the overlays dashed in turn.
Qt::PenStyle SectionPen(int section) {
    static const Qt::PenStyle styles[] = {Qt::DashLine, Qt::DotLine, Qt::DashDotLine,
                                          Qt::DashDotDotLine};
    return section <= 0 ? Qt::SolidLine : styles[(section - 1) % 4];
}

QValueAxis* NewAxis() {
    auto* axis = new QValueAxis;
    axis->setLabelFormat(QStringLiteral("%.4g"));
    axis->setTickType(QValueAxis::TicksDynamic);
    return axis;
}

// A round step (1, 2 or 5 times a power of ten) giving about that many ticks over the span.
double TickStep(double span, int ticks) {
    return NiceStepAtLeast(std::max(span, 1e-9) / ticks);
}

// The lateral axis spans the profile itself, a little margin on each side,
// with round ticks anchored at the reference line (0), not rounded outwards.
void SetLateralRange(QValueAxis& axis, double low, double high) {
    const double margin = (high - low) * 0.02;
    axis.setRange(low - margin, high + margin);
    axis.setTickAnchor(0);
    axis.setTickInterval(TickStep(high - low, 8));
}

void SetScale(QValueAxis& axis, const TAxisScale& scale) {
    axis.setRange(scale.Low, scale.High());
    axis.setTickAnchor(scale.Low);
    axis.setTickInterval(scale.Step);
}

QList<QPointF> Points(const TPlotRun& run) {
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(run.size()));
    for (const TPlotPoint& point : run)
        points.append(QPointF(point.X, point.Y));
    return points;
}

// The first of the marks where the request's label, above or below its
// mark and right or left of it with the ordinary leader, meets nothing and
// crosses nothing; kept in the layout. Empty when there is none.
std::optional<TLabelPlace> PlaceAlong(TLabelLayout& layout, TLabelRequest request,
                                      const std::vector<QPointF>& marks) {
    for (const QPointF& mark : marks) {
        request.Mark = mark;
        for (const TLeader leader :
             {TLeader::RightUp, TLeader::RightDown, TLeader::LeftUp, TLeader::LeftDown}) {
            const TLabelPlace place = LabelPlaceFor(request, leader, 1);
            if (layout.Conflicts(place, request.OwnSymbol) != 0 ||
                layout.Crossings(place, request.OwnSymbol) != 0)
                continue;
            layout.AddBox(place.Box);
            return place;
        }
    }
    return std::nullopt;
}

QPen Pen(const QColor& colour, double width, Qt::PenStyle style = Qt::SolidLine) {
    QPen pen(colour);
    pen.setWidthF(width);
    pen.setStyle(style);
    return pen;
}

} // namespace

QColor QuantityColour(TPlotQuantity quantity) {
    // Told apart in print and by colour-blind readers; red is kept for values
    // over their limits.
    static const std::array<QColor, kProfileQuantityCount> colours{
        QColor(0x1f, 0x4e, 0xb4), // E: blue
        QColor(0xd3, 0x54, 0x00), // B: orange
        QColor(0x1f, 0x4e, 0xb4), // AN rain
        QColor(0x5d, 0x9c, 0xec), // AN fair
        QColor(0xc0, 0x39, 0x2b), // RI rain
        QColor(0xe6, 0x7e, 0x22), // RI fair
        QColor(0x27, 0x8e, 0x4a), // TVI
        QColor(0x7d, 0x3c, 0x98), // ozone
    };
    return colours[static_cast<std::size_t>(quantity)];
}

QColor OverLimitColour() {
    return {0xc0, 0x00, 0x00};
}

// What one series of the chart shows.
struct TProfileChart::TSeriesSpec {
    bool Scatter = false;
    bool Right = false;
    QPen Pen;
    QColor Fill;
    double MarkerSize = 0;
    QString Name;
    bool InLegend = false;
    const TPlotRun* Run = nullptr; // thinned to the plot
    QList<QPointF> Points;         // without a run
};

TProfileChart::TProfileChart(const TPlotData& data, QGraphicsItem* parent)
    : QChart(parent), data_(data) {
    setBackgroundRoundness(0);
    setMargins(QMargins(4, 4, 4, 4));
    legend()->setAlignment(Qt::AlignBottom);
    legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    CreateAxes();
    connect(this, &QChart::plotAreaChanged, this, &TProfileChart::PlaceLabels);
    for (QValueAxis* axis : {xAxis_, leftAxis_, rightAxis_})
        connect(axis, &QValueAxis::rangeChanged, this, &TProfileChart::AxisRangeChanged);
    ApplyData(false);
}

void TProfileChart::CreateAxes() {
    xAxis_ = NewAxis();
    addAxis(xAxis_, Qt::AlignBottom);
    leftAxis_ = NewAxis();
    addAxis(leftAxis_, Qt::AlignLeft);
    rightAxis_ = NewAxis();
    rightAxis_->setGridLineVisible(false); // the left axis's grid lines serve both
    addAxis(rightAxis_, Qt::AlignRight);
    leftAnchor_ = NewSeries(false, false);
    rightAnchor_ = NewSeries(false, true);
    for (QXYSeries* anchor : {leftAnchor_, rightAnchor_})
        for (QLegendMarker* marker : legend()->markers(anchor))
            marker->setVisible(false);
}

QXYSeries* TProfileChart::NewSeries(bool scatter, bool right) {
    QXYSeries* series = scatter ? static_cast<QXYSeries*>(new QScatterSeries)
                                : static_cast<QXYSeries*>(new QLineSeries);
    addSeries(series);
    series->attachAxis(xAxis_);
    series->attachAxis(right ? rightAxis_ : leftAxis_);
    return series;
}

QValueAxis* TProfileChart::RightAxis() const {
    return rightUsed_ ? rightAxis_ : nullptr;
}

void TProfileChart::SetData(const TPlotData& data, bool keepZoom) {
    data_ = data;
    ApplyData(keepZoom);
}

void TProfileChart::ApplyData(bool keepZoom) {
    const bool keep = keepZoom && zoomed_;
    const TChartRanges ranges = Ranges();
    const bool hadRight = rightUsed_;
    setTitle(compact_ ? QString() : ToQString(data_.Title));
    rightUsed_ = std::any_of(data_.Lines.begin(), data_.Lines.end(),
                             [](const TPlotLine& line) { return line.RightAxis; });
    rightAxis_->setVisible(rightUsed_);
    SetCompact(compact_); // the axis titles of the new data
    thinColumns_ = -1;    // the lines are new
    ApplySeries(SeriesSpecs());
    CreateLabels();
    if (keep) {
        ApplyScales(); // an axis the chart did not have before starts whole
        TChartRanges kept = ranges;
        if (!hadRight) kept.RightLow = kept.RightHigh = 0;
        ShowRanges(kept);
    } else {
        ResetZoom();
    }
}

std::vector<TProfileChart::TSeriesSpec> TProfileChart::SeriesSpecs() const {
    std::vector<TSeriesSpec> specs;
    const double span = data_.LeftMax - data_.LeftMin;
    const double low = data_.LeftMin - kMarkReach * span;
    const double high = data_.LeftMax + kMarkReach * span;
    // The lines first, so that the legend names them first.
    for (const TPlotLine& line : data_.Lines) {
        // Every line in the legend once, the overlays with their dashes.
        const bool overlay = line.Section > 0;
        QColor colour = QuantityColour(line.Quantity);
        if (overlay) colour = colour.lighter(130);
        bool first = true;
        for (const TPlotRun& run : line.Runs) {
            TSeriesSpec spec;
            spec.Right = line.RightAxis;
            spec.Name = ToQString(line.Name);
            spec.Run = &run;
            // A lone value between two gaps is a dot: a line needs two points.
            spec.Scatter = run.size() == 1;
            spec.Pen = Pen(colour, overlay ? 1.5 : 2.0, SectionPen(line.Section));
            spec.Fill = colour;
            spec.MarkerSize = 5;
            spec.InLegend = first && !spec.Scatter;
            first = first && spec.Scatter;
            specs.push_back(spec);
        }
    }
    const auto vertical = [&](const TPlotMark& mark, Qt::PenStyle style, const QColor& colour) {
        TSeriesSpec spec;
        spec.Pen = Pen(colour, 1.2, style);
        spec.Points = {QPointF(mark.X, low), QPointF(mark.X, high)};
        specs.push_back(spec);
    };
    for (const TPlotMark& edge : data_.RowEdges)
        vertical(edge, Qt::DashLine, kRowColour);
    for (const TPlotMark& point : data_.Points)
        vertical(point, Qt::DotLine, kPointColour);
    for (const TPlotLimit& limit : data_.Limits) {
        TSeriesSpec spec;
        spec.Right = limit.RightAxis;
        spec.Pen = Pen(QuantityColour(limit.Quantity), 1.4, Qt::DashLine);
        spec.Points = {QPointF(limit.XFrom, limit.Value), QPointF(limit.XTo, limit.Value)};
        // The legend names every limit, whether or not its line finds room
        // for its label.
        spec.Name = ToQString(limit.Text);
        spec.InLegend = limit.Labelled;
        specs.push_back(spec);
    }
    const auto dot = [&](const TPlotAnnotation& at, double size, const QColor& border,
                         const QColor& fill) {
        TSeriesSpec spec;
        spec.Scatter = true;
        spec.Right = at.RightAxis;
        spec.Pen = Pen(border, 1.2);
        spec.Fill = fill;
        spec.MarkerSize = size;
        spec.Points = {QPointF(at.X, at.Y)};
        specs.push_back(spec);
    };
    for (const TPlotAnnotation& value : data_.EdgeValues)
        dot(value, kEdgeMarkerSize, value.Over ? OverLimitColour() : kLabelColour,
            value.Over ? OverLimitColour() : QColor(Qt::white));
    for (const TPlotAnnotation& maximum : data_.Maxima)
        dot(maximum, kMaximumMarkerSize, maximum.Over ? OverLimitColour() : QColor(Qt::black),
            maximum.Over ? OverLimitColour() : QColor(Qt::white));
    return specs;
}

void TProfileChart::ApplySeries(const std::vector<TSeriesSpec>& specs) {
    // The series of the data before are kept where they can show the new:
    // each spec takes the next unused series of its kind (scatter or line),
    // so another count of marks or runs does not make new series of the rest.
    std::array<std::vector<TSlot>, 2> unused; // by Scatter, in chart order
    for (auto it = slots_.rbegin(); it != slots_.rend(); ++it)
        unused[it->Scatter ? 1 : 0].push_back(*it);
    slots_.clear();
    for (const TSeriesSpec& spec : specs) {
        std::vector<TSlot>& pool = unused[spec.Scatter ? 1 : 0];
        if (pool.empty()) {
            slots_.push_back({NewSeries(spec.Scatter, spec.Right), spec.Scatter, spec.Right, nullptr});
        } else {
            slots_.push_back(pool.back());
            pool.pop_back();
        }
        TSlot& slot = slots_.back();
        if (slot.Right != spec.Right) {
            slot.Series->detachAxis(slot.Right ? rightAxis_ : leftAxis_);
            slot.Series->attachAxis(spec.Right ? rightAxis_ : leftAxis_);
            slot.Right = spec.Right;
        }
        slot.Run = spec.Run;
        QXYSeries& series = *slot.Series;
        series.setName(spec.Name);
        series.setPen(spec.Pen);
        if (spec.Scatter) {
            auto& scatter = static_cast<QScatterSeries&>(series);
            scatter.setMarkerSize(spec.MarkerSize);
            scatter.setBorderColor(spec.Pen.color());
            scatter.setColor(spec.Fill);
        }
        if (spec.Run == nullptr) series.replace(spec.Points);
        for (QLegendMarker* marker : legend()->markers(&series))
            marker->setVisible(spec.InLegend);
    }
    for (std::vector<TSlot>& pool : unused)
        for (const TSlot& slot : pool) {
            removeSeries(slot.Series);
            delete slot.Series;
        }
}

// ---- Labels --------------------------------------------------------------------

void TProfileChart::ClearLabels() {
    for (TLabel& label : labels_) {
        delete label.Item;
        delete label.Leader;
    }
    labels_.clear();
}

void TProfileChart::AddLabel(TLabelKind kind, const std::string& text, QPointF value, bool right,
                             bool over, const QColor& colour) {
    TLabel label;
    label.Kind = kind;
    label.Item = new QGraphicsSimpleTextItem(ToQString(text), this);
    label.Item->setZValue(10);
    label.Item->setBrush(over ? OverLimitColour() : colour);
    if (over) {
        QFont bold = label.Item->font();
        bold.setBold(true);
        label.Item->setFont(bold);
    }
    if (kind == TLabelKind::Maximum || kind == TLabelKind::EdgeValue) {
        label.Leader = new QGraphicsPathItem(this);
        label.Leader->setZValue(9);
        label.Leader->setPen(Pen(over ? OverLimitColour() : QColor(0x77, 0x77, 0x77), 0.8));
    }
    label.Value = value;
    label.Right = right;
    label.Over = over;
    labels_.push_back(label);
}

void TProfileChart::CreateLabels() {
    ClearLabels();
    if (!data_.Error.empty()) { // the reason, in the middle of the plot
        legend()->hide();
        AddLabel(TLabelKind::Caption, data_.Error, QPointF(), false, false,
                 QColor(0xa0, 0x10, 0x10));
        return;
    }
    legend()->show();
    // In the order they are placed: who comes first gets the better place.
    for (const TPlotMark& edge : data_.RowEdges)
        AddLabel(TLabelKind::Caption, edge.Label, QPointF(edge.X, 0), false, false, kLabelColour);
    for (const TPlotAnnotation& maximum : data_.Maxima)
        AddLabel(TLabelKind::Maximum, maximum.Text, QPointF(maximum.X, maximum.Y),
                 maximum.RightAxis, maximum.Over, kLabelColour);
    const double middle = data_.RowEdges.size() == 2
                              ? (data_.RowEdges[0].X + data_.RowEdges[1].X) / 2
                              : (data_.XMin + data_.XMax) / 2;
    for (std::size_t i = 0; i < data_.Limits.size(); ++i) {
        const TPlotLimit& limit = data_.Limits[i];
        if (!limit.Labelled) continue;
        AddLabel(TLabelKind::Limit, limit.Text, QPointF(limit.XFrom, limit.Value), limit.RightAxis,
                 false, QuantityColour(limit.Quantity));
        labels_.back().Limit = i;
    }
    for (const TPlotAnnotation& value : data_.EdgeValues) {
        AddLabel(TLabelKind::EdgeValue, value.Text, QPointF(value.X, value.Y), value.RightAxis,
                 value.Over, kLabelColour);
        labels_.back().LeftEdge = value.X < middle;
    }
    for (const TPlotMark& point : data_.Points)
        AddLabel(TLabelKind::Caption, point.Label, QPointF(point.X, 0), false, false,
                 kPointColour);
}

std::vector<QPointF> TProfileChart::LimitLabelMarks(std::size_t limit) {
    // Along every stretch of the limit in sight, from its end nearest the
    // middle of the plot outwards.
    const QRectF area = plotArea();
    const TPlotLimit& labelled = data_.Limits[limit];
    std::vector<QPointF> marks;
    for (const TPlotLimit& stretch : data_.Limits) {
        if (stretch.Text != labelled.Text) continue;
        const QPointF from = PositionOf({stretch.XFrom, stretch.Value}, stretch.RightAxis);
        const QPointF to = PositionOf({stretch.XTo, stretch.Value}, stretch.RightAxis);
        if (from.y() < area.top() || from.y() > area.bottom()) continue;
        const double left = std::max(from.x(), area.left());
        const double right = std::min(to.x(), area.right());
        const bool inward = area.center().x() - left > right - area.center().x();
        for (double x = 0; x <= right - left && marks.size() < kLimitLabelTries;
             x += kLimitLabelStep)
            marks.emplace_back(inward ? right - x : left + x, from.y());
    }
    return marks;
}

QPointF TProfileChart::PositionOf(QPointF value, bool right) {
    return mapToPosition(value, right && rightUsed_ ? rightAnchor_ : leftAnchor_);
}

void TProfileChart::PlaceLabels() {
    if (placing_) return;
    placing_ = true;
    Rethin();
    const QRectF area = plotArea();
    if (!data_.Error.empty()) {
        for (TLabel& label : labels_)
            label.Item->setPos(area.center() - label.Item->boundingRect().center());
        placing_ = false;
        return;
    }
    const auto inside = [&area](QPointF at, bool vertically) {
        return area.width() > 0 && at.x() >= area.left() - 0.5 && at.x() <= area.right() + 0.5 &&
               (!vertically || (at.y() >= area.top() - 0.5 && at.y() <= area.bottom() + 0.5));
    };
    TLabelLayout layout(area, kLabelClearance);
    // What the labels keep clear of: the vertical marks, the limit lines and
    // the markers of the values written beside their points.
    for (const TPlotMark& mark : data_.RowEdges)
        layout.AddLine(QLineF(PositionOf({mark.X, 0}, false).x(), area.top(),
                              PositionOf({mark.X, 0}, false).x(), area.bottom()));
    for (const TPlotMark& mark : data_.Points)
        layout.AddLine(QLineF(PositionOf({mark.X, 0}, false).x(), area.top(),
                              PositionOf({mark.X, 0}, false).x(), area.bottom()));
    for (const TPlotLimit& limit : data_.Limits) {
        const QPointF from = PositionOf({limit.XFrom, limit.Value}, limit.RightAxis);
        const QPointF to = PositionOf({limit.XTo, limit.Value}, limit.RightAxis);
        if (from.y() >= area.top() && from.y() <= area.bottom())
            layout.AddLine(QLineF(std::max(from.x(), area.left()), from.y(),
                                  std::min(to.x(), area.right()), to.y()));
    }
    std::vector<std::size_t> symbols(labels_.size(), TLabelRequest::kNoSymbol);
    for (std::size_t i = 0; i < labels_.size(); ++i) {
        const TLabel& label = labels_[i];
        if (label.Kind != TLabelKind::Maximum && label.Kind != TLabelKind::EdgeValue) continue;
        const QPointF at = PositionOf(label.Value, label.Right);
        const double half =
            (label.Kind == TLabelKind::Maximum ? kMaximumMarkerSize : kEdgeMarkerSize) / 2;
        if (inside(at, true)) symbols[i] = layout.AddSymbol(QRectF(at.x() - half, at.y() - half,
                                                                   2 * half, 2 * half));
    }
    for (std::size_t i = 0; i < labels_.size(); ++i) {
        TLabel& label = labels_[i];
        const QFontMetricsF metrics(label.Item->font());
        TLabelRequest request;
        request.TextWidth = metrics.horizontalAdvance(label.Item->text());
        request.Ascent = metrics.ascent();
        request.Descent = metrics.descent();
        request.FontHeight = metrics.height();
        request.OwnSymbol = symbols[i];
        QPointF at = PositionOf(label.Value, label.Right);
        bool shown = inside(at, label.Kind != TLabelKind::Caption);
        switch (label.Kind) {
        case TLabelKind::Caption:
            // Along the top beside its line, a row lower where that is taken.
            at.setY(area.top() + metrics.ascent() + kLabelClearance + 1);
            request.Preferred = TLeader::Right;
            request.Steps = {kLabelClearance, metrics.lineSpacing()};
            break;
        case TLabelKind::Maximum:
            request.Preferred = TLeader::RightUp;
            request.Steps = {kLeaderStep, kLeaderStep};
            break;
        case TLabelKind::EdgeValue:
            // Outwards from the ROW.
            request.Preferred = label.LeftEdge ? TLeader::LeftUp : TLeader::RightUp;
            request.Steps = {kLeaderStep, kLeaderStep};
            break;
        case TLabelKind::Limit:
            request.Steps = {2, metrics.descent() + kLabelClearance + 1};
            break;
        }
        request.Mark = at;
        TLabelPlace place;
        if (label.Kind == TLabelKind::Limit) {
            // Above or below its line, anywhere along it.
            const std::optional<TLabelPlace> along =
                PlaceAlong(layout, request, LimitLabelMarks(label.Limit));
            shown = along.has_value();
            if (along) place = *along;
        } else if (shown) {
            place = layout.Place(request);
            shown = place.Clear;
        }
        label.Item->setVisible(shown);
        if (shown) label.Item->setPos(place.Box.topLeft());
        if (label.Leader == nullptr) continue;
        QPainterPath leader;
        if (shown && !place.LeaderPoints.empty()) {
            leader.moveTo(place.LeaderPoints.front());
            for (std::size_t k = 1; k < place.LeaderPoints.size(); ++k)
                leader.lineTo(place.LeaderPoints[k]);
        }
        label.Leader->setPath(leader);
        label.Leader->setVisible(shown);
    }
    placing_ = false;
}

std::vector<TProfileChart::TShownLabel> TProfileChart::Labels() const {
    std::vector<TShownLabel> shown;
    for (const TLabel& label : labels_)
        shown.push_back({label.Item->text(), label.Item->mapRectToParent(label.Item->boundingRect()),
                         label.Item->isVisible(), label.Over});
    return shown;
}

// ---- Lines thinned to the plot ----------------------------------------------------

void TProfileChart::Rethin() {
    const double low = xAxis_->min();
    const double high = xAxis_->max();
    const int width = static_cast<int>(std::ceil(plotArea().width()));
    const int columns = width > 0 ? width : kDefaultColumns;
    if (columns == thinColumns_ && low == thinLow_ && high == thinHigh_) return;
    thinColumns_ = columns;
    thinLow_ = low;
    thinHigh_ = high;
    for (TSlot& slot : slots_)
        if (slot.Run != nullptr) slot.Series->replace(Points(ThinnedRun(*slot.Run, low, high, columns)));
}

qsizetype TProfileChart::DrawnPoints() const {
    qsizetype points = 0;
    for (const TSlot& slot : slots_)
        if (slot.Run != nullptr) points += slot.Series->count();
    return points;
}

// ---- Axes, zoom and pan ------------------------------------------------------------

void TProfileChart::SetCompact(bool compact) {
    compact_ = compact;
    setTitle(compact_ ? QString() : ToQString(data_.Title));
    xAxis_->setTitleText(ToQString(data_.XTitle));
    leftAxis_->setTitleText(ToQString(compact_ ? data_.LeftShortTitle : data_.LeftTitle));
    rightAxis_->setTitleText(ToQString(compact_ ? data_.RightShortTitle : data_.RightTitle));
}

void TProfileChart::ApplyScales() {
    applying_ = true;
    SetLateralRange(*xAxis_, data_.XMin, data_.XMax);
    const auto withHeadroom = [](double low, double high) {
        return std::pair{low, high + kHeadroom * (high - low)};
    };
    const auto [leftLow, leftHigh] = withHeadroom(data_.LeftMin, data_.LeftMax);
    std::optional<std::pair<double, double>> right;
    if (rightUsed_) right = withHeadroom(data_.RightMin, data_.RightMax);
    const TSharedScales scales = SharedScales(leftLow, leftHigh, right);
    SetScale(*leftAxis_, scales.Left);
    if (scales.Right) SetScale(*rightAxis_, *scales.Right);
    applying_ = false;
}

void TProfileChart::AlignTicks() {
    applying_ = true;
    xAxis_->setTickAnchor(0);
    xAxis_->setTickInterval(TickStep(xAxis_->max() - xAxis_->min(), 8));
    const double leftSpan = leftAxis_->max() - leftAxis_->min();
    leftAxis_->setTickAnchor(0);
    leftAxis_->setTickInterval(TickStep(leftSpan, 5));
    if (rightUsed_ && leftSpan > 0) {
        // The right axis's ticks at the heights of the left's grid lines.
        const double ratio = (rightAxis_->max() - rightAxis_->min()) / leftSpan;
        rightAxis_->setTickAnchor(rightAxis_->min() + (0 - leftAxis_->min()) * ratio);
        rightAxis_->setTickInterval(leftAxis_->tickInterval() * ratio);
    }
    applying_ = false;
}

void TProfileChart::AxisRangeChanged() {
    if (applying_) return;
    // A zoom or a pan of the user's.
    zoomed_ = true;
    AlignTicks();
    PlaceLabels();
}

double TProfileChart::LateralAt(const QPointF& chartPoint) {
    return mapToValue(chartPoint, leftAnchor_).x();
}

void TProfileChart::ResetZoom() {
    applying_ = true;
    zoomReset();
    applying_ = false;
    ApplyScales();
    zoomed_ = false;
    PlaceLabels();
}

TChartRanges TProfileChart::Ranges() const {
    TChartRanges ranges;
    ranges.XLow = xAxis_->min();
    ranges.XHigh = xAxis_->max();
    ranges.LeftLow = leftAxis_->min();
    ranges.LeftHigh = leftAxis_->max();
    if (rightUsed_) {
        ranges.RightLow = rightAxis_->min();
        ranges.RightHigh = rightAxis_->max();
    }
    return ranges;
}

void TProfileChart::ShowRanges(const TChartRanges& ranges) {
    applying_ = true;
    xAxis_->setRange(ranges.XLow, ranges.XHigh);
    leftAxis_->setRange(ranges.LeftLow, ranges.LeftHigh);
    if (rightUsed_ && ranges.RightHigh > ranges.RightLow)
        rightAxis_->setRange(ranges.RightLow, ranges.RightHigh);
    applying_ = false;
    zoomed_ = true;
    AlignTicks();
    PlaceLabels();
}

} // namespace corvalt
