#pragma once
// TCircuitForm ("Create New Circuit" / "Edit Circuit"): a circuit's common values
// (name, position, AC or DC, voltage, conductor type, bundling, ground wires)
// and, for a new circuit, how many conductors of each phase and ground wires to
// create and the structure template that gives them their coordinates. A DC
// circuit shows and takes its pole voltage to ground.
//
//   auto circuits = TCircuitForm::NewCircuits(section, options, parent);
//       // OK: the new circuits (two for a vertical double circuit) with their
//       // numbered conductors (already in the cross section's Conductors), not
//       // yet appended to Circuits; Cancel: none
//   bool ok = TCircuitForm::EditCircuit(circuit, options, parent);
//       // OK stores the circuit values (Number, OhgwCount and the conductors are
//       // kept) and pushes them down to the conductors; the caller then runs
//       // ApplyToConductors

#include "model/Circuit.h"
#include "model/NewCircuit.h"

#include <QDialog>

#include <array>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
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

    static std::vector<std::unique_ptr<TCircuit>>
    NewCircuits(TScenario& scenario, const TOptions& options, QWidget* parent = nullptr);
    static bool EditCircuit(TCircuit& circuit, const TOptions& options, QWidget* parent = nullptr);

    // A circuit's values as the fields show them (display units); the phase
    // rows are not part of an existing circuit and stay empty.
    static TNewCircuitValues ValuesOf(const TCircuit& circuit);

    // Values to widgets and back. ShowValues leaves the phase rows alone (they
    // start with one conductor each and the preferences' angles); Values reads
    // them.
    void ShowValues(const TNewCircuitValues& values);
    TNewCircuitValues Values() const;

    // The first (or only) new circuit, and all of them.
    std::unique_ptr<TCircuit> TakeNewCircuit();
    std::vector<std::unique_ptr<TCircuit>> TakeNewCircuits() { return std::move(created_); }

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
    QWidget* CreateCurrentGroup();
    QWidget* CreateConductorsPage();
    QWidget* CreateTemplateGroup();
    void ShowTemplateDefaults(int index);
    void ShowPhaseDefaults(const TOptions& options);
    TNewCircuitValues NewCircuitDefaults() const;
    void UpdateControls(); // OK only with a name
    void FormShow();
    void eCircuitNameChange();
    void PhaseNumberChange(int row);
    void cbCurrentChange();
    void cbTemplateChange(int index);
    void btOKClick();

    TScenario& scenario_;
    TCircuit* circuit_; // nullptr: new circuit
    std::vector<std::unique_ptr<TCircuit>> created_;

    TLineFields* fields_ = nullptr;
    QTabWidget* pages_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
    QLineEdit* eCircuitName_ = nullptr;
    TNumberField* eDistFromRowLeft_ = nullptr;
    QCheckBox* cbNewCircuit_ = nullptr;
    QComboBox* cbCurrent_ = nullptr; // TCurrentKind
    TNumberField* ePoleVoltage_ = nullptr;
    QString acMaximum_; // the AC maximum's text while DC is chosen
    QCheckBox* cbMetallicReturn_ = nullptr;
    std::array<TPhaseControls, 4> phases_{}; // A, B, C, G
    QComboBox* cbTemplate_ = nullptr; // TStructureTemplate
    // Lowest phase height, phase spacing, offset, ground-wire height and offset.
    std::array<TNumberField*, 5> shape_{};
};

} // namespace corvalt::ui
