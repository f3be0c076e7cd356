#pragma once
// TPlanEditor ("Plan <name>"): a plan of the project in a window of its own,
// beside the project window: the plan view (drag a structure or a footprint
// corner) and the tables of its conductors and footprints (type in a cell,
// paste a block from a spreadsheet, add and delete rows). Each edit is one
// change on the project window's undo stack; an edit the field map's checks
// refuse is not stored, and the status line gives the reason. The editor
// follows undo and redo, and closes when its plan leaves the project.

#include "model/Plan.h"
#include "ui/widgets/PlanEdits.h"

#include <QMainWindow>

#include <string>

class QAction;
class QTableView;

namespace corvalt::ui {

class TScenariosForm;
class TPlanView;
class TPlanTableModel;

class TPlanEditor : public QMainWindow {
    Q_OBJECT
  public:
    // Shows the project's plan of that name (the form's project keeps it).
    TPlanEditor(TScenariosForm& form, std::string planName);
    ~TPlanEditor() override;

    const std::string& PlanName() const { return planName_; }
    // The plan as the project holds it now.
    const TPlan& Plan() const { return plan_; }

    TPlanView& View() const { return *view_; }
    QTableView& Table(TPlanTable table) const;
    // "Map": asks for the plan's field map (MapRequested).
    QAction& MapAction() const { return *acMap_; }
    QString StatusText() const;

    // The edits, as the tables and the view make them. Each is one undoable
    // change; false when it was refused (the status line says why) or
    // changed nothing.
    bool EditCell(TPlanTable table, int row, int column, const QString& text);
    bool PasteBlock(TPlanTable table, int row, int column, const QString& block);
    bool AddRow(TPlanTable table);
    bool RemoveRow(TPlanTable table, int row);
    bool MoveHandle(const TPlanHandle& handle, double x, double y);

    // Shows the plan as the project holds it (after any change of the
    // project, undo and redo); closes the window when the plan is gone.
    void Reload();

  signals:
    // The plan shown changed (an edit, undo or redo).
    void PlanChanged(const corvalt::TPlan& plan);
    // Map was chosen: the plan whose field map is wanted.
    void MapRequested(const corvalt::TPlan& plan);

  private:
    void CreateActions();
    // Stores the edited plan as one change named text, unless the checks
    // refuse it.
    bool Apply(const QString& text, const TPlan& edited);
    void Refuse(const QString& reason);
    void PasteFromClipboard(TPlanTable table);
    int SelectedRow(TPlanTable table) const;
    void UpdateTitle();

    TScenariosForm& form_;
    std::string planName_;
    TPlan plan_;
    TPlanView* view_ = nullptr;
    QTableView* conductors_ = nullptr;
    QTableView* footprints_ = nullptr;
    TPlanTableModel* conductorModel_ = nullptr;
    TPlanTableModel* footprintModel_ = nullptr;
    QAction* acMap_ = nullptr;
};

} // namespace corvalt::ui
