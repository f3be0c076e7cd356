#include "ui/windows/PlanEditor.h"

#include "model/Project.h"
#include "ui/app/TextConvert.h"
#include "ui/widgets/PlanView.h"
#include "ui/windows/ScenariosForm.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QUndoStack>
#include <QVBoxLayout>

namespace corvalt::ui {

// One of the editor's tables: the plan's cells as PlanEdits.h writes them;
// a typed cell goes to the editor, which stores or refuses it.
class TPlanTableModel : public QAbstractTableModel {
  public:
    TPlanTableModel(TPlanEditor& editor, TPlanTable table, QObject* parent)
        : QAbstractTableModel(parent), editor_(editor), table_(table) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : RowCount(editor_.Plan(), table_);
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : ColumnCount(table_);
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
        return CellText(editor_.Plan(), table_, index.row(), index.column());
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole) return {};
        if (orientation == Qt::Vertical) return section + 1;
        return ColumnTitle(editor_.Plan(), table_, section);
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (role != Qt::EditRole) return false;
        return editor_.EditCell(table_, index.row(), index.column(), value.toString());
    }

    // The plan changed: the same rows show new values, or the rows changed.
    void Refresh(int rowsBefore) {
        if (rowsBefore == rowCount()) {
            if (rowsBefore > 0)
                emit dataChanged(index(0, 0), index(rowsBefore - 1, columnCount() - 1));
            emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
        } else {
            beginResetModel();
            endResetModel();
        }
    }

  private:
    TPlanEditor& editor_;
    TPlanTable table_;
};

namespace {

QTableView* NewTable(const char* name, QAbstractItemModel* model) {
    auto* table = new QTableView;
    table->setObjectName(QString::fromLatin1(name));
    table->setModel(model);
    table->setSelectionMode(QAbstractItemView::ContiguousSelection);
    table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    return table;
}

QWidget* Titled(const QString& title, QWidget* content) {
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* label = new QLabel(QStringLiteral("<b>%1</b>").arg(title));
    layout->addWidget(label);
    layout->addWidget(content, 1);
    return box;
}

} // namespace

TPlanEditor::TPlanEditor(TScenariosForm& form, std::string planName)
    : QMainWindow(&form, Qt::Window), form_(form), planName_(std::move(planName)) {
    setObjectName(QStringLiteral("PlanEditor"));
    setAttribute(Qt::WA_DeleteOnClose);
    if (const TPlan* plan = form_.Project().FindPlan(planName_)) plan_ = *plan;

    view_ = new TPlanView;
    view_->SetPlan(plan_);
    connect(view_, &TPlanView::HandleMoved, this,
            [this](const TPlanHandle& handle, double x, double y) { MoveHandle(handle, x, y); });
    conductorModel_ = new TPlanTableModel(*this, TPlanTable::Conductors, this);
    footprintModel_ = new TPlanTableModel(*this, TPlanTable::Footprints, this);
    conductors_ = NewTable("tbConductors", conductorModel_);
    footprints_ = NewTable("tbFootprints", footprintModel_);
    conductors_->resizeColumnsToContents();
    footprints_->resizeColumnsToContents();

    auto* tables = new QSplitter(Qt::Vertical);
    tables->addWidget(Titled(QStringLiteral("Conductors"), conductors_));
    tables->addWidget(Titled(QStringLiteral("Footprints"), footprints_));
    tables->setStretchFactor(0, 3);
    tables->setStretchFactor(1, 1);
    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(view_);
    splitter->addWidget(tables);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({560, 540});
    splitter->setContentsMargins(4, 4, 4, 4);
    setCentralWidget(splitter);
    CreateActions();
    statusBar()->showMessage(QStringLiteral("Drag a structure or a footprint corner to move it; "
                                            "double-click a cell to edit it."));
    UpdateTitle();
    resize(1100, 620);
}

TPlanEditor::~TPlanEditor() {
    // The tables' models read the editor's plan: they go first, so the
    // tables hidden while the window is taken apart no longer ask them.
    delete conductorModel_;
    delete footprintModel_;
}

void TPlanEditor::CreateActions() {
    QToolBar* bar = addToolBar(QStringLiteral("Plan"));
    bar->setObjectName(QStringLiteral("tbPlan"));
    bar->setMovable(false);
    QAction* undo = form_.UndoStack().createUndoAction(this, QStringLiteral("&Undo"));
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = form_.UndoStack().createRedoAction(this, QStringLiteral("&Redo"));
    redo->setShortcut(QKeySequence::Redo);
    bar->addAction(undo);
    bar->addAction(redo);
    bar->addSeparator();
    const auto add = [this, bar](const char* name, const char* text, auto step) {
        QAction* action = bar->addAction(QString::fromLatin1(text));
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, step);
        return action;
    };
    using T = TPlanTable;
    add("acAddConductor", "Add Conductor", [this] { AddRow(T::Conductors); });
    add("acDeleteConductor", "Delete Conductor",
        [this] { RemoveRow(T::Conductors, SelectedRow(T::Conductors)); });
    bar->addSeparator();
    add("acAddFootprint", "Add Footprint", [this] { AddRow(T::Footprints); });
    add("acDeleteFootprint", "Delete Footprint",
        [this] { RemoveRow(T::Footprints, SelectedRow(T::Footprints)); });
    bar->addSeparator();
    acMap_ = add("acMap", "Map", [this] { emit MapRequested(plan_); });
    acMap_->setToolTip(QStringLiteral("The plan's field map"));
    for (const auto table : {T::Conductors, T::Footprints}) {
        auto* paste = new QAction(this);
        paste->setShortcut(QKeySequence::Paste);
        paste->setShortcutContext(Qt::WidgetShortcut);
        connect(paste, &QAction::triggered, this, [this, table] { PasteFromClipboard(table); });
        Table(table).addAction(paste);
    }
}

QTableView& TPlanEditor::Table(TPlanTable table) const {
    return table == TPlanTable::Conductors ? *conductors_ : *footprints_;
}

QString TPlanEditor::StatusText() const {
    return statusBar()->currentMessage();
}

void TPlanEditor::UpdateTitle() {
    setWindowTitle(QStringLiteral("Plan ") + ToQString(planName_) + QStringLiteral("--") +
                   ToQString(form_.Project().Title));
}

int TPlanEditor::SelectedRow(TPlanTable table) const {
    const QModelIndex current = Table(table).currentIndex();
    return current.isValid() ? current.row() : -1;
}

void TPlanEditor::Refuse(const QString& reason) {
    statusBar()->showMessage(reason);
    // The cell shows the value the plan keeps.
    Reload();
}

bool TPlanEditor::Apply(const QString& text, const TPlan& edited) {
    if (edited == plan_) return false;
    if (std::optional<QString> refusal = EditRefusal(plan_, edited)) {
        Refuse(*refusal);
        return false;
    }
    statusBar()->clearMessage();
    return form_.StorePlanChange(text, edited);
}

bool TPlanEditor::EditCell(TPlanTable table, int row, int column, const QString& text) {
    TPlan edited = plan_;
    if (std::optional<QString> refusal = SetCellText(edited, table, row, column, text)) {
        Refuse(*refusal);
        return false;
    }
    return Apply(CommandText("Edit Plan", planName_), edited);
}

bool TPlanEditor::PasteBlock(TPlanTable table, int row, int column, const QString& block) {
    TPlan edited = plan_;
    if (std::optional<QString> refusal =
            ui::PasteBlock(edited, table, std::max(row, 0), std::max(column, 0), block)) {
        Refuse(*refusal);
        return false;
    }
    return Apply(CommandText("Paste into Plan", planName_), edited);
}

void TPlanEditor::PasteFromClipboard(TPlanTable table) {
    const QModelIndex current = Table(table).currentIndex();
    PasteBlock(table, current.isValid() ? current.row() : RowCount(plan_, table),
               current.isValid() ? current.column() : 0, QApplication::clipboard()->text());
}

bool TPlanEditor::AddRow(TPlanTable table) {
    TPlan edited = plan_;
    ui::AddRow(edited, table);
    if (!Apply(CommandText(table == TPlanTable::Conductors ? "Add Conductor to Plan"
                                                           : "Add Footprint to Plan",
                           planName_),
               edited))
        return false;
    Table(table).setCurrentIndex(Table(table).model()->index(RowCount(plan_, table) - 1, 0));
    return true;
}

bool TPlanEditor::RemoveRow(TPlanTable table, int row) {
    TPlan edited = plan_;
    if (!ui::RemoveRow(edited, table, row)) return false;
    return Apply(CommandText(table == TPlanTable::Conductors ? "Delete Conductor from Plan"
                                                             : "Delete Footprint from Plan",
                             planName_),
                 edited);
}

bool TPlanEditor::MoveHandle(const TPlanHandle& handle, double x, double y) {
    TPlan edited = plan_;
    if (!ui::MoveHandle(edited, handle, x, y)) return false;
    return Apply(CommandText(handle.Kind == TPlanHandle::FootprintCorner ? "Move Corner in Plan"
                                                                         : "Move Structure in Plan",
                             planName_),
                 edited);
}

void TPlanEditor::Reload() {
    const TPlan* stored = form_.Project().FindPlan(planName_);
    if (stored == nullptr) {
        close();
        return;
    }
    const bool changed = !(*stored == plan_);
    const int conductorRows = RowCount(plan_, TPlanTable::Conductors);
    const int footprintRows = RowCount(plan_, TPlanTable::Footprints);
    plan_ = *stored;
    conductorModel_->Refresh(conductorRows);
    footprintModel_->Refresh(footprintRows);
    view_->SetPlan(plan_);
    UpdateTitle();
    if (changed) emit PlanChanged(plan_);
}

} // namespace corvalt::ui
