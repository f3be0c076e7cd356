#pragma once
// One undoable change of a project, as the project window's undo stack holds
// it: the project's snapshot and the window's place (tab, tree node, grid row)
// before and after the change. Undo and redo give the project the snapshot and
// let the window rebuild its tabs, tree and grid from it.

#include "model/ProjectSnapshot.h"

#include <QUndoCommand>

#include <memory>
#include <string>

namespace corvalt::ui {

class TScenariosForm;

// Where the project window was looking: the tab, the tree node (-1 the cross
// section, 0 "InterestPoints", n the n-th circuit), the grid row, and a node
// of the plans (Plan 0 "Plans", n the n-th plan).
struct TViewPlace {
    int Tab = 0;
    int Node = -1;
    int Row = 0;
    int Plan = -1; // -1: no node of the plans
    bool operator==(const TViewPlace&) const = default;
};

// A project as it was, and where the window showed it. Consecutive changes
// share the snapshot between them.
struct TProjectState {
    std::shared_ptr<const TProjectSnapshot> Snapshot;
    TViewPlace Place;
};

// The text of a command on a named object: "Edit Circuit C1".
QString CommandText(const char* what, const std::string& name);

class TProjectChange : public QUndoCommand {
  public:
    // The change has been made already: the first redo, which the stack runs
    // when the change is pushed, leaves the project alone.
    TProjectChange(TScenariosForm& form, const QString& text, TProjectState before,
                   TProjectState after);

    void undo() override;
    void redo() override;

    const TProjectState& Before() const { return before_; }
    const TProjectState& After() const { return after_; }

  private:
    TScenariosForm& form_;
    TProjectState before_;
    TProjectState after_;
    bool applied_ = true;
};

} // namespace corvalt::ui
