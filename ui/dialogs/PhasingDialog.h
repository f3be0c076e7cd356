#pragma once
// TPhasingDialog ("Optimise Phasing"): searches every arrangement of the
// phases of a cross section's three-phase circuits (design/PhasingOptimiser.h)
// and shows the current arrangement and the best ones ranked by the chosen
// objective; Apply gives the cross section the selected arrangement. The
// search runs in a worker thread on a private copy of the project, with a
// progress bar and Cancel, so the window never freezes.
//
//   TPhasingDialog dialog(project, sectionIndex, parent);
//   if (Prompts().Exec(dialog) == QDialog::Accepted) dialog.ApplyTo(scenario);

#include "design/PhasingOptimiser.h"
#include "ui/app/BackgroundTask.h"

#include <QDialog>

#include <memory>
#include <optional>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace corvalt {
class TEmfProject;
}

namespace corvalt::ui {

class TTaskProgress;

class TPhasingDialog : public QDialog {
    Q_OBJECT
  public:
    // Copies the project (the search never touches it) and starts a search
    // of cross section sectionIndex by the default objective.
    TPhasingDialog(TEmfProject& project, int sectionIndex, QWidget* parent = nullptr);
    ~TPhasingDialog() override;

    // The objective, weights and count of the widgets, and the reverse.
    TPhasingRequest Request() const;
    void ShowRequest(const TPhasingRequest& request);

    // Starts a search with the widgets' request (not while one runs).
    void Search();
    bool Searching() const;
    // The last search that ended, if any.
    const std::optional<TPhasingSearch>& Result() const { return result_; }

    // Selects the ranked arrangement (0 the best) in the table.
    void SelectRanked(int rank);
    // The ranked arrangement selected, if it changes the phasing.
    const TArrangement* Chosen() const;
    // Gives the cross section (the one searched, unchanged since) the chosen
    // arrangement; false when none is chosen.
    bool ApplyTo(TScenario& scenario) const;

    QTableWidget& Table() const { return *sgRanked_; }
    QLabel& Status() const { return *lbStatus_; }

  protected:
    void reject() override;

  private:
    void CreateControls();
    void cbObjectiveChange();
    // The objective, a weight or the count changed: the ranking shown, made
    // for the request before, goes, and Apply with it.
    void RequestChange();
    void SearchEnded();
    void ShowSearch(const TPhasingSearch& search);
    void WidenToTheTable();
    void UpdateButtons();

    std::unique_ptr<TEmfProject> copy_;
    int section_;
    std::optional<TPhasingSearch> result_;
    // After copy_, which the search reads: destroyed first, it stops the search.
    TBackgroundTask<TPhasingSearch> search_;

    QComboBox* cbObjective_ = nullptr;
    QDoubleSpinBox* eWeightB_ = nullptr;
    QDoubleSpinBox* eWeightEdgeE_ = nullptr;
    QDoubleSpinBox* eWeightRowE_ = nullptr;
    QSpinBox* eTop_ = nullptr;
    QPushButton* btSearch_ = nullptr;
    TTaskProgress* progress_ = nullptr;
    QLabel* lbStatus_ = nullptr;
    QTableWidget* sgRanked_ = nullptr;
    QPushButton* btApply_ = nullptr;
};

} // namespace corvalt::ui
