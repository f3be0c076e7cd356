#include "ui/widgets/SectionMapView.h"

#include "compute/Profile.h"
#include "limits/FieldLimits.h"
#include "model/Project.h"
#include "model/Scenario.h"
#include "model/Units.h"
#include "plots/ModelText.h"
#include "plots/SectionMapDrawing.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPainter>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace corvalt::ui {

namespace {

// The map's grid points in all: fewer for many conductors, so that a map
// takes about the time of a 24,000-point map of 80 conductors.
constexpr int kMapPoints = 24000;
constexpr double kMapConductorPoints = 24000.0 * 80;
constexpr int kMinMapPoints = 2000;
constexpr int kProfileHeights = 240;
// Without a profile the map reaches this far beyond the ROW, m.
constexpr float kMarginM = 15;

int MapPointsFor(std::size_t conductors) {
    const double points = kMapConductorPoints / std::max<double>(double(conductors), 1.0);
    return static_cast<int>(std::clamp(points, double(kMinMapPoints), double(kMapPoints)));
}

// The lateral extent of the map: the computed profile's, else the ROW's
// with a margin; metres.
std::pair<float, float> LateralExtentM(const TScenario& scenario) {
    const int units = scenario.Project->Units;
    if (scenario.Results.size() < 2) return {-scenario.RowLeft - kMarginM, scenario.RowRight + kMarginM};
    float left = RecordPositionM(scenario.Results.front(), units), right = left;
    for (const TCalcResult& record : scenario.Results) {
        left = std::min(left, RecordPositionM(record, units));
        right = std::max(right, RecordPositionM(record, units));
    }
    return {left, right};
}

QLineSeries* SeriesOf(const std::vector<float>& values, const std::vector<float>& heights,
                      int units, const QString& name) {
    auto* series = new QLineSeries;
    series->setName(name);
    for (std::size_t j = 0; j < heights.size(); ++j)
        if (std::isfinite(values[j]))
            series->append(values[j], DisplayLength(units, heights[j]));
    return series;
}

} // namespace

// The map's surface: paints it and turns a click into a height profile.
class TSectionMapView::TCanvas : public QWidget {
  public:
    explicit TCanvas(TSectionMapView& owner) : owner_(owner) {
        setMinimumSize(240, 160);
        setCursor(Qt::CrossCursor);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        owner_.Paint(painter, QRectF(rect()));
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) owner_.Clicked(event->position());
    }

  private:
    TSectionMapView& owner_;
};

TSectionMapView::TSectionMapView(QWidget* parent) : QWidget(parent) {
    cbQuantity_ = new QComboBox;
    cbQuantity_->setObjectName(QStringLiteral("cbMapQuantity"));
    cbQuantity_->addItems({QStringLiteral("Electric field"), QStringLiteral("Magnetic field")});
    cbLogScale_ = new QCheckBox(QStringLiteral("&Logarithmic scale"));
    cbLogScale_->setObjectName(QStringLiteral("cbMapLogScale"));
    cbLogScale_->setChecked(true);
    canvas_ = new TCanvas(*this);
    canvas_->setObjectName(QStringLiteral("pbSectionMap"));
    hint_ = new QLabel(QStringLiteral("Click the map for E and B against height at that distance."));
    hint_->setWordWrap(true);
    heightChart_ = new QChartView;
    heightChart_->setObjectName(QStringLiteral("pvHeightProfile"));
    heightChart_->setRenderHint(QPainter::Antialiasing);
    heightChart_->setMinimumHeight(260); // room for two value axes' labels
    heightChart_->hide();

    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel(QStringLiteral("Show")));
    controls->addWidget(cbQuantity_);
    controls->addWidget(cbLogScale_);
    controls->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(controls);
    layout->addWidget(canvas_, 3);
    layout->addWidget(hint_);
    layout->addWidget(heightChart_, 2);
    connect(cbQuantity_, &QComboBox::currentIndexChanged, canvas_, qOverload<>(&QWidget::update));
    connect(cbLogScale_, &QCheckBox::toggled, canvas_, qOverload<>(&QWidget::update));
}

TSectionMapView::~TSectionMapView() = default;

void TSectionMapView::SetScenario(const TScenario* scenario, const TFieldLimits& limits) {
    scenario_ = scenario;
    limits_ = limits;
    stale_ = true;
    system_.clear();
    map_ = {};
    if (isVisible()) Recompute();
    canvas_->update();
}

void TSectionMapView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (stale_) Recompute();
}

const TSectionMap& TSectionMapView::Map() {
    if (stale_) Recompute();
    return map_;
}

QString TSectionMapView::Error() {
    if (stale_) Recompute();
    return error_;
}

void TSectionMapView::Recompute() {
    stale_ = false;
    error_.clear();
    system_.clear();
    map_ = {};
    profile_ = {};
    if (scenario_ == nullptr) return;
    std::variant<std::vector<TSystemConductor>, TCalcFailure> solved =
        SolveSectionSystem(*scenario_);
    if (const TCalcFailure* failure = std::get_if<TCalcFailure>(&solved)) {
        error_ = ToQString(CalcErrorMessage(scenario_->TabTitle, *failure));
        return;
    }
    system_ = std::get<std::vector<TSystemConductor>>(std::move(solved));
    const auto [left, right] = LateralExtentM(*scenario_);
    map_ = ComputeSectionMap(system_,
                             SectionGridOf(*scenario_, left, right, MapPointsFor(system_.size())));
    if (probeXM_ && *probeXM_ >= left && *probeXM_ <= right)
        ProbeAt(*probeXM_);
    else
        probeXM_.reset();
    ShowHeightProfile();
}

void TSectionMapView::ProbeAt(float xM) {
    if (stale_) Recompute();
    if (system_.empty() || map_.Heights.empty()) return;
    probeXM_ = xM;
    TSectionGrid column;
    column.LeftM = column.RightM = xM;
    column.TopM = map_.Heights.back();
    column.Columns = 1;
    column.Rows = kProfileHeights;
    column.ExtraHeightsM = {scenario_->EFieldHeight, scenario_->BFieldHeight};
    profile_ = ComputeSectionMap(system_, column);
    ShowHeightProfile();
    canvas_->update();
}

void TSectionMapView::ShowHeightProfile() {
    if (!probeXM_ || profile_.Heights.empty() || scenario_ == nullptr) {
        heightChart_->hide();
        hint_->show();
        return;
    }
    const int units = scenario_->Project->Units;
    const QString length = QString::fromLatin1(LengthUnit(units));
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("E and B against height at %1 %2")
                        .arg(QString::number(DisplayLength(units, *probeXM_), 'f', 1), length));
    QLineSeries* e = SeriesOf(profile_.E, profile_.Heights, units, QStringLiteral("E (kV/m)"));
    QLineSeries* b = SeriesOf(profile_.B, profile_.Heights, units, QStringLiteral("B (mG)"));
    chart->addSeries(e);
    chart->addSeries(b);
    auto* height = new QValueAxis;
    height->setTitleText(QStringLiteral("Height (%1)").arg(length));
    height->setRange(0, DisplayLength(units, profile_.Heights.back()));
    height->applyNiceNumbers();
    chart->addAxis(height, Qt::AlignLeft);
    // Each value axis wears its line's colour, so a legend would only take
    // the room the axis labels need in a short chart.
    chart->legend()->hide();
    chart->setMargins(QMargins(4, 2, 4, 2));
    const auto valueAxis = [&](QLineSeries* series, Qt::Alignment side, const QString& title) {
        auto* axis = new QValueAxis;
        axis->setTitleText(title);
        axis->setLabelsColor(series->color());
        axis->setTitleBrush(series->color());
        chart->addAxis(axis, side);
        series->attachAxis(axis);
        series->attachAxis(height);
        axis->applyNiceNumbers();
    };
    valueAxis(e, Qt::AlignBottom, QStringLiteral("E (kV/m)"));
    valueAxis(b, Qt::AlignTop, QStringLiteral("B (mG)"));
    QChart* old = heightChart_->chart();
    heightChart_->setChart(chart);
    delete old;
    hint_->hide();
    heightChart_->show();
}

void TSectionMapView::Paint(QPainter& painter, const QRectF& rect) {
    if (stale_) Recompute();
    gridRect_ = {};
    if (scenario_ == nullptr) return;
    if (!error_.isEmpty()) {
        painter.fillRect(rect, Qt::white);
        painter.drawText(rect.adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, error_);
        return;
    }
    TSectionMapOptions options;
    options.Quantity =
        cbQuantity_->currentIndex() == 0 ? TMapQuantity::Electric : TMapQuantity::Magnetic;
    options.LogScale = cbLogScale_->isChecked();
    options.Levels = LimitLevels(limits_.For(LimitClassOf(*scenario_)), options.Quantity);
    options.ProbeXM = probeXM_;
    gridRect_ = DrawSectionMap(painter, rect, *scenario_, map_, options);
}

void TSectionMapView::Clicked(QPointF at) {
    if (gridRect_.isEmpty() || !gridRect_.contains(at) || map_.X.size() < 2) return;
    const double f = (at.x() - gridRect_.left()) / gridRect_.width();
    ProbeAt(static_cast<float>(map_.X.front() + f * (map_.X.back() - map_.X.front())));
}

} // namespace corvalt::ui
