#pragma once
// The voltage, conductor-type, ground-wire and bundling fields that the circuit
// dialog and the conductor dialog share, with the rules that tie them to the
// libraries:
//   - picking a voltage class puts its over-rate factor in the factor field;
//   - any change of the factor sets the maximum to class voltage × factor
//     (rounded to whole kV, kept within 0 to 2500; left alone while no class
//     is picked);
//   - picking a conductor type fills diameter (in the project's unit) and MCR;
//     picking a ground-wire type fills its diameter;
//   - typing a diameter or MCR clears the matching type pick ("Blank when
//     overridden"); filling them from a pick does not.

#include <QObject>
#include <QString>

class QComboBox;
class QGridLayout;
class QGroupBox;

namespace corvalt {
class TOptions;
}

namespace corvalt::ui {

class TNumberField;
struct TNumberPicture;

// The field of a DC pole's voltage to ground, kV, either polarity.
TNumberPicture PoleVoltagePicture();

class TLineFields : public QObject {
    Q_OBJECT
  public:
    // What differs between the two dialogs: the factor's picture and the names
    // of the bundling fields.
    struct TStyle {
        const char* FactorMask = "##.###";
        bool FactorSigned = true;
        const char* MaxVoltageMask = "#####";
        const char* SubCountName = "eSubCondCount";
        const char* SpacingName = "eBundleSpace";
    };

    // Fields for a project in the given measurement system; the pick lists are
    // filled from the libraries in library order.
    TLineFields(const TOptions& options, int units, const TStyle& style, QObject* parent);

    // The group boxes that hold the fields, for the dialog's layout.
    QGroupBox* VoltageGroup();
    QGroupBox* ConductorGroup();
    QGroupBox* OhgwGroup();
    QGroupBox* BundlingGroup();

    QComboBox* cbVoltage;
    TNumberField* eOverRateFactor;
    TNumberField* eMaxVoltage; // read-only: computed
    QComboBox* cbCondName;
    TNumberField* eCondDia;
    TNumberField* eMCR;
    QComboBox* cbOhgwName;
    TNumberField* eOhgwDia;
    TNumberField* eSubCount;
    TNumberField* eSpacing;

  private:
    void RecomputeMaxVoltage();
    void cbVoltageChange(int index);
    void eOverRateFactorChange();
    void cbCondNameChange(int index);
    void cbOhgwNameChange(int index);
    void eCondDiaChange();
    void eOhgwDiaChange();

    const TOptions& options_;
    int units_;
};

} // namespace corvalt::ui
