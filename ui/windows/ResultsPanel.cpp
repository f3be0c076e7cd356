#include "ui/windows/ResultsPanel.h"

#include "model/Project.h"
#include "model/Units.h"
#include "plots/CrossSectionDrawing.h"
#include "plots/PlotPicture.h"
#include "plots/ProfileChart.h"
#include "reports/ProfileCsv.h"
#include "ui/app/Prompts.h"
#include "ui/app/TextConvert.h"
#include "ui/dialogs/PictureLayoutDialog.h"
#include "ui/widgets/CrossSectionView.h"
#include "ui/widgets/FindingsTree.h"
#include "ui/widgets/MaximaTable.h"
#include "ui/widgets/PlotView.h"
#include "ui/widgets/SectionMapView.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace corvalt::ui {
namespace {

constexpr int kFieldTab = 0;
constexpr int kCoronaTab = 1;
constexpr int kDrawingTab = 2;
constexpr int kTabsPage = 0;
constexpr int kErrorPage = 1;

std::string FileName(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

TResultsPanel::TResultsPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ResultsPanel"));
    CreateControls();
    connect(&worker_, &TBackgroundTaskBase::Finished, this, &TResultsPanel::WorkerFinished);
}

// worker_ cancels a worker still running and waits for its next look at the
// stop token; its result is dropped.
TResultsPanel::~TResultsPanel() = default;

void TResultsPanel::CreateControls() {
    overlayLabel_ = new QLabel(QStringLiteral("Overlay:"));
    overlayRow_ = new QHBoxLayout;
    overlayRow_->setContentsMargins(0, 0, 0, 0);
    overlayRow_->addWidget(overlayLabel_);
    overlayRow_->addStretch(1);
    // The profile further out than the reports compute it, to see the fields
    // fall off (this panel's copy only).
    seBeyondRow_ = new QSpinBox;
    seBeyondRow_->setObjectName(QStringLiteral("seBeyondRow"));
    seBeyondRow_->setSpecialValueText(QStringLiteral("as computed"));
    seBeyondRow_->setToolTip(
        QStringLiteral("How far beyond each ROW edge the plots reach (the reports keep the "
                       "computed profile)"));
    seBeyondRow_->setKeyboardTracking(false);
    auto* lbBeyondRow = new QLabel(QStringLiteral("Show &to"));
    lbBeyondRow->setBuddy(seBeyondRow_);
    overlayRow_->addWidget(lbBeyondRow);
    overlayRow_->addWidget(seBeyondRow_);
    overlayRow_->addWidget(new QLabel(QStringLiteral("beyond the ROW")));
    SetBeyondRowUnits(English);
    connect(seBeyondRow_, &QSpinBox::valueChanged, this, &TResultsPanel::Request);

    fieldView_ = new TPlotView;
    fieldView_->setObjectName(QStringLiteral("pvFields"));
    coronaView_ = new TPlotView;
    coronaView_->setObjectName(QStringLiteral("pvCorona"));
    tabs_ = new QTabWidget;
    tabs_->setObjectName(QStringLiteral("tcResults"));
    tabs_->addTab(CreateFieldsPage(), QStringLiteral("Fields"));
    tabs_->addTab(CreateCoronaPage(), QStringLiteral("Corona"));
    drawing_ = new TCrossSectionView;
    drawing_->setObjectName(QStringLiteral("pbCrossSection"));
    tabs_->addTab(drawing_, QStringLiteral("Cross Section"));
    maxima_ = new TMaximaTable;
    maxima_->setObjectName(QStringLiteral("sgMaxima"));
    // Beside the grids the place gives way (shortened in the middle), so that
    // the value, its limit and the verdict stay in sight.
    constexpr int kPlaceColumn = 1;
    maxima_->horizontalHeader()->setSectionResizeMode(kPlaceColumn, QHeaderView::Stretch);
    maxima_->horizontalHeader()->setStretchLastSection(false);
    maxima_->setTextElideMode(Qt::ElideMiddle);
    maxima_->setWordWrap(false);
    tabs_->addTab(maxima_, QStringLiteral("Maxima"));
    sectionMap_ = new TSectionMapView;
    sectionMap_->setObjectName(QStringLiteral("pgSectionMap"));
    tabs_->addTab(sectionMap_, QStringLiteral("Map"));
    connect(tabs_, &QTabWidget::currentChanged, this, &TResultsPanel::UpdateButtons);

    error_ = new QLabel;
    error_->setObjectName(QStringLiteral("lbCalcError"));
    error_->setWordWrap(true);
    error_->setAlignment(Qt::AlignCenter);
    error_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    findings_ = new TFindingsTree;
    findings_->setObjectName(QStringLiteral("tvFindings"));
    connect(findings_, &TFindingsTree::ConductorChosen, this, &TResultsPanel::FindingChosen);
    errorDrawing_ = new TCrossSectionView;
    errorDrawing_->setObjectName(QStringLiteral("pbErrorCrossSection"));
    for (TCrossSectionView* view : {drawing_, errorDrawing_})
        connect(view, &TCrossSectionView::ConductorClicked, this, [this](const TConductor* conductor) {
            if (const TScenario* scenario = ShownScenario())
                emit ConductorClicked(ConductorRefOf(*scenario, conductor));
        });
    auto* errorPage = new QWidget;
    auto* errorLayout = new QVBoxLayout(errorPage);
    errorLayout->setContentsMargins(0, 0, 0, 0);
    errorLayout->addWidget(error_);
    // The findings no taller than they are; the drawing takes the rest.
    findings_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    errorLayout->addWidget(findings_);
    errorLayout->addWidget(errorDrawing_, 1);
    stack_ = new QStackedWidget;
    stack_->addWidget(tabs_);
    stack_->addWidget(errorPage);

    readout_ = new QLabel;
    readout_->setObjectName(QStringLiteral("lbReadout"));
    readout_->setWordWrap(true);
    readout_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("lbStatus"));
    btResetZoom_ = new QPushButton(QStringLiteral("Reset &Zoom"));
    btExportCsv_ = new QPushButton(QStringLiteral("Export &CSV..."));
    btExportPicture_ = new QPushButton(QStringLiteral("Export &Picture..."));
    btExportCsv_->setObjectName(QStringLiteral("btExportCsv"));
    btExportPicture_->setObjectName(QStringLiteral("btExportPicture"));
    btCopy_ = new QPushButton(QStringLiteral("Cop&y"));
    btCopy_->setObjectName(QStringLiteral("btCopy"));
    btCopy_->setToolTip(QStringLiteral("Copy the plot or drawing as a picture (Ctrl+C)"));
    connect(btCopy_, &QPushButton::clicked, this, &TResultsPanel::CopyPicture);
    for (QWidget* view : std::initializer_list<QWidget*>{fieldView_, coronaView_, drawing_}) {
        auto* copy = new QShortcut(QKeySequence::Copy, view);
        copy->setContext(Qt::WidgetWithChildrenShortcut);
        connect(copy, &QShortcut::activated, this, &TResultsPanel::CopyPicture);
    }
    btResetZoom_->setObjectName(QStringLiteral("btResetZoom"));
    connect(btResetZoom_, &QPushButton::clicked, this, [this] {
        fieldView_->ResetZoom();
        coronaView_->ResetZoom();
    });
    connect(btExportCsv_, &QPushButton::clicked, this, &TResultsPanel::btExportCsvClick);
    connect(btExportPicture_, &QPushButton::clicked, this, &TResultsPanel::btExportPictureClick);
    for (TPlotView* view : {fieldView_, coronaView_}) {
        connect(view, &TPlotView::CursorMoved, this, &TResultsPanel::ShowReadout);
        connect(view, &TPlotView::CursorLeft, this, [this] { readout_->clear(); });
    }

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(status_, 1);
    buttons->addWidget(btResetZoom_);
    buttons->addWidget(btExportCsv_);
    buttons->addWidget(btExportPicture_);
    buttons->addWidget(btCopy_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 0, 0);
    layout->addLayout(overlayRow_);
    layout->addWidget(stack_, 1);
    layout->addWidget(readout_);
    layout->addLayout(buttons);
    // The read-out keeps its two lines whether or not the mouse is over a plot.
    readout_->setMinimumHeight(2 * readout_->fontMetrics().lineSpacing() + 4);
}

QWidget* TResultsPanel::CreateFieldsPage() {
    auto* page = new QWidget;
    cbFieldMeasure_ = new QComboBox;
    cbFieldMeasure_->setObjectName(QStringLiteral("cbFieldMeasure"));
    cbFieldMeasure_->addItem(QStringLiteral("Ellipse axis (as the limits and reports)"));
    cbFieldMeasure_->addItem(QStringLiteral("Resultant (as published tables)"));
    cbFieldMeasure_->setToolTip(
        QStringLiteral("The semi-major axis of the field ellipse, or the resultant of the "
                       "horizontal and vertical components"));
    connect(cbFieldMeasure_, &QComboBox::currentIndexChanged, this,
            &TResultsPanel::PlotOptionsChanged);
    auto* label = new QLabel(QStringLiteral("&Draw"));
    label->setBuddy(cbFieldMeasure_);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(label);
    row->addWidget(cbFieldMeasure_);
    row->addStretch(1);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->addLayout(row);
    layout->addWidget(fieldView_, 1);
    return page;
}

TFieldMeasure TResultsPanel::FieldMeasure() const {
    return cbFieldMeasure_->currentIndex() == 1 ? TFieldMeasure::Resultant : TFieldMeasure::Axis;
}

QWidget* TResultsPanel::CreateCoronaPage() {
    auto* page = new QWidget;
    auto* boxes = new QHBoxLayout;
    boxes->setContentsMargins(0, 0, 0, 0);
    for (const TPlotQuantity quantity : KindQuantities(TPlotKind::Corona)) {
        auto* box = new QCheckBox(QString::fromLatin1(ProfileQuantityInfo(quantity).Short));
        box->setToolTip(QString::fromLatin1(ProfileQuantityInfo(quantity).Name));
        // Ozone, in thousandths of a ppb on its own axis, is there when asked for.
        box->setChecked(quantity != TPlotQuantity::Ozone);
        connect(box, &QCheckBox::toggled, this, &TResultsPanel::PlotOptionsChanged);
        coronaBoxes_[static_cast<std::size_t>(quantity)] = box;
        boxes->addWidget(box);
    }
    boxes->addStretch(1);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->addLayout(boxes);
    layout->addWidget(coronaView_, 1);
    return page;
}

QCheckBox* TResultsPanel::OverlayBox(int index) const {
    if (index < 0 || index >= static_cast<int>(overlayBoxes_.size())) return nullptr;
    return overlayBoxes_[static_cast<std::size_t>(index)];
}

QCheckBox* TResultsPanel::CoronaBox(TPlotQuantity quantity) const {
    return coronaBoxes_[static_cast<std::size_t>(quantity)];
}

const TScenario* TResultsPanel::ShownScenario() const {
    return shown_ != nullptr ? shown_->Scenario() : nullptr;
}

const TPlotData& TResultsPanel::CurrentPlot() const {
    return tabs_->currentIndex() == kCoronaTab ? coronaPlot_ : fieldPlot_;
}

bool TResultsPanel::HasFieldValues() const {
    const TScenario* scenario = ShownScenario();
    return scenario != nullptr && shown_->Findings.empty() && scenario->CalcError.empty() &&
           !scenario->Results.empty();
}

bool TResultsPanel::IsComputing() const {
    return worker_.Running() || pending_.has_value();
}

// ---- Requests ------------------------------------------------------------------

void TResultsPanel::ShowResults(const TEmfProject& project,
                                std::shared_ptr<const TProjectSnapshot> snapshot, int section) {
    snapshot_ = std::move(snapshot);
    section_ = section;
    RebuildOverlayBoxes(project, section);
    SetBeyondRowUnits(project.Units);
    sectionSizes_.clear();
    for (const TScenario& scenario : project.Scenarios)
        sectionSizes_.push_back(SectionSize(scenario));
    Request();
}

void TResultsPanel::SetBeyondRowUnits(int units) {
    // Up to 1000 ft or 300 m; the value stays when the unit does.
    const bool english = units == English;
    const QString suffix = QStringLiteral(" ") + QString::fromLatin1(LengthUnit(units));
    if (seBeyondRow_->suffix() == suffix) return;
    const QSignalBlocker quiet(seBeyondRow_);
    seBeyondRow_->setSuffix(suffix);
    seBeyondRow_->setRange(0, english ? 1000 : 300);
    seBeyondRow_->setSingleStep(english ? 50 : 10);
    seBeyondRow_->setValue(0);
}

void TResultsPanel::RebuildOverlayBoxes(const TEmfProject& project, int section) {
    // The boxes keep their ticks while the cross sections keep their names.
    std::vector<QString> checked;
    for (QCheckBox* box : overlayBoxes_) {
        if (box != nullptr && box->isChecked()) checked.push_back(box->text());
        delete box;
    }
    overlayBoxes_.clear();
    int index = 0;
    for (const TScenario& scenario : project.Scenarios) {
        QCheckBox* box = nullptr;
        if (index != section) {
            box = new QCheckBox(ToQString(scenario.TabTitle));
            box->setToolTip(QStringLiteral("Draw this cross section on the plots too"));
            box->setChecked(std::find(checked.begin(), checked.end(), box->text()) !=
                            checked.end());
            connect(box, &QCheckBox::toggled, this, &TResultsPanel::Request);
            overlayRow_->insertWidget(overlayRow_->count() - 1, box);
        }
        overlayBoxes_.push_back(box);
        ++index;
    }
    overlayLabel_->setVisible(project.Scenarios.Count() > 1);
}

std::vector<int> TResultsPanel::CheckedOverlays() const {
    std::vector<int> overlays;
    for (std::size_t i = 0; i < overlayBoxes_.size(); ++i)
        if (overlayBoxes_[i] != nullptr && overlayBoxes_[i]->isChecked())
            overlays.push_back(static_cast<int>(i));
    return overlays;
}

void TResultsPanel::Request() {
    if (snapshot_ == nullptr) return;
    TResultsRequest request{snapshot_,
                            section_,
                            CheckedOverlays(),
                            ++generation_,
                            static_cast<double>(seBeyondRow_->value()),
                            TResultsRequest::TPlots{FieldOptions(), CoronaOptions(), plotVersion_}};
    // The cost of computing and plotting, guessed from the sizes alone, so
    // that the same cross section always takes the same way, however busy
    // the machine.
    double predicted = 0;
    std::vector<int> sections = request.Overlays;
    sections.push_back(request.Section);
    for (const int index : sections)
        if (index >= 0 && index < static_cast<int>(sectionSizes_.size()))
            predicted += EstimatedMilliseconds(sectionSizes_[static_cast<std::size_t>(index)],
                                               request.BeyondRowShown);
    // A worker's computation, if one runs, is older now: stopped, and dropped.
    worker_.Cancel();
    if (predicted < synchronousLimit_) {
        pending_.reset();
        TComputedResults results = ComputeResults(request);
        Show(std::make_unique<TComputedResults>(std::move(results)));
        return;
    }
    if (worker_.Running()) {
        pending_ = std::move(request); // started when the running one has stopped
        SetComputing(true);
        return;
    }
    StartWorker(std::move(request));
}

void TResultsPanel::StartWorker(TResultsRequest request) {
    SetComputing(true);
    worker_.Start([request = std::move(request)](const TTaskControl& control) {
        return ComputeResults(request, control.Stop);
    });
}

void TResultsPanel::WorkerFinished() {
    std::optional<TComputedResults> results = worker_.TakeResult();
    if (pending_) {
        TResultsRequest next = std::move(*pending_);
        pending_.reset();
        StartWorker(std::move(next));
        return; // these results are older than the request now running
    }
    if (!results && !worker_.CancelRequested()) {
        // The newest request's computation threw (out of memory): its cross
        // section shows as one that could not be computed.
        results.emplace();
        results->Generation = generation_;
        results->Section = section_;
    }
    // Cancelled, or older than results shown already.
    if (!results || results->Cancelled || results->Generation != generation_) {
        SetComputing(false);
        return;
    }
    Show(std::make_unique<TComputedResults>(std::move(*results)));
}

void TResultsPanel::Show(std::unique_ptr<TComputedResults> results) {
    // They draw the copy about to be freed.
    drawing_->SetScenario(nullptr);
    errorDrawing_->SetScenario(nullptr);
    sectionMap_->SetScenario(nullptr, limits_);
    shown_ = std::move(results);
    SetComputing(shown_->Generation != generation_);
    RebuildPlots();
    emit ResultsShown();
}

void TResultsPanel::SetComputing(bool computing) {
    stack_->setEnabled(!computing);
    status_->setText(computing ? QStringLiteral("Computing...") : QString());
    UpdateButtons();
}

void TResultsPanel::UpdateButtons() {
    // Exports need results; zoom and pictures a plot in front.
    const bool results =
        stack_->isEnabled() && HasFieldValues() && stack_->currentIndex() == kTabsPage;
    const bool plot = tabs_->currentIndex() == kFieldTab || tabs_->currentIndex() == kCoronaTab;
    const bool picture = results && CurrentPicture().has_value();
    btExportCsv_->setEnabled(results);
    btExportPicture_->setEnabled(picture);
    btCopy_->setEnabled(picture);
    btResetZoom_->setEnabled(results && plot);
}

// ---- Plots ---------------------------------------------------------------------

void TResultsPanel::SetFieldLimits(const TFieldLimits& limits) {
    limits_ = limits;
    ++plotVersion_;
}

void TResultsPanel::PlotOptionsChanged() {
    ++plotVersion_;
    RebuildPlots();
}

TPlotOptions TResultsPanel::FieldOptions() const {
    TPlotOptions fields;
    fields.Kind = TPlotKind::Fields;
    fields.Limits = limits_;
    fields.FieldMeasure = FieldMeasure();
    return fields;
}

TPlotOptions TResultsPanel::CoronaOptions() const {
    TPlotOptions corona;
    corona.Kind = TPlotKind::Corona;
    for (const TPlotQuantity quantity : KindQuantities(TPlotKind::Corona))
        corona.Shown[static_cast<std::size_t>(quantity)] = CoronaBox(quantity)->isChecked();
    return corona;
}

void TResultsPanel::SetHighlightedConductor(TConductorRef conductor) {
    highlighted_ = conductor;
    if (const TScenario* scenario = ShownScenario()) {
        const TConductor* marked = ConductorAt(*scenario, highlighted_);
        drawing_->SetHighlightedConductor(marked);
        errorDrawing_->SetHighlightedConductor(marked);
    }
}

void TResultsPanel::RebuildPlots() {
    const TScenario* scenario = ShownScenario();
    // The drawing and the maxima show the computed copy; conductors are named
    // to and from the window by their place (TConductorRef).
    const TScenario* drawn =
        scenario == nullptr ? nullptr : &shown_->Project->Scenarios[shown_->Section];
    drawing_->SetScenario(drawn);
    errorDrawing_->SetScenario(drawn);
    SetHighlightedConductor(highlighted_);
    if (scenario == nullptr) {
        ShowRefusal(QStringLiteral("The cross section could not be computed."), {});
        return;
    }
    if (!shown_->Findings.empty()) {
        ShowRefusal(QStringLiteral("No field values: the data check finds these errors in the "
                                   "cross section (double-click a conductor's to select it)."),
                    shown_->Findings);
        return;
    }
    maxima_->ShowScenario(*scenario, limits_);
    sectionMap_->SetScenario(scenario, limits_);
    // The plots built with the computation, unless an option changed since.
    if (shown_->Plots && shown_->Plots->Version == plotVersion_) {
        fieldPlot_ = std::move(shown_->Plots->Fields);
        coronaPlot_ = std::move(shown_->Plots->Corona);
    } else {
        const std::vector<const TScenario*> overlays = shown_->OverlayScenarios();
        fieldPlot_ = BuildPlotData(*scenario, overlays, FieldOptions());
        coronaPlot_ = BuildPlotData(*scenario, overlays, CoronaOptions());
    }
    shown_->Plots.reset();
    if (!fieldPlot_.Error.empty()) {
        ShowRefusal(ToQString(fieldPlot_.Error), {}); // names the cross section and the fault
        return;
    }
    stack_->setCurrentIndex(kTabsPage);
    UpdateButtons();
    // The same cross section again (an edit, an undo, a toggle) keeps the
    // zoom; another one shows its whole profile.
    const bool sameSection =
        plottedSection_ == shown_->Section && plottedTitle_ == scenario->TabTitle;
    plottedSection_ = shown_->Section;
    plottedTitle_ = scenario->TabTitle;
    fieldView_->ShowPlot(fieldPlot_, sameSection);
    coronaView_->ShowPlot(coronaPlot_, sameSection);
    QString notes;
    for (const std::string& note : fieldPlot_.OverlayErrors)
        notes += QStringLiteral("Not overlaid: ") + ToQString(note) + QLatin1Char('\n');
    for (const int index : shown_->RefusedOverlays)
        notes += QStringLiteral("Not overlaid: ") +
                 ToQString(shown_->Project->Scenarios[index].TabTitle) +
                 QStringLiteral(": the data check finds errors in it\n");
    readout_->setText(notes.trimmed());
}

void TResultsPanel::ShowRefusal(const QString& why, const std::vector<TCheckLine>& findings) {
    error_->setText(why);
    fieldPlot_ = {};
    coronaPlot_ = {};
    findings_->ShowFindings(findings);
    findings_->setVisible(!findings.empty());
    findings_->updateGeometry(); // as tall as the new findings
    maxima_->Clear();
    sectionMap_->SetScenario(nullptr, limits_);
    stack_->setCurrentIndex(kErrorPage);
    UpdateButtons();
    readout_->clear();
}

void TResultsPanel::FindingChosen(TCheckPlace place) {
    if (shown_ == nullptr || place.Scenario != shown_->Section) return;
    const TConductorRef conductor{place.Circuit, place.Conductor};
    SetHighlightedConductor(conductor);
    emit ConductorClicked(conductor);
}

QString TResultsPanel::ReadoutAt(double x) const {
    if (!HasFieldValues()) return {};
    const TScenario* scenario = ShownScenario();
    const int units = scenario->IsEnglish() ? English : Metric;
    return ToQString(ReadoutText(scenario->Results, x, LengthUnit(units)));
}

void TResultsPanel::ShowReadout(double lateral) {
    // The line breaks between quantities, never inside one ("TVI 16.2 dBuV/m").
    QStringList items = ReadoutAt(lateral).split(QStringLiteral("   "));
    for (QString& item : items) {
        item.replace(QLatin1Char(' '), QChar(QChar::Nbsp));
        // A slash may end a line too ("kV/" and "m"): joined to what follows.
        item.replace(QStringLiteral("/"), QStringLiteral("/\u2060"));
    }
    readout_->setText(items.join(QStringLiteral("   ")));
}

// ---- Export --------------------------------------------------------------------

QString TResultsPanel::ExportCsvTo(const QString& path) const {
    const TScenario* scenario = ShownScenario();
    if (!HasFieldValues()) return QStringLiteral("There are no results to export.");
    const TFileResult written = ExportProfileCsv(*scenario, FileName(path));
    if (written.Ok) return {};
    return ToQString(written.Message) + QLatin1Char('\n') + ToQString(written.Detail);
}

std::optional<TPicturePaint> TResultsPanel::CurrentPicture() const {
    if (!HasFieldValues()) return std::nullopt;
    if (tabs_->currentIndex() == kDrawingTab) {
        const TScenario* drawn = drawing_->Scenario();
        if (drawn == nullptr) return std::nullopt;
        return [drawn](QPainter& painter, const QRectF& target) {
            TCrossSectionRenderer(*drawn).Paint(painter, target);
        };
    }
    const bool plotTab = tabs_->currentIndex() == kFieldTab || tabs_->currentIndex() == kCoronaTab;
    if (!plotTab || !CurrentPlot().Error.empty()) return std::nullopt;
    const TPlotData* plot = &CurrentPlot();
    return [plot](QPainter& painter, const QRectF& target) {
        PaintPlot(*plot, painter, target, target.size().toSize());
    };
}

QString TResultsPanel::ExportPictureTo(const QString& path, TPictureLayout layout) const {
    const std::string name = FileName(path);
    const std::optional<TPictureFormat> format = PictureFormatOf(name);
    if (!format) return QStringLiteral("The picture's name must end in .png, .svg or .pdf.");
    const std::optional<TPicturePaint> paint = CurrentPicture();
    if (!paint) return QStringLiteral("There is no plot to export.");
    layout.Title = TitleBlockOf(*ShownScenario());
    QString error;
    const QByteArray bytes = LaidOutPictureBytes(*paint, *format, layout, error);
    return WritePictureFile(name, bytes, error);
}

bool TResultsPanel::CopyPicture() const {
    const std::optional<TPicturePaint> paint = CurrentPicture();
    if (!paint) return false;
    QGuiApplication::clipboard()->setImage(PaintedImage(*paint, kPictureSize));
    return true;
}

QString TResultsPanel::ExportProposal(TFileKind kind, const QString& extension) const {
    const TScenario* scenario = ShownScenario();
    if (scenario == nullptr || options_ == nullptr) return {};
    return ProposedFile(*options_, kind, ExportTitle(*scenario), QStringLiteral("profile"),
                        extension, ProjectFolder(*scenario->Project));
}

void TResultsPanel::RememberExportFolder(TFileKind kind, const QString& path) {
    if (options_ != nullptr) RememberFolder(*options_, kind, path);
}

void TResultsPanel::btExportCsvClick() {
    QString path = QFileDialog::getSaveFileName(this, QString::fromLatin1(kProfileCsvDialogTitle),
                                                ExportProposal(TFileKind::Csv, ".csv"),
                                                QStringLiteral("CSV files (*.csv)"));
    if (path.isEmpty()) return;
    RememberExportFolder(TFileKind::Csv, path);
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".csv");
    if (const QString error = ExportCsvTo(path); !error.isEmpty()) ShowError(this, error);
}

void TResultsPanel::btExportPictureClick() {
    const auto choice = TPictureLayoutDialog::AskFile(this, QStringLiteral("Export Plot as Picture"),
                                                      ExportProposal(TFileKind::Picture, ".png"));
    if (!choice) return;
    RememberExportFolder(TFileKind::Picture, choice->Path);
    if (const QString error = ExportPictureTo(choice->Path, choice->Layout); !error.isEmpty())
        ShowError(this, error);
}

} // namespace corvalt::ui
