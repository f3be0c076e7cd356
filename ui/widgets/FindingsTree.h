#pragma once
// TFindingsTree: the data check's findings as a tree of cross sections,
// circuits and conductor errors, with the nodes above a conductor error
// expanded and every finding whole in its tool tip. A double click on a
// conductor's finding names that conductor (ConductorChosen). The error
// window and the results panel both show the findings this way.

#include "model/DataCheck.h"

#include <QTreeWidget>

#include <vector>

namespace corvalt::ui {

class TFindingsTree : public QTreeWidget {
    Q_OBJECT
  public:
    explicit TFindingsTree(QWidget* parent = nullptr);

    // Clears the tree and fills it from the findings of the data check.
    void ShowFindings(const std::vector<TCheckLine>& lines);
    // The width that shows the longest finding whole at its depth, px.
    int WidestFinding() const;
    // As tall as the rows shown (those not under a collapsed node).
    QSize sizeHint() const override;

  signals:
    // A conductor's finding was double-clicked.
    void ConductorChosen(corvalt::TCheckPlace place);

  private:
    void ItemDoubleClicked(QTreeWidgetItem* item);

    std::vector<TCheckPlace> places_; // of the lines shown, by line index
};

} // namespace corvalt::ui
