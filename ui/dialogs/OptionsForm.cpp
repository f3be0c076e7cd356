#include "ui/dialogs/OptionsForm.h"

#include "prefs/NumberText.h"
#include "ui/app/Prompts.h"
#include "ui/app/TextConvert.h"
#include "ui/widgets/EnterAsTab.h"
#include "ui/widgets/FormWidgets.h"
#include "ui/widgets/NumberField.h"
#include "ui/widgets/RadioGroup.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>

namespace corvalt::ui {
namespace {

const char* kListNote =
    "Use right mouse button for popup action menu. For edit and delete, select item first.";

std::size_t Slot(TLibraryKind kind) {
    return static_cast<std::size_t>(kind);
}

// A data cell: one leading blank, names left-aligned and numbers right-aligned.
QTableWidgetItem* Cell(const std::string& text, bool name) {
    auto* item = new QTableWidgetItem(QStringLiteral(" ") + ToQString(text));
    item->setTextAlignment((name ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    return item;
}

} // namespace

// ---- TPrefsValues ------------------------------------------------------------

TPrefsValues TPrefsValues::Read(const TOptions& options) {
    TPrefsValues values;
    values.MesUnits = options.MesUnits();
    values.FacName = options.FacName();
    values.FacAddr = options.FacAddr();
    values.EngineerName = options.EngineerName();
    values.FacCnt = options.FacCnt();
    values.FacCty = options.FacCty();
    values.AgentName = options.AgentName();
    values.AgentAddress = options.AgentAddress();
    values.AgentPhone = options.AgentPhone();
    values.PeName = options.PeName();
    values.PeAddress = options.PeAddress();
    values.PePhone = options.PePhone();
    values.PhaseAAngle = options.PhaseAAngle();
    values.PhaseBAngle = options.PhaseBAngle();
    values.PhaseCAngle = options.PhaseCAngle();
    values.EnterAsTab = options.EnterAsTab();
    values.CsPrtOpt = options.CsPrtOpt();
    values.LimitsStatement = options.LimitsStatement();
    values.DetailsPlot = options.DetailsPlot();
    values.CoronaPlot = options.CoronaPlot();
    for (const TSiteParameterInfo& parameter : kSiteParameters)
        values.CoronaSite[static_cast<std::size_t>(parameter.Id)] =
            options.CoronaSiteDefault(parameter.Id);
    return values;
}

TPrefsError TPrefsValues::Write(TOptions& options) const {
    const std::pair<const TPrefKey*, const std::string*> texts[] = {
        {&prefkeys::EngineerName, &EngineerName},
        {&prefkeys::AgentName, &AgentName},
        {&prefkeys::AgentAddress, &AgentAddress},
        {&prefkeys::AgentPhone, &AgentPhone},
        {&prefkeys::PeName, &PeName},
        {&prefkeys::PeAddress, &PeAddress},
        {&prefkeys::PePhone, &PePhone},
        {&prefkeys::FacName, &FacName},
        {&prefkeys::FacAddr, &FacAddr},
        {&prefkeys::FacCnt, &FacCnt},
        {&prefkeys::FacCty, &FacCty}};
    const std::pair<const TPrefKey*, int> integers[] = {{&prefkeys::PhaseAAngle, PhaseAAngle},
                                                        {&prefkeys::PhaseBAngle, PhaseBAngle},
                                                        {&prefkeys::PhaseCAngle, PhaseCAngle},
                                                        {&prefkeys::MesUnits, MesUnits},
                                                        {&prefkeys::CsPrtOpt, CsPrtOpt}};
    const std::pair<const TPrefKey*, bool> booleans[] = {
        {&prefkeys::EnterAsTab, EnterAsTab},
        {&prefkeys::LimitsStatement, LimitsStatement},
        {&prefkeys::DetailsPlot, DetailsPlot},
        {&prefkeys::CoronaPlot, CoronaPlot}};
    for (const auto& [key, value] : booleans)
        if (TPrefsError error = options.WriteBool(*key, value)) return error;
    for (const auto& [key, value] : integers)
        if (TPrefsError error = options.WriteInteger(*key, value)) return error;
    for (const auto& [key, value] : texts)
        if (TPrefsError error = options.WriteText(*key, *value)) return error;
    for (std::size_t i = 0; i < CoronaSite.size(); ++i)
        if (TPrefsError error = options.WriteReal(prefkeys::CoronaSite[i], CoronaSite[i]))
            return error;
    return std::nullopt;
}

// ---- TOptionsForm ------------------------------------------------------------

TOptionsForm::TOptionsForm(TOptions& options, QWidget* parent)
    : QDialog(parent), options_(options) {
    setWindowTitle(QStringLiteral("Preferences"));
    CreateControls();
    // Here Enter always moves on, whatever the preference says.
    TEnterAsTab::Install(*this, true);
    ShowValues(TPrefsValues::Read(options_));
    limitsPage_->ShowLimits(options_.FieldLimits());
    options_.LoadVoltages();
    FillGrids();
    // The grids size themselves to their columns only once filled.
    adjustSize();
}

bool TOptionsForm::Execute(TOptions& options, QWidget* parent) {
    TOptionsForm form(options, parent);
    return form.exec() == Accepted;
}

void TOptionsForm::CreateControls() {
    CreatePopup(); // the library pages' buttons trigger its commands
    pages_ = Named(new QStackedWidget, "pcPages");
    categories_ = Named(new QListWidget, "lbCategories");
    AddPage(CreateNewProjectsPage(), QStringLiteral("New Projects"));
    contacts_ = CreateContactPage();
    AddPage(contacts_.Page, QStringLiteral("New Projects (cont)"));
    AddPage(CreateNewCircuitsPage(), QStringLiteral("New Circuits"));
    AddPage(CreateNewSectionsPage(), QStringLiteral("New CrossSections"));
    AddPage(CreateVoltagesPage(), QStringLiteral("Voltages"));
    AddPage(CreateCondOhgwPage(), QStringLiteral("Cond/Ohgw"));
    AddPage(CreateGeneralPage(), QStringLiteral("General"));
    limitsPage_ = Named(new TLimitsPage, "tsLimits");
    AddPage(limitsPage_, QStringLiteral("Limits"));
    // The list chooses the page, and a page shown otherwise (Enter on the last
    // field of a page) is the one the list marks.
    connect(categories_, &QListWidget::currentRowChanged, pages_, &QStackedWidget::setCurrentIndex);
    connect(pages_, &QStackedWidget::currentChanged, categories_,
            [this](int page) { categories_->setCurrentRow(page); });
    categories_->setCurrentRow(0);
    // Every category in view, the list no wider than its longest one.
    categories_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    categories_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    categories_->setSpacing(3);
    categories_->setFixedWidth(categories_->sizeHintForColumn(0) + 2 * categories_->frameWidth() +
                               16);

    buttons_ = OkCancelButtons(*this);
    auto* body = new QHBoxLayout;
    body->addWidget(categories_);
    body->addWidget(pages_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addWidget(buttons_);
    connect(OkButton(*buttons_), &QPushButton::clicked, this, &TOptionsForm::btOKClick);
    connect(site_, &TSiteFields::Changed, this, &TOptionsForm::UpdateControls);
}

void TOptionsForm::AddPage(QWidget* page, const QString& category) {
    pages_->addWidget(page);
    categories_->addItem(category);
}

QWidget* TOptionsForm::CreateNewProjectsPage() {
    rgUnits_ = Named(new TRadioGroup(QStringLiteral(" Measurement Units "),
                                     {QStringLiteral("English"), QStringLiteral("Metric")}, 2),
                     "rgUnits");
    SetHint(*rgUnits_, QStringLiteral("Units used for Project"));
    connect(rgUnits_, &TRadioGroup::ItemChosen, this, &TOptionsForm::rgUnitsClick);
    eFacName_ = TextField("eFacName");
    eFacAddress_ = TextField("eFacAddress");
    SetHint(*eFacAddress_, QString::fromLatin1(kAddressHint));
    eEngineerName_ = TextField("eEngineerName");
    eCounties_ = TextField("eCounties");
    eCities_ = TextField("eCities");
    TEnterAsTab::MarkLastOfPage(*eCities_);

    auto* owner = new QGroupBox(QStringLiteral(" Facility Owner"));
    auto* ownerForm = new QFormLayout(owner);
    ownerForm->addRow(BuddyLabel(QStringLiteral("&Name"), eFacName_), eFacName_);
    ownerForm->addRow(BuddyLabel(QStringLiteral("&Address"), eFacAddress_), eFacAddress_);
    auto* engineer = new QGroupBox(QStringLiteral("Engineer Name"));
    SetHint(*engineer, QStringLiteral("Projects Engineer (not shown on any documents)"));
    (new QVBoxLayout(engineer))->addWidget(eEngineerName_);
    auto* places = new QGroupBox(QStringLiteral("Counties / Cities"));
    auto* placesForm = new QFormLayout(places);
    placesForm->addRow(BuddyLabel(QStringLiteral("C&ounties"), eCounties_), eCounties_);
    placesForm->addRow(BuddyLabel(QStringLiteral("C&ities"), eCities_), eCities_);

    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(NoteLabel(QString::fromLatin1(kLineBreakNote)));
    layout->addWidget(rgUnits_);
    layout->addWidget(owner);
    layout->addWidget(engineer);
    layout->addWidget(places);
    layout->addStretch(1);
    return page;
}

QWidget* TOptionsForm::CreateNewCircuitsPage() {
    eAphase_ = Named(new TNumberField(Picture("####", true)), "eAphase");
    eBphase_ = Named(new TNumberField(Picture("####", true)), "eBphase");
    eCphase_ = Named(new TNumberField(Picture("####", true)), "eCphase");
    TEnterAsTab::MarkLastOfPage(*eCphase_);
    auto* group = new QGroupBox(QStringLiteral("New Circuit Defaults"));
    auto* grid = new QGridLayout(group);
    const std::pair<const char*, TNumberField*> rows[] = {
        {"&A-phase Angle", eAphase_}, {"&B-phase Angle", eBphase_}, {"&C-phase Angle", eCphase_}};
    int row = 0;
    for (const auto& [label, field] : rows) {
        grid->addWidget(BuddyLabel(QString::fromLatin1(label), field), row, 0);
        grid->addWidget(field, row, 1);
        grid->addWidget(new QLabel(QStringLiteral("degrees")), row, 2);
        ++row;
    }
    grid->setColumnStretch(3, 1);
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(group);
    layout->addStretch(1);
    return page;
}

// The corona site of new cross sections, in the units of " Measurement Units ".
QWidget* TOptionsForm::CreateNewSectionsPage() {
    site_ = new TSiteFields(libraryUnits_, this);
    TEnterAsTab::MarkLastOfPage(site_->Field(TSiteParameter::GroundConductivity));
    lbSiteError_ = Named(new QLabel, "lbSiteError");
    lbSiteError_->setWordWrap(true);
    auto* group = Named(new QGroupBox(QStringLiteral("Corona site")), "gbCoronaSite");
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(NoteLabel(QStringLiteral(
        "New cross sections start with these values. A blank field leaves the parameter "
        "unset: the computation uses the default shown in grey.")));
    layout->addLayout(site_->Grid());
    layout->addWidget(lbSiteError_);
    auto* page = new QWidget;
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(group);
    pageLayout->addStretch(1);
    return page;
}

QTableWidget* TOptionsForm::CreateGrid(TLibraryKind kind, const char* name) {
    auto* grid = Named(new QTableWidget, name);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setTabKeyNavigation(false);
    grid->verticalHeader()->hide();
    const int rowHeight = grid->fontMetrics().height() + 8;
    grid->verticalHeader()->setDefaultSectionSize(rowHeight);
    grid->setMaximumHeight(rowHeight * 18); // longer libraries scroll
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // As wide as its columns, with room for the scroll bar.
    grid->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    grid->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter |
                                                  Qt::Alignment(Qt::TextWordWrap));
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid, &QWidget::customContextMenuRequested, this,
            [this, kind](const QPoint& position) { sgContextPopup(kind, position); });
    connect(grid, &QTableWidget::currentCellChanged, this,
            [this, kind] { UpdateLibraryButtons(kind); });
    grids_[Slot(kind)] = grid;
    return grid;
}

QWidget* TOptionsForm::LibraryButtons(TLibraryKind kind, const QString& prefix) {
    const std::size_t slot = Slot(kind);
    auto button = [&prefix](const char* name, const QString& text, const QString& hint) {
        auto* pushButton = new QPushButton(text);
        pushButton->setObjectName(prefix + QString::fromLatin1(name));
        pushButton->setToolTip(hint);
        pushButton->setAutoDefault(false); // Enter in the grid never presses it
        return pushButton;
    };
    // The same commands as the grid's popup menu, under the same hints.
    QPushButton* add = button("Add", QStringLiteral("Add..."), insertItems_[slot]->text());
    editButtons_[slot] = button("Edit", QStringLiteral("Edit..."), editItems_[slot]->text());
    deleteButtons_[slot] = button("Delete", QStringLiteral("Delete"), deleteItems_[slot]->text());
    connect(add, &QPushButton::clicked, insertItems_[slot], &QAction::trigger);
    connect(editButtons_[slot], &QPushButton::clicked, editItems_[slot], &QAction::trigger);
    connect(deleteButtons_[slot], &QPushButton::clicked, deleteItems_[slot], &QAction::trigger);
    auto* up = new QToolButton;
    up->setObjectName(prefix + QStringLiteral("Up"));
    up->setArrowType(Qt::UpArrow);
    up->setToolTip(QStringLiteral("Move the selected entry up"));
    auto* down = new QToolButton;
    down->setObjectName(prefix + QStringLiteral("Down"));
    down->setArrowType(Qt::DownArrow);
    down->setToolTip(QStringLiteral("Move the selected entry down"));
    connect(up, &QToolButton::clicked, this, [this, kind] { MoveEntryUp(kind); });
    connect(down, &QToolButton::clicked, this, [this, kind] { MoveEntryDown(kind); });
    auto* arrows = new QHBoxLayout;
    arrows->addWidget(up);
    arrows->addWidget(down);
    arrows->addStretch(1);
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QPushButton* pushButton : {add, editButtons_[slot], deleteButtons_[slot]})
        layout->addWidget(pushButton);
    layout->addSpacing(12);
    layout->addLayout(arrows);
    layout->addStretch(1);
    return column;
}

void TOptionsForm::UpdateLibraryButtons(TLibraryKind kind) {
    const int row = Grid(kind).currentRow();
    const bool entry = row >= 0 && row < EntryCount(kind); // not the blank row
    editButtons_[Slot(kind)]->setEnabled(entry);
    deleteButtons_[Slot(kind)]->setEnabled(entry);
}

QWidget* TOptionsForm::CreateVoltagesPage() {
    QTableWidget* grid = CreateGrid(TLibraryKind::Voltages, "sgVoltages");
    TEnterAsTab::MarkLastOfPage(*grid);
    auto* page = new QWidget;
    auto* layout = new QGridLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("VOLTAGE LIST")), 0, 0);
    layout->addWidget(grid, 1, 0);
    layout->addWidget(LibraryButtons(TLibraryKind::Voltages, QStringLiteral("bVolt")), 1, 1);
    layout->addWidget(NoteLabel(QString::fromLatin1(kListNote)), 2, 0, 1, 3);
    layout->setColumnStretch(2, 1);
    return page;
}

QWidget* TOptionsForm::CreateCondOhgwPage() {
    QTableWidget* conductors = CreateGrid(TLibraryKind::Conductors, "sgConductors");
    QTableWidget* ohgws = CreateGrid(TLibraryKind::Ohgws, "sgOhgws");
    TEnterAsTab::MarkLastOfPage(*ohgws);
    auto* page = new QWidget;
    auto* layout = new QGridLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("CONDUCTOR LIST")), 0, 0);
    layout->addWidget(conductors, 1, 0);
    layout->addWidget(LibraryButtons(TLibraryKind::Conductors, QStringLiteral("bCond")), 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("OHGW LIST")), 0, 2);
    layout->addWidget(ohgws, 1, 2);
    layout->addWidget(LibraryButtons(TLibraryKind::Ohgws, QStringLiteral("bOhgw")), 1, 3);
    layout->addWidget(NoteLabel(QString::fromLatin1(kListNote)), 2, 0, 1, 4);
    layout->setColumnStretch(4, 1);
    return page;
}

QWidget* TOptionsForm::CreateGeneralPage() {
    cbEnter_ =
        Named(new QCheckBox(QStringLiteral("Enter Key works as Tab Key to move to next field.")),
              "cbEnter");
    rgCsPrtOption_ =
        Named(new TRadioGroup(QStringLiteral("CrossSections to Print"),
                              {QStringLiteral("All"), QStringLiteral("Maximum Readings Only")}),
              "rgCsPrtOption");
    cbLimitsStatement_ = Named(
        new QCheckBox(QStringLiteral("Compliance report ends with the field limits statement.")),
        "cbLimitsStatement");
    cbDetailsPlot_ = Named(
        new QCheckBox(QStringLiteral("EMF details report ends with the E and B profile plot.")),
        "cbDetailsPlot");
    cbCoronaPlot_ = Named(new QCheckBox(QStringLiteral("Corona report ends with the audible "
                                                       "noise, radio and TV interference plot.")),
                          "cbCoronaPlot");
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(cbEnter_);
    layout->addWidget(rgCsPrtOption_);
    layout->addWidget(cbLimitsStatement_);
    layout->addWidget(cbDetailsPlot_);
    layout->addWidget(cbCoronaPlot_);
    layout->addStretch(1);
    return page;
}

void TOptionsForm::CreatePopup() {
    pmLibrary_ = Named(new QMenu(this), "pmLibrary");
    const char* texts[3][3] = {
        {"Insert a Voltage Class", "Edit a Voltage Class", "Delete a Voltage Class"},
        {"Insert a Conductor Type", "Edit a Conductor Type", "Delete a Conductor Type"},
        {"Insert an Ohgw Type", "Edit an Ohgw Type", "Delete an Ohgw Type"}};
    for (const TLibraryKind kind :
         {TLibraryKind::Voltages, TLibraryKind::Conductors, TLibraryKind::Ohgws}) {
        const std::size_t slot = Slot(kind);
        insertItems_[slot] = pmLibrary_->addAction(QString::fromLatin1(texts[slot][0]), this,
                                                   [this, kind] { InsertEntry(kind); });
        editItems_[slot] = pmLibrary_->addAction(QString::fromLatin1(texts[slot][1]), this,
                                                 [this, kind] { EditEntry(kind); });
        deleteItems_[slot] = pmLibrary_->addAction(QString::fromLatin1(texts[slot][2]), this,
                                                   [this, kind] { DeleteEntry(kind); });
    }
}

QMenu& TOptionsForm::PopupFor(TLibraryKind kind) {
    for (QAction* action : pmLibrary_->actions())
        action->setVisible(false);
    const std::size_t slot = Slot(kind);
    const bool entries = EntryCount(kind) > 0;
    insertItems_[slot]->setVisible(true);
    editItems_[slot]->setVisible(entries);
    deleteItems_[slot]->setVisible(entries);
    return *pmLibrary_;
}

void TOptionsForm::sgContextPopup(TLibraryKind kind, const QPoint& position) {
    PopupFor(kind).exec(Grid(kind).viewport()->mapToGlobal(position));
}

QTableWidget& TOptionsForm::Grid(TLibraryKind kind) const {
    return *grids_[Slot(kind)];
}

template <class Action> void TOptionsForm::OnLibrary(TLibraryKind kind, Action action) const {
    switch (kind) {
    case TLibraryKind::Voltages:
        action(options_.Voltages());
        return;
    case TLibraryKind::Conductors:
        action(options_.Conductors());
        return;
    case TLibraryKind::Ohgws:
        action(options_.Ohgws());
        return;
    }
}

int TOptionsForm::EntryCount(TLibraryKind kind) const {
    int count = 0;
    OnLibrary(kind, [&count](auto& library) { count = library.Count(); });
    return count;
}

void TOptionsForm::FillGrid(TLibraryKind kind) {
    QTableWidget& grid = Grid(kind);
    const QString unit = QString::fromLatin1(DiameterUnit(libraryUnits_));
    const int count = EntryCount(kind);
    grid.clear();
    switch (kind) {
    case TLibraryKind::Voltages:
        grid.setColumnCount(3);
        grid.setHorizontalHeaderLabels({QStringLiteral("Voltage Class\n( kV )"),
                                        QStringLiteral("% Over Rated"),
                                        QStringLiteral("Max Voltage\n( kV )")});
        break;
    case TLibraryKind::Conductors:
        grid.setColumnCount(3);
        grid.setHorizontalHeaderLabels(
            {QStringLiteral("Name"), QStringLiteral("Diameter\n( ") + unit + QStringLiteral(" )"),
             QStringLiteral("MCR\n( amps )")});
        break;
    case TLibraryKind::Ohgws:
        grid.setColumnCount(2);
        grid.setHorizontalHeaderLabels(
            {QStringLiteral("Name"), QStringLiteral("Diameter\n(") + unit + QStringLiteral(")")});
        break;
    }
    grid.setRowCount(count + 1); // the entries and one blank row
    for (int row = 0; row < count; ++row) {
        if (kind == TLibraryKind::Voltages) {
            const TVoltItem& entry = options_.Voltages()[row];
            grid.setItem(row, 0, Cell(FormatFixed(entry.Voltage, 0), false));
            grid.setItem(row, 1, Cell(FormatFixed(entry.OverRateFactor, 3), false));
            grid.setItem(row, 2, Cell(FormatFixed(entry.MaxVoltage, 0), false));
        } else if (kind == TLibraryKind::Conductors) {
            const TCondItem& entry = options_.Conductors()[row];
            grid.setItem(row, 0, Cell(entry.Name, true));
            grid.setItem(
                row, 1,
                Cell(FormatFixed(DisplayDiameter(libraryUnits_, entry.Diameter), 3), false));
            grid.setItem(row, 2, Cell(FormatFixed(entry.Mcr, 0), false));
        } else {
            const TOhgwItem& entry = options_.Ohgws()[row];
            grid.setItem(row, 0, Cell(entry.Name, true));
            grid.setItem(
                row, 1,
                Cell(FormatFixed(DisplayDiameter(libraryUnits_, entry.Diameter), 3), false));
        }
    }
    grid.resizeColumnsToContents();
    int width = 2 * grid.frameWidth() + grid.verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < grid.columnCount(); ++column) {
        grid.setColumnWidth(column, grid.columnWidth(column) + 12);
        width += grid.columnWidth(column);
    }
    // Wide enough for every column, so no value hides behind the scroll bar.
    grid.setMinimumWidth(width);
}

void TOptionsForm::FillGrids() {
    for (const TLibraryKind kind :
         {TLibraryKind::Voltages, TLibraryKind::Conductors, TLibraryKind::Ohgws}) {
        FillGrid(kind);
        SetCurrentRow(kind, 0);
    }
}

void TOptionsForm::SetCurrentRow(TLibraryKind kind, int row) {
    QTableWidget& grid = Grid(kind);
    grid.setCurrentCell(std::clamp(row, 0, grid.rowCount() - 1), 0);
    UpdateLibraryButtons(kind);
}

bool TOptionsForm::RunEditor(TLibraryKind kind, TLibraryEdit mode, int position) {
    const bool enterAsTab = options_.EnterAsTab();
    if (kind == TLibraryKind::Voltages) {
        TVoltageForm editor(options_.Voltages(), mode, position, enterAsTab, this);
        return editor.exec() == Accepted;
    }
    TCondOhgwForm editor(options_, kind, mode, position, libraryUnits_, enterAsTab, this);
    return editor.exec() == Accepted;
}

void TOptionsForm::InsertEntry(TLibraryKind kind) {
    const int row = std::max(Grid(kind).currentRow(), 0); // the blank row appends
    if (!RunEditor(kind, TLibraryEdit::Insert, row)) return;
    FillGrid(kind);
    SetCurrentRow(kind, row);
}

void TOptionsForm::EditEntry(TLibraryKind kind) {
    const int row = Grid(kind).currentRow();
    if (row < 0 || row >= EntryCount(kind)) return;
    if (!RunEditor(kind, TLibraryEdit::Edit, row)) return;
    FillGrid(kind);
    SetCurrentRow(kind, row);
}

void TOptionsForm::DeleteEntry(TLibraryKind kind) {
    const int row = Grid(kind).currentRow();
    if (row < 0 || row >= EntryCount(kind)) return;
    OnLibrary(kind, [row](auto& library) { library.Delete(row); });
    FillGrid(kind);
    SetCurrentRow(kind, row > 0 ? row - 1 : 0);
}

void TOptionsForm::SwapEntries(TLibraryKind kind, int a, int b) {
    OnLibrary(kind, [a, b](auto& library) { library.Exchange(a, b); });
    FillGrid(kind);
}

void TOptionsForm::MoveEntryUp(TLibraryKind kind) {
    const int row = Grid(kind).currentRow();
    if (row < 1 || row >= EntryCount(kind)) return;
    SwapEntries(kind, row, row - 1);
    SetCurrentRow(kind, row - 1);
}

void TOptionsForm::MoveEntryDown(TLibraryKind kind) {
    const int row = Grid(kind).currentRow();
    if (row < 0 || row + 1 >= EntryCount(kind)) return;
    SwapEntries(kind, row, row + 1);
    SetCurrentRow(kind, row + 1);
}

void TOptionsForm::ShowValues(const TPrefsValues& values) {
    rgUnits_->SetItemIndex(values.MesUnits == Metric ? 1 : 0);
    libraryUnits_ = values.MesUnits == Metric ? Metric : English;
    eFacName_->setText(ToQString(values.FacName));
    eFacAddress_->setText(ToQString(values.FacAddr));
    eEngineerName_->setText(ToQString(values.EngineerName));
    eCounties_->setText(ToQString(values.FacCnt));
    eCities_->setText(ToQString(values.FacCty));
    contacts_.AgentName->setText(ToQString(values.AgentName));
    contacts_.AgentAddress->setText(ToQString(values.AgentAddress));
    contacts_.AgentPhone->setText(ToQString(values.AgentPhone));
    contacts_.PeName->setText(ToQString(values.PeName));
    contacts_.PeAddress->setText(ToQString(values.PeAddress));
    contacts_.PePhone->setText(ToQString(values.PePhone));
    eAphase_->SetValue(values.PhaseAAngle);
    eBphase_->SetValue(values.PhaseBAngle);
    eCphase_->SetValue(values.PhaseCAngle);
    cbEnter_->setChecked(values.EnterAsTab);
    rgCsPrtOption_->SetItemIndex(values.CsPrtOpt == 1 ? 1 : 0);
    cbLimitsStatement_->setChecked(values.LimitsStatement);
    cbDetailsPlot_->setChecked(values.DetailsPlot);
    cbCoronaPlot_->setChecked(values.CoronaPlot);
    site_->SetUnits(libraryUnits_);
    site_->ShowValues(values.CoronaSite);
    UpdateControls();
}

TPrefsValues TOptionsForm::Values() const {
    TPrefsValues values;
    values.MesUnits = rgUnits_->ItemIndex() == 1 ? Metric : English;
    values.FacName = CommittedText(eFacName_->text(), options_.FacName());
    values.FacAddr = CommittedText(eFacAddress_->text(), options_.FacAddr());
    values.EngineerName = CommittedText(eEngineerName_->text(), options_.EngineerName());
    values.FacCnt = CommittedText(eCounties_->text(), options_.FacCnt());
    values.FacCty = CommittedText(eCities_->text(), options_.FacCty());
    values.AgentName = CommittedText(contacts_.AgentName->text(), options_.AgentName());
    values.AgentAddress = CommittedText(contacts_.AgentAddress->text(), options_.AgentAddress());
    values.AgentPhone = CommittedText(contacts_.AgentPhone->text(), options_.AgentPhone());
    values.PeName = CommittedText(contacts_.PeName->text(), options_.PeName());
    values.PeAddress = CommittedText(contacts_.PeAddress->text(), options_.PeAddress());
    values.PePhone = CommittedText(contacts_.PePhone->text(), options_.PePhone());
    values.PhaseAAngle = eAphase_->IntValue();
    values.PhaseBAngle = eBphase_->IntValue();
    values.PhaseCAngle = eCphase_->IntValue();
    values.EnterAsTab = cbEnter_->isChecked();
    values.CsPrtOpt = rgCsPrtOption_->ItemIndex() == 1 ? 1 : 0;
    values.LimitsStatement = cbLimitsStatement_->isChecked();
    values.DetailsPlot = cbDetailsPlot_->isChecked();
    values.CoronaPlot = cbCoronaPlot_->isChecked();
    values.CoronaSite = site_->Values();
    return values;
}

void TOptionsForm::rgUnitsClick(int units) {
    libraryUnits_ = units == 1 ? Metric : English;
    FillGrid(TLibraryKind::Conductors);
    FillGrid(TLibraryKind::Ohgws);
    site_->SetUnits(libraryUnits_);
}

void TOptionsForm::UpdateControls() {
    const QString problem = site_->Problem();
    lbSiteError_->setText(problem);
    OkButton(*buttons_)->setEnabled(problem.isEmpty());
}

// Saving the libraries rewrites their sections: lines of the file that neither
// layout can read would be lost, so the user decides first.
bool TOptionsForm::MayDropUnreadableLines() {
    std::vector<std::string> lost = options_.UnreadableLibraryLines();
    if (LimitsChanged()) // damaged fields of a limits line fall back to their defaults
        for (std::string& line : options_.UnreadableLimitLines())
            lost.push_back(std::move(line));
    if (lost.empty()) return true;
    QStringList lines;
    for (const std::string& line : lost)
        lines << ToQString(line);
    const QString text = QStringLiteral("%1 line%2 of the libraries in the preferences file "
                                        "cannot be read and will be lost when the libraries "
                                        "are saved. Save anyway?")
                             .arg(lost.size())
                             .arg(lost.size() == 1 ? QString() : QStringLiteral("s"));
    return Prompts().Message(this, QMessageBox::Warning, QStringLiteral("Confirm"), text,
                             QMessageBox::Yes | QMessageBox::No, QMessageBox::No,
                             lines.join(QLatin1Char('\n'))) == QMessageBox::Yes;
}

bool TOptionsForm::LimitsChanged() const {
    return limitsPage_->Limits() != options_.FieldLimits();
}

void TOptionsForm::btOKClick() {
    if (!OkButton(*buttons_)->isEnabled()) return;
    if (const std::optional<QString> problem = limitsPage_->Problem()) {
        ShowError(this, *problem);
        return;
    }
    if (!MayDropUnreadableLines()) return; // nothing written; the dialog stays open
    const bool limitsChanged = LimitsChanged();
    TPrefsError error = Values().Write(options_);
    if (!error) error = options_.SaveLibraries();
    if (!error && limitsChanged) error = options_.SetFieldLimits(limitsPage_->Limits());
    if (error) {
        ShowError(this, ToQString(*error));
        return; // nothing is lost: the dialog stays open for another try or Cancel
    }
    accept();
}

void TOptionsForm::reject() {
    options_.LoadLibraries(); // drops every insert, edit, delete and move
    QDialog::reject();
}

} // namespace corvalt::ui
