#pragma once
// The ten corona site parameters as entry fields, shared by the cross-section
// dialog's "Corona" page and the preferences dialog's "Corona site" group: one
// row each with its label, field, unit and a short hint, in the display units
// of a measurement system (ft or m, in/h or mm/h, MPH or km/h, MHz, mmhos/m).
//
//   - A blank field is an unset parameter; it shows, greyed, the default the
//     computation then uses. Typing 0 blanks the field, since 0 means unset.
//   - Each field takes only values a site can have (kSiteParameters' ranges,
//     converted to the field's unit and rounded inwards to its decimals).
//   - A field left alone gives back the stored value exactly, so showing an
//     English project's values in feet and storing them again changes nothing;
//     a typed value is converted from the display unit.

#include "model/SiteParameters.h"

#include <QObject>
#include <QString>

#include <array>

class QGridLayout;
class QLabel;

namespace corvalt::ui {

class TNumberField;

// Site parameters in stored units, in the order of kSiteParameters; 0 unset.
using TSiteValues = std::array<float, kSiteParameters.size()>;

class TSiteFields : public QObject {
    Q_OBJECT
  public:
    TSiteFields(int units, QObject* parent);

    // The rows, for the dialog's layout.
    QGridLayout* Grid() const { return grid_; }

    void ShowValues(const TSiteValues& values);
    // The values in stored units; meaningful while Problem() is empty.
    TSiteValues Values() const;
    // Why the fields cannot be stored as they are ("Wind velocity: from 0.23
    // to 223.67 MPH, or blank for the default."); empty when they can.
    QString Problem() const;

    // Shows the same values in another measurement system.
    void SetUnits(int units);
    int Units() const { return units_; }

    TNumberField& Field(TSiteParameter id) const;

  signals:
    void Changed(); // any field's text changed

  private:
    struct TRow {
        TNumberField* Field = nullptr;
        QLabel* Unit = nullptr;
        float Stored = 0;  // the value last shown, stored units
        QString ShownText; // its text then; while the text is this, Stored is the value
    };

    void ApplyUnits();
    void BlankIfZero(std::size_t index);
    float RowValue(std::size_t index) const; // stored units, 0 when blank

    int units_;
    QGridLayout* grid_;
    std::array<TRow, kSiteParameters.size()> rows_;
};

} // namespace corvalt::ui
