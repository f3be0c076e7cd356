#include "ui/dialogs/CircuitForm.h"

#include "model/Limits.h"
#include "model/PoleVoltage.h"
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
#include <QHBoxLayout>
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

// The current kinds in TCurrentKind order.
constexpr std::array<const char*, 3> kCurrentNames = {"AC", "DC bipole", "DC monopole"};

// The structure templates in TStructureTemplate order.
constexpr std::array<const char*, 6> kTemplateNames = {
    "None",       "Vertical single circuit", "Vertical double circuit",
    "Horizontal", "Delta",                   "H-frame"};

// A template's starting dimensions (lowest phase height, phase spacing,
// offset, ground-wire height and offset) and ground-wire count, feet and metres.
struct TTemplateDefaults {
    std::array<float, 5> Feet;
    std::array<float, 5> Metres;
    int GroundWires;
};
constexpr std::array<TTemplateDefaults, 6> kTemplateDefaults = {{
    {{0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, 1},
    {{50, 15, 10, 90, 0}, {15, 4.5f, 3, 27, 0}, 1},
    {{50, 15, 13, 90, 0}, {15, 4.5f, 4, 27, 0}, 1},
    {{50, 26, 0, 70, 20}, {15, 8, 0, 21, 6}, 2},
    {{50, 23, 0, 82, 0}, {15, 7, 0, 25, 0}, 1},
    {{40, 23, 0, 56, 16}, {12, 7, 0, 17, 5}, 2},
}};

struct TShapeField {
    const char* Name;
    const char* Label;
    bool Signed;
};
constexpr std::array<TShapeField, 5> kShapeFields = {{
    {"eLowestHeight", "Lowest &Phase Height", false},
    {"ePhaseSpacing", "Phase &Spacing", false},
    {"eHorizOffset", "Hori&zontal Offset", true},
    {"eGroundHeight", "Ground &Wire Height", false},
    {"eGroundOffset", "Ground Wire O&ffset", true},
}};

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

std::vector<std::unique_ptr<TCircuit>>
TCircuitForm::NewCircuits(TScenario& scenario, const TOptions& options, QWidget* parent) {
    TCircuitForm form(scenario, nullptr, options, parent);
    if (form.exec() != Accepted) return {};
    return form.TakeNewCircuits();
}

std::unique_ptr<TCircuit> TCircuitForm::TakeNewCircuit() {
    if (created_.empty()) return nullptr;
    return std::move(created_.front());
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
    layout->addWidget(CreateCurrentGroup());
    layout->addLayout(groups);
    layout->addStretch(1);
    return page;
}

QWidget* TCircuitForm::CreateCurrentGroup() {
    cbCurrent_ = Named(new QComboBox, "cbCurrent");
    for (const char* name : kCurrentNames)
        cbCurrent_->addItem(QString::fromLatin1(name));
    cbCurrent_->setEnabled(circuit_ == nullptr); // an existing circuit keeps its conductors
    ePoleVoltage_ = Named(new TNumberField(PoleVoltagePicture()), "ePoleVoltage");
    SetHint(*ePoleVoltage_, QStringLiteral("Enter the DC Pole Voltage to Ground (a monopole's "
                                           "sign is its polarity)"));
    cbMetallicReturn_ = Named(new QCheckBox(QStringLiteral("Metallic Re&turn")), "cbMetallicReturn");
    connect(cbCurrent_, &QComboBox::currentIndexChanged, this, &TCircuitForm::cbCurrentChange);

    auto* group = new QGroupBox(QStringLiteral(" Current "));
    auto* row = new QHBoxLayout(group);
    row->addWidget(BuddyLabel(QStringLiteral("S&ystem"), cbCurrent_));
    row->addWidget(cbCurrent_);
    row->addSpacing(12);
    row->addWidget(BuddyLabel(QStringLiteral("Pole Voltage to Gro&und"), ePoleVoltage_));
    row->addLayout(FieldWithUnit(ePoleVoltage_, UnitLabel("lbPoleVoltageUnit", QStringLiteral("kV"))));
    row->addSpacing(12);
    row->addWidget(cbMetallicReturn_);
    row->addStretch(1);
    return group;
}

QWidget* TCircuitForm::CreateTemplateGroup() {
    cbTemplate_ = Named(new QComboBox, "cbTemplate");
    for (const char* name : kTemplateNames)
        cbTemplate_->addItem(QString::fromLatin1(name));
    const QString unit = QString::fromLatin1(scenario_.Project->LengthUnit());
    auto* group = new QGroupBox(QStringLiteral(" Structure "));
    auto* grid = new QGridLayout(group);
    grid->addWidget(BuddyLabel(QStringLiteral("T&emplate"), cbTemplate_), 0, 0);
    grid->addWidget(cbTemplate_, 0, 1, 1, 4);
    for (std::size_t i = 0; i < shape_.size(); ++i) {
        const TShapeField& info = kShapeFields[i];
        shape_[i] = Named(new TNumberField(Picture("####.##", info.Signed)), info.Name);
        const int row = 1 + static_cast<int>(i % 3);
        const int column = i < 3 ? 0 : 3;
        grid->addWidget(BuddyLabel(QString::fromLatin1(info.Label), shape_[i]), row, column);
        grid->addLayout(FieldWithUnit(shape_[i], new QLabel(unit)), row, column + 1);
        shape_[i]->SetValue(0);
        shape_[i]->setEnabled(false); // until a template is picked
    }
    grid->setColumnMinimumWidth(2, 16);
    grid->setColumnStretch(5, 1);
    connect(cbTemplate_, &QComboBox::currentIndexChanged, this, &TCircuitForm::cbTemplateChange);
    return group;
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

    // The structure comes under the phases: Tab from the ground-wire number
    // still goes on to OK; Alt+E or a click reaches the template.
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(group);
    layout->addWidget(CreateTemplateGroup());
    layout->addStretch(1);
    return page;
}

void TCircuitForm::ShowTemplateDefaults(int index) {
    const TTemplateDefaults& defaults = kTemplateDefaults[static_cast<std::size_t>(index)];
    const bool english = scenario_.Project->Units == English;
    for (std::size_t i = 0; i < shape_.size(); ++i)
        shape_[i]->SetValue(english ? defaults.Feet[i] : defaults.Metres[i]);
    if (index == 0) return;
    // A template places one conductor per phase and the ground wires it shows.
    for (std::size_t row = 0; row < kGround; ++row)
        phases_[row].Number->setValue(1);
    phases_[kGround].Number->setValue(defaults.GroundWires);
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
    values.Current = CurrentKindOf(circuit);
    if (values.Current != TCurrentKind::Ac) values.PoleKv = PoleKvOfStored(circuit.MaxVoltage);
    values.MetallicReturn = HasMetallicReturn(circuit);
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
    cbCurrent_->setCurrentIndex(static_cast<int>(values.Current));
    ePoleVoltage_->SetValue(values.PoleKv);
    cbMetallicReturn_->setChecked(values.MetallicReturn);
    cbCurrentChange();
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
    values.Current = static_cast<TCurrentKind>(std::max(cbCurrent_->currentIndex(), 0));
    values.PoleKv = ePoleVoltage_->FloatValue();
    values.MetallicReturn = cbMetallicReturn_->isChecked();
    values.Template = static_cast<TStructureTemplate>(std::max(cbTemplate_->currentIndex(), 0));
    values.Shape = {shape_[0]->FloatValue(), shape_[1]->FloatValue(), shape_[2]->FloatValue(),
                    shape_[3]->FloatValue(), shape_[4]->FloatValue()};
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

// A DC circuit takes its pole voltage instead of a class and factor, and
// creates its poles instead of the phase rows.
void TCircuitForm::cbCurrentChange() {
    const auto kind = static_cast<TCurrentKind>(std::max(cbCurrent_->currentIndex(), 0));
    const bool dc = kind != TCurrentKind::Ac;
    for (QWidget* field : {static_cast<QWidget*>(fields_->cbVoltage),
                           static_cast<QWidget*>(fields_->eOverRateFactor),
                           static_cast<QWidget*>(fields_->eMaxVoltage)})
        field->setEnabled(!dc);
    ePoleVoltage_->setEnabled(dc);
    // The maximum is an AC value: a DC circuit shows its pole voltage only.
    TNumberField& maximum = *fields_->eMaxVoltage;
    if (dc && !maximum.text().isEmpty()) {
        acMaximum_ = maximum.text();
        maximum.Clear();
    } else if (!dc && maximum.text().isEmpty()) {
        maximum.setText(acMaximum_);
    }
    cbMetallicReturn_->setEnabled(kind == TCurrentKind::DcMonopole && circuit_ == nullptr);
    for (std::size_t row = 0; row < kGround; ++row) {
        phases_[row].Box->setEnabled(!dc);
        phases_[row].Number->setEnabled(!dc);
        phases_[row].Angle->setEnabled(!dc);
    }
}

void TCircuitForm::cbTemplateChange(int index) {
    for (TNumberField* field : shape_)
        field->setEnabled(index > 0);
    ShowTemplateDefaults(std::max(index, 0));
}

void TCircuitForm::btOKClick() {
    if (!OkButton(*buttons_)->isEnabled()) return;
    const TNewCircuitValues values = Values();
    // The dialog stays open on a refusal, so the value can be put right.
    if (values.Current != TCurrentKind::Ac && values.PoleKv == 0) {
        ShowWarning(this, QStringLiteral("Enter the pole voltage to ground of the DC circuit."));
        ePoleVoltage_->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (circuit_ != nullptr) {
        ApplyCircuitValues(*circuit_, values);
    } else {
        if (const auto full = RoomForNewCircuits(scenario_, values)) {
            ShowWarning(this, ToQString(*full));
            return;
        }
        created_ = CreateNewCircuits(scenario_, values);
    }
    accept();
}

} // namespace corvalt::ui
