#pragma once
// TRptErrorForm ("Errors"): the findings of the data check that stop a report,
// as a tree of cross sections, circuits and conductor errors between the texts
// "REPORTS cannot be created due to the following errors:" and "Correct the
// errors and reprocess.". The nodes above a conductor error are expanded. The
// window is as wide as its longest finding (within the screen), and every
// finding shows whole as its tool tip too. Double-clicking a conductor's
// finding closes the window and names that conductor (ChosenConductor), which
// the main window then selects in its project window.

#include "model/DataCheck.h"
#include "ui/widgets/FindingsTree.h"

#include <QDialog>

#include <optional>
#include <vector>

namespace corvalt::ui {

class TRptErrorForm : public QDialog {
    Q_OBJECT
  public:
    explicit TRptErrorForm(QWidget* parent = nullptr);

    // Clears the tree and fills it from the findings of CheckProject.
    void ShowFindings(const std::vector<TCheckLine>& lines);

    TFindingsTree& Tree() const { return *tvErrors_; }

    // The conductor whose finding was double-clicked, since ShowFindings.
    const std::optional<TCheckPlace>& ChosenConductor() const { return chosen_; }

  private:
    void CreateControls();
    void FitWidthToFindings();
    void tvErrorsDblClick(TCheckPlace place);

    TFindingsTree* tvErrors_ = nullptr;
    std::optional<TCheckPlace> chosen_;
};

} // namespace corvalt::ui
