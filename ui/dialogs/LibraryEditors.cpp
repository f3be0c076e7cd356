#include "ui/dialogs/LibraryEditors.h"

#include "prefs/Options.h"
#include "ui/widgets/EnterAsTab.h"
#include "ui/widgets/FormWidgets.h"
#include "model/MaxVoltage.h"
#include "ui/widgets/NumberField.h"
#include "ui/app/TextConvert.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace corvalt::ui {
namespace {

constexpr int kMaxName = 25;

const char* kZeroVoltage = "  Voltage cannot be zero";
const char* kVoltageExists = "  Entry already exists";
const char* kBlankName = "Name cannot be blank";
const char* kBadFirstCharacter = "1st position of name cannot be space, quote or \\";
const char* kNameExists = "Entry already exists";

QLabel* ErrorLine() {
    auto* label = Named(new QLabel, "lbError");
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    label->setPalette(palette);
    return label;
}

QLabel* AddRow(QGridLayout& grid, int row, const QString& label, QWidget* field,
               QLabel* unit = nullptr) {
    QLabel* buddy = BuddyLabel(label, field);
    grid.addWidget(buddy, row, 0);
    if (unit != nullptr)
        grid.addLayout(FieldWithUnit(field, unit), row, 1);
    else
        grid.addWidget(field, row, 1);
    return buddy;
}

// Puts the fields' grid, the error line under it and OK/Cancel in the editor;
// returns the buttons.
QDialogButtonBox* LayOutEditor(QDialog& editor, QGridLayout* grid, QLabel* error) {
    grid->addWidget(error, grid->rowCount(), 0, 1, 2);
    QDialogButtonBox* buttons = OkCancelButtons(editor);
    auto* layout = new QVBoxLayout(&editor);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    return buttons;
}

// The typed number's exact decimal text, "0" for an empty field.
std::string DecimalOrZero(const TNumberField& field) {
    return field.Number() ? field.DecimalText() : std::string("0");
}

// Whether another entry of the library has the name, compared trimmed at both
// ends and case-sensitive; in edit mode the edited entry does not count.
template <class T>
bool NameTaken(const TSafeList<T>& library, const QString& trimmedName, int except) {
    for (int i = 0; i < library.Count(); ++i)
        if (i != except && ToQString(library[i].Name).trimmed() == trimmedName) return true;
    return false;
}

} // namespace

// ---- TVoltageForm ------------------------------------------------------------

TVoltageForm::TVoltageForm(TSafeList<TVoltItem>& library, TLibraryEdit mode, int position,
                           bool enterAsTab, QWidget* parent)
    : QDialog(parent), library_(library), mode_(mode), position_(position) {
    setWindowTitle(QStringLiteral("Voltage Class"));
    CreateControls();
    TEnterAsTab::Install(*this, enterAsTab);
    if (mode_ == TLibraryEdit::Edit) {
        const TVoltItem& entry = library_[position_];
        eVoltage_->SetValue(entry.Voltage);
        eFactor_->SetValue(entry.OverRateFactor);
    }
    CheckEntry();
}

void TVoltageForm::CreateControls() {
    eVoltage_ = Named(new TNumberField(Picture("####", false)), "eVoltage");
    SetHint(*eVoltage_, QStringLiteral("Rated Voltage"));
    eFactor_ = Named(new TNumberField(Picture("###.###", false)), "eFactor");
    eMaxVoltage_ = Named(new TNumberField(Picture("####", false)), "eMaxVoltage");
    eMaxVoltage_->setReadOnly(true);
    eMaxVoltage_->setFocusPolicy(Qt::NoFocus);
    lbError_ = ErrorLine();

    auto* grid = new QGridLayout;
    AddRow(*grid, 0, QStringLiteral("&Voltage Class"), eVoltage_,
           UnitLabel("lbVoltageUnit", QStringLiteral("kV")));
    AddRow(*grid, 1, QStringLiteral("Over Rated &Factor"), eFactor_);
    AddRow(*grid, 2, QStringLiteral("Maximum Voltage"), eMaxVoltage_,
           UnitLabel("lbMaxVoltageUnit", QStringLiteral("kV")));
    buttons_ = LayOutEditor(*this, grid, lbError_);
    connect(eVoltage_, &QLineEdit::textChanged, this, &TVoltageForm::CheckEntry);
    connect(eFactor_, &QLineEdit::textChanged, this, &TVoltageForm::CheckEntry);
    connect(OkButton(*buttons_), &QPushButton::clicked, this, &TVoltageForm::btOKClick);
}

QString TVoltageForm::ErrorText() const {
    return lbError_->text();
}

bool TVoltageForm::IsDuplicate(float voltage) const {
    for (int i = 0; i < library_.Count(); ++i) {
        if (mode_ == TLibraryEdit::Edit && i == position_) continue;
        if (library_[i].Voltage == voltage) return true;
    }
    return false;
}

void TVoltageForm::CheckEntry() {
    const std::optional<long long> maximum =
        RoundedMaxVoltage(DecimalOrZero(*eVoltage_), DecimalOrZero(*eFactor_));
    eMaxVoltage_->SetValue(static_cast<double>(maximum.value_or(0)));
    QString error;
    if (eVoltage_->FloatValue() == 0.0f)
        error = QString::fromLatin1(kZeroVoltage);
    else if (IsDuplicate(eVoltage_->FloatValue()))
        error = QString::fromLatin1(kVoltageExists);
    lbError_->setText(error);
    OkButton(*buttons_)->setEnabled(error.isEmpty());
}

void TVoltageForm::btOKClick() {
    if (!OkButton(*buttons_)->isEnabled()) return;
    TVoltItem* entry = nullptr;
    if (mode_ == TLibraryEdit::Insert) {
        library_.Insert(position_, std::make_unique<TVoltItem>());
        entry = &library_[position_];
    } else {
        entry = &library_[position_];
    }
    entry->Voltage = eVoltage_->FloatValue();
    entry->OverRateFactor = eFactor_->FloatValue();
    entry->MaxVoltage = eMaxVoltage_->FloatValue();
    accept();
}

// ---- TCondOhgwForm -----------------------------------------------------------

TCondOhgwForm::TCondOhgwForm(TOptions& options, TLibraryKind kind, TLibraryEdit mode, int position,
                             int diameterUnits, bool enterAsTab, QWidget* parent)
    : QDialog(parent), options_(options), kind_(kind), mode_(mode), position_(position),
      diameterUnits_(diameterUnits) {
    setWindowTitle(QStringLiteral("Conductor"));
    CreateControls();
    TEnterAsTab::Install(*this, enterAsTab);
    if (mode_ == TLibraryEdit::Edit) ShowEntry();
    eNameChange();
}

void TCondOhgwForm::CreateControls() {
    const bool conductor = kind_ == TLibraryKind::Conductors;
    eName_ = Named(new QLineEdit, "eName");
    eName_->setMaxLength(kMaxName);
    // The preferences file writes a name between vertical bars, so it cannot hold one.
    eName_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^|]*")), eName_));
    eName_->setMinimumWidth(eName_->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 28);
    eDiameter_ = Named(new TNumberField(Picture("###.###", false)), "eDiameter");
    eMCR_ = Named(new TNumberField(Picture("#####", -9999, 9999)), "eMCR");
    lbError_ = ErrorLine();

    auto* grid = new QGridLayout;
    AddRow(*grid, 0, QStringLiteral("&Name"), eName_);
    AddRow(*grid, 1, QStringLiteral("&Diameter"), eDiameter_,
           UnitLabel("lbDiameterUnit", QString::fromLatin1(DiameterUnit(diameterUnits_))));
    // Ground-wire types have no MCR: the row is hidden with its labels.
    QLabel* mcrUnit = UnitLabel("lbMcrUnit", QStringLiteral("Amps"));
    QLabel* mcrLabel = AddRow(*grid, 2, QStringLiteral("&MCR"), eMCR_, mcrUnit);
    for (QWidget* widget : {static_cast<QWidget*>(mcrLabel), static_cast<QWidget*>(eMCR_),
                            static_cast<QWidget*>(mcrUnit)})
        widget->setVisible(conductor);
    buttons_ = LayOutEditor(*this, grid, lbError_);
    connect(eName_, &QLineEdit::textChanged, this, &TCondOhgwForm::eNameChange);
    connect(OkButton(*buttons_), &QPushButton::clicked, this, &TCondOhgwForm::btOKClick);
}

void TCondOhgwForm::ShowEntry() {
    if (kind_ == TLibraryKind::Conductors) {
        const TCondItem& entry = options_.Conductors()[position_];
        eName_->setText(ToQString(entry.Name));
        eDiameter_->SetValue(DisplayDiameter(diameterUnits_, entry.Diameter));
        eMCR_->SetValue(entry.Mcr);
    } else {
        const TOhgwItem& entry = options_.Ohgws()[position_];
        eName_->setText(ToQString(entry.Name));
        eDiameter_->SetValue(DisplayDiameter(diameterUnits_, entry.Diameter));
    }
}

QString TCondOhgwForm::ErrorText() const {
    return lbError_->text();
}

bool TCondOhgwForm::IsDuplicate(const QString& trimmedName) const {
    const int except = mode_ == TLibraryEdit::Edit ? position_ : -1;
    return kind_ == TLibraryKind::Conductors ? NameTaken(options_.Conductors(), trimmedName, except)
                                             : NameTaken(options_.Ohgws(), trimmedName, except);
}

void TCondOhgwForm::eNameChange() {
    const QString name = eName_->text();
    const QString trimmed = name.trimmed();
    QString error;
    if (trimmed.isEmpty())
        error = QString::fromLatin1(kBlankName);
    else if (name.front() == QLatin1Char(' ') || name.front() == QLatin1Char('"') ||
             name.front() == QLatin1Char('\'') || name.front() == QLatin1Char('\\'))
        error = QString::fromLatin1(kBadFirstCharacter);
    else if (IsDuplicate(trimmed))
        error = QString::fromLatin1(kNameExists);
    lbError_->setText(error);
    OkButton(*buttons_)->setEnabled(error.isEmpty());
}

void TCondOhgwForm::btOKClick() {
    if (!OkButton(*buttons_)->isEnabled()) return;
    // An untouched diameter keeps the stored millimetres: inches and back are
    // not exact inverses (0.3937 × 2.54 is 0.999998).
    const bool newDiameter = mode_ == TLibraryEdit::Insert || eDiameter_->isModified();
    const float typed = DiameterFromDisplay(diameterUnits_, eDiameter_->FloatValue());
    if (kind_ == TLibraryKind::Conductors) {
        TSafeList<TCondItem>& library = options_.Conductors();
        if (mode_ == TLibraryEdit::Insert) library.Insert(position_, std::make_unique<TCondItem>());
        TCondItem& entry = library[position_];
        entry.Name = CommittedText(eName_->text().trimmed(), entry.Name);
        if (newDiameter) entry.Diameter = typed;
        entry.Mcr = eMCR_->FloatValue();
    } else {
        TSafeList<TOhgwItem>& library = options_.Ohgws();
        if (mode_ == TLibraryEdit::Insert) library.Insert(position_, std::make_unique<TOhgwItem>());
        TOhgwItem& entry = library[position_];
        entry.Name = CommittedText(eName_->text().trimmed(), entry.Name);
        if (newDiameter) entry.Diameter = typed;
    }
    accept();
}

} // namespace corvalt::ui
