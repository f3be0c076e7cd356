#include "ui/windows/ScenariosForm.h"

#include "model/Clone.h"
#include "model/Limits.h"
#include "model/PoleVoltage.h"
#include "model/Project.h"
#include "prefs/Options.h"
#include "ui/app/EditDialogs.h"
#include "ui/app/ProjectFiles.h"
#include "ui/app/Prompts.h"
#include "ui/app/ReportService.h"
#include "ui/app/TextConvert.h"
#include "ui/dialogs/ClearanceDialog.h"
#include "ui/dialogs/PhasingDialog.h"
#include "ui/widgets/ColumnWidths.h"
#include "ui/windows/MainForm.h"
#include "ui/windows/ResultsPanel.h"

#include <QAction>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QScrollBar>
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
enum TNodeKind { kScenarioNode, kInterestPointsNode, kCircuitNode };
constexpr int kKindRole = Qt::UserRole;
constexpr int kObjectRole = Qt::UserRole + 1;

// Enough to step back through an afternoon's editing; each step keeps two
// snapshots of the project at most (consecutive ones share theirs).
constexpr int kUndoLimit = 200;

const char* const kHint =
    "Select the Circuit from the list on the left to modify it or its conductors.";

int NodeKind(const QTreeWidgetItem* node) {
    return node == nullptr ? -1 : node->data(0, kKindRole).toInt();
}

// One grid column: heading (lines separated by "\n") and alignment. A column
// is at least as wide as the longest word of its heading (a unit line such as
// "( ft )" counts as one word), so the headings wrap to three lines; it would
// like to show its widest cell whole (a name column up to a limit), and the
// columns share out the rest of the grid's width (ColumnWidths.h).
struct TColumn {
    QString Heading;
    Qt::Alignment Align;
    bool FitContents = false;
};

constexpr Qt::Alignment kCentred = Qt::AlignHCenter | Qt::AlignVCenter;
constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;
constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;

std::vector<TColumn> ConductorColumns(const TEmfProject& project) {
    const QString len = QString::fromLatin1(project.LengthUnit());
    const QString dia = QString::fromLatin1(project.DiameterUnit());
    const QString unit = QStringLiteral("\n( ") + len + " )";
    const QString spacing = dia.toUpper() == QLatin1String("MM") ? QStringLiteral("cm") : dia;
    return {
        {QStringLiteral("\nCircuit"), kCentred, true},
        {QStringLiteral("\nLabel"), kCentred},
        {QStringLiteral("Dist From Circuit") + unit, kRight},
        {QStringLiteral("Hgt From\nGround") + unit, kRight},
        {QStringLiteral("SubCond\n/ Bundle"), kCentred},
        {QStringLiteral("SubCond Diameter\n( ") + dia + " )", kRight},
        {QStringLiteral("Bundle Spacing\n( ") + spacing + " )", kRight},
        {QStringLiteral("Maximum\nVoltage\n( kV )"), kRight},
        {QStringLiteral("Phase\nAngle\n( Deg )"), kRight},
        {QStringLiteral("\nMCR\n( Amps )"), kRight},
    };
}

std::vector<TColumn> PointColumns(const TEmfProject& project) {
    const QString len = QString::fromLatin1(project.LengthUnit());
    return {
        {QStringLiteral("\nInterestPoint Name"), kLeft, true},
        {QStringLiteral("Distance From Left Row\n( ") + len + " )", kRight, true},
    };
}

// The narrowest width at which the heading wraps to at most three lines.
int HeadingWidth(const QFontMetrics& metrics, const QString& heading) {
    constexpr int kPadding = 8;
    constexpr int kWidest = 400;
    int width = 0;
    for (const QString& word : heading.split(QRegularExpression(QStringLiteral("\\s+"))))
        width = std::max(width, metrics.horizontalAdvance(word));
    const int threeLines = 3 * metrics.lineSpacing();
    auto height = [&](int w) {
        return metrics
            .boundingRect(QRect(0, 0, w, 10 * threeLines), Qt::AlignHCenter | Qt::TextWordWrap,
                          heading)
            .height();
    };
    while (width < kWidest && height(width) > threeLines)
        width += 2;
    return width + kPadding;
}

// The widest a name column grows to fit its contents, in average characters.
constexpr int kMaxNameCharacters = 28;
// Room around a cell's text: the leading blank is part of the text.
constexpr int kCellPadding = 8;

QString Format(const char* format, float value) {
    return QString::asprintf(format, static_cast<double>(value));
}

QStringList ConductorCells(const TConductor& c) {
    return {ToQString(c.Circuit->Name),
            ToQString(c.Id),
            Format("%7.1f", c.DisplayHorizDistance()),
            Format("%7.1f", c.DisplayHeight()),
            QString::number(c.SubCondCount),
            Format("%7.3f", c.DisplayDiameter()),
            Format("%7.1f", c.DisplaySubSpacing()),
            Format("%7.0f", ShownVoltageKv(c)),
            Format("%7.0f", c.PhaseAngle),
            Format("%7.0f", c.DisplayMcr())};
}

QStringList PointCells(const TInterestPoint& point) {
    const QString name = ToQString(point.Name);
    return {TrimmedRight(name).isEmpty() ? QStringLiteral(" ") : name,
            Format("%7.1f", point.DisplayDistFromRowLeft())};
}

// Keeps the selection's colours when the widget loses focus.
void KeepSelectionVisible(QWidget& widget) {
    QPalette colours = widget.palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    widget.setPalette(colours);
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
    });
    connect(tvCircuits_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        // A right click selects the node under the mouse.
        if (QTreeWidgetItem* node = tvCircuits_->itemAt(at)) tvCircuits_->setCurrentItem(node);
        ShowPopup(TPopupOrigin::Tree, tvCircuits_->viewport(), at);
    });

    sgConductors_ = new QTableWidget;
    sgConductors_->setObjectName(QStringLiteral("sgConductors"));
    sgConductors_->setSelectionBehavior(QAbstractItemView::SelectRows);
    sgConductors_->setSelectionMode(QAbstractItemView::SingleSelection);
    sgConductors_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgConductors_->verticalHeader()->hide();
    sgConductors_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    QHeaderView& heading = *sgConductors_->horizontalHeader();
    heading.setDefaultAlignment(Qt::Alignment::fromInt(Qt::AlignCenter | Qt::TextWordWrap));
    heading.setFixedHeight(3 * heading.fontMetrics().lineSpacing() + 10);
    heading.setHighlightSections(false);
    heading.setSectionsClickable(false);
    sgConductors_->setContextMenuPolicy(Qt::CustomContextMenu);
    sgConductors_->installEventFilter(this);
    sgConductors_->viewport()->installEventFilter(this); // its width shares out the columns
    heading.setSectionResizeMode(QHeaderView::Fixed);
    KeepSelectionVisible(*sgConductors_);
    connect(sgConductors_, &QTableWidget::cellDoubleClicked, this,
            &TScenariosForm::sgConductorsDblClick);
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

    CreateResultsPanel();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(0);
    layout->addWidget(tcScenarios_);
    layout->addWidget(resultsSplitter_, 1);
    layout->addSpacing(4);
    layout->addWidget(lbHint);
    SetGridHeadings(TGridMode::Conductors);
    ClearGrid();
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
    AddPopupSeparator(kNewConductorGroup);
    AddPopupItem(kNewConductorGroup, "New Conductor...", section, &S::NewConductor);
    AddPopupItem(kConductorGroup, "Edit Conductor...", section, &S::EditConductor);
    AddPopupItem(kConductorGroup, "Delete Conductor...", section, &S::DeleteConductor);
    AddPopupSeparator(kNewPointGroup);
    AddPopupItem(kNewPointGroup, "New Point Of Interest...", section, &S::NewPoint);
    AddPopupItem(kPointGroup, "Edit Point Of Interest...", section, &S::EditPoint);
    AddPopupItem(kPointGroup, "Delete Point Of Interest", section, &S::DeletePoint);
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

void TScenariosForm::tcScenariosChange() {
    BuildTree();
    RefreshResults();
}

void TScenariosForm::BuildTree() {
    const QSignalBlocker quiet(tvCircuits_);
    tvCircuits_->clear();
    rootNode_ = nullptr;
    interestPointsNode_ = nullptr;
    if (TScenario* scenario = CurrentScenario()) {
        rootNode_ = new QTreeWidgetItem(tvCircuits_, {QStringLiteral("CrossSection ")});
        rootNode_->setData(0, kKindRole, kScenarioNode);
        interestPointsNode_ = new QTreeWidgetItem(rootNode_, {QStringLiteral("InterestPoints")});
        interestPointsNode_->setData(0, kKindRole, kInterestPointsNode);
        for (TCircuit& circuit : scenario->Circuits)
            AddCircuitNode(circuit);
        tvCircuits_->expandAll();
        tvCircuits_->setCurrentItem(rootNode_);
    }
    tvCircuitsChange();
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

void TScenariosForm::SetGridHeadings(TGridMode mode) {
    gridMode_ = mode;
    const std::vector<TColumn> columns =
        mode == TGridMode::Conductors ? ConductorColumns(project_) : PointColumns(project_);
    sgConductors_->setColumnCount(static_cast<int>(columns.size()));
    columnAlign_.clear();
    fitColumns_.clear();
    columnSpans_.clear();
    const QFontMetrics metrics = sgConductors_->horizontalHeader()->fontMetrics();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        columnAlign_.push_back(columns[i].Align);
        fitColumns_.push_back(columns[i].FitContents);
        sgConductors_->setHorizontalHeaderItem(static_cast<int>(i),
                                               new QTableWidgetItem(columns[i].Heading));
        const int heading = HeadingWidth(metrics, columns[i].Heading);
        columnSpans_.push_back({heading, heading});
    }
}

void TScenariosForm::ClearGrid() {
    rows_.assign(1, TRow{});
    sgConductors_->clearContents();
    sgConductors_->setRowCount(1);
    WriteRow(0);
}

void TScenariosForm::AppendRow(TRow row) {
    const bool onlyBlank =
        rows_.size() == 1 && rows_.front().Conductor == nullptr && rows_.front().Point == nullptr;
    if (onlyBlank) {
        rows_.front() = row;
    } else {
        rows_.push_back(row);
        sgConductors_->setRowCount(static_cast<int>(rows_.size()));
    }
    WriteRow(static_cast<int>(rows_.size()) - 1);
}

void TScenariosForm::WriteRow(int index) {
    const TRow& row = rows_[static_cast<std::size_t>(index)];
    QStringList cells;
    if (row.Conductor != nullptr) cells = ConductorCells(*row.Conductor);
    if (row.Point != nullptr) cells = PointCells(*row.Point);
    for (int column = 0; column < sgConductors_->columnCount(); ++column) {
        // Every cell shows its value after one blank.
        const QString text =
            column < cells.size() ? QStringLiteral(" ") + cells[column] : QString();
        auto* item = new QTableWidgetItem(text);
        item->setTextAlignment(columnAlign_[static_cast<std::size_t>(column)]);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        sgConductors_->setItem(index, column, item);
    }
}

void TScenariosForm::ShowConductorGrid(const std::vector<TConductor*>& conductors) {
    SetGridHeadings(TGridMode::Conductors);
    ClearGrid();
    for (TConductor* conductor : conductors)
        AppendRow({conductor, nullptr});
}

void TScenariosForm::ShowPointGrid() {
    SetGridHeadings(TGridMode::InterestPoints);
    ClearGrid();
    if (TScenario* scenario = CurrentScenario())
        for (TInterestPoint& point : scenario->InterestPoints)
            AppendRow({nullptr, &point});
}

void TScenariosForm::RebuildGrid() {
    TScenario* scenario = CurrentScenario();
    std::vector<TConductor*> conductors;
    switch (NodeKind(tvCircuits_->currentItem())) {
    case kInterestPointsNode:
        ShowPointGrid();
        break;
    case kCircuitNode:
        if (TCircuit* circuit = SelectedCircuit())
            for (TConductor& conductor : circuit->Conductors)
                conductors.push_back(&conductor);
        ShowConductorGrid(conductors);
        break;
    default:
        if (scenario != nullptr)
            for (TCircuit& circuit : scenario->Circuits)
                for (TConductor& conductor : circuit.Conductors)
                    conductors.push_back(&conductor);
        ShowConductorGrid(conductors);
        break;
    }
    MeasureColumns();
    sgConductors_->setCurrentCell(0, 0);
}

void TScenariosForm::MeasureColumns() {
    const QFontMetrics metrics = sgConductors_->fontMetrics();
    const int widestName = kMaxNameCharacters * metrics.averageCharWidth();
    for (std::size_t i = 0; i < columnSpans_.size(); ++i) {
        const int column = static_cast<int>(i);
        int widest = 0;
        for (int row = 0; row < sgConductors_->rowCount(); ++row)
            if (const QTableWidgetItem* item = sgConductors_->item(row, column))
                widest = std::max(widest, metrics.horizontalAdvance(item->text()) + kCellPadding);
        if (fitColumns_[i]) widest = std::min(widest, widestName);
        columnSpans_[i].Preferred = std::max(columnSpans_[i].Minimum, widest);
    }
    StretchColumns();
}

void TScenariosForm::StretchColumns() {
    const std::vector<int> widths =
        FitColumnsToWidth(columnSpans_, sgConductors_->viewport()->width());
    for (std::size_t i = 0; i < widths.size(); ++i)
        sgConductors_->setColumnWidth(static_cast<int>(i), widths[i]);
}

int TScenariosForm::CurrentRow() const {
    const int last = static_cast<int>(rows_.size()) - 1;
    return std::clamp(sgConductors_->currentRow(), 0, last);
}

TConductor* TScenariosForm::RowConductor(int row) const {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return nullptr;
    return rows_[static_cast<std::size_t>(row)].Conductor;
}

TInterestPoint* TScenariosForm::RowPoint(int row) const {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return nullptr;
    return rows_[static_cast<std::size_t>(row)].Point;
}

void TScenariosForm::sgConductorsDblClick() {
    if (InterestPointsSelected())
        EditPoint();
    else
        EditConductor();
}

bool TScenariosForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == sgConductors_->viewport() && event->type() == QEvent::Resize) StretchColumns();
    // The panel's place follows the splitter's own size, set once it is laid out.
    if (watched == resultsSplitter_ && event->type() == QEvent::Resize) FitResultsPanel();
    if (watched == sgConductors_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            sgConductorsDblClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---- Results panel -----------------------------------------------------------

namespace {

// The narrowest the results panel gets beside the grids.
constexpr int kResultsPanelWidth = 420;
// The largest splitter size kept from the file: no screen is wider, and only
// the ratio of the two sizes counts.
constexpr qint64 kLargestSplitterSize = 100000;

// The splitter's sizes as the preference holds them, "640,560"; empty when
// the text is not two positive whole numbers. Larger sizes are scaled down
// together to kLargestSplitterSize, keeping their ratio.
QList<int> SplitterSizes(const std::string& text) {
    const QStringList parts = QString::fromStdString(text).split(QLatin1Char(','));
    if (parts.size() != 2) return {};
    qint64 sizes[2] = {};
    for (int i = 0; i < 2; ++i) {
        bool ok = false;
        sizes[i] = parts[i].trimmed().toLongLong(&ok);
        if (!ok || sizes[i] <= 0) return {};
    }
    const double scale =
        std::min(1.0, static_cast<double>(kLargestSplitterSize) /
                          static_cast<double>(std::max(sizes[0], sizes[1])));
    QList<int> kept;
    for (const qint64 size : sizes)
        kept.append(std::max(static_cast<int>(static_cast<double>(size) * scale), 1));
    return kept;
}

} // namespace

void TScenariosForm::CreateResultsPanel() {
    resultsSplitter_ = new QSplitter(Qt::Horizontal);
    resultsSplitter_->setObjectName(QStringLiteral("spResults"));
    resultsSplitter_->addWidget(splitter_);
    resultsSplitter_->setChildrenCollapsible(false);
    resultsSplitter_->setStretchFactor(0, 1);
    resultsSplitter_->setStretchFactor(1, 1);
    const TOptions& options = mainForm_.Options();
    resultsSizes_ = SplitterSizes(options.ReadText(prefkeys::ResultsSplitter));
    if (resultsSizes_.isEmpty()) resultsSizes_ = {760, 600};
    resultsWanted_ = options.ReadBool(prefkeys::ResultsPanel);
    connect(resultsSplitter_, &QSplitter::splitterMoved, this,
            &TScenariosForm::SaveResultsSplitter);
    resultsSplitter_->installEventFilter(this);
}

bool TScenariosForm::ResultsShown() const {
    return resultsPanel_ != nullptr && !resultsPanel_->isHidden();
}

bool TScenariosForm::ResultsBelowGrids() const {
    return ResultsShown() && resultsSplitter_->orientation() == Qt::Vertical;
}

bool TScenariosForm::ResultsVisible() const {
    return resultsWanted_;
}

void TScenariosForm::SetResultsVisible(bool visible) {
    resultsWanted_ = visible;
    FitResultsPanel();
}

void TScenariosForm::ShowFieldLimitsChange() {
    RefreshResults();
}

void TScenariosForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FitResultsPanel();
}

int TScenariosForm::GridsWidthNeeded() const {
    int grid =
        2 * sgConductors_->frameWidth() + sgConductors_->verticalScrollBar()->sizeHint().width();
    for (const TColumnSpan& span : columnSpans_)
        grid += span.Minimum;
    return tvCircuits_->width() + splitter_->handleWidth() + grid;
}

void TScenariosForm::FitResultsPanel() {
    if (!resultsWanted_) {
        if (resultsPanel_ != nullptr) resultsPanel_->hide();
        return;
    }
    if (resultsPanel_ == nullptr) {
        // Made when first wanted: a window whose user hid the panel has none.
        resultsPanel_ = new TResultsPanel;
        resultsPanel_->hide();
        resultsPanel_->SetOptions(mainForm_.Options());
        resultsSplitter_->addWidget(resultsPanel_);
        connect(resultsPanel_, &TResultsPanel::ConductorClicked, this,
                &TScenariosForm::SelectConductor);
        connect(sgConductors_, &QTableWidget::currentCellChanged, this,
                &TScenariosForm::HighlightConductor);
    }
    // Beside the grids when they keep their columns whole there, else below them.
    const int needed = GridsWidthNeeded() + resultsSplitter_->handleWidth() + kResultsPanelWidth;
    const Qt::Orientation place =
        resultsSplitter_->width() >= needed ? Qt::Horizontal : Qt::Vertical;
    const bool hidden = resultsPanel_->isHidden();
    // Below the grids, the grid keeps fitting its rows until the user moves the splitter.
    const bool refit = place == Qt::Vertical && resultsSizesBelow_.isEmpty();
    if (!hidden && place == resultsSplitter_->orientation()) {
        if (refit) PlaceResultsSplitter();
        return;
    }
    resultsSplitter_->setOrientation(place);
    // Below the grids, the grid's rows come first: the panel may get less
    // than its controls need (and show less) in a very low window.
    resultsPanel_->setMinimumHeight(place == Qt::Vertical ? 1 : 0);
    resultsPanel_->show();
    PlaceResultsSplitter();
    if (hidden) RefreshResults(); // a hidden panel is not kept up to date
}

void TScenariosForm::PlaceResultsSplitter() {
    const bool beside = resultsSplitter_->orientation() == Qt::Horizontal;
    const int available = (beside ? resultsSplitter_->width() : resultsSplitter_->height()) -
                          resultsSplitter_->handleWidth();
    int grids = 0;
    if (beside) {
        // The sizes kept, with the grid's columns whole.
        const qint64 total =
            std::max<qint64>(qint64{resultsSizes_.value(0)} + resultsSizes_.value(1), 1);
        grids = std::max(static_cast<int>(qint64{resultsSizes_.value(0)} * available / total),
                         GridsWidthNeeded());
    } else if (resultsSizesBelow_.size() == 2) {
        // The share the user gave the grids below.
        const int total = std::max(resultsSizesBelow_[0] + resultsSizesBelow_[1], 1);
        grids = resultsSizesBelow_[0] * available / total;
    } else {
        // The grid's rows (three at least), within 45 % of the height.
        const int rows = std::max(sgConductors_->rowCount(), 3);
        const int wanted = sgConductors_->horizontalHeader()->height() +
                           rows * sgConductors_->verticalHeader()->defaultSectionSize() +
                           2 * sgConductors_->frameWidth() + 4;
        grids = std::min(wanted, available * 45 / 100);
    }
    resultsSplitter_->setSizes({grids, std::max(available - grids, 1)});
}

void TScenariosForm::RefreshResults() {
    if (!ResultsShown() || CurrentScenario() == nullptr) return;
    resultsPanel_->SetFieldLimits(mainForm_.FieldLimits());
    HighlightConductor();
    resultsPanel_->ShowResults(project_, CurrentState().Snapshot, tcScenarios_->currentIndex());
}

void TScenariosForm::HighlightConductor() {
    const TScenario* scenario = CurrentScenario();
    if (resultsPanel_ == nullptr || scenario == nullptr) return;
    resultsPanel_->SetHighlightedConductor(ConductorRefOf(*scenario, RowConductor(CurrentRow())));
}

void TScenariosForm::SelectConductor(TConductorRef conductor) {
    TScenario* scenario = CurrentScenario();
    const TConductor* wanted = scenario == nullptr ? nullptr : ConductorAt(*scenario, conductor);
    if (wanted == nullptr) return;
    // The grid of the conductor's circuit, or of every conductor, shows it.
    if (gridMode_ != TGridMode::Conductors ||
        (SelectedCircuit() != nullptr && SelectedCircuit() != wanted->Circuit))
        SelectNode(rootNode_);
    for (int row = 0; row < static_cast<int>(rows_.size()); ++row)
        if (rows_[static_cast<std::size_t>(row)].Conductor == wanted)
            sgConductors_->setCurrentCell(row, 0);
}

void TScenariosForm::SaveResultsSplitter() {
    const QList<int> sizes = resultsSplitter_->sizes();
    if (sizes.size() != 2 || sizes[0] <= 0 || sizes[1] <= 0) return;
    // Below the grids the share is kept for this window only.
    if (resultsSplitter_->orientation() == Qt::Vertical) {
        resultsSizesBelow_ = sizes;
        return;
    }
    resultsSizes_ = sizes;
    // A preferences file that cannot be written only loses the panel's place.
    (void)mainForm_.Options().WriteText(prefkeys::ResultsSplitter,
                                        std::to_string(sizes[0]) + "," + std::to_string(sizes[1]));
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
}

TViewPlace TScenariosForm::CurrentPlace() const {
    TViewPlace place;
    place.Tab = std::max(tcScenarios_->currentIndex(), 0);
    const QTreeWidgetItem* node = tvCircuits_->currentItem();
    if (rootNode_ != nullptr && node != nullptr && node != rootNode_)
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
    if (place.Row > 0 && place.Row < static_cast<int>(rows_.size()))
        sgConductors_->setCurrentCell(place.Row, 0);
}

bool TScenariosForm::IsModified() const {
    return project_.IsModified();
}

void TScenariosForm::UpdateModified() {
    setWindowModified(IsModified());
}

// ---- Project and cross sections -----------------------------------------------

namespace {

QString CommandText(const char* what, const std::string& name) {
    return QString::fromLatin1(what) + QLatin1Char(' ') + ToQString(name);
}

} // namespace

void TScenariosForm::EditProject() {
    RecordChange([this]() -> std::optional<QString> {
        if (!mainForm_.Dialogs().EditProject(project_, this)) return std::nullopt;
        UpdateCaption();
        BuildTree();
        return QStringLiteral("Edit Project");
    });
}

void TScenariosForm::NewScenario(bool thenNewCircuit) {
    RecordChange([this, thenNewCircuit]() -> std::optional<QString> {
        if (IsFull(RoomForCrossSection(project_))) return std::nullopt;
        std::unique_ptr<TScenario> scenario = mainForm_.Dialogs().NewScenario(project_, this);
        if (scenario == nullptr) return std::nullopt;
        const QString text = CommandText("Add Cross Section", scenario->TabTitle);
        AddScenarioTab(std::move(scenario));
        if (thenNewCircuit) NewCircuit();
        return text;
    });
}

void TScenariosForm::EditScenario() {
    RecordChange([this]() -> std::optional<QString> {
        TScenario* scenario = CurrentScenario();
        if (scenario == nullptr) return std::nullopt;
        const QString text = CommandText("Edit Cross Section", scenario->TabTitle);
        if (!mainForm_.Dialogs().EditScenario(*scenario, this)) return std::nullopt;
        tcScenarios_->setTabText(tcScenarios_->currentIndex(), ToQString(scenario->DisplayName()));
        return text;
    });
}

void TScenariosForm::DeleteScenario() {
    RecordChange([this]() -> std::optional<QString> {
        const TScenario* scenario = CurrentScenario();
        if (scenario == nullptr) return std::nullopt;
        if (tcScenarios_->count() == 1) {
            ShowWarning(this, QStringLiteral("You cannot delete the last CrossSection!"));
            return std::nullopt;
        }
        if (!AskYesNo(this,
                      QStringLiteral("Do you really want to delete the current CrossSection?")))
            return std::nullopt;
        const QString text = CommandText("Delete Cross Section", scenario->TabTitle);
        const int index = tcScenarios_->currentIndex();
        {
            const QSignalBlocker quiet(tcScenarios_);
            tcScenarios_->removeTab(index);
            project_.Scenarios.Delete(index);
            tcScenarios_->setCurrentIndex(0);
        }
        tcScenariosChange();
        return text;
    });
}

void TScenariosForm::CloneScenario() {
    RecordChange([this]() -> std::optional<QString> {
        const TScenario* scenario = CurrentScenario();
        if (scenario == nullptr || IsFull(RoomForCrossSection(project_))) return std::nullopt;
        const QString text = CommandText("Clone Cross Section", scenario->TabTitle);
        std::unique_ptr<TScenario> copy = corvalt::CloneScenario(*scenario);
        if (copy == nullptr) return CloneFailed();
        AddScenarioTab(std::move(copy));
        return text;
    });
}

std::optional<QString> TScenariosForm::CloneFailed() {
    ShowError(this, QStringLiteral("The copy could not be made: a value is beyond what a project "
                                   "file holds in the project's units."));
    return std::nullopt;
}

bool TScenariosForm::IsFull(const std::optional<std::string>& refusal) {
    if (refusal) ShowWarning(this, ToQString(*refusal));
    return refusal.has_value();
}

// ---- Circuits -------------------------------------------------------------------

void TScenariosForm::NewCircuit() {
    RecordChange([this]() -> std::optional<QString> {
        TScenario* scenario = CurrentScenario();
        if (scenario == nullptr || IsFull(RoomForCircuit(*scenario, 0))) return std::nullopt;
        // A double-circuit structure comes as two circuits; the first is selected.
        std::vector<std::unique_ptr<TCircuit>> circuits =
            mainForm_.Dialogs().NewCircuits(*scenario, this);
        if (circuits.empty()) return std::nullopt;
        TCircuit& added = *circuits.front();
        QTreeWidgetItem* firstNode = nullptr;
        for (std::unique_ptr<TCircuit>& circuit : circuits) {
            TCircuit& shown = *circuit;
            scenario->Circuits.Add(std::move(circuit));
            QTreeWidgetItem* node = AddCircuitNode(shown);
            if (firstNode == nullptr) firstNode = node;
        }
        SelectNode(firstNode);
        // Placing the new conductors belongs to adding the circuit.
        EditCoordinates();
        return CommandText("Add Circuit", added.Name);
    });
}

void TScenariosForm::EditCircuit() {
    RecordChange([this]() -> std::optional<QString> {
        TCircuit* circuit = SelectedCircuit();
        if (circuit == nullptr) return std::nullopt;
        const QString text = CommandText("Edit Circuit", circuit->Name);
        if (!mainForm_.Dialogs().EditCircuit(*circuit, this)) return std::nullopt;
        tvCircuits_->currentItem()->setText(0, ToQString(circuit->Name));
        circuit->ApplyToConductors();
        RebuildGrid();
        return text;
    });
}

void TScenariosForm::DeleteCircuit() {
    RecordChange([this]() -> std::optional<QString> {
        TCircuit* circuit = SelectedCircuit();
        if (circuit == nullptr ||
            !AskYesNo(this, QStringLiteral("Are you sure you want to delete the current Circuit?")))
            return std::nullopt;
        const QString text = CommandText("Delete Circuit", circuit->Name);
        {
            const QSignalBlocker quiet(tvCircuits_);
            delete tvCircuits_->currentItem();
            circuit->Scenario->RemoveCircuit(*circuit);
            tvCircuits_->setCurrentItem(rootNode_);
        }
        tvCircuitsChange();
        return text;
    });
}

void TScenariosForm::CloneCircuit() {
    RecordChange([this]() -> std::optional<QString> {
        const TCircuit* circuit = SelectedCircuit();
        if (circuit == nullptr ||
            IsFull(RoomForCircuit(*circuit->Scenario, circuit->Conductors.Count())))
            return std::nullopt;
        const QString text = CommandText("Clone Circuit", circuit->Name);
        std::unique_ptr<TCircuit> copy = corvalt::CloneCircuit(*circuit);
        if (copy == nullptr) return CloneFailed();
        TCircuit& added = *copy;
        circuit->Scenario->Circuits.Add(std::move(copy));
        SelectNode(AddCircuitNode(added));
        return text;
    });
}

void TScenariosForm::EditCoordinates() {
    RecordChange([this]() -> std::optional<QString> {
        TCircuit* circuit = SelectedCircuit();
        if (circuit == nullptr || !mainForm_.Dialogs().EditCoordinates(*circuit, this))
            return std::nullopt;
        RebuildGrid();
        return CommandText("Edit Coordinates of", circuit->Name);
    });
}

// ---- Conductors -----------------------------------------------------------------

void TScenariosForm::NewConductor() {
    RecordChange([this]() -> std::optional<QString> {
        TCircuit* circuit = SelectedCircuit();
        if (circuit == nullptr || IsFull(RoomForConductors(*circuit->Scenario, 1)))
            return std::nullopt;
        std::unique_ptr<TConductor> conductor = mainForm_.Dialogs().NewConductor(*circuit, this);
        if (conductor == nullptr) return std::nullopt;
        TConductor* added = conductor.get();
        circuit->AddConductor(std::move(conductor));
        AppendRow({added, nullptr});
        MeasureColumns();
        return CommandText("Add Conductor", added->Id);
    });
}

void TScenariosForm::EditConductor() {
    RecordChange([this]() -> std::optional<QString> {
        const int row = CurrentRow();
        TConductor* conductor = RowConductor(row);
        if (conductor == nullptr) return std::nullopt;
        const QString text = CommandText("Edit Conductor", conductor->Id);
        if (!mainForm_.Dialogs().EditConductor(*conductor, this)) return std::nullopt;
        WriteRow(row);
        MeasureColumns();
        return text;
    });
}

void TScenariosForm::DeleteConductor() {
    RecordChange([this]() -> std::optional<QString> {
        TCircuit* circuit = SelectedCircuit();
        if (circuit == nullptr || circuit->Conductors.Empty()) return std::nullopt;
        if (!AskYesNo(this,
                      QStringLiteral("Are you sure you want to delete the current Conductor?")))
            return std::nullopt;
        TConductor* conductor = RowConductor(CurrentRow());
        if (conductor == nullptr || conductor->Circuit != circuit) return std::nullopt;
        const QString text = CommandText("Delete Conductor", conductor->Id);
        circuit->Scenario->RemoveConductor(*conductor);
        RebuildGrid();
        return text;
    });
}

// ---- Points of interest -----------------------------------------------------------

void TScenariosForm::NewPoint() {
    RecordChange([this]() -> std::optional<QString> {
        TScenario* scenario = CurrentScenario();
        if (scenario == nullptr || IsFull(RoomForInterestPoint(*scenario))) return std::nullopt;
        std::unique_ptr<TInterestPoint> point = mainForm_.Dialogs().NewPoint(*scenario, this);
        if (point == nullptr) return std::nullopt;
        TInterestPoint* added = point.get();
        scenario->InterestPoints.Add(std::move(point));
        if (gridMode_ != TGridMode::InterestPoints) {
            RebuildGrid();
        } else {
            AppendRow({nullptr, added});
            MeasureColumns();
        }
        return CommandText("Add Point Of Interest", added->Name);
    });
}

void TScenariosForm::EditPoint() {
    RecordChange([this]() -> std::optional<QString> {
        const int row = CurrentRow();
        TInterestPoint* point = RowPoint(row);
        if (point == nullptr) return std::nullopt;
        const QString text = CommandText("Edit Point Of Interest", point->Name);
        if (!mainForm_.Dialogs().EditPoint(*point, this)) return std::nullopt;
        WriteRow(row);
        MeasureColumns();
        return text;
    });
}

void TScenariosForm::DeletePoint() {
    RecordChange([this]() -> std::optional<QString> {
        TScenario* scenario = CurrentScenario();
        if (scenario == nullptr || scenario->InterestPoints.Empty()) return std::nullopt;
        if (!AskYesNo(this,
                      QStringLiteral("Are you sure you want to delete the current InterestPoint?")))
            return std::nullopt;
        const int index = scenario->InterestPoints.IndexOf(RowPoint(CurrentRow()));
        if (index < 0) return std::nullopt;
        const QString text =
            CommandText("Delete Point Of Interest", scenario->InterestPoints[index].Name);
        scenario->InterestPoints.Delete(index);
        RebuildGrid();
        return text;
    });
}

// ---- Design tools -----------------------------------------------------------------

void TScenariosForm::OptimisePhasing() {
    RecordChange([this]() -> std::optional<QString> {
        TScenario* scenario = CurrentScenario();
        if (scenario == nullptr) return std::nullopt;
        TPhasingDialog dialog(project_, project_.Scenarios.IndexOf(scenario), this);
        if (Prompts().Exec(dialog) != QDialog::Accepted || !dialog.ApplyTo(*scenario))
            return std::nullopt;
        RebuildGrid();
        return QStringLiteral("Optimise Phasing");
    });
}

void TScenariosForm::SolveClearance() {
    RecordChange([this]() -> std::optional<QString> {
        TScenario* scenario = CurrentScenario();
        if (scenario == nullptr) return std::nullopt;
        TClearanceDialog dialog(project_, project_.Scenarios.IndexOf(scenario),
                                mainForm_.FieldLimits(), this);
        if (Prompts().Exec(dialog) != QDialog::Accepted || !dialog.ApplyTo(*scenario))
            return std::nullopt;
        RebuildGrid();
        return QStringLiteral("Solve Clearance");
    });
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
