#include "ui/windows/ScenariosForm.h"

#include "model/Project.h"
#include "ui/app/ProjectFiles.h"
#include "ui/app/Prompts.h"
#include "ui/app/ReportService.h"
#include "ui/app/TextConvert.h"
#include "ui/windows/MainForm.h"
#include "ui/windows/PlanEditor.h"
#include "ui/windows/ResultsHost.h"
#include "ui/windows/ResultsPanel.h"

#include <QAction>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QSplitter>
#include <QTabBar>
#include <QTableWidget>
#include <QTreeWidget>
#include <QUndoStack>
#include <QVBoxLayout>
#include <QtGlobal>

#include <algorithm>

namespace corvalt::ui {
namespace {

// What a tree node carries.
enum TNodeKind { kScenarioNode, kInterestPointsNode, kCircuitNode, kPlansNode, kPlanNode };
constexpr int kKindRole = Qt::UserRole;
constexpr int kObjectRole = Qt::UserRole + 1; // a circuit's address, a plan's name

// Enough to step back through an afternoon's editing; each step keeps two
// snapshots of the project at most (consecutive ones share theirs).
constexpr int kUndoLimit = 200;

const char* const kHint =
    "Select the Circuit from the list on the left to modify it or its conductors.";

int NodeKind(const QTreeWidgetItem* node) {
    return node == nullptr ? -1 : node->data(0, kKindRole).toInt();
}

} // namespace

TScenariosForm::TScenariosForm(TMainForm& mainForm, TEmfProject& project, QWidget* parent)
    : QWidget(parent), mainForm_(mainForm), project_(project) {
    setObjectName(QStringLiteral("ScenariosForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    CreateControls();
    CreatePopup();
    CreateKeys();
    undoStack_ = new QUndoStack(this);
    undoStack_->setUndoLimit(kUndoLimit);
    connect(undoStack_, &QUndoStack::indexChanged, this, &TScenariosForm::UpdateModified);
    // Every change, and every undo and redo, moves the stack's index.
    connect(undoStack_, &QUndoStack::indexChanged, this, &TScenariosForm::RefreshResults);
    UpdateCaption();
    UpdateModified();
}

TScenariosForm::~TScenariosForm() {
    // The undo stack clears itself after this window is gone: nothing it
    // signals may reach the window or its project then.
    disconnect(undoStack_, nullptr, this, nullptr);
    // The plan editors are deleted with the window's children, after its members.
    for (TPlanEditor* editor : planEditors_)
        disconnect(editor, nullptr, this, nullptr);
}

void TScenariosForm::CreateControls() {
    tcScenarios_ = new QTabBar;
    tcScenarios_->setObjectName(QStringLiteral("tcScenarios"));
    tcScenarios_->setExpanding(false);
    tcScenarios_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tcScenarios_, &QTabBar::currentChanged, this, &TScenariosForm::tcScenariosChange);
    connect(tcScenarios_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { ShowPopup(TPopupOrigin::Tabs, tcScenarios_, at); });

    tvCircuits_ = new QTreeWidget;
    tvCircuits_->setObjectName(QStringLiteral("tvCircuits"));
    tvCircuits_->setHeaderHidden(true);
    tvCircuits_->setItemsExpandable(false); // always fully expanded
    tvCircuits_->setRootIsDecorated(false);
    tvCircuits_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tvCircuits_->setContextMenuPolicy(Qt::CustomContextMenu);
    KeepSelectionVisible(*tvCircuits_);
    connect(tvCircuits_, &QTreeWidget::currentItemChanged, this, &TScenariosForm::tvCircuitsChange);
    connect(tvCircuits_, &QTreeWidget::itemCollapsed, this,
            [](QTreeWidgetItem* node) { node->setExpanded(true); });
    connect(tvCircuits_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* node) {
        if (NodeKind(node) == kCircuitNode) EditCircuit();
        if (NodeKind(node) == kPlanNode) EditPlan();
    });
    connect(tvCircuits_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        // A right click selects the node under the mouse.
        if (QTreeWidgetItem* node = tvCircuits_->itemAt(at)) tvCircuits_->setCurrentItem(node);
        ShowPopup(TPopupOrigin::Tree, tvCircuits_->viewport(), at);
    });

    sgConductors_ = new TConductorGrid(project_);
    sgConductors_->setContextMenuPolicy(Qt::CustomContextMenu);
    sgConductors_->installEventFilter(this);
    connect(sgConductors_, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
        // A distance or height is edited in place.
        if (!sgConductors_->IsEditable(row, column)) sgConductorsDblClick();
    });
    connect(sgConductors_, &TConductorGrid::CellEdited, this, &TScenariosForm::EditGridCell);
    connect(sgConductors_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        ShowPopup(TPopupOrigin::Grid, sgConductors_->viewport(), at);
    });

    splitter_ = new QSplitter(Qt::Horizontal);
    splitter_->addWidget(tvCircuits_);
    splitter_->addWidget(sgConductors_);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    splitter_->setSizes({125, 640});
    splitter_->setChildrenCollapsible(false);

    auto* lbHint = new QLabel(QString::fromLatin1(kHint));
    lbHint->setObjectName(QStringLiteral("lbHint"));
    // The hint wraps rather than keep the window wide: tiled windows may be narrow.
    lbHint->setWordWrap(true);

    CreateResultsHost();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(0);
    layout->addWidget(tcScenarios_);
    layout->addWidget(resultsHost_, 1);
    layout->addSpacing(4);
    layout->addWidget(lbHint);
}

void TScenariosForm::CreateKeys() {
    // The window's own keys, whichever of its controls has the focus; they
    // come before the workspace's use of Ctrl+Tab for the next window.
    auto tabKey = [this](const char* name, QList<QKeySequence> keys, int step) {
        auto* action = new QAction(this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QAction::triggered, this, [this, step] { ShowNextTab(step); });
        addAction(action);
        return action;
    };
    acNextTab_ = tabKey(
        "acNextTab",
        {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)}, 1);
    acPreviousTab_ = tabKey("acPreviousTab",
                            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
                             QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
                            -1);
}

void TScenariosForm::ShowNextTab(int step) {
    const int count = tcScenarios_->count();
    if (count < 2) return;
    tcScenarios_->setCurrentIndex(((tcScenarios_->currentIndex() + step) % count + count) % count);
}

template <class Step>
void TScenariosForm::AddPopupItem(unsigned group, const char* text, bool needsScenario, Step step,
                                  std::optional<TReportKind> report) {
    QAction* action = pmScenario_->addAction(QString::fromLatin1(text));
    connect(action, &QAction::triggered, this, step);
    popupItems_.push_back({action, group, needsScenario, report});
}

void TScenariosForm::AddPopupSeparator(unsigned group) {
    popupItems_.push_back({pmScenario_->addSeparator(), group, false, std::nullopt});
}

void TScenariosForm::CreatePopup() {
    pmScenario_ = new QMenu(this);
    pmScenario_->setObjectName(QStringLiteral("pmScenario"));
    using S = TScenariosForm;
    const bool section = true; // needs a cross section on the selected tab
    AddPopupItem(kProjectGroup, "Edit Project...", !section, &S::EditProject);
    AddPopupSeparator(kProjectGroup);
    AddPopupItem(kProjectGroup, "New CrossSection...", !section, [this] { NewScenario(true); });
    AddPopupItem(kProjectGroup, "Edit CrossSection...", section, &S::EditScenario);
    AddPopupItem(kProjectGroup, "Delete CrossSection", section, &S::DeleteScenario);
    AddPopupItem(kProjectGroup, "Clone CrossSection", section, &S::CloneScenario);
    AddPopupSeparator(kProjectGroup);
    AddPopupItem(kProjectGroup, "New Circuit...", section, &S::NewCircuit);
    AddPopupItem(kCircuitGroup, "Edit Circuit...", section, &S::EditCircuit);
    AddPopupItem(kCircuitGroup, "Delete Circuit ", section, &S::DeleteCircuit);
    AddPopupItem(kCircuitGroup, "Clone Circuit", section, &S::CloneCircuit);
    AddPopupItem(kCircuitGroup, "Coordinates...", section, &S::EditCoordinates);
    AddPopupItem(kCircuitGroup, "Mirror Circuit", section, &S::MirrorCircuit);
    AddPopupSeparator(kNewConductorGroup);
    AddPopupItem(kNewConductorGroup, "New Conductor...", section, &S::NewConductor);
    AddPopupItem(kConductorGroup, "Edit Conductor...", section, &S::EditConductor);
    AddPopupItem(kConductorGroup, "Delete Conductor...", section, &S::DeleteConductor);
    AddPopupItem(kConductorGroup, "Copy\tCtrl+C", section, &S::CopyRows);
    AddPopupItem(kConductorGroup, "Paste\tCtrl+V", section, &S::PasteRows);
    AddPopupSeparator(kNewPointGroup);
    AddPopupItem(kNewPointGroup, "New Point Of Interest...", section, &S::NewPoint);
    AddPopupItem(kPointGroup, "Edit Point Of Interest...", section, &S::EditPoint);
    AddPopupItem(kPointGroup, "Delete Point Of Interest", section, &S::DeletePoint);
    AddPopupSeparator(kNewPlanGroup);
    AddPopupItem(kNewPlanGroup, "New Plan...", !section, &S::NewPlan);
    AddPopupItem(kPlanGroup, "Edit Plan...", !section, &S::EditPlan);
    AddPopupItem(kPlanGroup, "Delete Plan", !section, &S::DeletePlan);
    AddPopupItem(kPlanGroup, "Clone Plan", !section, &S::ClonePlan);
    AddPopupSeparator(kProjectGroup);
    for (const auto& [text, kind] :
         {std::pair{"Florida Compliance Report", TReportKind::FloridaCompliance},
          std::pair{"TLSA Exemption Report", TReportKind::Tlsa},
          std::pair{"EMF Details Report", TReportKind::EmfDetails}}) {
        const TReportKind reportKind = kind;
        AddPopupItem(
            kProjectGroup, text, section, [this, reportKind] { RunReport(reportKind); },
            reportKind);
    }
    AddPopupSeparator(kProjectGroup);
    AddPopupItem(kProjectGroup, "BPA File", section, &S::ExportBpaFile);
}

unsigned TScenariosForm::VisibleGroups(TPopupOrigin origin) const {
    unsigned groups = kProjectGroup;
    const TCircuit* circuit = SelectedCircuit();
    switch (origin) {
    case TPopupOrigin::Tabs:
        break;
    case TPopupOrigin::Tree:
        if (circuit != nullptr) groups |= kCircuitGroup;
        if (InterestPointsSelected()) groups |= kNewPointGroup;
        if (NodeKind(tvCircuits_->currentItem()) == kPlansNode) groups |= kNewPlanGroup;
        if (SelectedPlan() != nullptr) groups |= kNewPlanGroup | kPlanGroup;
        break;
    case TPopupOrigin::Grid:
        if (InterestPointsSelected()) {
            groups |= kNewPointGroup;
            if (const TScenario* scenario = CurrentScenario();
                scenario != nullptr && !scenario->InterestPoints.Empty())
                groups |= kPointGroup;
        } else if (circuit != nullptr) {
            groups |= kCircuitGroup | kNewConductorGroup;
            if (!circuit->Conductors.Empty()) groups |= kConductorGroup;
        }
        break;
    }
    return groups;
}

void TScenariosForm::PreparePopup(TPopupOrigin origin) {
    const unsigned groups = VisibleGroups(origin);
    const bool haveScenario = CurrentScenario() != nullptr;
    for (const TPopupItem& item : popupItems_) {
        item.Action->setVisible((item.Group & groups) != 0);
        const bool available = !item.Report || mainForm_.Reports().Available(*item.Report);
        item.Action->setEnabled((haveScenario || !item.NeedsScenario) && available);
    }
}

void TScenariosForm::ShowPopup(TPopupOrigin origin, QWidget* widget, const QPoint& position) {
    PreparePopup(origin);
    pmScenario_->popup(widget->mapToGlobal(position));
}

QString TScenariosForm::Caption() const {
    return ToQString(project_.Title) + QStringLiteral("--") + ToQString(project_.FileName);
}

void TScenariosForm::UpdateCaption() {
    // "[*]" is where the window shows its modified marker.
    setWindowTitle(Caption() + QStringLiteral("[*]"));
}

// ---- Opening, tabs, tree ----------------------------------------------------

void TScenariosForm::Open(bool newCircuit) {
    FillTabs(0);
    tcScenariosChange();
    FitTreeWidth();
    if (newCircuit) NewCircuit();
}

void TScenariosForm::FitTreeWidth() {
    // The tree as wide as its longest circuit name on any tab, within limits;
    // the grid has the rest.
    constexpr int kNarrowest = 90, kWidest = 220, kPadding = 14;
    const QFontMetrics metrics = tvCircuits_->fontMetrics();
    int widest = metrics.horizontalAdvance(QStringLiteral("InterestPoints"));
    for (const TScenario& scenario : project_.Scenarios)
        for (const TCircuit& circuit : scenario.Circuits)
            widest = std::max(widest, metrics.horizontalAdvance(ToQString(circuit.Name)));
    for (const TPlan& plan : project_.Plans)
        widest = std::max(widest, metrics.horizontalAdvance(ToQString(plan.Name)));
    const int tree =
        std::clamp(widest + tvCircuits_->indentation() + 2 * tvCircuits_->frameWidth() + kPadding,
                   kNarrowest, kWidest);
    const QList<int> sizes = splitter_->sizes();
    splitter_->setSizes({tree, std::max(sizes.value(0) + sizes.value(1) - tree, 1)});
}

void TScenariosForm::FillTabs(int current) {
    const QSignalBlocker quiet(tcScenarios_);
    while (tcScenarios_->count() > 0)
        tcScenarios_->removeTab(0);
    for (const TScenario& scenario : project_.Scenarios)
        tcScenarios_->addTab(ToQString(scenario.DisplayName()));
    const int last = tcScenarios_->count() - 1;
    tcScenarios_->setCurrentIndex(last < 0 ? -1 : std::clamp(current, 0, last));
}

TScenario* TScenariosForm::CurrentScenario() const {
    const int index = tcScenarios_->currentIndex();
    if (index < 0 || index >= project_.Scenarios.Count()) return nullptr;
    return &project_.Scenarios[index];
}

TCircuit* TScenariosForm::SelectedCircuit() const {
    const QTreeWidgetItem* node = tvCircuits_->currentItem();
    TScenario* scenario = CurrentScenario();
    if (NodeKind(node) != kCircuitNode || scenario == nullptr) return nullptr;
    auto* circuit = reinterpret_cast<TCircuit*>(node->data(0, kObjectRole).value<quintptr>());
    // The node names a circuit of this cross section, or nothing at all.
    return scenario->Circuits.IndexOf(circuit) >= 0 ? circuit : nullptr;
}

bool TScenariosForm::InterestPointsSelected() const {
    return interestPointsNode_ != nullptr && tvCircuits_->currentItem() == interestPointsNode_;
}

const TPlan* TScenariosForm::SelectedPlan() const {
    const QTreeWidgetItem* node = tvCircuits_->currentItem();
    if (NodeKind(node) != kPlanNode) return nullptr;
    return project_.FindPlan(ToBytes(node->data(0, kObjectRole).toString()));
}

void TScenariosForm::tcScenariosChange() {
    BuildTree();
    RefreshResults();
}

void TScenariosForm::BuildTree() {
    const QSignalBlocker quiet(tvCircuits_);
    tvCircuits_->clear();
    rootNode_ = nullptr;
    interestPointsNode_ = nullptr;
    plansNode_ = nullptr;
    if (TScenario* scenario = CurrentScenario()) {
        rootNode_ = new QTreeWidgetItem(tvCircuits_, {QStringLiteral("CrossSection ")});
        rootNode_->setData(0, kKindRole, kScenarioNode);
        interestPointsNode_ = new QTreeWidgetItem(rootNode_, {QStringLiteral("InterestPoints")});
        interestPointsNode_->setData(0, kKindRole, kInterestPointsNode);
        for (TCircuit& circuit : scenario->Circuits)
            AddCircuitNode(circuit);
    }
    // The plans are the project's, not a cross section's: every tab lists
    // them below the cross section, so that they are at hand whichever shows.
    AddPlanNodes();
    tvCircuits_->expandAll();
    tvCircuits_->setCurrentItem(rootNode_ != nullptr ? rootNode_ : plansNode_);
    tvCircuitsChange();
}

void TScenariosForm::AddPlanNodes() {
    plansNode_ = new QTreeWidgetItem(tvCircuits_, {QStringLiteral("Plans")});
    plansNode_->setData(0, kKindRole, kPlansNode);
    for (const TPlan& plan : project_.Plans) {
        auto* node = new QTreeWidgetItem(plansNode_, {ToQString(plan.Name)});
        node->setData(0, kKindRole, kPlanNode);
        node->setData(0, kObjectRole, ToQString(plan.Name));
    }
}

QTreeWidgetItem* TScenariosForm::AddCircuitNode(TCircuit& circuit) {
    auto* node = new QTreeWidgetItem(rootNode_, {ToQString(circuit.Name)});
    node->setData(0, kKindRole, kCircuitNode);
    node->setData(0, kObjectRole, QVariant::fromValue(reinterpret_cast<quintptr>(&circuit)));
    rootNode_->setExpanded(true);
    return node;
}

void TScenariosForm::SelectNode(QTreeWidgetItem* node) {
    tvCircuits_->setCurrentItem(node); // tvCircuitsChange follows
}

void TScenariosForm::tvCircuitsChange() {
    RebuildGrid();
    mainForm_.updateMenus();
}

void TScenariosForm::AddScenarioTab(std::unique_ptr<TScenario> scenario) {
    const QString name = ToQString(scenario->DisplayName());
    project_.Scenarios.Add(std::move(scenario));
    const int index = tcScenarios_->addTab(name);
    tcScenarios_->setCurrentIndex(index); // tcScenariosChange follows
}

// ---- Grid ---------------------------------------------------------------------

void TScenariosForm::RebuildGrid() {
    TScenario* scenario = CurrentScenario();
    std::vector<TConductor*> conductors;
    switch (NodeKind(tvCircuits_->currentItem())) {
    case kInterestPointsNode: {
        std::vector<TInterestPoint*> points;
        if (scenario != nullptr)
            for (TInterestPoint& point : scenario->InterestPoints)
                points.push_back(&point);
        sgConductors_->ShowPoints(points);
        break;
    }
    case kCircuitNode:
        if (TCircuit* circuit = SelectedCircuit())
            for (TConductor& conductor : circuit->Conductors)
                conductors.push_back(&conductor);
        sgConductors_->ShowConductors(conductors);
        break;
    default:
        if (scenario != nullptr)
            for (TCircuit& circuit : scenario->Circuits)
                for (TConductor& conductor : circuit.Conductors)
                    conductors.push_back(&conductor);
        sgConductors_->ShowConductors(conductors);
        break;
    }
    sgConductors_->MeasureColumns();
    sgConductors_->setCurrentCell(0, 0);
}

int TScenariosForm::CurrentRow() const {
    return sgConductors_->CurrentRow();
}

TConductor* TScenariosForm::RowConductor(int row) const {
    return sgConductors_->RowConductor(row);
}

TInterestPoint* TScenariosForm::RowPoint(int row) const {
    return sgConductors_->RowPoint(row);
}

void TScenariosForm::sgConductorsDblClick() {
    if (InterestPointsSelected())
        EditPoint();
    else
        EditConductor();
}

bool TScenariosForm::eventFilter(QObject* watched, QEvent* event) {
    // The keys of a cell being edited are the editor's (Return ends the edit).
    if (watched == sgConductors_ && event->type() == QEvent::KeyPress &&
        !sgConductors_->IsEditing()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            sgConductorsDblClick();
            return true;
        }
        const auto* keys = static_cast<QKeyEvent*>(event);
        if (keys->matches(QKeySequence::Copy)) {
            CopyRows();
            return true;
        }
        if (keys->matches(QKeySequence::Paste)) {
            PasteRows();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---- Results panel -----------------------------------------------------------

void TScenariosForm::CreateResultsHost() {
    resultsHost_ = new TResultsHost(*splitter_, mainForm_.Options());
    resultsHost_->SetGridsMeasures([this] { return GridsWidthNeeded(); },
                                   [this] { return GridsHeightWanted(); });
    connect(resultsHost_, &TResultsHost::PanelCreated, this, [this](TResultsPanel* panel) {
        connect(panel, &TResultsPanel::ConductorClicked, this, &TScenariosForm::SelectConductor);
        connect(sgConductors_, &QTableWidget::currentCellChanged, this,
                &TScenariosForm::HighlightConductor);
    });
    connect(resultsHost_, &TResultsHost::PanelShown, this, &TScenariosForm::RefreshResults);
}

TResultsPanel* TScenariosForm::ResultsPanel() const {
    return resultsHost_->Panel();
}

QSplitter& TScenariosForm::ResultsSplitter() const {
    return *resultsHost_;
}

bool TScenariosForm::ResultsShown() const {
    return resultsHost_->Shown();
}

bool TScenariosForm::ResultsBelowGrids() const {
    return resultsHost_->Below();
}

bool TScenariosForm::ResultsVisible() const {
    return resultsHost_->Wanted();
}

void TScenariosForm::SetResultsVisible(bool visible) {
    resultsHost_->SetWanted(visible);
}

void TScenariosForm::ShowFieldLimitsChange() {
    RefreshResults();
}

void TScenariosForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    resultsHost_->Fit();
}

int TScenariosForm::GridsWidthNeeded() const {
    return tvCircuits_->width() + splitter_->handleWidth() + sgConductors_->NarrowestWidth();
}

int TScenariosForm::GridsHeightWanted() const {
    // The grid's rows, three at least.
    const int rows = std::max(sgConductors_->rowCount(), 3);
    return sgConductors_->horizontalHeader()->height() +
           rows * sgConductors_->verticalHeader()->defaultSectionSize() +
           2 * sgConductors_->frameWidth() + 4;
}

void TScenariosForm::RefreshResults() {
    if (!ResultsShown() || CurrentScenario() == nullptr) return;
    TResultsPanel* panel = ResultsPanel();
    panel->SetFieldLimits(mainForm_.FieldLimits());
    HighlightConductor();
    panel->ShowResults(project_, CurrentState().Snapshot, tcScenarios_->currentIndex());
}

void TScenariosForm::HighlightConductor() {
    const TScenario* scenario = CurrentScenario();
    if (ResultsPanel() == nullptr || scenario == nullptr) return;
    ResultsPanel()->SetHighlightedConductor(ConductorRefOf(*scenario, RowConductor(CurrentRow())));
}

void TScenariosForm::SelectConductor(TConductorRef conductor) {
    TScenario* scenario = CurrentScenario();
    const TConductor* wanted = scenario == nullptr ? nullptr : ConductorAt(*scenario, conductor);
    if (wanted == nullptr) return;
    // The grid of the conductor's circuit, or of every conductor, shows it.
    if (GridMode() != TGridMode::Conductors ||
        (SelectedCircuit() != nullptr && SelectedCircuit() != wanted->Circuit))
        SelectNode(rootNode_);
    for (int row = 0; row < sgConductors_->RowCount(); ++row)
        if (sgConductors_->RowConductor(row) == wanted)
            sgConductors_->setCurrentCell(row, 0);
}

// ---- Undo and redo -----------------------------------------------------------

bool TScenariosForm::RecordChange(const TStep& step) {
    // A step run by another (New cross section runs New circuit) is part of
    // that one's command.
    if (changeDepth_ > 0) return step().has_value();
    TProjectState before = CurrentState();
    std::optional<QString> text;
    {
        ++changeDepth_;
        const auto leave = qScopeGuard([this] { --changeDepth_; });
        text = step();
    }
    if (!text) return false;
    TProjectState after = CurrentState();
    if (*after.Snapshot == *before.Snapshot) return false; // confirmed without a change
    shownSnapshot_ = after.Snapshot;
    undoStack_->push(new TProjectChange(*this, *text, std::move(before), std::move(after)));
    return true;
}

TProjectState TScenariosForm::CurrentState() {
    auto snapshot = std::make_shared<const TProjectSnapshot>(TakeProjectSnapshot(project_));
    if (shownSnapshot_ != nullptr && *shownSnapshot_ == *snapshot) snapshot = shownSnapshot_;
    return {std::move(snapshot), CurrentPlace()};
}

void TScenariosForm::ShowState(const TProjectState& state) {
    if (const TFileResult restored = RestoreProjectSnapshot(project_, *state.Snapshot);
        !restored.Ok) {
        ShowError(this, QStringLiteral("The project could not be restored to its earlier state "
                                       "and is left as it was (") +
                            ToQString(restored.Detail) + QStringLiteral(")."));
        return;
    }
    // Every object of the project is new: nothing shown may point at the old ones.
    shownSnapshot_ = state.Snapshot;
    FillTabs(state.Place.Tab);
    ShowPlace(state.Place);
    UpdateCaption();
    ReloadPlanEditors();
}

TViewPlace TScenariosForm::CurrentPlace() const {
    TViewPlace place;
    place.Tab = std::max(tcScenarios_->currentIndex(), 0);
    const QTreeWidgetItem* node = tvCircuits_->currentItem();
    if (node != nullptr && node == plansNode_)
        place.Plan = 0;
    else if (node != nullptr && plansNode_ != nullptr && node->parent() == plansNode_)
        place.Plan = plansNode_->indexOfChild(const_cast<QTreeWidgetItem*>(node)) + 1;
    else if (rootNode_ != nullptr && node != nullptr && node != rootNode_)
        place.Node = rootNode_->indexOfChild(const_cast<QTreeWidgetItem*>(node));
    place.Row = CurrentRow();
    return place;
}

void TScenariosForm::ShowPlace(const TViewPlace& place) {
    if (tcScenarios_->count() > 0) {
        const QSignalBlocker quiet(tcScenarios_);
        tcScenarios_->setCurrentIndex(std::clamp(place.Tab, 0, tcScenarios_->count() - 1));
    }
    BuildTree(); // the cross section selected, its conductors in the grid
    if (rootNode_ != nullptr && place.Node >= 0 && place.Node < rootNode_->childCount())
        SelectNode(rootNode_->child(place.Node));
    if (plansNode_ != nullptr && place.Plan == 0) SelectNode(plansNode_);
    if (plansNode_ != nullptr && place.Plan > 0 && place.Plan <= plansNode_->childCount())
        SelectNode(plansNode_->child(place.Plan - 1));
    if (place.Row > 0 && place.Row < sgConductors_->RowCount())
        sgConductors_->setCurrentCell(place.Row, 0);
}

bool TScenariosForm::IsModified() const {
    return project_.IsModified();
}

void TScenariosForm::UpdateModified() {
    setWindowModified(IsModified());
}

// ---- Reports and files ------------------------------------------------------------

void TScenariosForm::RunReport(TReportKind kind) {
    mainForm_.OpenReportWindow(project_, CurrentScenario(), kind);
}

void TScenariosForm::ExportBpaFile() {
    const TScenario* scenario = CurrentScenario();
    if (scenario == nullptr) return;
    const QString path = mainForm_.AskBpaFileName(this, *scenario);
    if (path.isEmpty()) return;
    const TFileResult result = mainForm_.Reports().ExportBpa(*scenario, ToBytes(path));
    if (!result.Ok) ShowFileError(this, result);
}

bool TScenariosForm::SaveTo(const QString& fileName) {
    const QString target = SaveFileNameFor(fileName);
    const TFileResult result = project_.Save(ToBytes(target));
    if (!result.Ok) {
        ShowFileError(this, result);
        return false;
    }
    project_.FileName = ToBytes(target);
    undoStack_->setClean();
    UpdateCaption();
    UpdateModified();
    mainForm_.AddRecentFile(target);
    return true;
}

bool TScenariosForm::SaveProject() {
    QString name = ToQString(project_.FileName);
    if (TrimmedRight(name).isEmpty()) {
        name = mainForm_.AskProjectFileName(this, project_);
        if (name.isEmpty()) return false;
    }
    return SaveTo(name);
}

bool TScenariosForm::SaveProjectAs() {
    const QString name = mainForm_.AskProjectFileName(this, project_);
    return !name.isEmpty() && SaveTo(name);
}

QString TScenariosForm::SaveQuestion() const {
    return QStringLiteral("Save Changes to ") + ToQString(project_.FileName) +
           QStringLiteral("\n\n") + ToQString(project_.Title);
}

bool TScenariosForm::CloseQuery() {
    if (!IsModified()) return true;
    switch (AskYesNoCancel(this, SaveQuestion())) {
    case QMessageBox::No:
        return true;
    case QMessageBox::Yes:
        return SaveProject(); // a failed or cancelled save keeps the window open
    default:
        return false;
    }
}

void TScenariosForm::CloseAgreed() {
    closeAgreed_ = true;
    if (QWidget* frame = parentWidget(); frame != nullptr && frame->inherits("QMdiSubWindow"))
        frame->close();
    else
        close();
    closeAgreed_ = false; // only reached when the window stayed
}

void TScenariosForm::closeEvent(QCloseEvent* event) {
    if (!closeAgreed_ && !CloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
    // A report of a project whose window is gone would be an orphan.
    mainForm_.CloseReportWindowsOf(project_);
}

} // namespace corvalt::ui
