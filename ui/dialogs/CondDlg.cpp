#include "ui/dialogs/CondDlg.h"

#include "model/NewCircuit.h"
#include "model/PoleVoltage.h"
#include "model/Project.h"
#include "prefs/Options.h"
#include "ui/widgets/EnterAsTab.h"
#include "ui/widgets/FormWidgets.h"
#include "ui/dialogs/LineFields.h"
#include "ui/widgets/NumberField.h"
#include "ui/widgets/RadioGroup.h"
#include "ui/app/TextConvert.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace corvalt::ui {
namespace {

// The fields of the line that only a phase conductor uses.
std::vector<QWidget*> PhaseOnlyFields(const TLineFields& fields, QWidget* phaseAngle) {
    return {fields.cbVoltage, fields.eOverRateFactor, fields.cbCondName, fields.eCondDia,
            fields.eMCR,      fields.eSubCount,       fields.eSpacing,   phaseAngle};
}

int PreferredAngle(const TOptions& options, int condType) {
    switch (condType) {
    case PhaseA:
        return options.PhaseAAngle();
    case PhaseB:
        return options.PhaseBAngle();
    case PhaseC:
        return options.PhaseCAngle();
    default:
        return 0;
    }
}

} // namespace

TCondDlg::TCondDlg(TCircuit& circuit, TConductor* conductor, const TOptions& options,
                   QWidget* parent)
    : QDialog(parent), circuit_(circuit), conductor_(conductor), options_(options) {
    setWindowTitle(QStringLiteral("Conductor Info for Circuit: ") + ToQString(circuit.Name));
    CreateControls();
    TEnterAsTab::Install(*this, options.EnterAsTab());
    if (conductor_ != nullptr) {
        ShowValues(*conductor_);
    } else {
        // With no type chosen yet both the phase and the ground-wire fields take
        // the circuit's values; then the conductor starts as a phase A one.
        ShowCircuitValues(-1);
        rgType_->SetItemIndex(PhaseA);
        ShowCircuitValues(PhaseA);
    }
    UpdateControls();
}

std::unique_ptr<TConductor> TCondDlg::NewConductor(TCircuit& circuit, const TOptions& options,
                                                   QWidget* parent) {
    TCondDlg form(circuit, nullptr, options, parent);
    if (form.exec() != Accepted) return nullptr;
    return form.TakeNewConductor();
}

bool TCondDlg::EditConductor(TConductor& conductor, const TOptions& options, QWidget* parent) {
    TCondDlg form(*conductor.Circuit, &conductor, options, parent);
    return form.exec() == Accepted;
}

void TCondDlg::CreateControls() {
    TLineFields::TStyle style;
    style.FactorMask = "###.##";
    style.FactorSigned = false;
    style.MaxVoltageMask = "####";
    style.SubCountName = "eSubNumber";
    style.SpacingName = "eSubSpacing";
    fields_ = new TLineFields(options_, circuit_.Scenario->Project->Units, style, this);
    if (IsDc()) { // the pole voltage to ground, either polarity
        fields_->eMaxVoltage->SetPicture(PoleVoltagePicture());
        fields_->eMaxVoltage->setReadOnly(false);
        fields_->eMaxVoltage->setFocusPolicy(Qt::StrongFocus);
        SetHint(*fields_->eMaxVoltage, QStringLiteral("Pole Voltage to Ground (DC)"));
    }

    rgType_ = Named(new TRadioGroup(QStringLiteral(" Type "),
                                    {QStringLiteral("Phase A"), QStringLiteral("Phase B"),
                                     QStringLiteral("Phase C"), QStringLiteral("Ground")},
                                    2),
                    "rgType");
    rgType_->setEnabled(conductor_ == nullptr);
    connect(rgType_, &TRadioGroup::ItemChosen, this, &TCondDlg::rgTypeClick);
    eId_ = Named(new QLineEdit, "eId");
    eId_->setReadOnly(true);
    eId_->setFocusPolicy(Qt::NoFocus);
    eId_->setAlignment(Qt::AlignCenter);
    eId_->setFixedWidth(eId_->fontMetrics().horizontalAdvance(QStringLiteral("0000A00")) + 16);

    auto* top = new QHBoxLayout;
    top->addWidget(rgType_);
    top->addWidget(eId_, 0, Qt::AlignTop);
    top->addStretch(1);
    auto* groups = new QGridLayout;
    groups->addWidget(fields_->VoltageGroup(), 0, 0);
    groups->addWidget(fields_->ConductorGroup(), 0, 1);
    groups->addWidget(fields_->BundlingGroup(), 1, 0);
    groups->addWidget(fields_->OhgwGroup(), 1, 1);
    groups->addWidget(CreatePhaseAngleGroup(), 2, 0);
    groups->addWidget(CreateCoordinatesGroup(), 2, 1);

    auto* buttons = OkCancelButtons(*this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(groups);
    layout->addWidget(buttons);
    connect(OkButton(*buttons), &QPushButton::clicked, this, &TCondDlg::btOKClick);
}

QWidget* TCondDlg::CreatePhaseAngleGroup() {
    ePhaseAngle_ = Named(new TNumberField(Picture("####", true)), "ePhaseAngle");
    auto* group = new QGroupBox(QStringLiteral("Phase Angle"));
    auto* grid = new QGridLayout(group);
    grid->addWidget(ePhaseAngle_, 0, 0);
    grid->addWidget(UnitLabel("lbPhaseAngleUnit", QStringLiteral("Deg")), 0, 1);
    grid->setColumnStretch(2, 1);
    return group;
}

QWidget* TCondDlg::CreateCoordinatesGroup() {
    eHorizDistance_ = Named(new TNumberField(Picture("####.#", true)), "eHorizDistance");
    SetHint(*eHorizDistance_, QStringLiteral("Horizontal distance from circuit"));
    eVertHeight_ = Named(new TNumberField(Picture("####.#", true)), "eVertHeight");
    SetHint(*eVertHeight_, QStringLiteral("Height above Ground"));
    const QString unit = QString::fromLatin1(circuit_.Scenario->Project->LengthUnit());
    auto* group = new QGroupBox(QStringLiteral("Coordinates from Circuit Ref"));
    auto* grid = new QGridLayout(group);
    grid->addWidget(BuddyLabel(QStringLiteral("&Horizontal"), eHorizDistance_), 0, 0);
    grid->addWidget(eHorizDistance_, 0, 1);
    grid->addWidget(UnitLabel("lbHorizUnit", unit), 0, 2);
    grid->addWidget(BuddyLabel(QStringLiteral("V&ertical"), eVertHeight_), 1, 0);
    grid->addWidget(eVertHeight_, 1, 1);
    grid->addWidget(UnitLabel("lbVertUnit", unit), 1, 2);
    return group;
}

void TCondDlg::ShowCircuitValues(int condType) {
    eId_->setText(ToQString(ProposedConductorId(circuit_, condType < 0 ? PhaseA : condType)));
    ePhaseAngle_->SetValue(IsDc() ? 0 : PreferredAngle(options_, condType));
    const bool ground = condType == Ground || condType < 0;
    const bool phase = condType != Ground;
    if (ground) {
        fields_->eSubCount->SetValue(1);
        SelectText(*fields_->cbOhgwName, circuit_.OhgwName);
        fields_->eOhgwDia->SetValue(circuit_.DisplayOhgwDiameter());
    }
    if (phase) {
        SelectVoltage(*fields_->cbVoltage, circuit_.VoltageClass);
        fields_->eOverRateFactor->SetValue(circuit_.OverRateFactor);
        fields_->eMaxVoltage->SetValue(IsDcCircuit(circuit_) ? PoleKvOfStored(circuit_.MaxVoltage)
                                                             : circuit_.MaxVoltage);
        SelectText(*fields_->cbCondName, circuit_.CondName);
        fields_->eCondDia->SetValue(circuit_.DisplayCondDiameter());
        fields_->eSubCount->SetValue(circuit_.SubCondCount);
        fields_->eSpacing->SetValue(circuit_.DisplayBundleSpacing());
        fields_->eMCR->SetValue(circuit_.Mcr);
    }
}

void TCondDlg::ShowValues(const TConductor& conductor) {
    eId_->setText(ToQString(conductor.Id));
    rgType_->SetItemIndex(conductor.CondType <= Ground ? conductor.CondType : -1);
    eHorizDistance_->SetValue(conductor.DisplayHorizDistance());
    eVertHeight_->SetValue(conductor.DisplayHeight());
    if (conductor.IsGround()) {
        SelectText(*fields_->cbOhgwName, conductor.TypeName);
        fields_->eOhgwDia->SetValue(conductor.DisplayDiameter());
        return;
    }
    SelectVoltage(*fields_->cbVoltage, conductor.VoltageClass);
    fields_->eOverRateFactor->SetValue(conductor.OverRateFactor);
    fields_->eMaxVoltage->SetValue(ShownVoltageKv(conductor)); // after the factor
    ePhaseAngle_->SetValue(conductor.PhaseAngle);
    fields_->eMCR->SetValue(conductor.DisplayMcr());
    SelectText(*fields_->cbCondName, conductor.TypeName);
    fields_->eCondDia->SetValue(conductor.DisplayDiameter());
    fields_->eSpacing->SetValue(conductor.DisplaySubSpacing());
    fields_->eSubCount->SetValue(conductor.SubCondCount);
}

void TCondDlg::StoreValues(TConductor& conductor) const {
    conductor.Id = CommittedText(eId_->text(), conductor.Id);
    if (ChosenType() >= 0) conductor.CondType = static_cast<std::uint8_t>(ChosenType());
    conductor.SetDisplayHorizDistance(eHorizDistance_->FloatValue());
    conductor.SetDisplayHeight(eVertHeight_->FloatValue());
    if (conductor.IsGround()) {
        conductor.TypeName = PickedText(*fields_->cbOhgwName);
        conductor.SetDisplayDiameter(fields_->eOhgwDia->FloatValue());
        return;
    }
    // A DC pole takes its voltage to ground; its class and factor stay its
    // circuit's.
    if (IsDc()) {
        conductor.MaxVoltage = StoredKvOfPole(fields_->eMaxVoltage->FloatValue());
    } else {
        conductor.VoltageClass = PickedVoltage(*fields_->cbVoltage);
        conductor.OverRateFactor = fields_->eOverRateFactor->FloatValue();
        conductor.MaxVoltage = fields_->eMaxVoltage->FloatValue();
    }
    conductor.TypeName = PickedText(*fields_->cbCondName);
    conductor.SetDisplayDiameter(fields_->eCondDia->FloatValue());
    conductor.SetDisplaySubSpacing(fields_->eSpacing->FloatValue());
    conductor.SubCondCount =
        static_cast<std::uint8_t>(std::clamp(fields_->eSubCount->IntValue(), 1, 255));
    conductor.PhaseAngle = ePhaseAngle_->FloatValue();
    conductor.SetDisplayMcr(fields_->eMCR->FloatValue());
}

int TCondDlg::ChosenType() const {
    return rgType_->ItemIndex();
}

bool TCondDlg::IsDc() const {
    return conductor_ != nullptr ? conductor_->AcFlag == 0 : IsDcCircuit(circuit_);
}

void TCondDlg::UpdateControls() {
    const bool ground = ChosenType() == Ground;
    for (QWidget* field : PhaseOnlyFields(*fields_, ePhaseAngle_))
        field->setEnabled(!ground);
    if (IsDc()) { // a pole takes its voltage to ground; it has no class or phase angle
        for (QWidget* field : {static_cast<QWidget*>(fields_->cbVoltage),
                               static_cast<QWidget*>(fields_->eOverRateFactor),
                               static_cast<QWidget*>(ePhaseAngle_)})
            field->setEnabled(false);
    }
    fields_->cbOhgwName->setEnabled(ground);
    fields_->eOhgwDia->setEnabled(ground);
    fields_->eMaxVoltage->setEnabled(IsDc() && !ground); // else always computed
}

void TCondDlg::rgTypeClick(int condType) {
    if (conductor_ != nullptr) return; // an existing conductor keeps its type
    ShowCircuitValues(condType);
    UpdateControls();
}

void TCondDlg::btOKClick() {
    if (conductor_ != nullptr) {
        StoreValues(*conductor_);
    } else {
        created_ = std::make_unique<TConductor>(*circuit_.Scenario, circuit_);
        created_->AcFlag = IsDc() ? 0 : 1;
        created_->SubCondCount = 1; // a ground wire's; a phase conductor stores its own
        if (IsDc()) { // a new pole of a DC circuit takes its circuit's class
            created_->VoltageClass = circuit_.VoltageClass;
            created_->OverRateFactor = circuit_.OverRateFactor;
        }
        StoreValues(*created_);
    }
    accept();
}

} // namespace corvalt::ui
