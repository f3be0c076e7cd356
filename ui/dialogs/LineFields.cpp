#include "ui/dialogs/LineFields.h"

#include "model/Units.h"
#include "prefs/Options.h"
#include "ui/widgets/FormWidgets.h"
#include "model/MaxVoltage.h"
#include "ui/widgets/NumberField.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

namespace corvalt::ui {
namespace {

const char* kOverriddenNote = "Blank when overridden";

// A group whose rows are label, field and unit.
struct TGroupGrid {
    QGroupBox* Group;
    QGridLayout* Grid;
    int Row = 0;

    explicit TGroupGrid(const QString& title)
        : Group(new QGroupBox(title)), Grid(new QGridLayout(Group)) {
        Grid->setColumnStretch(1, 1);
    }
    void Add(const QString& label, QWidget* field, const char* unitName = nullptr,
             const QString& unit = QString()) {
        Grid->addWidget(BuddyLabel(label, field), Row, 0);
        if (unitName != nullptr)
            Grid->addLayout(FieldWithUnit(field, UnitLabel(unitName, unit)), Row, 1);
        else
            Grid->addWidget(field, Row, 1);
        ++Row;
    }
    void AddWide(QWidget* widget) { Grid->addWidget(widget, Row++, 0, 1, 2); }
};

QComboBox* PickList(const char* name, const std::vector<std::string>& texts) {
    auto* combo = Named(new QComboBox, name);
    FillPickList(*combo, texts);
    combo->setMinimumContentsLength(20);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return combo;
}

// The library entry at a pick-list index; nullptr when nothing is picked.
template <class T> const T* EntryAt(const TSafeList<T>& library, int index) {
    return index >= 0 && index < library.Count() ? &library[index] : nullptr;
}

} // namespace

TLineFields::TLineFields(const TOptions& options, int units, const TStyle& style, QObject* parent)
    : QObject(parent), cbVoltage(PickList("cbVoltage", options.VoltageTexts())),
      eOverRateFactor(Named(new TNumberField(Picture(style.FactorMask, style.FactorSigned)),
                            "eOverRateFactor")),
      eMaxVoltage(Named(new TNumberField(Picture(style.MaxVoltageMask, 0, 2500)), "eMaxVoltage")),
      cbCondName(PickList("cbCondName", options.ConductorNames())),
      eCondDia(Named(new TNumberField(Picture("###.###", 0, 100)), "eCondDia")),
      eMCR(Named(new TNumberField(Picture("#####", -9999, 9999)), "eMCR")),
      cbOhgwName(PickList("cbOhgwName", options.OhgwNames())),
      eOhgwDia(Named(new TNumberField(Picture("###.###", 0, 100)), "eOhgwDia")),
      // A sub-conductor count is stored in a byte.
      eSubCount(Named(new TNumberField(Picture("######", 0, 255)), style.SubCountName)),
      eSpacing(Named(new TNumberField(Picture("#####.#", 0, 100)), style.SpacingName)),
      options_(options), units_(units) {
    eMaxVoltage->setReadOnly(true);
    eMaxVoltage->setFocusPolicy(Qt::NoFocus);
    KeepCountAtLeastOne(*eSubCount);
    connect(cbVoltage, &QComboBox::activated, this, &TLineFields::cbVoltageChange);
    connect(eOverRateFactor, &QLineEdit::textChanged, this, &TLineFields::eOverRateFactorChange);
    connect(cbCondName, &QComboBox::activated, this, &TLineFields::cbCondNameChange);
    connect(cbOhgwName, &QComboBox::activated, this, &TLineFields::cbOhgwNameChange);
    connect(eCondDia, &QLineEdit::textEdited, this, &TLineFields::eCondDiaChange);
    connect(eMCR, &QLineEdit::textEdited, this, &TLineFields::eCondDiaChange);
    connect(eOhgwDia, &QLineEdit::textEdited, this, &TLineFields::eOhgwDiaChange);
}

QGroupBox* TLineFields::VoltageGroup() {
    TGroupGrid group(QStringLiteral(" Voltage "));
    group.Add(QStringLiteral("C&lassification"), cbVoltage, "lbVoltageUnit", QStringLiteral("kV"));
    group.Add(QStringLiteral("O&ver Rate Factor"), eOverRateFactor);
    group.Add(QStringLiteral("Maximum"), eMaxVoltage, "lbMaxVoltageUnit", QStringLiteral("kV"));
    return group.Group;
}

QGroupBox* TLineFields::ConductorGroup() {
    TGroupGrid group(QStringLiteral("Conductor"));
    group.AddWide(cbCondName);
    group.AddWide(new QLabel(QString::fromLatin1(kOverriddenNote)));
    group.Add(QStringLiteral("&Diameter"), eCondDia, "lbCondDiaUnit",
              QString::fromLatin1(DiameterUnit(units_)));
    group.Add(QStringLiteral("&MCR"), eMCR, "lbMcrUnit", QStringLiteral("Amps"));
    return group.Group;
}

QGroupBox* TLineFields::OhgwGroup() {
    TGroupGrid group(QStringLiteral("Ohgw"));
    group.AddWide(cbOhgwName);
    group.AddWide(new QLabel(QString::fromLatin1(kOverriddenNote)));
    group.Add(QStringLiteral("Di&ameter"), eOhgwDia, "lbOhgwDiaUnit",
              QString::fromLatin1(DiameterUnit(units_)));
    return group.Group;
}

QGroupBox* TLineFields::BundlingGroup() {
    TGroupGrid group(QStringLiteral(" Bundling "));
    group.Add(QStringLiteral("SubCond &No"), eSubCount);
    group.Add(QStringLiteral("S&pacing"), eSpacing, "lbSpacingUnit",
              QString::fromLatin1(SpacingUnit(units_)));
    return group.Group;
}

TNumberPicture PoleVoltagePicture() {
    return Picture("#####.#", -2500, 2500);
}

void TLineFields::RecomputeMaxVoltage() {
    const std::optional<long long> maximum =
        RoundedMaxVoltage(PickedText(*cbVoltage), eOverRateFactor->DecimalText());
    if (!maximum) return;
    // The factor may be negative; the maximum stays within its field's range.
    const TNumberPicture& range = eMaxVoltage->NumberPicture();
    eMaxVoltage->SetValue(std::clamp(static_cast<double>(*maximum), range.Min, range.Max));
}

void TLineFields::cbVoltageChange(int index) {
    if (const TVoltItem* item = EntryAt(options_.Voltages(), index))
        eOverRateFactor->SetValue(item->OverRateFactor); // recomputes the maximum
    RecomputeMaxVoltage();
}

void TLineFields::eOverRateFactorChange() {
    RecomputeMaxVoltage();
}

void TLineFields::cbCondNameChange(int index) {
    if (const TCondItem* item = EntryAt(options_.Conductors(), index)) {
        eCondDia->SetValue(DisplayDiameter(units_, item->Diameter));
        eMCR->SetValue(item->Mcr);
    }
}

void TLineFields::cbOhgwNameChange(int index) {
    if (const TOhgwItem* item = EntryAt(options_.Ohgws(), index))
        eOhgwDia->SetValue(DisplayDiameter(units_, item->Diameter));
}

void TLineFields::eCondDiaChange() {
    cbCondName->setCurrentIndex(-1);
}

void TLineFields::eOhgwDiaChange() {
    cbOhgwName->setCurrentIndex(-1);
}

} // namespace corvalt::ui
