#include "ui/dialogs/NewPlanDialog.h"

#include "model/Limits.h"
#include "model/Project.h"
#include "space/BuildSpans.h"
#include "space/MapModel.h"
#include "ui/app/TextConvert.h"
#include "ui/widgets/NumberField.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace corvalt::ui {

namespace {

// An empty plan's grid: a square this many units either side of the origin,
// in steps of one unit, at the usual sensor height.
constexpr double kEmptyGridHalfWidth = 50;
constexpr double kSensorHeightM = 1, kSensorHeightFt = 3.28;

} // namespace

std::variant<std::vector<TPlanCorner>, QString> ParseRoute(const QString& text) {
    auto parsed = space::ParseRoute(text.toStdString(), [](std::string_view number) {
        return ParseNumber(QString::fromUtf8(number.data(), static_cast<qsizetype>(number.size())));
    });
    if (const space::TRouteFault* fault = std::get_if<space::TRouteFault>(&parsed))
        return QStringLiteral("Route: point %1 must be two numbers x,y, not \"%2\".")
            .arg(fault->Point)
            .arg(QString::fromStdString(fault->Entry));
    return std::get<std::vector<TPlanCorner>>(std::move(parsed));
}

std::string UnusedPlanName(const TEmfProject& project, const std::string& stem) {
    if (stem.empty()) {
        for (int n = 1;; ++n)
            if (const std::string name = "Plan " + std::to_string(n); !project.FindPlan(name))
                return name;
    }
    if (project.FindPlan(stem) == nullptr) return stem;
    for (int n = 2;; ++n)
        if (const std::string name = stem + " (" + std::to_string(n) + ")"; !project.FindPlan(name))
            return name;
}

std::optional<QString> PlanNameRefusal(const TEmfProject& project, const std::string& name) {
    if (name.empty()) return QStringLiteral("A plan needs a name.");
    if (name.size() > kMaxPlanTextLength)
        return QStringLiteral("The name is longer than %1 bytes.").arg(kMaxPlanTextLength);
    if (project.FindPlan(name) != nullptr)
        return QStringLiteral("The project has a plan named \"%1\" already.").arg(ToQString(name));
    return std::nullopt;
}

TNewPlanDialog::TNewPlanDialog(const TEmfProject& project, QWidget* parent)
    : QDialog(parent), project_(project) {
    setObjectName(QStringLiteral("NewPlanDialog"));
    setWindowTitle(QStringLiteral("New Plan"));
    const QString unit = QString::fromLatin1(project.LengthUnit());

    edName_ = new QLineEdit(ToQString(UnusedPlanName(project, {})));
    edName_->setObjectName(QStringLiteral("edName"));
    rbFromSection_ = new QRadioButton(QStringLiteral("From cross section"));
    rbEmpty_ = new QRadioButton(QStringLiteral("Empty"));
    auto* source = new QButtonGroup(this);
    source->addButton(rbFromSection_);
    source->addButton(rbEmpty_);

    cbSection_ = new QComboBox;
    cbSection_->setObjectName(QStringLiteral("cbSection"));
    for (const TScenario& scenario : project.Scenarios)
        cbSection_->addItem(ToQString(scenario.DisplayName()));
    edRoute_ = new QPlainTextEdit;
    edRoute_->setObjectName(QStringLiteral("edRoute"));
    edRoute_->setTabChangesFocus(true);
    edRoute_->setPlaceholderText(QStringLiteral("0,0\n300,0\n600,150"));
    edRoute_->setMinimumHeight(110);
    rbAtPoints_ = new QRadioButton(QStringLiteral("A structure at every route point"));
    rbSpanLength_ = new QRadioButton(QStringLiteral("Span length (%1):").arg(unit));
    auto* spacing = new QButtonGroup(this);
    spacing->addButton(rbAtPoints_);
    spacing->addButton(rbSpanLength_);
    edSpanLength_ = new QLineEdit(QStringLiteral("0"));
    edSpanLength_->setObjectName(QStringLiteral("edSpanLength"));
    edSag_ = new QLineEdit(QStringLiteral("0"));
    edSag_->setObjectName(QStringLiteral("edSag"));
    lbMessage_ = new QLabel;
    lbMessage_->setObjectName(QStringLiteral("lbMessage"));
    lbMessage_->setWordWrap(true);
    lbMessage_->setStyleSheet(QStringLiteral("color: #b00000"));

    auto* spanRow = new QHBoxLayout;
    spanRow->addWidget(rbSpanLength_);
    spanRow->addWidget(edSpanLength_, 1);
    auto* section = new QFormLayout;
    section->setContentsMargins(24, 0, 0, 0);
    section->addRow(QStringLiteral("Cross section:"), cbSection_);
    section->addRow(QStringLiteral("Route, x,y (%1):").arg(unit), edRoute_);
    section->addRow(QString(), rbAtPoints_);
    section->addRow(QString(), spanRow);
    section->addRow(QStringLiteral("Sag (%1):").arg(unit), edSag_);
    sectionWidgets_ = {cbSection_, edRoute_, rbAtPoints_, rbSpanLength_, edSpanLength_, edSag_};

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &TNewPlanDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TNewPlanDialog::reject);

    auto* name = new QFormLayout;
    name->addRow(QStringLiteral("Plan name:"), edName_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(name);
    layout->addWidget(rbFromSection_);
    layout->addLayout(section);
    layout->addWidget(rbEmpty_);
    layout->addWidget(lbMessage_);
    layout->addWidget(buttons);

    const bool haveSections = cbSection_->count() > 0;
    (haveSections ? rbFromSection_ : rbEmpty_)->setChecked(true);
    rbFromSection_->setEnabled(haveSections);
    rbAtPoints_->setChecked(true);
    connect(rbFromSection_, &QRadioButton::toggled, this, &TNewPlanDialog::UpdateEnabled);
    connect(rbSpanLength_, &QRadioButton::toggled, this, &TNewPlanDialog::UpdateEnabled);
    UpdateEnabled();
    resize(440, sizeHint().height());
}

void TNewPlanDialog::UpdateEnabled() {
    const bool fromSection = rbFromSection_->isChecked();
    for (QWidget* widget : sectionWidgets_)
        widget->setEnabled(fromSection);
    edSpanLength_->setEnabled(fromSection && rbSpanLength_->isChecked());
}

void TNewPlanDialog::accept() {
    std::variant<TPlan, QString> made = MakePlan();
    if (const QString* refusal = std::get_if<QString>(&made)) {
        lbMessage_->setText(*refusal);
        return;
    }
    plan_ = std::move(std::get<TPlan>(made));
    lbMessage_->clear();
    QDialog::accept();
}

std::variant<TPlan, QString> TNewPlanDialog::MakePlan() const {
    const std::string name = ToBytes(edName_->text().trimmed());
    if (std::optional<QString> refusal = PlanNameRefusal(project_, name)) return *refusal;
    if (std::optional<std::string> full = RoomForPlan(project_, name)) return ToQString(*full);
    std::variant<TPlan, QString> made =
        rbFromSection_->isChecked() ? PlanFromSection() : std::variant<TPlan, QString>(EmptyPlan());
    TPlan* plan = std::get_if<TPlan>(&made);
    if (plan == nullptr) return made;
    plan->Name = name;
    // A plan the project keeps is one the field map can compute.
    auto model = space::BuildSpaceModel(*plan);
    if (const auto* refusal = std::get_if<space::TMapInputError>(&model))
        return ToQString(refusal->Message);
    return made;
}

std::variant<TPlan, QString> TNewPlanDialog::PlanFromSection() const {
    const int index = cbSection_->currentIndex();
    if (index < 0 || index >= project_.Scenarios.Count())
        return QStringLiteral("Choose a cross section.");
    std::variant<std::vector<TPlanCorner>, QString> route = ParseRoute(edRoute_->toPlainText());
    if (const QString* refusal = std::get_if<QString>(&route)) return *refusal;
    double spanLength = 0;
    if (rbSpanLength_->isChecked()) {
        const std::optional<double> typed = ParseNumber(edSpanLength_->text());
        if (!typed) return QStringLiteral("Span length: must be a number.");
        spanLength = *typed;
    }
    const std::optional<double> sag = ParseNumber(edSag_->text());
    if (!sag) return QStringLiteral("Sag: must be a number.");
    auto built = space::BuildSpans(project_.Scenarios[index],
                                   std::get<std::vector<TPlanCorner>>(route), spanLength, *sag);
    if (const auto* refusal = std::get_if<space::TMapInputError>(&built))
        return ToQString(refusal->Message);
    return std::get<TPlan>(std::move(built));
}

TPlan TNewPlanDialog::EmptyPlan() const {
    TPlan plan;
    plan.Units = static_cast<std::uint8_t>(project_.Units == English ? English : Metric);
    plan.Grid = {-kEmptyGridHalfWidth, kEmptyGridHalfWidth, -kEmptyGridHalfWidth,
                 kEmptyGridHalfWidth, 1,
                 plan.Units == English ? kSensorHeightFt : kSensorHeightM};
    return plan;
}

} // namespace corvalt::ui
