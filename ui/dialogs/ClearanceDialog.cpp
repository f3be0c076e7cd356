#include "ui/dialogs/ClearanceDialog.h"

#include "compute/Compute.h"
#include "model/Project.h"
#include "model/ProjectSnapshot.h"
#include "model/Units.h"
#include "ui/app/TextConvert.h"
#include "ui/dialogs/DesignText.h"
#include "ui/widgets/FormWidgets.h"
#include "ui/widgets/TaskProgress.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace corvalt::ui {
namespace {

QTableWidgetItem* Cell(const QString& text, Qt::Alignment align) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(align | Qt::AlignVCenter);
    item->setFlags(Qt::ItemIsEnabled);
    return item;
}

QString ValueText(const TLimitCheck& check, std::optional<float> value) {
    const bool electric = check.Quantity == TLimitQuantity::ElectricField;
    if (!value) return QStringLiteral("not computed");
    return electric ? KvPerMText(value) + QStringLiteral(" kV/m")
                    : MilligaussText(value) + QStringLiteral(" mG");
}

QString LimitText(const TLimitCheck& check) {
    if (!check.Limit) return QStringLiteral("none");
    const bool electric = check.Quantity == TLimitQuantity::ElectricField;
    return QLocale::c().toString(static_cast<double>(*check.Limit), 'g', 6) +
           (electric ? QStringLiteral(" kV/m") : QStringLiteral(" mG"));
}

// A check's value with its verdict: "185.7 mG, over".
QString VerdictText(const TLimitCheck& check) {
    QString text = ValueText(check, check.Value);
    switch (check.Status()) {
    case TLimitStatus::Over:
        return text + QStringLiteral(", over");
    case TLimitStatus::NotComputed:
        return text + QStringLiteral(", cannot be shown to hold");
    case TLimitStatus::Within:
    case TLimitStatus::NoLimit:
        break;
    }
    return text;
}

QString RaiseText(float raise, int units) {
    return QLocale::c().toString(static_cast<double>(raise), 'f', 2) + QLatin1Char(' ') +
           QString::fromLatin1(LengthUnit(units));
}

} // namespace

TClearanceDialog::TClearanceDialog(TEmfProject& project, int sectionIndex,
                                   const TFieldLimits& limits, QWidget* parent)
    : QDialog(parent), copy_(CopyProject(project)), section_(sectionIndex), limits_(limits) {
    setWindowTitle(QStringLiteral("Solve Clearance"));
    CreateControls();
    Solve();
}

// solve_ cancels and waits for a solver still running.
TClearanceDialog::~TClearanceDialog() = default;

void TClearanceDialog::CreateControls() {
    const TScenario& scenario = copy_->Scenarios[section_];
    cbCircuit_ = Named(new QComboBox, "cbCircuit");
    cbCircuit_->addItem(QStringLiteral("All circuits together"));
    for (const TCircuit& circuit : scenario.Circuits)
        cbCircuit_->addItem(ToQString(circuit.Name));
    btSolve_ = Named(new QPushButton(QStringLiteral("&Solve")), "btSolve");
    btSolve_->setAutoDefault(false);
    auto* circuitRow = new QHBoxLayout;
    circuitRow->addWidget(cbCircuit_, 1);
    circuitRow->addWidget(btSolve_);
    auto* form = new QFormLayout;
    form->addRow(BuddyLabel(QStringLiteral("&Raise:"), cbCircuit_), circuitRow);
    form->addRow(
        new QLabel(QStringLiteral("Limits for:")),
        Named(new QLabel(QString::fromLatin1(LimitClassText(LimitClassOf(scenario)))), "lbClass"));

    progress_ = Named(new TTaskProgress(solve_), "jbSolve");
    lbResult_ = Named(new QLabel, "lbResult");
    lbResult_->setWordWrap(true);
    lbResult_->setMinimumHeight(lbResult_->fontMetrics().lineSpacing() * 3);
    lbResult_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    sgChecks_ = Named(new QTableWidget(0, 4), "sgChecks");
    sgChecks_->setHorizontalHeaderLabels({QStringLiteral("Field"), QStringLiteral("Limit"),
                                          QStringLiteral("Now"),
                                          QStringLiteral("After the raise")});
    sgChecks_->verticalHeader()->hide();
    sgChecks_->setSelectionMode(QAbstractItemView::NoSelection);
    sgChecks_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgChecks_->setMinimumSize(640, 220);

    auto* buttons = new QDialogButtonBox;
    btApply_ = Named(buttons->addButton(QStringLiteral("&Apply"), QDialogButtonBox::AcceptRole),
                     "btApply");
    Named(buttons->addButton(QDialogButtonBox::Close), "btClose");

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(progress_);
    layout->addWidget(lbResult_);
    layout->addWidget(sgChecks_, 1);
    layout->addWidget(buttons);

    connect(btSolve_, &QPushButton::clicked, this, &TClearanceDialog::Solve);
    connect(cbCircuit_, &QComboBox::currentIndexChanged, this, &TClearanceDialog::cbCircuitChange);
    connect(&solve_, &TBackgroundTaskBase::Finished, this, &TClearanceDialog::SolveEnded);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TClearanceDialog::reject);
}

std::optional<int> TClearanceDialog::ChosenCircuit() const {
    const int index = cbCircuit_->currentIndex();
    if (index <= 0) return std::nullopt;
    return index - 1;
}

void TClearanceDialog::ChooseCircuit(std::optional<int> circuit) {
    cbCircuit_->setCurrentIndex(circuit ? *circuit + 1 : 0);
}

void TClearanceDialog::Solve() {
    if (solve_.Running()) return;
    result_.reset();
    lbResult_->setText(QStringLiteral("Solving..."));
    sgChecks_->setRowCount(0);
    solve_.Start([&scenario = copy_->Scenarios[section_], circuit = ChosenCircuit(),
                  limits = limits_](const TTaskControl& control) {
        // The profile as it stands places the findings' texts; the copy is
        // this thread's alone while it runs.
        if (!ComputeScenario(scenario, control.Stop) && control.Stop.stop_requested()) {
            TClearance cancelled;
            cancelled.Outcome = TClearanceOutcome::Cancelled;
            return cancelled;
        }
        return SolveClearance(scenario, circuit, limits, control.Progress, control.Stop);
    });
    UpdateButtons();
}

void TClearanceDialog::cbCircuitChange() {
    if (!result_) return;
    result_.reset();
    sgChecks_->setRowCount(0);
    lbResult_->setText(QStringLiteral("Press Solve to find the raise of %1.")
                           .arg(ChosenCircuit() ? QStringLiteral("the circuit chosen")
                                                : QStringLiteral("every circuit")));
    UpdateButtons();
}

bool TClearanceDialog::Solving() const {
    return solve_.Running();
}

void TClearanceDialog::SolveEnded() {
    std::optional<TClearance> ended = solve_.TakeResult();
    if (!ended)
        lbResult_->setText(QStringLiteral("Cannot solve: ") + solve_.Failure());
    else if (ended->Outcome == TClearanceOutcome::Cancelled)
        lbResult_->setText(QStringLiteral("Solving was cancelled."));
    else
        ShowClearance(*(result_ = std::move(ended)));
    UpdateButtons();
}

QString TClearanceDialog::ResultText(const TClearance& clearance) const {
    const TScenario& scenario = copy_->Scenarios[section_];
    const int units = copy_->Units;
    const std::optional<int> circuit =
        clearance.Circuits.size() == 1 && scenario.Circuits.Count() > 1
            ? std::optional<int>(clearance.Circuits.front())
            : std::nullopt;
    const QString what =
        circuit ? QStringLiteral("circuit ") + ToQString(scenario.Circuits[*circuit].Name)
                : QStringLiteral("every circuit");
    switch (clearance.Outcome) {
    case TClearanceOutcome::Holds:
        return QStringLiteral("Every field limit holds as the line stands: no raise is needed.");
    case TClearanceOutcome::Raised:
        return QStringLiteral("Raise %1 by %2 (its conductors and ground wires): then every "
                              "field limit holds, and 0.01 %3 less does not.")
            .arg(what, RaiseText(clearance.RaiseShown, units),
                 QString::fromLatin1(LengthUnit(units)));
    case TClearanceOutcome::NotAchievable: {
        QString text =
            QStringLiteral("No raise of %1 up to %2 %3 makes every field limit hold.")
                .arg(what, QLocale::c().toString(static_cast<double>(clearance.RaiseShown), 'g', 6),
                     QString::fromLatin1(LengthUnit(units)));
        for (const TLimitCheck& check : clearance.After)
            if (check.Fails())
                text += QLatin1Char(' ') +
                        ToQString(LimitFindingText(scenario, clearance.Class, check));
        return text;
    }
    case TClearanceOutcome::Failed:
        return QStringLiteral("Cannot solve: ") + ToQString(clearance.Message);
    case TClearanceOutcome::Cancelled:
        break;
    }
    return QStringLiteral("Solving was cancelled.");
}

void TClearanceDialog::ShowClearance(const TClearance& clearance) {
    lbResult_->setText(ResultText(clearance));
    const TScenario& scenario = copy_->Scenarios[section_];
    sgChecks_->setRowCount(static_cast<int>(clearance.Before.size()));
    for (std::size_t i = 0; i < clearance.Before.size(); ++i) {
        const TLimitCheck& before = clearance.Before[i];
        const int row = static_cast<int>(i);
        const QString field =
            (before.Quantity == TLimitQuantity::ElectricField ? QStringLiteral("E ")
                                                              : QStringLiteral("B ")) +
            ToQString(LimitPlaceText(scenario, before));
        sgChecks_->setItem(row, 0, Cell(field, Qt::AlignLeft));
        sgChecks_->setItem(row, 1, Cell(LimitText(before), Qt::AlignRight));
        sgChecks_->setItem(row, 2, Cell(VerdictText(before), Qt::AlignRight));
        const QString after =
            i < clearance.After.size() ? VerdictText(clearance.After[i]) : QString();
        sgChecks_->setItem(row, 3, Cell(after, Qt::AlignRight));
    }
    QHeaderView& header = *sgChecks_->horizontalHeader();
    header.setSectionResizeMode(QHeaderView::ResizeToContents);
    header.setSectionResizeMode(0, QHeaderView::Stretch);
}

bool TClearanceDialog::ApplyTo(TScenario& scenario) const {
    if (!result_ || result_->Outcome != TClearanceOutcome::Raised || solve_.Running()) return false;
    ApplyRaise(scenario, result_->Circuits, result_->RaiseShown);
    return true;
}

void TClearanceDialog::UpdateButtons() {
    const bool solving = solve_.Running();
    btSolve_->setEnabled(!solving);
    cbCircuit_->setEnabled(!solving);
    btApply_->setEnabled(!solving && result_ && result_->Outcome == TClearanceOutcome::Raised);
}

void TClearanceDialog::reject() {
    // Closing does not wait here; the destructor waits for the solver's next
    // look at its stop token.
    solve_.Cancel();
    QDialog::reject();
}

} // namespace corvalt::ui
