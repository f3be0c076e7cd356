#include "ui/dialogs/PoiForm.h"

#include "model/Project.h"
#include "prefs/Options.h"
#include "ui/widgets/EnterAsTab.h"
#include "ui/widgets/FormWidgets.h"
#include "ui/widgets/NumberField.h"
#include "ui/app/TextConvert.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvalt::ui {

TPoiForm::TPoiForm(TScenario& scenario, TInterestPoint* point, const TOptions& options,
                   QWidget* parent)
    : QDialog(parent), scenario_(scenario), point_(point) {
    setWindowTitle(QStringLiteral("Point of Interest"));
    CreateControls();
    TEnterAsTab::Install(*this, options.EnterAsTab());
    if (point_ != nullptr) ShowValues(*point_); // a new point starts with both fields empty
}

std::unique_ptr<TInterestPoint> TPoiForm::NewPoint(TScenario& scenario, const TOptions& options,
                                                   QWidget* parent) {
    TPoiForm form(scenario, nullptr, options, parent);
    if (form.exec() != Accepted) return nullptr;
    return form.TakeNewPoint();
}

bool TPoiForm::EditPoint(TInterestPoint* point, const TOptions& options, QWidget* parent) {
    if (point == nullptr) return false;
    TPoiForm form(*point->Scenario, point, options, parent);
    return form.exec() == Accepted;
}

void TPoiForm::CreateControls() {
    eName_ = Named(new QLineEdit, "eName");
    eName_->setMinimumWidth(eName_->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 30);
    eDist_ = Named(new TNumberField(Picture("#######.#", true)), "eDist");
    auto* grid = new QGridLayout;
    grid->addWidget(BuddyLabel(QStringLiteral("&Name"), eName_), 0, 0);
    grid->addWidget(eName_, 0, 1, 1, 2);
    grid->addWidget(BuddyLabel(QStringLiteral("&Distance from Row Left"), eDist_), 1, 0);
    grid->addWidget(eDist_, 1, 1);
    grid->addWidget(UnitLabel("lbDistUnit", QString::fromLatin1(scenario_.Project->LengthUnit())),
                    1, 2);
    grid->setColumnStretch(1, 1);

    auto* buttons = OkCancelButtons(*this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    connect(OkButton(*buttons), &QPushButton::clicked, this, &TPoiForm::btOKClick);
}

void TPoiForm::ShowValues(const TInterestPoint& point) {
    eName_->setText(ToQString(point.Name));
    eDist_->SetValue(point.DisplayDistFromRowLeft());
}

void TPoiForm::StoreValues(TInterestPoint& point) const {
    point.Name = CommittedText(eName_->text(), point.Name); // an empty name is allowed
    point.SetDisplayDistFromRowLeft(eDist_->FloatValue());
}

void TPoiForm::btOKClick() {
    if (point_ != nullptr) {
        StoreValues(*point_);
    } else {
        created_ = std::make_unique<TInterestPoint>(scenario_);
        StoreValues(*created_);
    }
    accept();
}

} // namespace corvalt::ui
