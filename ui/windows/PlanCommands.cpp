// The project window's commands on plans: new, edit, delete and clone, each
// one undoable change, and the plan editors that show them.
#include "ui/windows/ScenariosForm.h"

#include "model/Limits.h"
#include "model/Project.h"
#include "ui/app/Prompts.h"
#include "ui/app/TextConvert.h"
#include "ui/dialogs/NewPlanDialog.h"
#include "ui/windows/MainForm.h"
#include "ui/windows/MapWindow.h"
#include "ui/windows/PlanEditor.h"

#include <QPointer>
#include <QTreeWidget>

#include <algorithm>
#include <iterator>
#include <memory>

namespace corvalt::ui {

void TScenariosForm::NewPlan() {
    std::string added;
    const bool changed = RecordChange([this, &added]() -> std::optional<QString> {
        // The dialog checks the name and the room for another plan itself.
        TNewPlanDialog dialog(project_, this);
        if (Prompts().Exec(dialog) != QDialog::Accepted) return std::nullopt;
        added = dialog.Plan().Name;
        project_.StorePlan(dialog.Plan());
        ShowPlans(added);
        return CommandText("Add Plan", added);
    });
    if (changed) OpenPlanEditor(added);
}

void TScenariosForm::EditPlan() {
    if (const TPlan* plan = SelectedPlan()) OpenPlanEditor(plan->Name);
}

void TScenariosForm::DeletePlan() {
    RecordChange([this]() -> std::optional<QString> {
        const TPlan* plan = SelectedPlan();
        if (plan == nullptr ||
            !AskYesNo(this, QStringLiteral("Are you sure you want to delete the current Plan?")))
            return std::nullopt;
        const std::string name = plan->Name;
        project_.DeletePlan(name);
        ShowPlans({});
        return CommandText("Delete Plan", name);
    });
}

void TScenariosForm::ClonePlan() {
    RecordChange([this]() -> std::optional<QString> {
        const TPlan* plan = SelectedPlan();
        if (plan == nullptr) return std::nullopt;
        TPlan copy = *plan;
        copy.Name = UnusedPlanName(project_, plan->Name);
        if (IsFull(RoomForPlan(project_, copy.Name))) return std::nullopt;
        if (std::optional<QString> refusal = PlanNameRefusal(project_, copy.Name)) {
            ShowWarning(this, *refusal);
            return std::nullopt;
        }
        const QString text = CommandText("Clone Plan", plan->Name);
        const std::string name = copy.Name;
        project_.StorePlan(std::move(copy));
        ShowPlans(name);
        return text;
    });
}

bool TScenariosForm::StorePlanChange(const QString& text, const TPlan& plan) {
    if (project_.FindPlan(plan.Name) == nullptr) return false;
    const bool changed = RecordChange([this, &text, &plan]() -> std::optional<QString> {
        project_.StorePlan(plan);
        return text;
    });
    ReloadPlanEditors();
    return changed;
}

TPlanEditor* TScenariosForm::OpenPlanEditor(const std::string& name) {
    if (project_.FindPlan(name) == nullptr) return nullptr;
    for (TPlanEditor* editor : PlanEditors())
        if (editor->PlanName() == name) {
            editor->show();
            editor->raise();
            editor->activateWindow();
            return editor;
        }
    auto* editor = new TPlanEditor(*this, name);
    planEditors_.push_back(editor);
    connect(editor, &QObject::destroyed, this,
            [this, editor] { std::erase(planEditors_, editor); });
    ConnectPlanMap(*editor);
    editor->show();
    return editor;
}

void TScenariosForm::ConnectPlanMap(TPlanEditor& editor) {
    // One map window per editor, closed with it; it follows every later
    // change of the plan (edits, undo, redo) while it is open.
    auto map = std::make_shared<QPointer<TMapWindow>>();
    connect(&editor, &TPlanEditor::MapRequested, this, [this, &editor, map](const TPlan& plan) {
        if (map->isNull()) {
            const QString title = ToQString(project_.Title);
            auto* window = new TMapWindow(
                plan,
                {mainForm_.FieldLimits(), title,
                 QStringLiteral("Map ") + ToQString(plan.Name) + QStringLiteral("--") + title},
                &editor);
            window->setAttribute(Qt::WA_DeleteOnClose);
            *map = window;
        }
        (*map)->show();
        (*map)->raise();
        (*map)->activateWindow();
    });
    connect(&editor, &TPlanEditor::PlanChanged, this, [map](const TPlan& plan) {
        if (!map->isNull()) (*map)->SetPlan(plan);
    });
}

std::vector<TPlanEditor*> TScenariosForm::PlanEditors() const {
    // An editor that closed is on its way out (deleted once events run).
    std::vector<TPlanEditor*> open;
    std::copy_if(planEditors_.begin(), planEditors_.end(), std::back_inserter(open),
                 [](const TPlanEditor* editor) { return !editor->isHidden(); });
    return open;
}

void TScenariosForm::ShowPlans(const std::string& selected) {
    BuildTree();
    for (int i = 0; plansNode_ != nullptr && i < plansNode_->childCount(); ++i)
        if (ToBytes(plansNode_->child(i)->text(0)) == selected) SelectNode(plansNode_->child(i));
    FitTreeWidth();
    ReloadPlanEditors();
}

void TScenariosForm::ReloadPlanEditors() {
    // Over the open ones: an editor whose plan is gone closes while reloading.
    for (TPlanEditor* editor : PlanEditors())
        editor->Reload();
}

} // namespace corvalt::ui
