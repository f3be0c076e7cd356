#include "plots/ProfileChart.h"

#include "plots/ModelText.h"

#include <QGraphicsSimpleTextItem>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPen>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>
#include <array>
#include <cmath>

namespace corvalt {
namespace {

// Rows of mark names at the top of the plot, before names may overlap.
constexpr int kLabelRows = 4;

// A colour per quantity, told apart in print and by colour-blind readers.
QColor QuantityColour(TPlotQuantity quantity) {
    static const std::array<QColor, kProfileQuantityCount> colours{
        QColor(0x1f, 0x4e, 0xb4), // E: blue
        QColor(0xc0, 0x39, 0x2b), // B: red
        QColor(0x1f, 0x4e, 0xb4), // AN rain
        QColor(0x5d, 0x9c, 0xec), // AN fair
        QColor(0xc0, 0x39, 0x2b), // RI rain
        QColor(0xe6, 0x7e, 0x22), // RI fair
        QColor(0x27, 0x8e, 0x4a), // TVI
        QColor(0x7d, 0x3c, 0x98), // ozone
    };
    return colours[static_cast<std::size_t>(quantity)];
}

// The plotted cross section solid, the overlays dashed in turn, by name in
// the chart's title.
struct TSectionStyle {
    Qt::PenStyle Pen;
    const char* Name;
};
TSectionStyle SectionStyle(int section) {
    static const TSectionStyle styles[] = {{Qt::SolidLine, "solid"},
                                           {Qt::DashLine, "dashed"},
                                           {Qt::DotLine, "dotted"},
                                           {Qt::DashDotLine, "dash-dot"},
                                           {Qt::DashDotDotLine, "dash-dot-dot"}};
    return section <= 0 ? styles[0] : styles[1 + (section - 1) % 4];
}

// A value axis from low to high with room above the largest value for its
// label, rounded out to round ticks.
void SetValueRange(QValueAxis& axis, double low, double high) {
    axis.setRange(low, high + 0.08 * (high - low));
    axis.applyNiceNumbers();
}

QValueAxis* NewAxis(const std::string& title) {
    auto* axis = new QValueAxis;
    axis->setTitleText(ToQString(title));
    axis->setLabelFormat(QStringLiteral("%g"));
    return axis;
}

// A round step (1, 2 or 5 times a power of ten) giving about that many ticks over the span.
double TickStep(double span, int ticks) {
    const double raw = std::max(span, 1e-9) / ticks;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0})
        if (raw <= factor * power) return factor * power;
    return 10 * power;
}

// The lateral axis spans the profile itself, a little margin on each side,
// with round ticks anchored at the reference line (0), not rounded outwards.
void SetLateralRange(QValueAxis& axis, double low, double high) {
    const double margin = (high - low) * 0.02;
    axis.setRange(low - margin, high + margin);
    axis.setTickType(QValueAxis::TicksDynamic);
    axis.setTickAnchor(0);
    axis.setTickInterval(TickStep(high - low, 8));
}

QList<QPointF> Points(const TPlotRun& run) {
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(run.size()));
    for (const TPlotPoint& point : run)
        points.append(QPointF(point.X, point.Y));
    return points;
}

} // namespace

TProfileChart::TProfileChart(const TPlotData& data, QGraphicsItem* parent)
    : QChart(parent), data_(data) {
    setTitle(ToQString(data_.Title));
    setBackgroundRoundness(0);
    legend()->setAlignment(Qt::AlignBottom);
    CreateAxes();
    if (!data_.Error.empty()) {
        AddError();
    } else {
        AddMarks();
        AddLines();
        AddMaxima();
    }
    connect(this, &QChart::plotAreaChanged, this, &TProfileChart::PlaceLabels);
    FollowZoom(xAxis_, 8);
    FollowZoom(leftAxis_, 5);
    if (rightAxis_ != nullptr) FollowZoom(rightAxis_, 5);
    for (QValueAxis* axis : {xAxis_, leftAxis_, rightAxis_})
        if (axis != nullptr)
            connect(axis, &QValueAxis::rangeChanged, this, &TProfileChart::PlaceLabels);
}

void TProfileChart::FollowZoom(QValueAxis* axis, int ticks) {
    // Zoomed or panned, an axis keeps round ticks anchored at zero.
    connect(axis, &QValueAxis::rangeChanged, this, [this, axis, ticks](qreal low, qreal high) {
        if (resetting_) return;
        zoomed_ = true;
        axis->setTickType(QValueAxis::TicksDynamic);
        axis->setTickAnchor(0);
        axis->setTickInterval(TickStep(high - low, ticks));
    });
}

void TProfileChart::CreateAxes() {
    xAxis_ = NewAxis(data_.XTitle);
    SetLateralRange(*xAxis_, data_.XMin, data_.XMax);
    addAxis(xAxis_, Qt::AlignBottom);
    leftAxis_ = NewAxis(data_.LeftTitle);
    SetValueRange(*leftAxis_, data_.LeftMin, data_.LeftMax);
    addAxis(leftAxis_, Qt::AlignLeft);
    const bool right = std::any_of(data_.Lines.begin(), data_.Lines.end(),
                                   [](const TPlotLine& line) { return line.RightAxis; });
    if (right) {
        rightAxis_ = NewAxis(data_.RightTitle);
        SetValueRange(*rightAxis_, data_.RightMin, data_.RightMax);
        rightAxis_->setGridLineVisible(false); // the left axis's grid serves both
        addAxis(rightAxis_, Qt::AlignRight);
    }
    leftAnchor_ = AddSeries(new QLineSeries, false, false);
    if (right) rightAnchor_ = AddSeries(new QLineSeries, true, false);
}

QAbstractSeries* TProfileChart::AddSeries(QAbstractSeries* series, bool rightAxis, bool inLegend) {
    addSeries(series);
    series->attachAxis(xAxis_);
    series->attachAxis(rightAxis && rightAxis_ != nullptr ? rightAxis_ : leftAxis_);
    if (!inLegend)
        for (QLegendMarker* marker : legend()->markers(series))
            marker->setVisible(false);
    return series;
}

void TProfileChart::AddLines() {
    QString overlays;
    for (const TPlotLine& line : data_.Lines) {
        // The legend names the plotted cross section's quantities; the title
        // says which line style each overlay has.
        const bool overlay = line.Section > 0;
        QPen pen(QuantityColour(line.Quantity));
        if (overlay) pen.setColor(pen.color().lighter(130));
        pen.setWidthF(overlay ? 1.5 : 2.0);
        pen.setStyle(SectionStyle(line.Section).Pen);
        const auto index = static_cast<std::size_t>(line.Section - 1);
        if (overlay && index < data_.OverlayNames.size()) {
            const QString name = QString::fromLatin1(SectionStyle(line.Section).Name) +
                                 QStringLiteral(": ") + ToQString(data_.OverlayNames[index]);
            if (!overlays.contains(name))
                overlays += (overlays.isEmpty() ? QString() : QStringLiteral("; ")) + name;
        }
        bool first = !overlay;
        for (const TPlotRun& run : line.Runs) {
            // A lone value between two gaps is a dot: a line needs two points.
            QXYSeries* series = nullptr;
            if (run.size() == 1) {
                auto* dot = new QScatterSeries;
                dot->setMarkerSize(5);
                dot->setBorderColor(pen.color());
                dot->setColor(pen.color());
                series = dot;
            } else {
                series = new QLineSeries;
                series->setPen(pen);
            }
            series->setName(ToQString(line.Name));
            series->replace(Points(run));
            AddSeries(series, line.RightAxis, first);
            first = false;
        }
    }
    if (!overlays.isEmpty())
        setTitle(title() + QStringLiteral("   (") + overlays + QLatin1Char(')'));
}

void TProfileChart::AddMarks() {
    const double low = leftAxis_->min();
    const double high = leftAxis_->max();
    const auto vertical = [&](const TPlotMark& mark, Qt::PenStyle style, const QColor& colour) {
        auto* series = new QLineSeries;
        QPen pen(colour);
        pen.setWidthF(1.2);
        pen.setStyle(style);
        series->setPen(pen);
        series->append(mark.X, low);
        series->append(mark.X, high);
        AddSeries(series, false, false);
    };
    for (const TPlotMark& edge : data_.RowEdges) {
        vertical(edge, Qt::DashLine, QColor(0x55, 0x55, 0x55));
        AddLabel(edge.Label, TLabel::TPlace::AtMark, QPointF(edge.X, 0), false);
    }
    for (const TPlotMark& point : data_.Points) {
        vertical(point, Qt::DotLine, QColor(0x27, 0x8e, 0x4a));
        AddLabel(point.Label, TLabel::TPlace::AtMark, QPointF(point.X, 0), false);
    }
}

void TProfileChart::AddMaxima() {
    for (const TPlotAnnotation& maximum : data_.Maxima) {
        auto* dot = new QScatterSeries;
        dot->setMarkerSize(8);
        dot->setColor(Qt::white);
        dot->setBorderColor(Qt::black);
        dot->append(maximum.X, maximum.Y);
        AddSeries(dot, maximum.RightAxis, false);
        AddLabel(maximum.Text, TLabel::TPlace::BesidePoint, QPointF(maximum.X, maximum.Y),
                 maximum.RightAxis);
    }
}

void TProfileChart::AddError() {
    legend()->hide();
    auto* item = new QGraphicsSimpleTextItem(ToQString(data_.Error), this);
    item->setBrush(QColor(0xa0, 0x10, 0x10));
    labels_.push_back({item, TLabel::TPlace::AtMark, QPointF(), false});
}

void TProfileChart::AddLabel(const std::string& text, TLabel::TPlace place, QPointF value,
                             bool rightAxis) {
    auto* item = new QGraphicsSimpleTextItem(ToQString(text), this);
    item->setZValue(10);
    labels_.push_back({item, place, value, rightAxis});
}

double TProfileChart::LateralAt(const QPointF& chartPoint) {
    return mapToValue(chartPoint, leftAnchor_).x();
}

void TProfileChart::ResetZoom() {
    zoomReset();
    resetting_ = true;
    for (QValueAxis* axis : {xAxis_, leftAxis_, rightAxis_})
        if (axis != nullptr) axis->setTickType(QValueAxis::TicksFixed);
    SetLateralRange(*xAxis_, data_.XMin, data_.XMax);
    SetValueRange(*leftAxis_, data_.LeftMin, data_.LeftMax);
    if (rightAxis_ != nullptr) SetValueRange(*rightAxis_, data_.RightMin, data_.RightMax);
    resetting_ = false;
    zoomed_ = false;
}

TChartRanges TProfileChart::Ranges() const {
    TChartRanges ranges;
    ranges.XLow = xAxis_->min();
    ranges.XHigh = xAxis_->max();
    ranges.LeftLow = leftAxis_->min();
    ranges.LeftHigh = leftAxis_->max();
    if (rightAxis_ != nullptr) {
        ranges.RightLow = rightAxis_->min();
        ranges.RightHigh = rightAxis_->max();
    }
    return ranges;
}

void TProfileChart::ShowRanges(const TChartRanges& ranges) {
    xAxis_->setRange(ranges.XLow, ranges.XHigh);
    leftAxis_->setRange(ranges.LeftLow, ranges.LeftHigh);
    if (rightAxis_ != nullptr && ranges.RightHigh > ranges.RightLow)
        rightAxis_->setRange(ranges.RightLow, ranges.RightHigh);
    zoomed_ = true;
}

void TProfileChart::PlaceLabels() {
    if (placing_) return;
    placing_ = true;
    const QRectF area = plotArea();
    // Where each label's point is on the chart now; labels whose point lies
    // outside the plot (zoomed or panned away) are hidden.
    std::vector<std::pair<TLabel*, QPointF>> marks, maxima;
    for (TLabel& label : labels_) {
        const QRectF box = label.Item->boundingRect();
        if (!data_.Error.empty()) { // the reason, in the middle of the plot
            label.Item->setPos(area.center() - box.center());
            continue;
        }
        QAbstractSeries* anchor = label.RightAxis && rightAnchor_ ? rightAnchor_ : leftAnchor_;
        const QPointF at = mapToPosition(label.Value, anchor);
        const bool beside = label.Place == TLabel::TPlace::BesidePoint;
        const bool inside =
            area.width() > 0 && at.x() >= area.left() - 0.5 && at.x() <= area.right() + 0.5 &&
            (!beside || (at.y() >= area.top() - 0.5 && at.y() <= area.bottom() + 0.5));
        label.Item->setVisible(inside);
        if (inside) (beside ? maxima : marks).emplace_back(&label, at);
    }
    std::vector<QRectF> taken;
    const auto free = [&taken](const QRectF& rect) {
        return std::none_of(taken.begin(), taken.end(),
                            [&rect](const QRectF& other) { return other.intersects(rect); });
    };
    // The marks' names along the top, left to right, each beside its line
    // (left of it where the plot ends on the right); a name that would cover
    // another goes a row lower.
    std::sort(marks.begin(), marks.end(),
              [](const auto& a, const auto& b) { return a.second.x() < b.second.x(); });
    for (const auto& [label, at] : marks) {
        const QSizeF size = label->Item->boundingRect().size();
        double left = at.x() + 3;
        if (left + size.width() > area.right() - 2) left = at.x() - 3 - size.width();
        left = std::max(left, area.left() + 2);
        QRectF rect(QPointF(left, area.top() + 2), size);
        for (int row = 0; row < kLabelRows - 1 && !free(rect); ++row)
            rect.translate(0, size.height());
        taken.push_back(rect);
        label->Item->setPos(rect.topLeft());
    }
    // The maxima above and right of their points, inside the plot, moved down
    // off any label placed before them.
    for (const auto& [label, at] : maxima) {
        const QSizeF size = label->Item->boundingRect().size();
        QPointF pos(at.x() + 6, at.y() - size.height() - 4);
        pos.setX(std::clamp(pos.x(), area.left() + 2, area.right() - size.width() - 2));
        pos.setY(std::max(pos.y(), area.top() + 2));
        QRectF rect(pos, size);
        for (int tries = 0; tries < 2 * kLabelRows && !free(rect); ++tries)
            rect.moveTop(rect.top() + size.height() + 2);
        taken.push_back(rect);
        label->Item->setPos(rect.topLeft());
    }
    placing_ = false;
}

} // namespace corvalt
