#pragma once
// TCircuitForm ("Create New Circuit" / "Edit Circuit"): a circuit's common values
// (name, position, voltage, conductor type, bundling, ground wires) and, for a
// new circuit, how many conductors of each phase and ground wires to create.
//
//   auto circuit = TCircuitForm::NewCircuit(section, options, parent);
//       // OK: the new circuit with its numbered conductors (already in the cross
//       // section's Conductors), not yet appended to Circuits; Cancel: nullptr
//   bool ok = TCircuitForm::EditCircuit(circuit, options, parent);
//       // OK stores the circuit values (Number, OhgwCount and the conductors are
//       // kept) and pushes them down to the conductors; the caller then runs
//       // ApplyToConductors

#include "model/Circuit.h"
#include "model/NewCircuit.h"

#include <QDialog>

#include <array>
#include <memory>

class QCheckBox;
class QDialogButtonBox;
class QLineEdit;
class QSpinBox;
class QTabWidget;

namespace corvalt {
class TOptions;
class TScenario;
} // namespace corvalt

namespace corvalt::ui {

class TLineFields;
class TNumberField;

class TCircuitForm : public QDialog {
    Q_OBJECT
  public:
    // A new circuit of the cross section when circuit is nullptr, else an edit of
    // circuit (which belongs to the cross section).
    TCircuitForm(TScenario& scenario, TCircuit* circuit, const TOptions& options,
                 QWidget* parent = nullptr);

    static std::unique_ptr<TCircuit> NewCircuit(TScenario& scenario, const TOptions& options,
                                                QWidget* parent = nullptr);
    static bool EditCircuit(TCircuit& circuit, const TOptions& options, QWidget* parent = nullptr);

    // A circuit's values as the fields show them (display units); the phase
    // rows are not part of an existing circuit and stay empty.
    static TNewCircuitValues ValuesOf(const TCircuit& circuit);

    // Values to widgets and back. ShowValues leaves the phase rows alone (they
    // start with one conductor each and the preferences' angles); Values reads
    // them.
    void ShowValues(const TNewCircuitValues& values);
    TNewCircuitValues Values() const;

    std::unique_ptr<TCircuit> TakeNewCircuit() { return std::move(created_); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    // One row of the Conductors page: A, B, C or G (no angle).
    struct TPhaseControls {
        QCheckBox* Box = nullptr;
        QSpinBox* Number = nullptr;
        TNumberField* Angle = nullptr;
    };

    void CreateControls(const TOptions& options);
    QWidget* CreateInfoPage();
    QWidget* CreateConductorsPage();
    void ShowPhaseDefaults(const TOptions& options);
    TNewCircuitValues NewCircuitDefaults() const;
    void UpdateControls(); // OK only with a name
    void FormShow();
    void eCircuitNameChange();
    void PhaseNumberChange(int row);
    void btOKClick();

    TScenario& scenario_;
    TCircuit* circuit_; // nullptr: new circuit
    std::unique_ptr<TCircuit> created_;

    TLineFields* fields_ = nullptr;
    QTabWidget* pages_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
    QLineEdit* eCircuitName_ = nullptr;
    TNumberField* eDistFromRowLeft_ = nullptr;
    QCheckBox* cbNewCircuit_ = nullptr;
    std::array<TPhaseControls, 4> phases_{}; // A, B, C, G
};

} // namespace corvalt::ui
