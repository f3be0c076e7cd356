#include "ui/dialogs/CircuitForm.h"

#include "model/Limits.h"
#include "model/Project.h"
#include "prefs/Options.h"
#include "ui/app/Prompts.h"
#include "ui/app/TextConvert.h"
#include "ui/dialogs/LineFields.h"
#include "ui/widgets/EnterAsTab.h"
#include "ui/widgets/FormWidgets.h"
#include "ui/widgets/NumberField.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace corvalt::ui {
namespace {

constexpr int kMaxName = 10;
constexpr int kMaxPerPhase = 10;
constexpr int kGround = 3;
constexpr std::array<const char*, 4> kRowLetters = {"A", "B", "C", "G"};

std::uint8_t SubConductorCount(const TNumberField& field) {
    return static_cast<std::uint8_t>(std::clamp(field.IntValue(), 1, 255));
}

} // namespace

TCircuitForm::TCircuitForm(TScenario& scenario, TCircuit* circuit, const TOptions& options,
                           QWidget* parent)
    : QDialog(parent), scenario_(scenario), circuit_(circuit) {
    const bool creating = circuit_ == nullptr;
    setWindowTitle(creating ? QStringLiteral("Create New Circuit")
                            : QStringLiteral("Edit Circuit"));
    CreateControls(options);
    TEnterAsTab::Install(*this, options.EnterAsTab());
    ShowPhaseDefaults(options);
    ShowValues(creating ? NewCircuitDefaults() : ValuesOf(*circuit_));
}

std::unique_ptr<TCircuit> TCircuitForm::NewCircuit(TScenario& scenario, const TOptions& options,
                                                   QWidget* parent) {
    TCircuitForm form(scenario, nullptr, options, parent);
    if (form.exec() != Accepted) return nullptr;
    return form.TakeNewCircuit();
}

bool TCircuitForm::EditCircuit(TCircuit& circuit, const TOptions& options, QWidget* parent) {
    TCircuitForm form(*circuit.Scenario, &circuit, options, parent);
    return form.exec() == Accepted;
}

void TCircuitForm::CreateControls(const TOptions& options) {
    const bool creating = circuit_ == nullptr;
    TLineFields::TStyle style; // the circuit dialog's factor and names
    fields_ = new TLineFields(options, scenario_.Project->Units, style, this);
    pages_ = Named(new QTabWidget, "pcPages");
    pages_->addTab(CreateInfoPage(), QStringLiteral("Circuit Info"));
    pages_->addTab(CreateConductorsPage(), QStringLiteral("Conductors"));
    pages_->setTabVisible(1, creating);
    // Enter in the bundle spacing, the last field of the page, goes on to the
    // Conductors page while it is shown.
    TEnterAsTab::MarkLastOfPage(*fields_->eSpacing, creating);

    buttons_ = OkCancelButtons(*this, creating ? QStringLiteral("Create Circuit") : QString());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    layout->addWidget(buttons_);
    connect(OkButton(*buttons_), &QPushButton::clicked, this, &TCircuitForm::btOKClick);
    connect(eCircuitName_, &QLineEdit::textChanged, this, &TCircuitForm::eCircuitNameChange);
}

QWidget* TCircuitForm::CreateInfoPage() {
    eCircuitName_ = Named(new QLineEdit, "eCircuitName");
    eCircuitName_->setMaxLength(kMaxName);
    eDistFromRowLeft_ = Named(new TNumberField(Picture("#####.##", true)), "eDistFromRowLeft");
    SetHint(*eDistFromRowLeft_, QStringLiteral("Enter +/- Distance the Circuit is from Left ROW"));
    SetHint(*fields_->eOverRateFactor,
            QStringLiteral("Enter Factor used to determine the Highest Operating Voltage"));
    cbNewCircuit_ = Named(new QCheckBox(QStringLiteral("Ne&w Circuit")), "cbNewCircuit");

    // Reading order is tab order (the order the widgets are laid out in):
    // the name, the distance and then the check box beside it; of the groups
    // the bundling comes last so that Enter in its spacing, which moves on to
    // the Conductors page, skips nothing.
    auto* top = new QGridLayout;
    top->addWidget(BuddyLabel(QStringLiteral("&Name"), eCircuitName_), 0, 0);
    top->addWidget(eCircuitName_, 0, 1);
    top->addWidget(BuddyLabel(QStringLiteral("Distance From &ROW Left"), eDistFromRowLeft_), 1, 0);
    top->addLayout(FieldWithUnit(eDistFromRowLeft_,
                                 UnitLabel("lbDistUnit",
                                           QString::fromLatin1(scenario_.Project->LengthUnit()))),
                   1, 1);
    top->setColumnMinimumWidth(2, 20);
    top->addWidget(cbNewCircuit_, 1, 3);
    top->setColumnStretch(2, 1);

    auto* groups = new QGridLayout;
    groups->addWidget(fields_->VoltageGroup(), 0, 0);
    groups->addWidget(fields_->ConductorGroup(), 0, 1);
    groups->addWidget(fields_->OhgwGroup(), 1, 0);
    groups->addWidget(fields_->BundlingGroup(), 1, 1);

    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addLayout(groups);
    layout->addStretch(1);
    return page;
}

QWidget* TCircuitForm::CreateConductorsPage() {
    auto* group = new QGroupBox(QStringLiteral(" Phases "));
    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("Number")), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Phase Angle")), 0, 2);
    for (int row = 0; row < 4; ++row) {
        const QString letter = QString::fromLatin1(kRowLetters[static_cast<std::size_t>(row)]);
        TPhaseControls& controls = phases_[static_cast<std::size_t>(row)];
        controls.Box = new QCheckBox(QStringLiteral(" ") + letter);
        controls.Box->setObjectName(QStringLiteral("cbPhase") + letter);
        controls.Number = new QSpinBox;
        controls.Number->setObjectName(QStringLiteral("sePhase") + letter);
        controls.Number->setRange(0, kMaxPerPhase);
        grid->addWidget(controls.Box, row + 1, 0);
        grid->addWidget(controls.Number, row + 1, 1);
        if (row != kGround) {
            controls.Angle = new TNumberField(Picture("####", true));
            controls.Angle->setObjectName(QStringLiteral("eAngle") + letter);
            grid->addWidget(controls.Angle, row + 1, 2);
            grid->addWidget(new QLabel(QStringLiteral("degrees")), row + 1, 3);
        }
        connect(controls.Number, &QSpinBox::valueChanged, this,
                [this, row] { PhaseNumberChange(row); });
    }
    // Leaving the ground-wire number goes on to OK.
    phases_[kGround].Number->installEventFilter(this);
    grid->setColumnStretch(4, 1);

    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(group);
    layout->addStretch(1);
    return page;
}

void TCircuitForm::ShowPhaseDefaults(const TOptions& options) {
    const int angles[3] = {options.PhaseAAngle(), options.PhaseBAngle(), options.PhaseCAngle()};
    for (std::size_t row = 0; row < phases_.size(); ++row) {
        phases_[row].Number->setValue(1);
        phases_[row].Box->setChecked(true);
        if (phases_[row].Angle != nullptr) phases_[row].Angle->SetValue(angles[row]);
    }
}

TNewCircuitValues TCircuitForm::NewCircuitDefaults() const {
    TNewCircuitValues values;
    values.NewCircuit = true;
    values.VoltageClass = scenario_.DefaultVoltage;
    values.MaxVoltage = scenario_.DefaultVoltage;
    values.SubCondCount = 1;
    return values;
}

TNewCircuitValues TCircuitForm::ValuesOf(const TCircuit& circuit) {
    TNewCircuitValues values;
    values.Name = circuit.Name;
    values.NewCircuit = circuit.NewCircuit;
    values.VoltageClass = circuit.VoltageClass;
    values.OverRateFactor = circuit.OverRateFactor;
    values.MaxVoltage = circuit.MaxVoltage;
    values.Mcr = circuit.Mcr;
    values.DistFromRowLeft = circuit.DisplayDistFromRowLeft();
    values.CondName = circuit.CondName;
    values.CondDiameter = circuit.DisplayCondDiameter();
    values.SubCondCount = circuit.SubCondCount;
    values.BundleSpacing = circuit.DisplayBundleSpacing();
    values.OhgwName = circuit.OhgwName;
    values.OhgwDiameter = circuit.DisplayOhgwDiameter();
    values.Ground.Count = circuit.OhgwCount;
    return values;
}

void TCircuitForm::ShowValues(const TNewCircuitValues& values) {
    eCircuitName_->setText(ToQString(values.Name));
    cbNewCircuit_->setChecked(values.NewCircuit);
    eDistFromRowLeft_->SetValue(values.DistFromRowLeft);
    SelectVoltage(*fields_->cbVoltage, values.VoltageClass);
    fields_->eOverRateFactor->SetValue(values.OverRateFactor);
    fields_->eMaxVoltage->SetValue(values.MaxVoltage); // after the factor: the stored one counts
    SelectText(*fields_->cbCondName, values.CondName);
    fields_->eCondDia->SetValue(values.CondDiameter);
    fields_->eMCR->SetValue(values.Mcr);
    fields_->eSubCount->SetValue(values.SubCondCount);
    fields_->eSpacing->SetValue(values.BundleSpacing);
    SelectText(*fields_->cbOhgwName, values.OhgwName);
    fields_->eOhgwDia->SetValue(values.OhgwDiameter);
    UpdateControls();
}

TNewCircuitValues TCircuitForm::Values() const {
    TNewCircuitValues values;
    values.Name = CommittedText(eCircuitName_->text(), circuit_ != nullptr ? circuit_->Name : "");
    values.NewCircuit = cbNewCircuit_->isChecked();
    values.VoltageClass = PickedVoltage(*fields_->cbVoltage);
    values.OverRateFactor = fields_->eOverRateFactor->FloatValue();
    values.MaxVoltage = fields_->eMaxVoltage->FloatValue();
    values.Mcr = fields_->eMCR->FloatValue();
    values.DistFromRowLeft = eDistFromRowLeft_->FloatValue();
    values.CondName = PickedText(*fields_->cbCondName);
    values.CondDiameter = fields_->eCondDia->FloatValue();
    values.SubCondCount = SubConductorCount(*fields_->eSubCount);
    values.BundleSpacing = fields_->eSpacing->FloatValue();
    values.OhgwName = PickedText(*fields_->cbOhgwName);
    values.OhgwDiameter = fields_->eOhgwDia->FloatValue();
    for (std::size_t row = 0; row < values.Phases.size(); ++row) {
        const TPhaseControls& controls = phases_[row];
        values.Phases[row] = {controls.Box->isChecked(), controls.Number->value(),
                              controls.Angle->IntValue()};
    }
    values.Ground = {phases_[kGround].Box->isChecked(), phases_[kGround].Number->value(), 0};
    return values;
}

void TCircuitForm::UpdateControls() {
    OkButton(*buttons_)->setEnabled(!TrimmedRight(eCircuitName_->text()).isEmpty());
}

bool TCircuitForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == phases_[kGround].Number && event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() == Qt::TabFocusReason) {
        QPushButton* ok = OkButton(*buttons_);
        if (ok->isEnabled()) QTimer::singleShot(0, ok, [ok] { ok->setFocus(Qt::TabFocusReason); });
    }
    return QDialog::eventFilter(watched, event);
}

void TCircuitForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TCircuitForm::FormShow() {
    pages_->setCurrentIndex(0);
    eCircuitName_->setFocus(Qt::OtherFocusReason);
    UpdateControls();
}

void TCircuitForm::eCircuitNameChange() {
    UpdateControls();
}

void TCircuitForm::PhaseNumberChange(int row) {
    TPhaseControls& controls = phases_[static_cast<std::size_t>(row)];
    controls.Box->setChecked(controls.Number->value() > 0);
}

void TCircuitForm::btOKClick() {
    if (!OkButton(*buttons_)->isEnabled()) return;
    if (circuit_ != nullptr) {
        ApplyCircuitValues(*circuit_, Values());
    } else {
        // The dialog stays open, so fewer conductors can be asked for.
        const TNewCircuitValues values = Values();
        if (const auto full = RoomForCircuit(scenario_, NewConductorCount(values))) {
            ShowWarning(this, ToQString(*full));
            return;
        }
        created_ = CreateNewCircuit(scenario_, values);
    }
    accept();
}

} // namespace corvalt::ui
