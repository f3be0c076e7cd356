#include "ui/dialogs/LimitsPage.h"

#include "ui/widgets/EnterAsTab.h"
#include "ui/widgets/FormWidgets.h"
#include "ui/widgets/NumberField.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvalt::ui {
namespace {

const char* kRowLabels[kLimitClassCount] = {"Lines of 230 kV and less", "500 kV lines",
                                            "500 kV double-circuit lines", "Substations"};
const char* kColumnHeadings[kLimitColumnCount] = {"E within ROW\n(kV/m)", "E at ROW edge\n(kV/m)",
                                                  "B at ROW edge\n(mG)"};
const char* kNote =
    "Defaults: the Florida standards for new and modified facilities. A line takes the class "
    "of its highest circuit voltage; a voltage between classes (e.g. 345 kV), or above 500 kV, "
    "takes the 500 kV limits; two or more three-phase circuits of the 500 kV class make a "
    "double circuit. For substations the ROW edges are the property boundary. Points of "
    "interest inside the ROW are held to the limit within the ROW, points on or beyond its "
    "edges to the edge limits. Leave a field empty for no limit.";

// kV/m with two decimals up to 1000, mG with one decimal up to 100000.
TNumberPicture PictureOf(TLimitColumn column) {
    return column == TLimitColumn::BAtEdge ? Picture("######.#", 0, kMaxMagneticLimit)
                                           : Picture("####.##", 0, kMaxElectricLimit);
}

std::size_t Slot(auto value) {
    return static_cast<std::size_t>(value);
}

} // namespace

TLimitsPage::TLimitsPage(QWidget* parent) : QWidget(parent) {
    auto* grid = new QGridLayout;
    for (int k = 0; k < kLimitColumnCount; ++k) {
        auto* heading = new QLabel(QString::fromLatin1(kColumnHeadings[k]));
        heading->setAlignment(Qt::AlignCenter);
        grid->addWidget(heading, 0, k + 1);
    }
    for (const TLimitClass limitClass : kLimitClasses) {
        const int row = static_cast<int>(limitClass) + 1;
        for (int k = 0; k < kLimitColumnCount; ++k) {
            auto* field = new TNumberField(PictureOf(static_cast<TLimitColumn>(k)));
            field->setObjectName(QStringLiteral("eLimit%1_%2").arg(row - 1).arg(k));
            field->setPlaceholderText(QStringLiteral("none"));
            fields_[Slot(limitClass)][Slot(k)] = field;
            grid->addWidget(field, row, k + 1);
        }
        grid->addWidget(
            BuddyLabel(QString::fromLatin1(kRowLabels[row - 1]), fields_[Slot(limitClass)][0]), row,
            0);
    }
    grid->setColumnStretch(kLimitColumnCount + 1, 1);
    TEnterAsTab::MarkLastOfPage(*fields_.back().back());

    btRestore_ = Named(new QPushButton(QStringLiteral("&Restore Defaults")), "btRestoreLimits");
    connect(btRestore_, &QPushButton::clicked, this, &TLimitsPage::btRestoreClick);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btRestore_);
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("FIELD LIMITS")));
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->addWidget(NoteLabel(QString::fromLatin1(kNote)));
    layout->addStretch(1);
}

TNumberField& TLimitsPage::Field(TLimitClass limitClass, TLimitColumn column) const {
    return *fields_[Slot(limitClass)][Slot(column)];
}

void TLimitsPage::ShowLimits(const TFieldLimits& limits) {
    for (const TLimitClass limitClass : kLimitClasses)
        for (int k = 0; k < kLimitColumnCount; ++k) {
            const auto column = static_cast<TLimitColumn>(k);
            TNumberField& field = Field(limitClass, column);
            if (const std::optional<float>& limit = LimitAt(limits.For(limitClass), column))
                field.SetValue(*limit);
            else
                field.Clear();
        }
}

TFieldLimits TLimitsPage::Limits() const {
    TFieldLimits limits;
    for (const TLimitClass limitClass : kLimitClasses)
        for (int k = 0; k < kLimitColumnCount; ++k) {
            const auto column = static_cast<TLimitColumn>(k);
            const std::optional<double> number = Field(limitClass, column).Number();
            const auto value = static_cast<float>(number.value_or(0));
            if (number && IsUsableLimit(column, value))
                LimitAt(limits.For(limitClass), column) = value;
        }
    return limits;
}

std::optional<QString> TLimitsPage::Problem() const {
    for (const TLimitClass limitClass : kLimitClasses)
        for (int k = 0; k < kLimitColumnCount; ++k) {
            const auto column = static_cast<TLimitColumn>(k);
            const std::optional<double> number = Field(limitClass, column).Number();
            if (number && !IsUsableLimit(column, static_cast<float>(*number)))
                return QStringLiteral("%1, %2: a limit must be above 0. Leave the field empty "
                                      "for no limit.")
                    .arg(QString::fromLatin1(kRowLabels[Slot(limitClass)]),
                         QString::fromLatin1(LimitColumnText(column)));
        }
    return std::nullopt;
}

void TLimitsPage::btRestoreClick() {
    ShowLimits(DefaultFieldLimits());
}

} // namespace corvalt::ui
