#pragma once
// TClearanceDialog ("Solve Clearance"): finds the smallest raise of a
// circuit's conductors (or of every circuit's) at which every field limit of
// the cross section holds (design/ClearanceSolver.h), shows it with the
// limits' checks before and after, and Apply raises the circuit by it. The
// solver runs in a worker thread on a private copy of the project, with a
// progress bar and Cancel.
//
//   TClearanceDialog dialog(project, sectionIndex, limits, parent);
//   if (Prompts().Exec(dialog) == QDialog::Accepted) dialog.ApplyTo(scenario);

#include "design/ClearanceSolver.h"
#include "ui/app/BackgroundTask.h"

#include <QDialog>

#include <memory>
#include <optional>

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace corvalt {
class TEmfProject;
}

namespace corvalt::ui {

class TTaskProgress;

class TClearanceDialog : public QDialog {
    Q_OBJECT
  public:
    // Copies the project and starts solving for all circuits together.
    TClearanceDialog(TEmfProject& project, int sectionIndex, const TFieldLimits& limits,
                     QWidget* parent = nullptr);
    ~TClearanceDialog() override;

    // The circuit chosen (an index into the cross section's Circuits), or
    // none for all circuits; and the reverse.
    std::optional<int> ChosenCircuit() const;
    void ChooseCircuit(std::optional<int> circuit);

    // Starts solving for the chosen circuit (not while it runs).
    void Solve();
    bool Solving() const;
    const std::optional<TClearance>& Result() const { return result_; }

    // Raises the cross section (the one solved, unchanged since) as found;
    // false when there is no raise to apply.
    bool ApplyTo(TScenario& scenario) const;

    QLabel& ResultLabel() const { return *lbResult_; }
    QTableWidget& Table() const { return *sgChecks_; }

  protected:
    void reject() override;

  private:
    void CreateControls();
    void SolveEnded();
    // Another circuit chosen: the raise shown, found for the one before,
    // goes, and Apply with it.
    void cbCircuitChange();
    void ShowClearance(const TClearance& clearance);
    QString ResultText(const TClearance& clearance) const;
    void UpdateButtons();

    std::unique_ptr<TEmfProject> copy_;
    int section_;
    TFieldLimits limits_;
    std::optional<TClearance> result_;
    // After copy_, which the solver computes: destroyed first, it stops the solver.
    TBackgroundTask<TClearance> solve_;

    QComboBox* cbCircuit_ = nullptr;
    QPushButton* btSolve_ = nullptr;
    TTaskProgress* progress_ = nullptr;
    QLabel* lbResult_ = nullptr;
    QTableWidget* sgChecks_ = nullptr;
    QPushButton* btApply_ = nullptr;
};

} // namespace corvalt::ui
