#pragma once
// TResultsPanel: the results of the project window's current cross section,
// beside its grids. Tabs with the field profile (E and B on two axes) and the
// corona effects (each quantity switched by a check box), the other cross
// sections of the project as overlays (a check box each), the drawing of the
// cross section (a click on a conductor selects it in the grid) and its
// maxima against the field limits, a map of the fields over the cross
// section's plane with height profiles, a read-out of every
// quantity under the mouse, and buttons that reset the zoom and export the
// profile as CSV or the plot as a picture. The data check runs first: a
// cross section it refuses shows its findings (a double click on a
// conductor's finding selects the conductor) and no field values; one that
// cannot be computed shows why instead of plots.
//
// ShowResults runs after every change: on a private copy of the project, at
// once when the cross sections' computation and plots are guessed (from their
// sizes) to take under 25 ms, otherwise on a worker thread with the panel
// greyed until the results are there; the window then only draws the plots. The window never
// waits for a worker: a newer request cancels the running one, which ends at
// its next look at its stop token, and results older than the newest request
// are dropped.

#include "model/ConductorRef.h"
#include "model/FieldLimitTable.h"
#include "plots/PlotData.h"
#include "plots/PlotPicture.h"
#include "ui/app/BackgroundTask.h"
#include "ui/app/FileFolders.h"
#include "ui/windows/ResultsComputation.h"

#include <QWidget>

#include <array>
#include <memory>
#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QStackedWidget;
class QTabWidget;
class QHBoxLayout;

namespace corvalt {
class TEmfProject;
class TOptions;
class TScenario;
} // namespace corvalt

namespace corvalt::ui {

class TCrossSectionView;
class TFindingsTree;
class TMaximaTable;
class TPlotView;
class TSectionMapView;

class TResultsPanel : public QWidget {
    Q_OBJECT
  public:
    // Cross sections whose computation and plots are guessed to take less
    // than this are computed at once.
    static constexpr double kSynchronousMilliseconds = 25;

    explicit TResultsPanel(QWidget* parent = nullptr);
    ~TResultsPanel() override;

    // Shows the results of cross section `section` of the project as the
    // snapshot holds it (the project's present state); the project gives the
    // names of the cross sections for the overlay check boxes.
    void ShowResults(const TEmfProject& project, std::shared_ptr<const TProjectSnapshot> snapshot,
                     int section);

    // Below how many predicted milliseconds the results are computed at once
    // (kSynchronousMilliseconds; 0 sends every computation to the worker).
    void SetSynchronousLimit(double milliseconds) { synchronousLimit_ = milliseconds; }

    // The limits the maxima table holds the values to (the preferences').
    void SetFieldLimits(const TFieldLimits& limits);
    // The preferences where the export dialogs keep their folders (FileFolders.h).
    void SetOptions(TOptions& options) { options_ = &options; }
    // The conductor the drawing highlights, by its place in the cross section
    // (the grid's selected conductor); an invalid reference for none.
    void SetHighlightedConductor(TConductorRef conductor);
    TCrossSectionView& Drawing() const { return *drawing_; }
    TMaximaTable& Maxima() const { return *maxima_; }
    // The Map tab: the fields over the cross section's plane.
    TSectionMapView& SectionMap() const { return *sectionMap_; }

    // Whether a worker is computing results that are not shown yet.
    bool IsComputing() const;
    // The worker's task (whether it runs, whether it was asked to stop).
    const TBackgroundTaskBase& Worker() const { return worker_; }
    // The results shown; nullptr before the first.
    const TComputedResults* Shown() const { return shown_.get(); }
    const TScenario* ShownScenario() const;
    // The plots as shown.
    const TPlotData& FieldPlot() const { return fieldPlot_; }
    const TPlotData& CoronaPlot() const { return coronaPlot_; }
    // The plot of the tab in front (the field plot when another tab is).
    const TPlotData& CurrentPlot() const;

    // The overlay check box of cross section index (nullptr for the shown one).
    QCheckBox* OverlayBox(int index) const;
    QCheckBox* CoronaBox(TPlotQuantity quantity) const;
    // The Fields tab's choice between the ellipses' axes and the resultants.
    QComboBox& FieldMeasureBox() const { return *cbFieldMeasure_; }
    TFieldMeasure FieldMeasure() const;
    // How far beyond the ROW the plots reach (0: as computed for the reports).
    QSpinBox& BeyondRow() const { return *seBeyondRow_; }
    QTabWidget& Tabs() const { return *tabs_; }
    TPlotView& FieldView() const { return *fieldView_; }
    TPlotView& CoronaView() const { return *coronaView_; }
    QLabel& Readout() const { return *readout_; }
    QLabel& ErrorText() const { return *error_; }
    // The data check's findings for a cross section it refuses (hidden otherwise).
    TFindingsTree& Findings() const { return *findings_; }
    // Whether the shown cross section has field values (computed, and passed
    // by the data check).
    bool HasFieldValues() const;
    // The drawing under the error text: where a conductor misplaced or too
    // close to another shows, while nothing else can be computed.
    TCrossSectionView& ErrorDrawing() const { return *errorDrawing_; }

    // The read-out at lateral position x; "" without results.
    QString ReadoutAt(double x) const;
    // Writes the shown profile as CSV, or the plot in front as a picture (by
    // the name's extension). Empty on success, else the message.
    // The picture shows the tab in front, a plot or the cross-section drawing,
    // laid out as asked; on paper its title block names the cross section.
    QString ExportCsvTo(const QString& path) const;
    QString ExportPictureTo(const QString& path, TPictureLayout layout = {}) const;
    // Puts the plot or drawing in front on the clipboard as an image of
    // kPictureSize; false when there is none.
    bool CopyPicture() const;

  signals:
    // New results are shown.
    void ResultsShown();
    // The user clicked on a conductor of the drawing.
    void ConductorClicked(corvalt::TConductorRef conductor);

  private:
    void CreateControls();
    QWidget* CreateFieldsPage();
    QWidget* CreateCoronaPage();
    void RebuildOverlayBoxes(const TEmfProject& project, int section);
    void SetBeyondRowUnits(int units);
    std::vector<int> CheckedOverlays() const;
    void Request();
    void StartWorker(TResultsRequest request);
    void WorkerFinished();
    void Show(std::unique_ptr<TComputedResults> results);
    void RebuildPlots();
    // A plot option changed: plots built before it are not to be shown.
    void PlotOptionsChanged();
    TPlotOptions FieldOptions() const;
    TPlotOptions CoronaOptions() const;
    // The page instead of the tabs: the data check's findings, or why the
    // cross section could not be computed, above its drawing.
    void ShowRefusal(const QString& why, const std::vector<TCheckLine>& findings);
    void FindingChosen(TCheckPlace place);
    void SetComputing(bool computing);
    void UpdateButtons();
    void ShowReadout(double lateral);
    void btExportCsvClick();
    void btExportPictureClick();
    // How the plot or drawing in front paints; empty when there is none to show.
    std::optional<TPicturePaint> CurrentPicture() const;
    // The file an export dialog proposes: the shown cross section's name
    // with the extension, where that kind of file was last saved.
    QString ExportProposal(TFileKind kind, const QString& extension) const;
    void RememberExportFolder(TFileKind kind, const QString& path);

    QLabel* overlayLabel_ = nullptr;
    QHBoxLayout* overlayRow_ = nullptr;
    std::vector<QCheckBox*> overlayBoxes_; // by cross-section index; null for the shown one
    std::array<QCheckBox*, kProfileQuantityCount> coronaBoxes_{};
    QComboBox* cbFieldMeasure_ = nullptr;
    QSpinBox* seBeyondRow_ = nullptr;
    QStackedWidget* stack_ = nullptr; // the tabs, or the error text over the drawing
    QTabWidget* tabs_ = nullptr;
    TPlotView* fieldView_ = nullptr;
    TPlotView* coronaView_ = nullptr;
    TCrossSectionView* drawing_ = nullptr;
    TMaximaTable* maxima_ = nullptr;
    TSectionMapView* sectionMap_ = nullptr;
    QLabel* error_ = nullptr;
    TFindingsTree* findings_ = nullptr;
    TCrossSectionView* errorDrawing_ = nullptr;
    int plottedSection_ = -1;  // the cross section the plots show
    std::string plottedTitle_; // and its tab title
    QLabel* readout_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* btResetZoom_ = nullptr;
    QPushButton* btExportCsv_ = nullptr;
    QPushButton* btExportPicture_ = nullptr;
    QPushButton* btCopy_ = nullptr;

    TFieldLimits limits_ = DefaultFieldLimits();
    TOptions* options_ = nullptr;
    TConductorRef highlighted_;
    std::shared_ptr<const TProjectSnapshot> snapshot_;
    int section_ = -1;
    std::vector<TSectionSize> sectionSizes_; // by cross-section index
    std::uint64_t plotVersion_ = 0;          // counts the changes of the plot options
    double synchronousLimit_ = kSynchronousMilliseconds;
    std::uint64_t generation_ = 0;
    std::unique_ptr<TComputedResults> shown_;
    TPlotData fieldPlot_;
    TPlotData coronaPlot_;
    std::optional<TResultsRequest> pending_; // the newest request while a worker runs
    // Last: destroyed first, it stops a worker still running.
    TBackgroundTask<TComputedResults> worker_;
};

} // namespace corvalt::ui
