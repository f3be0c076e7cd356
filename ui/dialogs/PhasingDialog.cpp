#include "ui/dialogs/PhasingDialog.h"

#include "model/Project.h"
#include "model/ProjectSnapshot.h"
#include "ui/app/TextConvert.h"
#include "ui/dialogs/DesignText.h"
#include "ui/widgets/FormWidgets.h"
#include "ui/widgets/TaskProgress.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace corvalt::ui {
namespace {

// The objectives in the order of the pick list.
constexpr TPhasingObjective kObjectives[] = {
    TPhasingObjective::EdgeB,
    TPhasingObjective::EdgeE,
    TPhasingObjective::RowE,
    TPhasingObjective::Weighted,
};

QDoubleSpinBox* WeightField(const char* name) {
    auto* field = Named(new QDoubleSpinBox, name);
    field->setRange(0, 1000);
    field->setDecimals(3);
    field->setSingleStep(0.1);
    return field;
}

QTableWidgetItem* Cell(const QString& text, Qt::Alignment align) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(align | Qt::AlignVCenter);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

// A count with its thousands grouped: "1,679,616".
QString CountText(long long count) {
    QLocale grouped = QLocale::c();
    grouped.setNumberOptions(QLocale::DefaultNumberOptions);
    return grouped.toString(count);
}

bool ChangesPhasing(const TArrangement& arrangement) {
    return std::any_of(arrangement.Orders.begin(), arrangement.Orders.end(),
                       [](int order) { return order != 0; });
}

} // namespace

TPhasingDialog::TPhasingDialog(TEmfProject& project, int sectionIndex, QWidget* parent)
    : QDialog(parent), copy_(CopyProject(project)), section_(sectionIndex) {
    setWindowTitle(QStringLiteral("Optimise Phasing"));
    CreateControls();
    ShowRequest({});
    Search();
}

// search_ cancels and waits for a search still running.
TPhasingDialog::~TPhasingDialog() = default;

void TPhasingDialog::CreateControls() {
    cbObjective_ = Named(new QComboBox, "cbObjective");
    cbObjective_->addItems({QStringLiteral("Magnetic field at the ROW edges (the larger)"),
                            QStringLiteral("Electric field at the ROW edges (the larger)"),
                            QStringLiteral("Largest electric field within the ROW"),
                            QStringLiteral("Weighted sum of the three")});
    eWeightB_ = WeightField("eWeightB");
    eWeightEdgeE_ = WeightField("eWeightEdgeE");
    eWeightRowE_ = WeightField("eWeightRowE");
    eTop_ = Named(new QSpinBox, "eTop");
    eTop_->setRange(1, 100);

    auto* weights = new QHBoxLayout;
    weights->addWidget(eWeightB_);
    weights->addWidget(new QLabel(QStringLiteral("per mG of B at the edges,")));
    weights->addWidget(eWeightEdgeE_);
    weights->addWidget(new QLabel(QStringLiteral("per kV/m of E at the edges,")));
    weights->addWidget(eWeightRowE_);
    weights->addWidget(new QLabel(QStringLiteral("per kV/m of E within the ROW")));
    weights->addStretch();

    auto* form = new QFormLayout;
    form->addRow(BuddyLabel(QStringLiteral("&Objective:"), cbObjective_), cbObjective_);
    form->addRow(BuddyLabel(QStringLiteral("&Weights:"), eWeightB_), weights);
    auto* topRow = new QHBoxLayout;
    topRow->addWidget(eTop_);
    topRow->addWidget(new QLabel(QStringLiteral("arrangements")));
    topRow->addStretch();
    form->addRow(BuddyLabel(QStringLiteral("&Show the best:"), eTop_), topRow);

    btSearch_ = Named(new QPushButton(QStringLiteral("&Search")), "btSearch");
    btSearch_->setAutoDefault(false);
    progress_ = Named(new TTaskProgress(search_), "jbSearch");
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(btSearch_);
    searchRow->addWidget(progress_, 1);

    lbStatus_ = Named(new QLabel, "lbStatus");
    lbStatus_->setWordWrap(true);
    sgRanked_ = Named(new QTableWidget, "sgRanked");
    sgRanked_->setSelectionBehavior(QAbstractItemView::SelectRows);
    sgRanked_->setSelectionMode(QAbstractItemView::SingleSelection);
    sgRanked_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgRanked_->verticalHeader()->hide();
    sgRanked_->setMinimumSize(620, 260);
    sgRanked_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    auto* buttons = new QDialogButtonBox;
    btApply_ = Named(buttons->addButton(QStringLiteral("&Apply"), QDialogButtonBox::AcceptRole),
                     "btApply");
    Named(buttons->addButton(QDialogButtonBox::Close), "btClose");

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(searchRow);
    layout->addWidget(lbStatus_);
    layout->addWidget(sgRanked_, 1);
    layout->addWidget(buttons);

    // A ranking made for another objective, weights or count is not shown.
    connect(cbObjective_, &QComboBox::currentIndexChanged, this,
            &TPhasingDialog::cbObjectiveChange);
    connect(cbObjective_, &QComboBox::currentIndexChanged, this, &TPhasingDialog::RequestChange);
    for (QDoubleSpinBox* weight : {eWeightB_, eWeightEdgeE_, eWeightRowE_})
        connect(weight, &QDoubleSpinBox::valueChanged, this, &TPhasingDialog::RequestChange);
    connect(eTop_, &QSpinBox::valueChanged, this, &TPhasingDialog::RequestChange);
    connect(btSearch_, &QPushButton::clicked, this, &TPhasingDialog::Search);
    connect(&search_, &TBackgroundTaskBase::Finished, this, &TPhasingDialog::SearchEnded);
    connect(sgRanked_, &QTableWidget::itemSelectionChanged, this, &TPhasingDialog::UpdateButtons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TPhasingDialog::reject);
}

TPhasingRequest TPhasingDialog::Request() const {
    TPhasingRequest request;
    request.Objective = kObjectives[std::clamp(cbObjective_->currentIndex(), 0, 3)];
    request.Weights = {eWeightB_->value(), eWeightEdgeE_->value(), eWeightRowE_->value()};
    request.Top = eTop_->value();
    return request;
}

void TPhasingDialog::ShowRequest(const TPhasingRequest& request) {
    const auto found = std::find(std::begin(kObjectives), std::end(kObjectives), request.Objective);
    cbObjective_->setCurrentIndex(static_cast<int>(found - std::begin(kObjectives)));
    eWeightB_->setValue(request.Weights.EdgeBPerMg);
    eWeightEdgeE_->setValue(request.Weights.EdgeEPerKvPerM);
    eWeightRowE_->setValue(request.Weights.RowEPerKvPerM);
    eTop_->setValue(request.Top);
    cbObjectiveChange();
}

void TPhasingDialog::cbObjectiveChange() {
    UpdateButtons(); // the weights count for the weighted sum only
}

void TPhasingDialog::RequestChange() {
    if (!result_) return;
    result_.reset();
    sgRanked_->clear();
    sgRanked_->setRowCount(0);
    sgRanked_->setColumnCount(0);
    lbStatus_->setText(QStringLiteral("The objective, the weights or the count changed: press "
                                      "Search to rank the arrangements again."));
    UpdateButtons();
}

void TPhasingDialog::Search() {
    if (search_.Running()) return;
    const TPhasingRequest request = Request();
    if (const auto fault = PhasingRequestFault(request)) {
        lbStatus_->setText(QStringLiteral("Cannot search: ") + ToQString(*fault) + ".");
        return;
    }
    lbStatus_->setText(QStringLiteral("Searching..."));
    search_.Start([&scenario = copy_->Scenarios[section_], request](const TTaskControl& control) {
        return OptimisePhasing(scenario, request, control.Progress, control.Stop);
    });
    UpdateButtons();
}

bool TPhasingDialog::Searching() const {
    return search_.Running();
}

void TPhasingDialog::SearchEnded() {
    std::optional<TPhasingSearch> ended = search_.TakeResult();
    if (ended && ended->Outcome == TSearchOutcome::Cancelled) {
        lbStatus_->setText(QStringLiteral("The search was cancelled."));
    } else if (!ended || ended->Outcome == TSearchOutcome::Failed) {
        result_.reset();
        ShowSearch({});
        // After the empty table, whose status would say there is nothing to search.
        lbStatus_->setText(QStringLiteral("Cannot search: ") +
                           (ended ? ToQString(ended->Message) : search_.Failure()));
    } else {
        result_ = std::move(ended);
        ShowSearch(*result_);
    }
    UpdateButtons();
}

void TPhasingDialog::ShowSearch(const TPhasingSearch& search) {
    const TScenario& scenario = copy_->Scenarios[section_];
    QStringList headings{QStringLiteral("Rank")};
    for (const TPhasedCircuit& circuit : search.Circuits)
        headings << ToQString(scenario.Circuits[circuit.CircuitIndex].Name);
    // The values the objectives use, what the phasing trades for them, and
    // how many arrangements share them (mirror images, relabellings).
    headings << QStringLiteral("B at ROW\nedges (mG)") << QStringLiteral("E at ROW\nedges (kV/m)")
             << QStringLiteral("E within\nROW (kV/m)")
             << QStringLiteral("Largest\ngradient (kV/cm)")
             << QStringLiteral("AN rain at\nedges (dBA)")
             << QStringLiteral("RI fair at\nedges (dB\u00b5V/m)")
             << QStringLiteral("Arrange-\nments");
    sgRanked_->clear();
    sgRanked_->setColumnCount(static_cast<int>(headings.size()));
    sgRanked_->setHorizontalHeaderLabels(headings);
    sgRanked_->setRowCount(search.Circuits.empty() && search.Ranked.empty()
                               ? 0
                               : static_cast<int>(search.Ranked.size()) + 1);
    auto writeRow = [&](int row, const QString& rank, const TArrangement& arrangement,
                        const QString& count) {
        int column = 0;
        sgRanked_->setItem(row, column++, Cell(rank, Qt::AlignHCenter));
        for (const int order : arrangement.Orders)
            sgRanked_->setItem(
                row, column++,
                Cell(QString::fromStdString(PhaseOrderText(order)), Qt::AlignHCenter));
        const TPhasingValues& v = arrangement.Values;
        for (const QString& value :
             {MilligaussText(v.EdgeBMg), KvPerMText(v.EdgeEKvPerM), KvPerMText(v.RowEKvPerM),
              KvPerCmText(v.MaxGradientKvPerCm), DecibelText(v.EdgeAnRainDba),
              DecibelText(v.EdgeRiFairDbuvPerM), count})
            sgRanked_->setItem(row, column++, Cell(value, Qt::AlignRight));
    };
    if (sgRanked_->rowCount() > 0) {
        writeRow(0, QStringLiteral("Now"), search.Current, QString());
        for (std::size_t r = 0; r < search.Ranked.size(); ++r)
            writeRow(static_cast<int>(r) + 1, QString::number(r + 1), search.Ranked[r],
                     QString::number(search.Ranked[r].Count));
        // The current arrangement is not a choice; it stands apart.
        for (int column = 0; column < sgRanked_->columnCount(); ++column) {
            QTableWidgetItem* item = sgRanked_->item(0, column);
            item->setFlags(Qt::ItemIsEnabled);
            item->setBackground(palette().alternateBase());
        }
    }
    // Every heading whole: the columns as wide as their headings and cells,
    // resizable, and a scroll bar when they are wider than the table.
    QHeaderView& header = *sgRanked_->horizontalHeader();
    header.setSectionResizeMode(QHeaderView::Interactive);
    sgRanked_->resizeColumnsToContents();
    WidenToTheTable();
    if (search.Outcome == TSearchOutcome::Done) {
        const QString circuits =
            search.Circuits.size() == 1
                ? QStringLiteral("1 three-phase circuit")
                : QStringLiteral("%1 three-phase circuits").arg(search.Circuits.size());
        lbStatus_->setText(search.Circuits.empty()
                               ? QStringLiteral("The cross section has no three-phase AC circuit "
                                                "whose phasing can change.")
                               : QStringLiteral("Searched all %1 arrangements of %2; those that "
                                                "differ in no value (mirror images, phases renamed "
                                                "alike) share a row. Select one and press Apply to "
                                                "give it to the cross section.")
                                     .arg(CountText(search.Arrangements), circuits));
    }
    if (!search.Ranked.empty() && ChangesPhasing(search.Ranked[0])) SelectRanked(0);
}

void TPhasingDialog::WidenToTheTable() {
    // The dialog grows (never shrinks) to show every column where the screen
    // has room; the scroll bar shows the rest.
    // The vertical scroll bar may come with the rows just added.
    const int wanted = sgRanked_->horizontalHeader()->length() +
                       sgRanked_->verticalScrollBar()->sizeHint().width();
    const int missing = wanted - sgRanked_->viewport()->width();
    if (missing <= 0 || isMaximized()) return;
    int widest = width() + missing;
    if (const QScreen* shown = screen()) widest = std::min(widest, shown->availableSize().width());
    if (widest > width()) resize(widest, height());
}

void TPhasingDialog::SelectRanked(int rank) {
    if (rank + 1 < sgRanked_->rowCount()) sgRanked_->selectRow(rank + 1);
}

const TArrangement* TPhasingDialog::Chosen() const {
    if (!result_ || search_.Running()) return nullptr;
    const QList<QTableWidgetItem*> selected = sgRanked_->selectedItems();
    if (selected.isEmpty()) return nullptr;
    const int rank = selected.front()->row() - 1;
    if (rank < 0 || rank >= static_cast<int>(result_->Ranked.size())) return nullptr;
    const TArrangement& arrangement = result_->Ranked[static_cast<std::size_t>(rank)];
    return ChangesPhasing(arrangement) ? &arrangement : nullptr;
}

bool TPhasingDialog::ApplyTo(TScenario& scenario) const {
    const TArrangement* chosen = Chosen();
    if (chosen == nullptr) return false;
    ApplyPhasing(scenario, result_->Circuits, chosen->Orders);
    return true;
}

void TPhasingDialog::UpdateButtons() {
    // What is searched stays as it is until the search ends.
    const bool searching = search_.Running();
    const bool weighted = Request().Objective == TPhasingObjective::Weighted;
    btSearch_->setEnabled(!searching);
    cbObjective_->setEnabled(!searching);
    eTop_->setEnabled(!searching);
    for (QDoubleSpinBox* field : {eWeightB_, eWeightEdgeE_, eWeightRowE_})
        field->setEnabled(!searching && weighted);
    btApply_->setEnabled(Chosen() != nullptr);
}

void TPhasingDialog::reject() {
    // Closing does not wait here; the destructor waits for the search's next
    // look at its stop token.
    search_.Cancel();
    QDialog::reject();
}

} // namespace corvalt::ui
