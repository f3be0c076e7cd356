#pragma once
// TCondDlg ("Conductor Info for Circuit: <name>"): one conductor's own values. A
// new conductor starts from its circuit's values; what the user keeps or changes
// is stored on the conductor alone, never on the circuit.
//
//   auto conductor = TCondDlg::NewConductor(circuit, options, parent);
//       // OK: a new conductor, already in the cross section's Conductors; the
//       // caller adds it with circuit.AddConductor. Cancel: nullptr
//   bool ok = TCondDlg::EditConductor(conductor, options, parent);
//       // OK stores id, position and the values of its type (phase or ground);
//       // the type itself cannot change

#include "model/Conductor.h"

#include <QDialog>

#include <memory>

class QLineEdit;

namespace corvalt {
class TCircuit;
class TOptions;
} // namespace corvalt

namespace corvalt::ui {

class TLineFields;
class TNumberField;
class TRadioGroup;

class TCondDlg : public QDialog {
    Q_OBJECT
  public:
    // A new conductor of the circuit when conductor is nullptr, else an edit of
    // conductor (which belongs to the circuit).
    TCondDlg(TCircuit& circuit, TConductor* conductor, const TOptions& options,
             QWidget* parent = nullptr);

    static std::unique_ptr<TConductor> NewConductor(TCircuit& circuit, const TOptions& options,
                                                    QWidget* parent = nullptr);
    static bool EditConductor(TConductor& conductor, const TOptions& options,
                              QWidget* parent = nullptr);

    // Values to widgets and back (display units). StoreValues writes the values
    // of the shown type only; the other type's fields are left as they were.
    void ShowValues(const TConductor& conductor);
    void StoreValues(TConductor& conductor) const;

    // The chosen type (TCondType), -1 while none is chosen.
    int ChosenType() const;

    std::unique_ptr<TConductor> TakeNewConductor() { return std::move(created_); }

  private:
    void CreateControls();
    QWidget* CreateCoordinatesGroup();
    QWidget* CreatePhaseAngleGroup();
    void ShowCircuitValues(int condType);
    void UpdateControls(); // enables the fields of the chosen type
    bool IsDc() const;     // a DC pole, or a new conductor of a DC circuit
    void rgTypeClick(int condType);
    void btOKClick();

    TCircuit& circuit_;
    TConductor* conductor_; // nullptr: new conductor
    std::unique_ptr<TConductor> created_;
    const TOptions& options_;

    TLineFields* fields_ = nullptr;
    TRadioGroup* rgType_ = nullptr;
    QLineEdit* eId_ = nullptr;
    TNumberField* ePhaseAngle_ = nullptr;
    TNumberField* eHorizDistance_ = nullptr;
    TNumberField* eVertHeight_ = nullptr;
};

} // namespace corvalt::ui
