#include "ui/app/EditDialogs.h"

#include "ui/dialogs/ChangeCoords.h"
#include "ui/dialogs/CircuitForm.h"
#include "ui/dialogs/CondDlg.h"
#include "ui/dialogs/EditPrjForm.h"
#include "ui/dialogs/OptionsForm.h"
#include "ui/dialogs/PoiForm.h"
#include "ui/dialogs/ScenarioForm.h"

namespace corvalt::ui {

std::unique_ptr<TEmfProject> TProgramDialogs::NewProject(QWidget* parent) {
    return TEditPrjForm::NewProject(options_, parent);
}

bool TProgramDialogs::EditProject(TEmfProject& project, QWidget* parent) {
    return TEditPrjForm::EditProject(project, options_, parent);
}

std::unique_ptr<TScenario> TProgramDialogs::NewScenario(TEmfProject& project, QWidget* parent) {
    return TScenarioForm::NewScenario(project, options_, parent);
}

bool TProgramDialogs::EditScenario(TScenario& scenario, QWidget* parent) {
    return TScenarioForm::EditScenario(scenario, options_, parent);
}

std::vector<std::unique_ptr<TCircuit>> TProgramDialogs::NewCircuits(TScenario& scenario,
                                                                    QWidget* parent) {
    return TCircuitForm::NewCircuits(scenario, options_, parent);
}

bool TProgramDialogs::EditCircuit(TCircuit& circuit, QWidget* parent) {
    return TCircuitForm::EditCircuit(circuit, options_, parent);
}

bool TProgramDialogs::EditCoordinates(TCircuit& circuit, QWidget* parent) {
    return TChangeCoords::EditCoordinates(circuit, options_, parent);
}

std::unique_ptr<TConductor> TProgramDialogs::NewConductor(TCircuit& circuit, QWidget* parent) {
    return TCondDlg::NewConductor(circuit, options_, parent);
}

bool TProgramDialogs::EditConductor(TConductor& conductor, QWidget* parent) {
    return TCondDlg::EditConductor(conductor, options_, parent);
}

std::unique_ptr<TInterestPoint> TProgramDialogs::NewPoint(TScenario& scenario, QWidget* parent) {
    return TPoiForm::NewPoint(scenario, options_, parent);
}

bool TProgramDialogs::EditPoint(TInterestPoint& point, QWidget* parent) {
    return TPoiForm::EditPoint(&point, options_, parent);
}

bool TProgramDialogs::EditPreferences(QWidget* parent) {
    return TOptionsForm::Execute(options_, parent);
}

} // namespace corvalt::ui
