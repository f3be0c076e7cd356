#pragma once
// TMapWindow: a window of its own, not modal, with the field map of one plan:
// the colour map of E or B with its legend and the field limits of the plan's
// class as iso-lines (more levels may be added), the largest value marked,
// the footprints' largest values in their outlines and in a table, and the
// values of the grid point under the mouse. SetPlan computes the map again on
// a worker thread (ui/app/BackgroundTask.h) with a progress bar and Cancel;
// the newest plan wins, and the window stays free meanwhile. A plan that
// cannot be mapped is said so above the map, which keeps the last map that
// could be computed. The map exports as a PNG, SVG or PDF picture (a PDF at a
// size or on paper with a title block) and as CSV in corvalt-cli map's
// layout, and copies as a picture.
//
//   auto* window = new TMapWindow(plan, {limits, projectTitle, title}, mainForm);
//   window->setAttribute(Qt::WA_DeleteOnClose);
//   window->show();
//   ... window->SetPlan(editedPlan); // after each change of the plan

#include "model/FieldLimitTable.h"
#include "model/Plan.h"
#include "plots/MapLevels.h"
#include "plots/PlotPicture.h"
#include "space/FieldMap.h"
#include "ui/app/BackgroundTask.h"

#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace corvalt::ui {

class TFieldMapView;
class TTaskProgress;
struct TMapReading;

// What a map window takes from its project besides the plan.
struct TMapWindowSetup {
    TFieldLimits Limits = DefaultFieldLimits(); // the preferences' field limits
    QString ProjectTitle;                       // for the title block on paper
    QString Title;                              // the window's title
};

// A finished computation of one plan.
struct TMapComputation {
    std::uint64_t Generation = 0;
    std::shared_ptr<const TPlan> Plan;
    space::TMapRun Run;
};

class TMapWindow : public QWidget {
    Q_OBJECT
  public:
    TMapWindow(const TPlan& plan, TMapWindowSetup setup, QWidget* parent = nullptr);
    ~TMapWindow() override;

    // Maps the plan anew in the background; a computation still running
    // for an older plan is stopped and its map never shown.
    void SetPlan(const TPlan& plan);
    // A computation runs or waits to run.
    bool IsComputing() const;

    // The map shown and the plan it is of (null before the first map).
    const space::TFieldMap* Map() const { return map_.get(); }
    const TPlan* MappedPlan() const { return mappedPlan_.get(); }
    // Why the newest plan has no map ("" when it has one).
    QString Problem() const;

    // The iso-lines drawn: the limits of the plan's class for the quantity
    // shown, and the levels added, largest first, each value once.
    std::vector<TMapLevel> Levels() const;

    // Empty on success, else the message for the user.
    QString ExportCsvTo(const QString& path) const;
    QString ExportPictureTo(const QString& path, TPictureLayout layout) const;
    // Puts the map as a picture on the clipboard; false without a map.
    bool CopyPicture() const;

    TFieldMapView& View() const { return *view_; }
    QComboBox& QuantityBox() const { return *cbQuantity_; }
    QCheckBox& LogScaleBox() const { return *cbLogScale_; }
    QLineEdit& LevelsEdit() const { return *edLevels_; }
    QLabel& LevelsErrorLabel() const { return *levelsError_; }
    QTableWidget& FootprintTable() const { return *footprints_; }
    QLabel& ReadoutLabel() const { return *readout_; }
    TTaskProgress& Progress() const { return *progress_; }

  signals:
    // A new map is shown.
    void MapShown();

  private:
    void CreateControls();
    void StartWorker();
    void WorkerFinished();
    void Show(TMapComputation computed);
    void ShowProblem(const QString& text);
    void ShowFootprints();
    void UpdateDrawing();
    void UpdateButtons();
    void QuantityChanged();
    void ShowReading(const TMapReading& reading);
    TMapQuantity Quantity() const;
    // The levels typed for the quantity shown; empty with error set when
    // the text does not read as values above 0 separated by commas.
    std::vector<double> AddedLevels(QString* error = nullptr) const;
    // The plan's name as a file name with the extension.
    QString ProposedName(const QString& extension) const;
    void btExportCsvClick();
    void btExportPictureClick();

    TMapWindowSetup setup_;
    std::shared_ptr<const TPlan> requested_; // the newest plan
    std::uint64_t generation_ = 0;
    bool pending_ = false; // requested_ waits for the running computation to stop
    std::shared_ptr<const TPlan> mappedPlan_;
    std::shared_ptr<const space::TFieldMap> map_;
    QString problem_;
    QString addedLevels_[2]; // typed for E and for B

    QComboBox* cbQuantity_ = nullptr;
    QCheckBox* cbLogScale_ = nullptr;
    QLabel* lbLevels_ = nullptr;
    QLineEdit* edLevels_ = nullptr;
    QLabel* levelsError_ = nullptr;
    QPushButton* btResetZoom_ = nullptr;
    QPushButton* btExportPicture_ = nullptr;
    QPushButton* btExportCsv_ = nullptr;
    QPushButton* btCopy_ = nullptr;
    QLabel* problemLabel_ = nullptr;
    TFieldMapView* view_ = nullptr;
    QTableWidget* footprints_ = nullptr;
    QLabel* readout_ = nullptr;
    QLabel* status_ = nullptr;
    TTaskProgress* progress_ = nullptr;
    // Last: stopped and waited for before the rest goes.
    TBackgroundTask<TMapComputation> worker_;
};

} // namespace corvalt::ui
