#include "ui/dialogs/EditPrjForm.h"

#include "model/DayNumbers.h"
#include "prefs/Options.h"
#include "reports/ReportFormat.h"
#include "ui/app/TextConvert.h"
#include "ui/dialogs/ContactPage.h"
#include "ui/widgets/EnterAsTab.h"
#include "ui/widgets/FormWidgets.h"
#include "ui/widgets/NumberField.h"
#include "ui/widgets/RadioGroup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <array>

namespace corvalt::ui {
namespace {

constexpr int kMaxTitle = 50;
constexpr int kMaxExplanation = 25;
constexpr int kMaxNotes = 60;
constexpr int kOther = 2; // the notification choice that takes an explanation

// The date picker cannot be empty: a date never set, or a value that is no
// date, shows as day zero.
QDate PickerDate(double dayNumber) {
    const QDate date = DateOfDayNumber(dayNumber);
    return date.isValid() ? date : QDate(kDayZero.Year, kDayZero.Month, kDayZero.Day);
}

double DayNumberOfPicked(const QDate& date) {
    return date.isValid() ? DayNumberOfCalendarDate({date.year(), date.month(), date.day()}) : 0.0;
}

constexpr std::array<const char*, 5> kExemptionNames = {"cbLess15", "cbOneCounty", "cbExistingRow",
                                                        "cbDRIBind", "cbDRIDev"};
constexpr std::array<const char*, 5> kExemptionTexts = {
    "Less then 15 miles", "One County", "Existing ROW", "DRI Binding Letter", "DRI Dev. Order"};

// The exemption boxes as stored: one character per box, "X" ticked, " " not.
std::string ExemptionFlagsOf(const std::array<bool, 5>& ticked) {
    std::string flags;
    for (const bool box : ticked)
        flags += box ? 'X' : ' ';
    return flags;
}

bool ExemptionTicked(const std::string& flags, std::size_t position) {
    return position < flags.size() && flags[position] != ' ';
}

} // namespace

TEditPrjForm::TEditPrjForm(TEmfProject& project, const TOptions& options, TMode mode,
                           QWidget* parent)
    : QDialog(parent), project_(project) {
    setWindowTitle(mode == TMode::New ? QStringLiteral("New Project")
                                      : QStringLiteral("Edit Project"));
    CreateControls(options);
    TEnterAsTab::Install(*this, options.EnterAsTab());
    ShowValues(mode == TMode::New ? NewProjectDefaults(options) : project_);
}

std::unique_ptr<TEmfProject> TEditPrjForm::NewProject(const TOptions& options, QWidget* parent) {
    auto project = std::make_unique<TEmfProject>();
    TEditPrjForm form(*project, options, TMode::New, parent);
    if (form.exec() != Accepted) return nullptr;
    return project;
}

bool TEditPrjForm::EditProject(TEmfProject& project, const TOptions& options, QWidget* parent) {
    TEditPrjForm form(project, options, TMode::Edit, parent);
    return form.exec() == Accepted;
}

TProjectInfo TEditPrjForm::NewProjectDefaults(const TOptions& options) {
    TProjectInfo info;
    info.Units = options.MesUnits() == Metric ? Metric : English;
    info.EngineerName = options.EngineerName();
    info.AgentName = options.AgentName();
    info.AgentAddress = options.AgentAddress();
    info.AgentPhone = options.AgentPhone();
    info.PeName = options.PeName();
    info.PeAddress = options.PeAddress();
    info.PePhone = options.PePhone();
    info.FacilityName = options.FacName();
    info.FacilityAddress = options.FacAddr();
    info.Counties = options.FacCnt();
    info.Cities = options.FacCty();
    info.ConstructionDate = TodayDayNumber();
    return info;
}

void TEditPrjForm::CreateControls(const TOptions& options) {
    auto* pages = Named(new QTabWidget, "pcPages");
    pages->addTab(CreateGeneralPage(), QStringLiteral("General"));
    contacts_ = CreateContactPage();
    pages->addTab(contacts_.Page, QStringLiteral("PE / Authorized Agent"));
    pages->addTab(CreateFacilityPage(), QStringLiteral("Facility"));
    pages->addTab(CreateTlsaPage(options), QStringLiteral("TLSA Info"));

    buttons_ = OkCancelButtons(*this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    layout->addWidget(buttons_);
    connect(OkButton(*buttons_), &QPushButton::clicked, this, &TEditPrjForm::btOKClick);
    // The title decides OK; the facility fields re-check it as well.
    for (QLineEdit* field : {eTitle_, eFOwner_, eFAddress_, eCounties_, eCities_})
        connect(field, &QLineEdit::textChanged, this, &TEditPrjForm::eTitleChange);
}

QWidget* TEditPrjForm::CreateGeneralPage() {
    eTitle_ = TextField("eTitle", kMaxTitle);
    eEngineerName_ = TextField("eEngineerName", kMaxTitle);
    dtConstruction_ = Named(new QDateEdit, "dtConstruction");
    dtConstruction_->setCalendarPopup(true);
    dtConstruction_->setDisplayFormat(QLocale().dateFormat(QLocale::LongFormat));
    dtConstruction_->setMinimumDate(QDate(100, 1, 1));
    rgUnits_ = Named(new TRadioGroup(QStringLiteral(" Measurement Units "),
                                     {QStringLiteral("English"), QStringLiteral("Metric")}, 2),
                     "rgUnits");
    connect(rgUnits_, &TRadioGroup::ItemChosen, this, &TEditPrjForm::rgUnitsClick);
    // Enter in the engineer, the last field of the page, goes on to the next page.
    TEnterAsTab::MarkLastOfPage(*eEngineerName_);

    auto* group = new QGroupBox(QStringLiteral("Project"));
    auto* form = new QFormLayout(group);
    form->addRow(BuddyLabel(QStringLiteral("&Title"), eTitle_), eTitle_);
    form->addRow(BuddyLabel(QStringLiteral("Construction &Date"), dtConstruction_),
                 dtConstruction_);
    form->addRow(rgUnits_);
    form->addRow(BuddyLabel(QStringLiteral("&Engineer"), eEngineerName_), eEngineerName_);
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(group);
    layout->addStretch(1);
    return page;
}

QWidget* TEditPrjForm::CreateFacilityPage() {
    eFOwner_ = TextField("eFOwner");
    eFAddress_ = TextField("eFAddress");
    SetHint(*eFAddress_, QString::fromLatin1(kAddressHint));
    eCounties_ = TextField("eCounties");
    eCities_ = TextField("eCities");
    TEnterAsTab::MarkLastOfPage(*eCities_);
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(NoteLabel(QString::fromLatin1(kLineBreakNote)));
    auto* form = new QFormLayout;
    form->addRow(BuddyLabel(QStringLiteral("&Name"), eFOwner_), eFOwner_);
    form->addRow(BuddyLabel(QStringLiteral("&Address"), eFAddress_), eFAddress_);
    form->addRow(BuddyLabel(QStringLiteral("C&ounties"), eCounties_), eCounties_);
    form->addRow(BuddyLabel(QStringLiteral("C&ities"), eCities_), eCities_);
    layout->addLayout(form);
    layout->addStretch(1);
    return page;
}

QWidget* TEditPrjForm::CreateTlsaPage(const TOptions& options) {
    cbVoltage_ = Named(new QComboBox, "cbVoltage");
    FillPickList(*cbVoltage_, options.VoltageTexts());
    eLineLength_ = Named(new TNumberField(Picture("######.#", false)), "eLineLength");
    lbLineLength_ = UnitLabel("lbLineLength", QStringLiteral("mi"));
    auto* numbers = new QGridLayout;
    numbers->addWidget(BuddyLabel(QStringLiteral("&Voltage Class"), cbVoltage_), 0, 0);
    numbers->addLayout(FieldWithUnit(cbVoltage_, UnitLabel("lbVoltageUnit", QStringLiteral("kV"))),
                       0, 1);
    numbers->addWidget(BuddyLabel(QStringLiteral("&Line Length"), eLineLength_), 1, 0);
    numbers->addLayout(FieldWithUnit(eLineLength_, lbLineLength_), 1, 1);
    numbers->setColumnStretch(1, 1);

    cbLocMap_ = Named(new QCheckBox(QStringLiteral("Location Map")), "cbLocMap");
    cbStructProfile_ = Named(new QCheckBox(QStringLiteral("Structure Profile")), "cbStructProfile");
    auto* attachments = new QGroupBox(QStringLiteral(" Attachments "));
    auto* attachmentList = new QVBoxLayout(attachments);
    attachmentList->addWidget(cbLocMap_);
    attachmentList->addWidget(cbStructProfile_);
    attachmentList->addStretch(1);

    auto* exemptionGroup = new QGroupBox(QStringLiteral("Exemption Type "));
    auto* exemptionList = new QVBoxLayout(exemptionGroup);
    for (std::size_t i = 0; i < kExemptionNames.size(); ++i) {
        exemptions_[i] =
            Named(new QCheckBox(QString::fromLatin1(kExemptionTexts[i])), kExemptionNames[i]);
        exemptionList->addWidget(exemptions_[i]);
    }

    rgNotification_ =
        Named(new TRadioGroup(QStringLiteral(" Notification "),
                              {QStringLiteral("Previous"), QStringLiteral("Concurrent"),
                               QStringLiteral("Other")}),
              "rgNotification");
    rgNotification_->SetButtonNames({"rbPrev", "rbConcurrent", "rbOther"});
    eNotifExplanation_ = TextField("eNotifExplanation", kMaxExplanation, kMaxExplanation);
    qobject_cast<QGridLayout*>(rgNotification_->layout())->addWidget(eNotifExplanation_, 3, 0);
    connect(rgNotification_, &TRadioGroup::ItemChosen, this, &TEditPrjForm::rgNotificationClick);

    eNotes_ = TextField("eNotes", kMaxNotes);
    auto* groups = new QHBoxLayout;
    groups->addWidget(attachments);
    groups->addWidget(exemptionGroup);
    groups->addWidget(rgNotification_);
    auto* notes = new QFormLayout;
    notes->addRow(BuddyLabel(QStringLiteral("Other N&otes"), eNotes_), eNotes_);

    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(numbers);
    layout->addLayout(groups);
    layout->addLayout(notes);
    layout->addStretch(1);
    return page;
}

void TEditPrjForm::ShowValues(const TProjectInfo& info) {
    eTitle_->setText(ToQString(info.Title));
    eEngineerName_->setText(ToQString(info.EngineerName));
    dtConstruction_->setDate(PickerDate(info.ConstructionDate));
    rgUnits_->SetItemIndex(info.Units == Metric ? 1 : 0);
    lbLineLength_->setText(QString::fromLatin1(LongLengthUnit(info.Units)));
    contacts_.AgentName->setText(ToQString(info.AgentName));
    contacts_.AgentAddress->setText(ToQString(info.AgentAddress));
    contacts_.AgentPhone->setText(ToQString(info.AgentPhone));
    contacts_.PeName->setText(ToQString(info.PeName));
    contacts_.PeAddress->setText(ToQString(info.PeAddress));
    contacts_.PePhone->setText(ToQString(info.PePhone));
    eFOwner_->setText(ToQString(info.FacilityName));
    eFAddress_->setText(ToQString(info.FacilityAddress));
    eCounties_->setText(ToQString(info.Counties));
    eCities_->setText(ToQString(info.Cities));
    SelectVoltage(*cbVoltage_, info.VoltageClass);
    eLineLength_->SetValue(DisplayLongLength(info.Units, info.LineLength));
    cbLocMap_->setChecked(info.LocationMap);
    cbStructProfile_->setChecked(info.StructureProfile);
    for (std::size_t i = 0; i < kExemptionNames.size(); ++i)
        exemptions_[i]->setChecked(ExemptionTicked(info.ExemptionFlags, i));
    eNotes_->setText(ToQString(info.Notes));
    eNotifExplanation_->setText(ToQString(info.NotificationExplanation));
    const int notification = info.Notification <= kOther ? info.Notification : 0;
    rgNotification_->SetItemIndex(notification);
    ApplyNotification(notification);
    UpdateControls();
}

void TEditPrjForm::StoreValues(TEmfProject& project) const {
    project.Title = CommittedText(eTitle_->text(), project.Title);
    project.EngineerName = CommittedText(eEngineerName_->text(), project.EngineerName);
    project.AgentName = CommittedText(contacts_.AgentName->text(), project.AgentName);
    project.AgentAddress = CommittedText(contacts_.AgentAddress->text(), project.AgentAddress);
    project.AgentPhone = CommittedText(contacts_.AgentPhone->text(), project.AgentPhone);
    project.PeName = CommittedText(contacts_.PeName->text(), project.PeName);
    project.PeAddress = CommittedText(contacts_.PeAddress->text(), project.PeAddress);
    project.PePhone = CommittedText(contacts_.PePhone->text(), project.PePhone);
    project.FacilityName = CommittedText(eFOwner_->text(), project.FacilityName);
    project.FacilityAddress = CommittedText(eFAddress_->text(), project.FacilityAddress);
    project.Counties = CommittedText(eCounties_->text(), project.Counties);
    project.Cities = CommittedText(eCities_->text(), project.Cities);
    project.ConstructionDate = DayNumberOfPicked(dtConstruction_->date());
    project.EntryDate = TodayDayNumber();
    project.UpdateDate = project.EntryDate;
    // Units first: the line length is taken in the newly chosen unit.
    project.Units = rgUnits_->ItemIndex() == 1 ? Metric : English;
    project.VoltageClass = PickedVoltage(*cbVoltage_);
    project.SetDisplayLineLength(eLineLength_->FloatValue());
    std::array<bool, 5> ticked{};
    for (std::size_t i = 0; i < ticked.size(); ++i)
        ticked[i] = exemptions_[i]->isChecked();
    project.ExemptionFlags = ExemptionFlagsOf(ticked);
    project.StructureProfile = cbStructProfile_->isChecked();
    project.LocationMap = cbLocMap_->isChecked();
    project.Notification = static_cast<std::uint8_t>(std::max(rgNotification_->ItemIndex(), 0));
    project.NotificationExplanation =
        CommittedText(eNotifExplanation_->text(), project.NotificationExplanation);
    project.Notes = CommittedText(eNotes_->text(), project.Notes);
}

void TEditPrjForm::UpdateControls() {
    OkButton(*buttons_)->setEnabled(!TrimmedRight(eTitle_->text()).isEmpty());
}

void TEditPrjForm::ApplyNotification(int choice) {
    // Only "Other" takes an explanation; the other choices empty it.
    const bool other = choice == kOther;
    eNotifExplanation_->setEnabled(other);
    eNotifExplanation_->setReadOnly(!other);
    if (!other) eNotifExplanation_->clear();
}

void TEditPrjForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TEditPrjForm::FormShow() {
    eTitle_->setFocus(Qt::OtherFocusReason);
    UpdateControls();
}

void TEditPrjForm::eTitleChange() {
    UpdateControls();
}

void TEditPrjForm::rgUnitsClick(int units) {
    lbLineLength_->setText(QString::fromLatin1(LongLengthUnit(units)));
}

void TEditPrjForm::rgNotificationClick(int choice) {
    ApplyNotification(choice);
}

void TEditPrjForm::btOKClick() {
    if (!OkButton(*buttons_)->isEnabled()) return;
    StoreValues(project_);
    accept();
}

} // namespace corvalt::ui
