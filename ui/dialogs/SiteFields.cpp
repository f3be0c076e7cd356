#include "ui/dialogs/SiteFields.h"

#include "ui/widgets/FormWidgets.h"
#include "ui/widgets/NumberField.h"

#include <QGridLayout>
#include <QLabel>

#include <algorithm>
#include <cmath>

namespace corvalt::ui {
namespace {

// How a parameter shows: its label, its field's picture (digits enough for
// the larger of its two display units) and a short hint.
struct TFieldStyle {
    const char* Label;
    const char* Mask;
    const char* Hint;
};

constexpr std::array<TFieldStyle, kSiteParameters.size()> kStyles{{
    {"&Microphone height", "####.##", "Where audible noise is heard"},
    {"&Radio antenna height", "####.##", "Where radio interference is received"},
    {"&TV antenna height", "####.##", "Where TV interference is received"},
    {"&Ozone height", "####.##", "Where the ozone is measured"},
    {"&Altitude", "#####.##", "Above sea level; corona levels +1 dB per 300 m"},
    {"Ra&in rate", "###.###", "Rain for the corona loss; blank is fair weather"},
    {"&Wind velocity", "###.##", "Carries the ozone from the line"},
    {"Radio &frequency", "##.###", "Of the radio interference"},
    {"TV fre&quency", "####.##", "Of the TV interference"},
    {"&Ground conductivity", "#####.###", "Of the ground, for the radio interference"},
}};

const TSiteParameterInfo& Info(std::size_t index) {
    return kSiteParameters[index];
}

// The bound as the field shows it, rounded to the field's decimals and moved
// inwards (by `step`, +1 or -1 last digits) until it converts to a value the
// parameter allows: the end of the range a field of that unit can reach.
double RangeEnd(const TSiteParameterInfo& parameter, int units, int decimals, float bound,
                int step) {
    const double scale = std::pow(10.0, decimals);
    double steps = std::round(SiteDisplayValue(units, parameter.Unit, bound) * scale);
    for (int tries = 0; tries < 10; ++tries) {
        const auto value = static_cast<float>(steps / scale);
        if (value == 0 ||
            IsAllowedSiteValue(parameter, SiteValueFromDisplay(units, parameter.Unit, value)))
            break;
        steps += step;
    }
    return steps / scale;
}

TNumberPicture PictureFor(std::size_t index, int units) {
    TNumberPicture picture = Picture(kStyles[index].Mask, false);
    const TSiteParameterInfo& parameter = Info(index);
    const double low = RangeEnd(parameter, units, picture.Decimals, parameter.Lowest, +1);
    const double high = RangeEnd(parameter, units, picture.Decimals, parameter.Highest, -1);
    picture.Min = std::min(0.0, low); // every picture holds 0, the unset value
    picture.Max = high;
    return picture;
}

QString ObjectName(const char* prefix, const TSiteParameterInfo& parameter, const char* suffix) {
    return QString::fromLatin1(prefix) + QString::fromLatin1(parameter.Name) +
           QString::fromLatin1(suffix);
}

// "Microphone height" from "&Microphone height".
QString PlainLabel(std::size_t index) {
    return QString::fromLatin1(kStyles[index].Label).remove(QLatin1Char('&'));
}

} // namespace

TSiteFields::TSiteFields(int units, QObject* parent)
    : QObject(parent), units_(units), grid_(new QGridLayout) {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const TSiteParameterInfo& parameter = Info(i);
        TRow& row = rows_[i];
        row.Field = new TNumberField(PictureFor(i, units_));
        row.Field->setObjectName(ObjectName("e", parameter, ""));
        SetHint(*row.Field,
                QString::fromLatin1(kStyles[i].Hint) + QStringLiteral("; blank for the default"));
        row.Unit = UnitLabel("", QString());
        row.Unit->setObjectName(ObjectName("lb", parameter, "Unit"));
        auto* hint = new QLabel(QString::fromLatin1(kStyles[i].Hint));
        hint->setEnabled(false); // greyed: an explanation, not a value
        const int line = static_cast<int>(i);
        grid_->addWidget(BuddyLabel(QString::fromLatin1(kStyles[i].Label), row.Field), line, 0);
        grid_->addWidget(row.Field, line, 1);
        grid_->addWidget(row.Unit, line, 2);
        grid_->addWidget(hint, line, 3);
        connect(row.Field, &TNumberField::textChanged, this, &TSiteFields::Changed);
        connect(row.Field, &TNumberField::editingFinished, this, [this, i] { BlankIfZero(i); });
    }
    grid_->setColumnStretch(3, 1);
    // One width for every field, so that the column reads as one.
    int width = 0;
    for (const TRow& row : rows_)
        width = std::max(width, row.Field->sizeHint().width());
    for (const TRow& row : rows_)
        row.Field->setFixedWidth(width);
    ApplyUnits();
}

TNumberField& TSiteFields::Field(TSiteParameter id) const {
    return *rows_[static_cast<std::size_t>(id)].Field;
}

void TSiteFields::ApplyUnits() {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const TSiteParameterInfo& parameter = Info(i);
        TRow& row = rows_[i];
        row.Field->SetPicture(PictureFor(i, units_));
        row.Unit->setText(QString::fromLatin1(SiteUnitLabel(units_, parameter.Unit)));
        const float shownDefault = SiteDisplayValue(units_, parameter.Unit, parameter.Default);
        row.Field->setPlaceholderText(
            FormatNumber(shownDefault, row.Field->NumberPicture().Decimals));
    }
}

void TSiteFields::ShowValues(const TSiteValues& values) {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        TRow& row = rows_[i];
        row.Stored = values[i];
        if (values[i] == 0)
            row.Field->Clear();
        else
            row.Field->SetValue(SiteDisplayValue(units_, Info(i).Unit, values[i]));
        row.ShownText = row.Field->text();
    }
}

void TSiteFields::SetUnits(int units) {
    const TSiteValues values = Values();
    units_ = units;
    ApplyUnits();
    ShowValues(values);
}

float TSiteFields::RowValue(std::size_t index) const {
    const TRow& row = rows_[index];
    if (row.Field->text() == row.ShownText) return row.Stored;
    const std::optional<double> shown = ParseNumber(row.Field->text());
    if (!shown || *shown == 0) return 0;
    return SiteValueFromDisplay(units_, Info(index).Unit, static_cast<float>(*shown));
}

TSiteValues TSiteFields::Values() const {
    TSiteValues values{};
    for (std::size_t i = 0; i < rows_.size(); ++i)
        values[i] = RowValue(i);
    return values;
}

QString TSiteFields::Problem() const {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const TRow& row = rows_[i];
        const bool blank = row.Field->text().trimmed().isEmpty();
        const bool number = ParseNumber(row.Field->text()).has_value();
        if (blank || (number && IsAllowedSiteValue(Info(i), RowValue(i)))) continue;
        const TNumberPicture& picture = row.Field->NumberPicture();
        const double low = RangeEnd(Info(i), units_, picture.Decimals, Info(i).Lowest, +1);
        return PlainLabel(i) + QStringLiteral(": from ") + FormatNumber(low, picture.Decimals) +
               QStringLiteral(" to ") + FormatNumber(picture.Max, picture.Decimals) +
               QLatin1Char(' ') + row.Unit->text() + QStringLiteral(", or blank for the default.");
    }
    return {};
}

void TSiteFields::BlankIfZero(std::size_t index) {
    TNumberField& field = *rows_[index].Field;
    if (ParseNumber(field.text()) == 0.0) field.clear();
}

} // namespace corvalt::ui
