#pragma once
// TRptErrorForm ("Errors"): the findings of the data check that stop a report,
// as a tree of cross sections, circuits and conductor errors between the texts
// "REPORTS cannot be created due to the following errors:" and "Correct the
// errors and reprocess.". The nodes above a conductor error are expanded.

#include "model/DataCheck.h"

#include <QDialog>

#include <vector>

class QTreeWidget;

namespace corvalt::ui {

class TRptErrorForm : public QDialog {
    Q_OBJECT
  public:
    explicit TRptErrorForm(QWidget* parent = nullptr);

    // Clears the tree and fills it from the findings of CheckProject.
    void ShowFindings(const std::vector<TCheckLine>& lines);

    QTreeWidget& Tree() const { return *tvErrors_; }

  private:
    void CreateControls();

    QTreeWidget* tvErrors_ = nullptr;
};

} // namespace corvalt::ui
