#include "ui/windows/ResultsHost.h"

#include "prefs/Options.h"
#include "ui/windows/ResultsPanel.h"

#include <algorithm>
#include <string>

namespace corvalt::ui {
namespace {

// The narrowest the results panel gets beside the grids.
constexpr int kResultsPanelWidth = 420;
// The largest splitter size kept from the file: no screen is wider, and only
// the ratio of the two sizes counts.
constexpr qint64 kLargestSplitterSize = 100000;

// The splitter's sizes as the preference holds them, "640,560"; empty when
// the text is not two positive whole numbers. Larger sizes are scaled down
// together to kLargestSplitterSize, keeping their ratio.
QList<int> SplitterSizes(const std::string& text) {
    const QStringList parts = QString::fromStdString(text).split(QLatin1Char(','));
    if (parts.size() != 2) return {};
    qint64 sizes[2] = {};
    for (int i = 0; i < 2; ++i) {
        bool ok = false;
        sizes[i] = parts[i].trimmed().toLongLong(&ok);
        if (!ok || sizes[i] <= 0) return {};
    }
    const double scale =
        std::min(1.0, static_cast<double>(kLargestSplitterSize) /
                          static_cast<double>(std::max(sizes[0], sizes[1])));
    QList<int> kept;
    for (const qint64 size : sizes)
        kept.append(std::max(static_cast<int>(static_cast<double>(size) * scale), 1));
    return kept;
}

} // namespace

TResultsHost::TResultsHost(QWidget& grids, TOptions& options, QWidget* parent)
    : QSplitter(Qt::Horizontal, parent), options_(options) {
    setObjectName(QStringLiteral("spResults"));
    addWidget(&grids);
    setChildrenCollapsible(false);
    setStretchFactor(0, 1);
    setStretchFactor(1, 1);
    sizes_ = SplitterSizes(options_.ReadText(prefkeys::ResultsSplitter));
    if (sizes_.isEmpty()) sizes_ = {760, 600};
    wanted_ = options_.ReadBool(prefkeys::ResultsPanel);
    connect(this, &QSplitter::splitterMoved, this, &TResultsHost::SaveSizes);
}

void TResultsHost::SetGridsMeasures(std::function<int()> widthNeeded,
                                    std::function<int()> heightWanted) {
    gridsWidthNeeded_ = std::move(widthNeeded);
    gridsHeightWanted_ = std::move(heightWanted);
}

bool TResultsHost::Shown() const {
    return panel_ != nullptr && !panel_->isHidden();
}

bool TResultsHost::Below() const {
    return Shown() && orientation() == Qt::Vertical;
}

void TResultsHost::SetWanted(bool wanted) {
    wanted_ = wanted;
    Fit();
}

void TResultsHost::resizeEvent(QResizeEvent* event) {
    // The panel's place follows the splitter's own size.
    Fit();
    QSplitter::resizeEvent(event);
}

void TResultsHost::Fit() {
    if (!wanted_) {
        if (panel_ != nullptr) panel_->hide();
        return;
    }
    if (panel_ == nullptr) {
        // Made when first wanted: a window whose user hid the panel has none.
        panel_ = new TResultsPanel;
        panel_->hide();
        panel_->SetOptions(options_);
        addWidget(panel_);
        emit PanelCreated(panel_);
    }
    // Beside the grids when they keep their columns whole there, else below them.
    const int needed = gridsWidthNeeded_() + handleWidth() + kResultsPanelWidth;
    const Qt::Orientation place = width() >= needed ? Qt::Horizontal : Qt::Vertical;
    const bool hidden = panel_->isHidden();
    // Below the grids, the grid keeps fitting its rows until the user moves the splitter.
    const bool refit = place == Qt::Vertical && sizesBelow_.isEmpty();
    if (!hidden && place == orientation()) {
        if (refit) PlaceSizes();
        return;
    }
    setOrientation(place);
    // Below the grids, the grid's rows come first: the panel may get less
    // than its controls need (and show less) in a very low window.
    panel_->setMinimumHeight(place == Qt::Vertical ? 1 : 0);
    panel_->show();
    PlaceSizes();
    if (hidden) emit PanelShown(); // a hidden panel is not kept up to date
}

void TResultsHost::PlaceSizes() {
    const bool beside = orientation() == Qt::Horizontal;
    const int available = (beside ? width() : height()) - handleWidth();
    int grids = 0;
    if (beside) {
        // The sizes kept, with the grid's columns whole.
        const qint64 total = std::max<qint64>(qint64{sizes_.value(0)} + sizes_.value(1), 1);
        grids = std::max(static_cast<int>(qint64{sizes_.value(0)} * available / total),
                         gridsWidthNeeded_());
    } else if (sizesBelow_.size() == 2) {
        // The share the user gave the grids below.
        const int total = std::max(sizesBelow_[0] + sizesBelow_[1], 1);
        grids = sizesBelow_[0] * available / total;
    } else {
        // The grid's rows, within 45 % of the height.
        grids = std::min(gridsHeightWanted_(), available * 45 / 100);
    }
    setSizes({grids, std::max(available - grids, 1)});
}

void TResultsHost::SaveSizes() {
    const QList<int> now = sizes();
    if (now.size() != 2 || now[0] <= 0 || now[1] <= 0) return;
    // Below the grids the share is kept for this window only.
    if (orientation() == Qt::Vertical) {
        sizesBelow_ = now;
        return;
    }
    sizes_ = now;
    // A preferences file that cannot be written only loses the panel's place.
    (void)options_.WriteText(prefkeys::ResultsSplitter,
                             std::to_string(now[0]) + "," + std::to_string(now[1]));
}

} // namespace corvalt::ui
