// The project window's commands on the project's objects: create, edit,
// delete and clone cross sections, circuits, conductors and points of
// interest, and the design tools. Each runs as one undoable change.
#include "ui/windows/ScenariosForm.h"

#include "model/Clone.h"
#include "model/Limits.h"
#include "model/Project.h"
#include "ui/app/EditDialogs.h"
#include "ui/app/Prompts.h"
#include "ui/app/TextConvert.h"
#include "ui/dialogs/ClearanceDialog.h"
#include "ui/dialogs/PhasingDialog.h"
#include "ui/windows/MainForm.h"

#include <QTabBar>
#include <QTreeWidget>

namespace corvalt::ui {

// ---- Project and cross sections -----------------------------------------------


void TScenariosForm::EditProject() {
    RecordChange([this]() -> std::optional<QString> {
        if (!mainForm_.Dialogs().EditProject(project_, this)) return std::nullopt;
        UpdateCaption();
        BuildTree();
        return QStringLiteral("Edit Project");
    });
}

void TScenariosForm::NewScenario(bool thenNewCircuit) {
    RecordChange([this, thenNewCircuit]() -> std::optional<QString> {
        if (IsFull(RoomForCrossSection(project_))) return std::nullopt;
        std::unique_ptr<TScenario> scenario = mainForm_.Dialogs().NewScenario(project_, this);
        if (scenario == nullptr) return std::nullopt;
        const QString text = CommandText("Add Cross Section", scenario->TabTitle);
        AddScenarioTab(std::move(scenario));
        if (thenNewCircuit) NewCircuit();
        return text;
    });
}

void TScenariosForm::EditScenario() {
    RecordChange([this]() -> std::optional<QString> {
        TScenario* scenario = CurrentScenario();
        if (scenario == nullptr) return std::nullopt;
        const QString text = CommandText("Edit Cross Section", scenario->TabTitle);
        if (!mainForm_.Dialogs().EditScenario(*scenario, this)) return std::nullopt;
        tcScenarios_->setTabText(tcScenarios_->currentIndex(), ToQString(scenario->DisplayName()));
        return text;
    });
}

void TScenariosForm::DeleteScenario() {
    RecordChange([this]() -> std::optional<QString> {
        const TScenario* scenario = CurrentScenario();
        if (scenario == nullptr) return std::nullopt;
        if (tcScenarios_->count() == 1) {
            ShowWarning(this, QStringLiteral("You cannot delete the last CrossSection!"));
            return std::nullopt;
        }
        if (!AskYesNo(this,
                      QStringLiteral("Do you really want to delete the current CrossSection?")))
            return std::nullopt;
        const QString text = CommandText("Delete Cross Section", scenario->TabTitle);
        const int index = tcScenarios_->currentIndex();
        {
            const QSignalBlocker quiet(tcScenarios_);
            tcScenarios_->removeTab(index);
            project_.Scenarios.Delete(index);
            tcScenarios_->setCurrentIndex(0);
        }
        tcScenariosChange();
        return text;
    });
}

void TScenariosForm::CloneScenario() {
    RecordChange([this]() -> std::optional<QString> {
        const TScenario* scenario = CurrentScenario();
        if (scenario == nullptr || IsFull(RoomForCrossSection(project_))) return std::nullopt;
        const QString text = CommandText("Clone Cross Section", scenario->TabTitle);
        std::unique_ptr<TScenario> copy = corvalt::CloneScenario(*scenario);
        if (copy == nullptr) return CloneFailed();
        AddScenarioTab(std::move(copy));
        return text;
    });
}

std::optional<QString> TScenariosForm::CloneFailed() {
    ShowError(this, QStringLiteral("The copy could not be made: a value is beyond what a project "
                                   "file holds in the project's units."));
    return std::nullopt;
}

bool TScenariosForm::IsFull(const std::optional<std::string>& refusal) {
    if (refusal) ShowWarning(this, ToQString(*refusal));
    return refusal.has_value();
}

// ---- Circuits -------------------------------------------------------------------

void TScenariosForm::NewCircuit() {
    RecordChange([this]() -> std::optional<QString> {
        TScenario* scenario = CurrentScenario();
        if (scenario == nullptr || IsFull(RoomForCircuit(*scenario, 0))) return std::nullopt;
        // A double-circuit structure comes as two circuits; the first is selected.
        std::vector<std::unique_ptr<TCircuit>> circuits =
            mainForm_.Dialogs().NewCircuits(*scenario, this);
        if (circuits.empty()) return std::nullopt;
        TCircuit& added = *circuits.front();
        QTreeWidgetItem* firstNode = nullptr;
        for (std::unique_ptr<TCircuit>& circuit : circuits) {
            TCircuit& shown = *circuit;
            scenario->Circuits.Add(std::move(circuit));
            QTreeWidgetItem* node = AddCircuitNode(shown);
            if (firstNode == nullptr) firstNode = node;
        }
        SelectNode(firstNode);
        // Placing the new conductors belongs to adding the circuit.
        EditCoordinates();
        return CommandText("Add Circuit", added.Name);
    });
}

void TScenariosForm::EditCircuit() {
    RecordChange([this]() -> std::optional<QString> {
        TCircuit* circuit = SelectedCircuit();
        if (circuit == nullptr) return std::nullopt;
        const QString text = CommandText("Edit Circuit", circuit->Name);
        if (!mainForm_.Dialogs().EditCircuit(*circuit, this)) return std::nullopt;
        tvCircuits_->currentItem()->setText(0, ToQString(circuit->Name));
        circuit->ApplyToConductors();
        RebuildGrid();
        return text;
    });
}

void TScenariosForm::DeleteCircuit() {
    RecordChange([this]() -> std::optional<QString> {
        TCircuit* circuit = SelectedCircuit();
        if (circuit == nullptr ||
            !AskYesNo(this, QStringLiteral("Are you sure you want to delete the current Circuit?")))
            return std::nullopt;
        const QString text = CommandText("Delete Circuit", circuit->Name);
        {
            const QSignalBlocker quiet(tvCircuits_);
            delete tvCircuits_->currentItem();
            circuit->Scenario->RemoveCircuit(*circuit);
            tvCircuits_->setCurrentItem(rootNode_);
        }
        tvCircuitsChange();
        return text;
    });
}

void TScenariosForm::CloneCircuit() {
    RecordChange([this]() -> std::optional<QString> {
        const TCircuit* circuit = SelectedCircuit();
        if (circuit == nullptr ||
            IsFull(RoomForCircuit(*circuit->Scenario, circuit->Conductors.Count())))
            return std::nullopt;
        const QString text = CommandText("Clone Circuit", circuit->Name);
        std::unique_ptr<TCircuit> copy = corvalt::CloneCircuit(*circuit);
        if (copy == nullptr) return CloneFailed();
        TCircuit& added = *copy;
        circuit->Scenario->Circuits.Add(std::move(copy));
        SelectNode(AddCircuitNode(added));
        return text;
    });
}

void TScenariosForm::EditCoordinates() {
    RecordChange([this]() -> std::optional<QString> {
        TCircuit* circuit = SelectedCircuit();
        if (circuit == nullptr || !mainForm_.Dialogs().EditCoordinates(*circuit, this))
            return std::nullopt;
        RebuildGrid();
        return CommandText("Edit Coordinates of", circuit->Name);
    });
}

// ---- Conductors -----------------------------------------------------------------

void TScenariosForm::NewConductor() {
    RecordChange([this]() -> std::optional<QString> {
        TCircuit* circuit = SelectedCircuit();
        if (circuit == nullptr || IsFull(RoomForConductors(*circuit->Scenario, 1)))
            return std::nullopt;
        std::unique_ptr<TConductor> conductor = mainForm_.Dialogs().NewConductor(*circuit, this);
        if (conductor == nullptr) return std::nullopt;
        TConductor* added = conductor.get();
        circuit->AddConductor(std::move(conductor));
        sgConductors_->AppendConductor(*added);
        sgConductors_->MeasureColumns();
        return CommandText("Add Conductor", added->Id);
    });
}

void TScenariosForm::EditConductor() {
    RecordChange([this]() -> std::optional<QString> {
        const int row = CurrentRow();
        TConductor* conductor = RowConductor(row);
        if (conductor == nullptr) return std::nullopt;
        const QString text = CommandText("Edit Conductor", conductor->Id);
        if (!mainForm_.Dialogs().EditConductor(*conductor, this)) return std::nullopt;
        sgConductors_->WriteRow(row);
        sgConductors_->MeasureColumns();
        return text;
    });
}

void TScenariosForm::DeleteConductor() {
    RecordChange([this]() -> std::optional<QString> {
        TCircuit* circuit = SelectedCircuit();
        if (circuit == nullptr || circuit->Conductors.Empty()) return std::nullopt;
        if (!AskYesNo(this,
                      QStringLiteral("Are you sure you want to delete the current Conductor?")))
            return std::nullopt;
        TConductor* conductor = RowConductor(CurrentRow());
        if (conductor == nullptr || conductor->Circuit != circuit) return std::nullopt;
        const QString text = CommandText("Delete Conductor", conductor->Id);
        circuit->Scenario->RemoveConductor(*conductor);
        RebuildGrid();
        return text;
    });
}

// ---- Points of interest -----------------------------------------------------------

void TScenariosForm::NewPoint() {
    RecordChange([this]() -> std::optional<QString> {
        TScenario* scenario = CurrentScenario();
        if (scenario == nullptr || IsFull(RoomForInterestPoint(*scenario))) return std::nullopt;
        std::unique_ptr<TInterestPoint> point = mainForm_.Dialogs().NewPoint(*scenario, this);
        if (point == nullptr) return std::nullopt;
        TInterestPoint* added = point.get();
        scenario->InterestPoints.Add(std::move(point));
        if (GridMode() != TGridMode::InterestPoints) {
            RebuildGrid();
        } else {
            sgConductors_->AppendPoint(*added);
            sgConductors_->MeasureColumns();
        }
        return CommandText("Add Point Of Interest", added->Name);
    });
}

void TScenariosForm::EditPoint() {
    RecordChange([this]() -> std::optional<QString> {
        const int row = CurrentRow();
        TInterestPoint* point = RowPoint(row);
        if (point == nullptr) return std::nullopt;
        const QString text = CommandText("Edit Point Of Interest", point->Name);
        if (!mainForm_.Dialogs().EditPoint(*point, this)) return std::nullopt;
        sgConductors_->WriteRow(row);
        sgConductors_->MeasureColumns();
        return text;
    });
}

void TScenariosForm::DeletePoint() {
    RecordChange([this]() -> std::optional<QString> {
        TScenario* scenario = CurrentScenario();
        if (scenario == nullptr || scenario->InterestPoints.Empty()) return std::nullopt;
        if (!AskYesNo(this,
                      QStringLiteral("Are you sure you want to delete the current InterestPoint?")))
            return std::nullopt;
        const int index = scenario->InterestPoints.IndexOf(RowPoint(CurrentRow()));
        if (index < 0) return std::nullopt;
        const QString text =
            CommandText("Delete Point Of Interest", scenario->InterestPoints[index].Name);
        scenario->InterestPoints.Delete(index);
        RebuildGrid();
        return text;
    });
}

// ---- Design tools -----------------------------------------------------------------

void TScenariosForm::OptimisePhasing() {
    RecordChange([this]() -> std::optional<QString> {
        TScenario* scenario = CurrentScenario();
        if (scenario == nullptr) return std::nullopt;
        TPhasingDialog dialog(project_, project_.Scenarios.IndexOf(scenario), this);
        if (Prompts().Exec(dialog) != QDialog::Accepted || !dialog.ApplyTo(*scenario))
            return std::nullopt;
        RebuildGrid();
        return QStringLiteral("Optimise Phasing");
    });
}

void TScenariosForm::SolveClearance() {
    RecordChange([this]() -> std::optional<QString> {
        TScenario* scenario = CurrentScenario();
        if (scenario == nullptr) return std::nullopt;
        TClearanceDialog dialog(project_, project_.Scenarios.IndexOf(scenario),
                                mainForm_.FieldLimits(), this);
        if (Prompts().Exec(dialog) != QDialog::Accepted || !dialog.ApplyTo(*scenario))
            return std::nullopt;
        RebuildGrid();
        return QStringLiteral("Solve Clearance");
    });
}

} // namespace corvalt::ui
