#include "ui/windows/MapWindow.h"

#include "model/FileIo.h"
#include "model/Units.h"
#include "plots/GridMapPainter.h"
#include "plots/MapPicture.h"
#include "space/MapCsv.h"
#include "ui/app/FileFolders.h"
#include "ui/app/Prompts.h"
#include "ui/app/TextConvert.h"
#include "ui/dialogs/PictureLayoutDialog.h"
#include "ui/widgets/FieldMapView.h"
#include "ui/widgets/FormWidgets.h"
#include "ui/widgets/TaskProgress.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <span>

namespace corvalt::ui {

namespace {

constexpr int kElectric = 0;
constexpr int kTableRows = 6; // footprints shown without scrolling

QString ReadoutHint() {
    return QStringLiteral("Point at the map for E and B at the nearest grid point. Drag to zoom, "
                          "drag with the right button to pan, double-click for the whole map.");
}

std::string FileName(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString PeakText(const std::optional<space::TMapPeak>& peak) {
    return peak ? MapValueText(peak->Value) : QStringLiteral("no value");
}

QString PeakPlace(const std::optional<space::TMapPeak>& peak) {
    if (!peak) return {};
    return QStringLiteral("%1, %2").arg(QString::number(peak->X, 'g', 6),
                                        QString::number(peak->Y, 'g', 6));
}

QTableWidgetItem* Cell(const QString& text, bool number) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (number) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

TMapWindow::TMapWindow(const TPlan& plan, TMapWindowSetup setup, QWidget* parent)
    : QWidget(parent, Qt::Window), setup_(std::move(setup)),
      requested_(std::make_shared<const TPlan>(plan)) {
    setObjectName(QStringLiteral("MapWindow"));
    setWindowTitle(setup_.Title);
    CreateControls();
    connect(&worker_, &TBackgroundTaskBase::Finished, this, &TMapWindow::WorkerFinished);
    resize(1100, 760);
    SetPlan(plan);
}

TMapWindow::~TMapWindow() {
    // Closing takes the focus from the levels field, whose "editing finished"
    // would otherwise reach a window already being taken apart.
    edLevels_->disconnect(this);
}

void TMapWindow::CreateControls() {
    cbQuantity_ = Named(new QComboBox, "cbQuantity");
    cbQuantity_->addItems({QStringLiteral("Electric field (E)"),
                           QStringLiteral("Magnetic field (B)")});
    cbLogScale_ = Named(new QCheckBox(QStringLiteral("&Logarithmic scale")), "cbLogScale");
    lbLevels_ = new QLabel;
    edLevels_ = Named(new QLineEdit, "edLevels");
    edLevels_->setPlaceholderText(QStringLiteral("e.g. 2.5, 7.5"));
    edLevels_->setToolTip(QStringLiteral(
        "Iso-lines drawn besides the field limits: values above 0 separated by commas"));
    lbLevels_->setBuddy(edLevels_);
    levelsError_ = new QLabel;
    levelsError_->setStyleSheet(QStringLiteral("color: #b00000"));
    levelsError_->hide();
    btResetZoom_ = Named(new QPushButton(QStringLiteral("&Reset Zoom")), "btResetZoom");
    btExportPicture_ = Named(new QPushButton(QStringLiteral("Export &Picture...")),
                             "btExportPicture");
    btExportCsv_ = Named(new QPushButton(QStringLiteral("Export &CSV...")), "btExportCsv");
    btCopy_ = Named(new QPushButton(QStringLiteral("Cop&y")), "btCopy");
    btCopy_->setToolTip(QStringLiteral("Copy the map as a picture (Ctrl+C)"));
    for (QPushButton* button : {btResetZoom_, btExportPicture_, btExportCsv_, btCopy_})
        button->setAutoDefault(false);

    problemLabel_ = Named(new QLabel, "lbProblem");
    problemLabel_->setWordWrap(true);
    problemLabel_->setStyleSheet(
        QStringLiteral("QLabel { background: #fff3cd; color: #5c3c00; padding: 4px; }"));
    problemLabel_->hide();
    view_ = Named(new TFieldMapView, "pbFieldMap");
    view_->SetPlaceholder(QStringLiteral("Computing the field map..."));
    footprints_ = Named(new QTableWidget(0, 5), "grFootprints");
    footprints_->verticalHeader()->hide();
    footprints_->setSelectionBehavior(QAbstractItemView::SelectRows);
    footprints_->horizontalHeader()->setStretchLastSection(true);
    readout_ = Named(new QLabel, "lbReadout");
    readout_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    readout_->setText(ReadoutHint());
    status_ = Named(new QLabel, "lbStatus");
    progress_ = new TTaskProgress(worker_);

    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel(QStringLiteral("Show")));
    controls->addWidget(cbQuantity_);
    controls->addWidget(cbLogScale_);
    controls->addSpacing(12);
    controls->addWidget(lbLevels_);
    controls->addWidget(edLevels_, 1);
    controls->addSpacing(12);
    controls->addWidget(btResetZoom_);
    controls->addWidget(btExportPicture_);
    controls->addWidget(btExportCsv_);
    controls->addWidget(btCopy_);
    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(view_);
    splitter->addWidget(footprints_);
    splitter->setStretchFactor(0, 4);
    splitter->setStretchFactor(1, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(status_);
    bottom->addWidget(progress_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(levelsError_);
    layout->addWidget(problemLabel_);
    layout->addWidget(splitter, 1);
    layout->addWidget(readout_);
    layout->addLayout(bottom);

    connect(cbQuantity_, &QComboBox::currentIndexChanged, this, &TMapWindow::QuantityChanged);
    connect(cbLogScale_, &QCheckBox::toggled, this, &TMapWindow::UpdateDrawing);
    connect(edLevels_, &QLineEdit::editingFinished, this, [this] {
        addedLevels_[cbQuantity_->currentIndex()] = edLevels_->text();
        UpdateDrawing();
    });
    connect(btResetZoom_, &QPushButton::clicked, view_, &TFieldMapView::ResetZoom);
    connect(btExportPicture_, &QPushButton::clicked, this, &TMapWindow::btExportPictureClick);
    connect(btExportCsv_, &QPushButton::clicked, this, &TMapWindow::btExportCsvClick);
    connect(btCopy_, &QPushButton::clicked, this, &TMapWindow::CopyPicture);
    auto* copy = new QShortcut(QKeySequence::Copy, view_);
    copy->setContext(Qt::WindowShortcut);
    connect(copy, &QShortcut::activated, this, &TMapWindow::CopyPicture);
    connect(view_, &TFieldMapView::ReadingChanged, this, &TMapWindow::ShowReading);
    connect(view_, &TFieldMapView::ReadingLeft, readout_, [this] { readout_->setText(ReadoutHint()); });
    // The user's Cancel drops a plan waiting behind the running one too.
    connect(&progress_->CancelButton(), &QPushButton::clicked, this, [this] { pending_ = false; });
    QuantityChanged();
}

// ---- Computation -----------------------------------------------------------------

void TMapWindow::SetPlan(const TPlan& plan) {
    requested_ = std::make_shared<const TPlan>(plan);
    ++generation_;
    if (worker_.Running()) {
        // Stopped, and its map dropped: the newest plan starts once it returns.
        worker_.Cancel();
        pending_ = true;
    } else {
        StartWorker();
    }
    status_->setText(QStringLiteral("Computing..."));
}

bool TMapWindow::IsComputing() const { return worker_.Running() || pending_; }

void TMapWindow::StartWorker() {
    pending_ = false;
    worker_.Start([plan = requested_, generation = generation_](const TTaskControl& control) {
        TMapComputation computed;
        computed.Generation = generation;
        computed.Plan = plan;
        computed.Run = space::ComputeFieldMap(*plan, space::TMapQuantities::Both,
                                              {control.Stop, control.Progress});
        return computed;
    });
}

void TMapWindow::WorkerFinished() {
    std::optional<TMapComputation> computed = worker_.TakeResult();
    if (pending_) {
        StartWorker();
        return; // older than the plan now computing
    }
    if (!computed) {
        if (worker_.CancelRequested()) {
            status_->setText(QStringLiteral("Cancelled: the map shows the plan as it was."));
            return;
        }
        status_->clear();
        ShowProblem(QStringLiteral("The field map cannot be computed: %1").arg(worker_.Failure()));
        return;
    }
    if (computed->Run.Stopped || computed->Generation != generation_) {
        status_->setText(QStringLiteral("Cancelled: the map shows the plan as it was."));
        return;
    }
    Show(std::move(*computed));
}

void TMapWindow::Show(TMapComputation computed) {
    const space::TMapRun& run = computed.Run;
    status_->clear();
    if (run.Outcome == space::TMapOutcome::BadInput) {
        ShowProblem(QStringLiteral("The plan cannot be mapped: %1.").arg(ToQString(run.Message)));
        return;
    }
    if (run.Outcome == space::TMapOutcome::Unsolvable) {
        ShowProblem(
            QStringLiteral("The field map cannot be computed: %1.").arg(ToQString(run.Message)));
        return;
    }
    problem_.clear();
    problemLabel_->hide();
    mappedPlan_ = computed.Plan;
    map_ = std::make_shared<const space::TFieldMap>(std::move(computed.Run.Map));
    status_->setText(QStringLiteral("%1 × %2 grid points at %3 %4 above ground")
                         .arg(map_->X.size())
                         .arg(map_->Y.size())
                         .arg(QString::number(map_->Height, 'g', 6),
                              QString::fromLatin1(LengthUnit(map_->Units))));
    view_->ShowMap(mappedPlan_, map_);
    UpdateDrawing();
    ShowFootprints();
    emit MapShown();
}

void TMapWindow::ShowProblem(const QString& text) {
    problem_ = text;
    problemLabel_->setText(map_ ? text + QStringLiteral(" The map shows the plan as it was last mapped.")
                                : text);
    problemLabel_->show();
    if (!map_) view_->SetPlaceholder(text);
    UpdateButtons();
}

QString TMapWindow::Problem() const { return problem_; }

// ---- Drawing -----------------------------------------------------------------------

TMapQuantity TMapWindow::Quantity() const {
    return cbQuantity_->currentIndex() == kElectric ? TMapQuantity::Electric
                                                    : TMapQuantity::Magnetic;
}

void TMapWindow::QuantityChanged() {
    const bool electric = Quantity() == TMapQuantity::Electric;
    lbLevels_->setText(electric ? QStringLiteral("More &iso-lines (kV/m)")
                                : QStringLiteral("More &iso-lines (mG)"));
    edLevels_->setText(addedLevels_[cbQuantity_->currentIndex()]);
    UpdateDrawing();
}

std::vector<double> TMapWindow::AddedLevels(QString* error) const {
    std::vector<double> levels;
    const QString text = addedLevels_[cbQuantity_->currentIndex()].trimmed();
    if (text.isEmpty()) return levels;
    for (const QString& item : text.split(QLatin1Char(','))) {
        bool ok = false;
        const double value = QLocale::c().toDouble(item.trimmed(), &ok);
        if (!ok || !std::isfinite(value) || !(value > 0)) {
            if (error != nullptr)
                *error = QStringLiteral("The added iso-lines must be values above 0 separated "
                                        "by commas (\"%1\" is not).")
                             .arg(item.trimmed());
            return {};
        }
        levels.push_back(value);
    }
    return levels;
}

std::vector<TMapLevel> TMapWindow::Levels() const {
    const TPlan& plan = mappedPlan_ ? *mappedPlan_ : *requested_;
    std::vector<TMapLevel> levels = DefaultMapLevels(plan, setup_.Limits, Quantity());
    for (const double value : AddedLevels())
        levels.push_back({value, "added"});
    // Largest first, each value once (a limit keeps its place over an added level).
    std::stable_sort(levels.begin(), levels.end(),
                     [](const TMapLevel& a, const TMapLevel& b) { return a.Value > b.Value; });
    levels.erase(std::unique(levels.begin(), levels.end(),
                             [](const TMapLevel& a, const TMapLevel& b) {
                                 return a.Value == b.Value;
                             }),
                 levels.end());
    return levels;
}

void TMapWindow::UpdateDrawing() {
    QString error;
    AddedLevels(&error);
    levelsError_->setText(error);
    levelsError_->setVisible(!error.isEmpty());
    TMapDrawOptions options;
    options.Quantity = Quantity();
    options.LogScale = cbLogScale_->isChecked();
    options.Levels = Levels();
    view_->SetDrawOptions(options);
    UpdateButtons();
}

void TMapWindow::UpdateButtons() {
    for (QPushButton* button : {btResetZoom_, btExportPicture_, btExportCsv_, btCopy_})
        button->setEnabled(map_ != nullptr);
}

void TMapWindow::ShowFootprints() {
    const QString length = QString::fromLatin1(LengthUnit(map_->Units));
    footprints_->setHorizontalHeaderLabels(
        {QStringLiteral("Footprint"), QStringLiteral("Max E (kV/m)"),
         QStringLiteral("E at x, y (%1)").arg(length), QStringLiteral("Max B (mG)"),
         QStringLiteral("B at x, y (%1)").arg(length)});
    footprints_->setRowCount(static_cast<int>(map_->Footprints.size()));
    for (std::size_t f = 0; f < map_->Footprints.size(); ++f) {
        const space::TFootprintPeaks& peaks = map_->Footprints[f];
        const int row = static_cast<int>(f);
        footprints_->setItem(row, 0, Cell(ToQString(peaks.Name), false));
        footprints_->setItem(row, 1, Cell(PeakText(peaks.E), true));
        footprints_->setItem(row, 2, Cell(PeakPlace(peaks.E), true));
        footprints_->setItem(row, 3, Cell(PeakText(peaks.B), true));
        footprints_->setItem(row, 4, Cell(PeakPlace(peaks.B), true));
    }
    footprints_->resizeColumnsToContents();
    // As high as its rows, up to six; more scroll.
    const int rows = std::min(footprints_->rowCount(), kTableRows);
    footprints_->setMaximumHeight(footprints_->horizontalHeader()->height() +
                                  rows * footprints_->verticalHeader()->defaultSectionSize() +
                                  2 * footprints_->frameWidth() + 2);
    footprints_->setVisible(!map_->Footprints.empty());
}

void TMapWindow::ShowReading(const TMapReading& reading) {
    if (map_) readout_->setText(MapReadingText(reading, map_->Units));
}

// ---- Export --------------------------------------------------------------------------

QString TMapWindow::ExportCsvTo(const QString& path) const {
    if (!map_) return QStringLiteral("There is no map to export.");
    const std::string text = space::MapCsvText(*map_);
    const std::string failure = ReplaceFile(
        FileName(path), std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    return ToQString(failure);
}

QString TMapWindow::ExportPictureTo(const QString& path, TPictureLayout layout) const {
    const std::string name = FileName(path);
    const std::optional<TPictureFormat> format = PictureFormatOf(name);
    if (!format) return QStringLiteral("The picture's name must end in .png, .svg or .pdf.");
    if (!map_) return QStringLiteral("There is no map to export.");
    layout.Title = MapTitleBlock(setup_.ProjectTitle, *mappedPlan_);
    QString error;
    const QByteArray bytes =
        LaidOutMapPictureBytes(*mappedPlan_, *map_, view_->DrawOptions(), *format, layout, error);
    return WritePictureFile(name, bytes, error);
}

bool TMapWindow::CopyPicture() const {
    if (!map_) return false;
    const TPicturePaint paint = [plan = mappedPlan_, map = map_,
                                 options = view_->DrawOptions()](QPainter& painter,
                                                                 const QRectF& rect) {
        DrawFieldMap(painter, rect, *plan, *map, options);
    };
    QApplication::clipboard()->setImage(PaintedImage(paint, kMapPictureSize));
    return true;
}

QString TMapWindow::ProposedName(const QString& extension) const {
    const TPlan& plan = mappedPlan_ ? *mappedPlan_ : *requested_;
    return FileNameFromTitle(ToQString(plan.Name), QStringLiteral("field map")) + extension;
}

void TMapWindow::btExportCsvClick() {
    QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Export Field Map as CSV"),
        ProposedName(QStringLiteral(".csv")), QStringLiteral("CSV files (*.csv)"));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".csv");
    if (const QString error = ExportCsvTo(path); !error.isEmpty()) ShowError(this, error);
}

void TMapWindow::btExportPictureClick() {
    const auto choice = TPictureLayoutDialog::AskFile(
        this, QStringLiteral("Export Field Map as Picture"), ProposedName(QStringLiteral(".png")));
    if (!choice) return;
    if (const QString error = ExportPictureTo(choice->Path, choice->Layout); !error.isEmpty())
        ShowError(this, error);
}

} // namespace corvalt::ui
