#pragma once
// TScenariosForm ("<title>--<file name>"): the window of one open project. A tab
// per cross section; for the selected one, a tree (the cross section, its
// "InterestPoints" node and its circuits, then the project's "Plans") and a
// grid of conductors or points of interest. Plans open in editors of their own
// (PlanEditor.h) whose edits are changes on this window's undo stack. It runs every create, edit, delete and clone command on the
// project's objects, starts the reports and the BPA export, and asks to save
// changes when it closes. The project belongs to the main window's list.
// The grid (ConductorGrid.h) and the results panel's splitter (ResultsHost.h)
// are its parts; its commands on the project are in ScenariosCommands.cpp.

#include "model/ConductorRef.h"
#include "reports/ReportKind.h"
#include "ui/windows/ConductorGrid.h"
#include "ui/windows/ProjectChange.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include <vector>

class QAction;
class QLabel;
class QMenu;
class QSplitter;
class QTabBar;
class QTreeWidget;
class QTreeWidgetItem;
class QUndoStack;

namespace corvalt {
struct TPlan;
class TEmfProject;
class TScenario;
class TCircuit;
class TConductor;
class TInterestPoint;
} // namespace corvalt

namespace corvalt::ui {

class TMainForm;
class TPlanEditor;
class TResultsHost;
class TResultsPanel;

class TScenariosForm : public QWidget {
    Q_OBJECT
  public:
    // Groups of popup items; an item shows when its group is in the visible set.
    enum TPopupGroup : unsigned {
        kProjectGroup = 1u << 0,      // project, cross sections, new circuit, reports
        kCircuitGroup = 1u << 1,      // edit, delete, clone, coordinates of a circuit
        kNewConductorGroup = 1u << 2, //
        kConductorGroup = 1u << 3,    // edit, delete conductor
        kNewPointGroup = 1u << 4,     //
        kPointGroup = 1u << 5,        // edit, delete point
        kNewPlanGroup = 1u << 6,      // on the tree's plans
        kPlanGroup = 1u << 7,         // edit, delete, clone plan
    };
    enum class TPopupOrigin { Tabs, Tree, Grid };
    using TGridMode = TConductorGrid::TMode;

    TScenariosForm(TMainForm& mainForm, TEmfProject& project, QWidget* parent = nullptr);
    ~TScenariosForm() override;

    // Fills the tabs and shows the first cross section; then, when newCircuit is
    // set, runs New circuit.
    void Open(bool newCircuit);

    TEmfProject& Project() const { return project_; }
    TScenario* CurrentScenario() const; // of the selected tab; nullptr without tabs
    TCircuit* SelectedCircuit() const;  // the selected tree node's circuit
    bool InterestPointsSelected() const;
    // The plan of the selected tree node; nullptr when no plan's node is selected.
    const TPlan* SelectedPlan() const;
    TGridMode GridMode() const { return sgConductors_->Mode(); }
    // The object of a grid row (0-based data row); nullptr for the blank row.
    TConductor* RowConductor(int row) const;
    TInterestPoint* RowPoint(int row) const;
    int CurrentRow() const;

    // The caption, project title "--" file name (empty until the project is
    // first saved), without the modified marker the window adds to it. It
    // follows every change of either (New, Open, Save, Save As, Edit Project,
    // undo and redo).
    QString Caption() const;
    // Whether the project differs from what was last loaded or saved (a project
    // never saved always does); the caption's marker shows it. Computing the
    // points' result indices for a report is no change (see TMainForm).
    bool IsModified() const;
    void UpdateModified();

    // Every change of the project is one command on this stack.
    QUndoStack& UndoStack() const { return *undoStack_; }
    // Gives the project an earlier or later state and shows it there (undo and
    // redo): tabs, tree and grid are built anew.
    void ShowState(const TProjectState& state);
    TViewPlace CurrentPlace() const;
    void ShowPlace(const TViewPlace& place);

    QTabBar& Tabs() const { return *tcScenarios_; }
    // Ctrl+Tab and Ctrl+PgDn, Ctrl+Shift+Tab and Ctrl+PgUp: the next or previous
    // cross section's tab, round the end.
    QAction& NextTabAction() const { return *acNextTab_; }
    QAction& PreviousTabAction() const { return *acPreviousTab_; }
    void ShowNextTab(int step);
    QTreeWidget& Tree() const { return *tvCircuits_; }
    TConductorGrid& Grid() const { return *sgConductors_; }
    QMenu& Popup() const { return *pmScenario_; }
    // The results of the current cross section beside the grids, recomputed
    // after every change while it is shown; nullptr until it first shows.
    TResultsPanel* ResultsPanel() const;
    QSplitter& ResultsSplitter() const;
    // Whether the panel is wanted (View > Results Panel), and whether it shows
    // (whenever it is wanted: beside the grids, or below them in a window too
    // narrow for both side by side).
    bool ResultsVisible() const;
    bool ResultsShown() const;
    bool ResultsBelowGrids() const;
    void SetResultsVisible(bool visible);
    // The main window's field limits changed: the results show them.
    void ShowFieldLimitsChange();

    // The visible set of the popup shown on origin, and the popup prepared for it.
    unsigned VisibleGroups(TPopupOrigin origin) const;
    void PreparePopup(TPopupOrigin origin);

    // Steps of the commands.
    void EditProject();
    void NewScenario(bool thenNewCircuit);
    void EditScenario();
    void DeleteScenario();
    void CloneScenario();
    void NewCircuit();
    void EditCircuit();
    void DeleteCircuit();
    void CloneCircuit();
    void EditCoordinates();
    // Reflects the selected circuit about the cross section's reference line.
    void MirrorCircuit();
    void NewConductor();
    void EditConductor();
    void DeleteConductor();
    void NewPoint();
    void EditPoint();
    void DeletePoint();
    // Plans: New asks for a cross section and a route or an empty plan; Edit
    // (and a double click) opens the selected plan's editor; Clone adds a copy
    // named "<name> (2)".
    void NewPlan();
    void EditPlan();
    void DeletePlan();
    void ClonePlan();
    // The editor of the plan, opened (or brought forward when it is open).
    TPlanEditor* OpenPlanEditor(const std::string& name);
    // The plan editors open now.
    std::vector<TPlanEditor*> PlanEditors() const;
    // Stores the plan in place of the project's plan of its name, as one
    // undoable change named text (what the plan editors' edits do); false
    // when nothing changed.
    bool StorePlanChange(const QString& text, const TPlan& plan);
    // The grid in place: a typed distance or height (display units) checked as
    // the coordinates dialog checks it; a refused one is explained in the
    // status line and changes nothing.
    void EditGridCell(int row, int column, const QString& text);
    // The selected rows on the clipboard as tab-separated text under their
    // column titles; a block from the clipboard as the selected conductors'
    // distances and heights, all of them or none (the status line says why).
    void CopyRows();
    void PasteRows();
    // The design tools of the Cross Section menu: each opens its dialog on the
    // current cross section and makes Apply one undoable change.
    void OptimisePhasing();
    void SolveClearance();
    void RunReport(TReportKind kind);
    void ExportBpaFile(); // without the main menu's confirmation
    // Save and Save As of the main window. False when nothing was saved.
    bool SaveProject();
    bool SaveProjectAs();

    // The text of the close question.
    QString SaveQuestion() const;
    // Whether the window may close: true when the project is unchanged, or the
    // user saved it or chose not to; false on Cancel or a failed save.
    bool CloseQuery();
    // Closes the window without asking again (after CloseQuery agreed).
    void CloseAgreed();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct TPopupItem {
        QAction* Action;
        unsigned Group;
        bool NeedsScenario;                // a cross section on the selected tab
        std::optional<TReportKind> Report; // the report the item opens
    };

    void CreateControls();
    void CreatePopup();
    void CreateKeys();
    template <class Step>
    void AddPopupItem(unsigned group, const char* text, bool needsScenario, Step step,
                      std::optional<TReportKind> report = std::nullopt);
    void AddPopupSeparator(unsigned group);
    // Shows why the cross section cannot take more (model/Limits.h); whether it cannot.
    bool IsFull(const std::optional<std::string>& refusal);
    // Says that a clone could not be made; the step then changes nothing.
    std::optional<QString> CloneFailed();
    void ShowPopup(TPopupOrigin origin, QWidget* widget, const QPoint& position);
    void UpdateCaption();
    void FillTabs(int current);
    void FitTreeWidth();

    // Runs a step that may change the project as one undoable command. The
    // step returns the command's text when it changed (or may have changed)
    // the project, nothing when it changed nothing. A step run inside another
    // belongs to the other's command.
    using TStep = std::function<std::optional<QString>()>;
    bool RecordChange(const TStep& step);
    TProjectState CurrentState();

    void tcScenariosChange();
    void tvCircuitsChange();
    void BuildTree();
    QTreeWidgetItem* AddCircuitNode(TCircuit& circuit);
    // The "Plans" node and a node per plan.
    void AddPlanNodes();
    // The tree shows the project's plans anew with the named one selected;
    // the editors follow the project's plans.
    void ShowPlans(const std::string& selected);
    void ReloadPlanEditors();
    // The editor's Map opens the plan's field map window.
    void ConnectPlanMap(TPlanEditor& editor);
    void SelectNode(QTreeWidgetItem* node);
    void AddScenarioTab(std::unique_ptr<TScenario> scenario);

    void RebuildGrid();
    void sgConductorsDblClick();
    // The rows a block of that many lines goes to: the selected conductors, or
    // as many from the one selected; why not, when they do not fit.
    std::variant<std::vector<int>, QString> PasteTargets(int lines) const;

    // The results panel beside or below the tree and the grid.
    void CreateResultsHost();
    // The width the tree and the grid need beside the panel, and the height
    // the grid's rows would like below it, px.
    int GridsWidthNeeded() const;
    int GridsHeightWanted() const;
    void RefreshResults();
    // The grid's conductor highlighted in the drawing; a conductor clicked in
    // the drawing selected in the grid.
    void HighlightConductor();
    void SelectConductor(TConductorRef conductor);

    bool SaveTo(const QString& fileName);

    TMainForm& mainForm_;
    TEmfProject& project_;
    QTabBar* tcScenarios_ = nullptr;
    QTreeWidget* tvCircuits_ = nullptr;
    TConductorGrid* sgConductors_ = nullptr;
    QSplitter* splitter_ = nullptr;
    TResultsHost* resultsHost_ = nullptr; // the tree and grid, and the results panel
    QMenu* pmScenario_ = nullptr;
    QAction* acNextTab_ = nullptr;
    QAction* acPreviousTab_ = nullptr;
    std::vector<TPopupItem> popupItems_;

    QTreeWidgetItem* rootNode_ = nullptr;
    QTreeWidgetItem* interestPointsNode_ = nullptr;
    QTreeWidgetItem* plansNode_ = nullptr;
    std::vector<TPlanEditor*> planEditors_; // children of the window, until destroyed
    bool closeAgreed_ = false;
    QUndoStack* undoStack_ = nullptr;
    int changeDepth_ = 0; // steps running inside RecordChange
    // The snapshot of the state last recorded or shown, shared by the next command.
    std::shared_ptr<const TProjectSnapshot> shownSnapshot_;
};

} // namespace corvalt::ui
