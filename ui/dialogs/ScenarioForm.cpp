#include "ui/dialogs/ScenarioForm.h"

#include "model/Project.h"
#include "model/TextHelpers.h"
#include "prefs/Options.h"
#include "ui/app/TextConvert.h"
#include "ui/dialogs/SiteFields.h"
#include "ui/widgets/EnterAsTab.h"
#include "ui/widgets/FormWidgets.h"
#include "ui/widgets/NumberField.h"
#include "ui/widgets/RadioGroup.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace corvalt::ui {
namespace {

constexpr int kMaxTabTitle = 20;

// One row of a group of two lengths: its label, field and unit.
struct TLengthRow {
    const char* Label;
    TNumberField* Field;
    const char* UnitName;
};

QGroupBox* LengthGroup(const QString& title, const char* unit, const TLengthRow (&rows)[2]) {
    auto* group = new QGroupBox(title);
    auto* grid = new QGridLayout(group);
    for (int row = 0; row < 2; ++row) {
        const TLengthRow& length = rows[row];
        grid->addWidget(BuddyLabel(QString::fromLatin1(length.Label), length.Field), row, 0);
        grid->addWidget(length.Field, row, 1);
        grid->addWidget(UnitLabel(length.UnitName, QString::fromLatin1(unit)), row, 2);
    }
    return group;
}

} // namespace

TScenarioForm::TScenarioForm(TEmfProject& project, TScenario* scenario, const TOptions& options,
                             QWidget* parent)
    : QDialog(parent), project_(project), scenario_(scenario) {
    setWindowTitle(QStringLiteral("CrossSection"));
    CreateControls();
    TEnterAsTab::Install(*this, options.EnterAsTab());
    if (scenario_ != nullptr)
        ShowValues(*scenario_);
    else
        ShowNewDefaults(options);
    UpdateControls();
}

std::unique_ptr<TScenario> TScenarioForm::NewScenario(TEmfProject& project, const TOptions& options,
                                                      QWidget* parent) {
    TScenarioForm form(project, nullptr, options, parent);
    if (form.exec() != Accepted) return nullptr;
    return form.TakeNewScenario();
}

bool TScenarioForm::EditScenario(TScenario& scenario, const TOptions& options, QWidget* parent) {
    TScenarioForm form(*scenario.Project, &scenario, options, parent);
    return form.exec() == Accepted;
}

void TScenarioForm::CreateControls() {
    auto* pages = Named(new QTabWidget, "pcPages");
    pages->addTab(CreateSectionPage(), QStringLiteral("CrossSection"));
    pages->addTab(CreateCoronaPage(), QStringLiteral("Corona"));

    buttons_ = OkCancelButtons(*this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    layout->addWidget(buttons_);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(eTitle_, &QLineEdit::textChanged, this, &TScenarioForm::eNameChange);
    connect(eTabTitle_, &QLineEdit::textChanged, this, &TScenarioForm::eNameChange);
    connect(site_, &TSiteFields::Changed, this, &TScenarioForm::UpdateControls);
    connect(OkButton(*buttons_), &QPushButton::clicked, this, &TScenarioForm::btOKClick);
}

QWidget* TScenarioForm::CreateSectionPage() {
    eTitle_ = Named(new QLineEdit, "eTitle");
    eTitle_->installEventFilter(this);
    eTabTitle_ = Named(new QLineEdit, "eTabTitle");
    eTabTitle_->setMaxLength(kMaxTabTitle);
    rgType_ =
        Named(new TRadioGroup(QStringLiteral("Type of CrossSection"),
                              {QStringLiteral("Transmission Line"), QStringLiteral("Substation")}),
              "rgType");

    auto* names = new QFormLayout;
    names->addRow(BuddyLabel(QStringLiteral("Line/Sub &Name"), eTitle_), eTitle_);
    names->addRow(BuddyLabel(QStringLiteral("&Tab Title"), eTabTitle_), eTabTitle_);

    auto* groups = new QHBoxLayout;
    groups->addWidget(CreateRowGroup());
    groups->addWidget(CreateSensorGroup());
    // Enter on the type moves on to the Corona page.
    for (int i = 0; i < rgType_->Count(); ++i)
        TEnterAsTab::MarkLastOfPage(rgType_->Button(i));

    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(names);
    layout->addLayout(groups);
    layout->addWidget(rgType_);
    layout->addStretch(1);
    return page;
}

QWidget* TScenarioForm::CreateCoronaPage() {
    site_ = new TSiteFields(project_.Units, this);
    lbSiteError_ = Named(new QLabel, "lbSiteError");
    lbSiteError_->setWordWrap(true);
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(NoteLabel(QStringLiteral(
        "Site of the corona computation. A blank field uses the default shown in grey.")));
    layout->addLayout(site_->Grid());
    layout->addWidget(lbSiteError_);
    layout->addStretch(1);
    return page;
}

QWidget* TScenarioForm::CreateRowGroup() {
    eRowLeft_ = Named(new TNumberField(Picture("#####.#", true)), "eRowLeft");
    eRowLeft_->setEnabled(false); // the left edge is the reference: shown, never edited
    eRowRight_ = Named(new TNumberField(Picture("#####.#", false)), "eRowRight");
    return LengthGroup(
        QStringLiteral(" Right Of Way "), project_.LengthUnit(),
        {{"&Left", eRowLeft_, "lbRowLeftUnit"}, {"&Right", eRowRight_, "lbRowRightUnit"}});
}

QWidget* TScenarioForm::CreateSensorGroup() {
    eMagnField_ = Named(new TNumberField(Picture("####.##", true)), "eMagnField");
    eElectrField_ = Named(new TNumberField(Picture("####.##", true)), "eElectrField");
    return LengthGroup(QStringLiteral("Field Sensors Heights"), project_.LengthUnit(),
                       {{"&Magnetic", eMagnField_, "lbMagnFieldUnit"},
                        {"&Electric", eElectrField_, "lbElectrFieldUnit"}});
}

void TScenarioForm::ShowNewDefaults(const TOptions& options) {
    // Sensors 1 m above ground, shown in the project's unit (3.28 ft); the site
    // as the preferences propose it (unset unless the user chose values).
    TScenario proposal(project_);
    proposal.BFieldHeight = 1;
    proposal.EFieldHeight = 1;
    for (const TSiteParameterInfo& parameter : kSiteParameters)
        proposal.SetSiteValue(parameter.Id, options.CoronaSiteDefault(parameter.Id));
    ShowValues(proposal);
}

void TScenarioForm::ShowValues(const TScenario& scenario) {
    eTitle_->setText(ToQString(scenario.Title));
    eTabTitle_->setText(ToQString(scenario.TabTitle));
    eRowLeft_->SetValue(scenario.DisplayRowLeft());
    eRowRight_->SetValue(scenario.DisplayRowRight());
    eMagnField_->SetValue(scenario.DisplayBFieldHeight());
    eElectrField_->SetValue(scenario.DisplayEFieldHeight());
    rgType_->SetItemIndex(scenario.SectionType <= Substation ? scenario.SectionType : -1);
    TSiteValues site{};
    for (const TSiteParameterInfo& parameter : kSiteParameters)
        site[static_cast<std::size_t>(parameter.Id)] = scenario.SiteValue(parameter.Id);
    site_->ShowValues(site);
}

void TScenarioForm::StoreValues(TScenario& scenario) const {
    scenario.TabTitle = CommittedText(eTabTitle_->text(), scenario.TabTitle);
    scenario.Title = CommittedText(eTitle_->text(), scenario.Title);
    if (Trim(scenario.Title).empty()) scenario.Title = scenario.TabTitle;
    scenario.SetDisplayBFieldHeight(eMagnField_->FloatValue());
    scenario.SetDisplayEFieldHeight(eElectrField_->FloatValue());
    scenario.SetDisplayRowLeft(eRowLeft_->FloatValue());
    scenario.SetDisplayRowRight(eRowRight_->FloatValue());
    // A section type the program does not know (from a file) stays as it was.
    if (rgType_->ItemIndex() >= 0)
        scenario.SectionType = static_cast<std::uint8_t>(rgType_->ItemIndex());
    const TSiteValues site = site_->Values();
    for (const TSiteParameterInfo& parameter : kSiteParameters)
        scenario.SetSiteValue(parameter.Id, site[static_cast<std::size_t>(parameter.Id)]);
}

void TScenarioForm::UpdateControls() {
    const QString siteProblem = site_->Problem();
    lbSiteError_->setText(siteProblem);
    OkButton(*buttons_)->setEnabled(!TrimmedRight(eTabTitle_->text()).isEmpty() &&
                                    siteProblem.isEmpty());
}

bool TScenarioForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == eTitle_ && event->type() == QEvent::FocusIn) eTitleEnter();
    return QDialog::eventFilter(watched, event);
}

void TScenarioForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TScenarioForm::FormShow() {
    eTitle_->setFocus(Qt::OtherFocusReason);
    UpdateControls();
}

void TScenarioForm::eTitleEnter() {
    // An empty long name starts as the tab title, selected for overtyping.
    if (!eTitle_->text().trimmed().isEmpty() || eTabTitle_->text().isEmpty()) return;
    eTitle_->setText(eTabTitle_->text());
    QTimer::singleShot(0, eTitle_, &QLineEdit::selectAll);
}

void TScenarioForm::eNameChange() {
    UpdateControls();
}

void TScenarioForm::btOKClick() {
    if (!OkButton(*buttons_)->isEnabled()) return;
    if (scenario_ != nullptr) {
        StoreValues(*scenario_);
    } else {
        created_ = std::make_unique<TScenario>(project_);
        StoreValues(*created_);
    }
    accept();
}

} // namespace corvalt::ui
