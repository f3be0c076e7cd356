#include "ui/windows/HelpTopics.h"

#include "ui/dialogs/ChangeCoords.h"
#include "ui/dialogs/CircuitForm.h"
#include "ui/dialogs/ClearanceDialog.h"
#include "ui/dialogs/CondDlg.h"
#include "ui/dialogs/EditPrjForm.h"
#include "ui/dialogs/LibraryEditors.h"
#include "ui/dialogs/LimitsPage.h"
#include "ui/dialogs/NewPlanDialog.h"
#include "ui/dialogs/OptionsForm.h"
#include "ui/dialogs/PhasingDialog.h"
#include "ui/dialogs/PictureLayoutDialog.h"
#include "ui/dialogs/PoiForm.h"
#include "ui/dialogs/ScenarioForm.h"
#include "ui/windows/HelpWindow.h"
#include "ui/windows/MapWindow.h"
#include "ui/windows/PlanEditor.h"
#include "ui/windows/ReptMstr.h"
#include "ui/windows/ResultsPanel.h"
#include "ui/windows/RptErrorForm.h"
#include "ui/windows/ScenariosForm.h"

#include <QApplication>
#include <QKeyEvent>

#include <utility>

namespace corvalt::ui {
namespace {

// Looked up from the widget F1 was pressed in outwards, so that a page of a
// dialog (the Limits page) has a section of its own.
const std::pair<const QMetaObject*, const char*> kTopics[] = {
    {&TLimitsPage::staticMetaObject, "limits.html#field-limits"},
    {&TEditPrjForm::staticMetaObject, "building.html#project"},
    {&TScenarioForm::staticMetaObject, "building.html#cross-sections"},
    {&TCircuitForm::staticMetaObject, "building.html#circuits"},
    {&TCondDlg::staticMetaObject, "building.html#conductors"},
    {&TChangeCoords::staticMetaObject, "building.html#coordinates"},
    {&TPoiForm::staticMetaObject, "building.html#points-of-interest"},
    {&TPhasingDialog::staticMetaObject, "design.html#phasing-optimiser"},
    {&TClearanceDialog::staticMetaObject, "design.html#clearance-solver"},
    {&TPictureLayoutDialog::staticMetaObject, "results.html#exporting"},
    {&TOptionsForm::staticMetaObject, "preferences.html#preferences"},
    {&TVoltageForm::staticMetaObject, "preferences.html#libraries"},
    {&TCondOhgwForm::staticMetaObject, "preferences.html#libraries"},
    {&TRptErrorForm::staticMetaObject, "reports.html#data-check"},
    {&TReptMstr::staticMetaObject, "reports.html#report-preview"},
    {&TResultsPanel::staticMetaObject, "results.html#results-panel"},
    {&TNewPlanDialog::staticMetaObject, "maps.html#new-plan"},
    {&TPlanEditor::staticMetaObject, "maps.html#plan-editor"},
    {&TMapWindow::staticMetaObject, "maps.html#map-window"},
    {&TScenariosForm::staticMetaObject, "building.html#project-window"},
};

} // namespace

QString HelpTopicFor(const QWidget* widget) {
    for (; widget != nullptr; widget = widget->parentWidget()) {
        for (const auto& [type, topic] : kTopics)
            if (widget->metaObject() == type) return QString::fromLatin1(topic);
    }
    return {};
}

QStringList HelpTopics() {
    QStringList topics;
    for (const auto& [type, topic] : kTopics)
        topics << QString::fromLatin1(topic);
    return topics;
}

THelpKeys::THelpKeys(QWidget& home) : QObject(&home), home_(home) {}

bool THelpKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1 ||
        static_cast<QKeyEvent*>(event)->modifiers() != Qt::NoModifier || !watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    // The guide's own window has no section: F1 there leaves it as it is.
    if (qobject_cast<THelpWindow*>(widget->window()) != nullptr) return true;
    QString topic = HelpTopicFor(widget);
    if (topic.isEmpty()) topic = QString::fromLatin1(kGuideContents);
    // A modal dialog blocks every window but its own children.
    QWidget* modal = QApplication::activeModalWidget();
    ShowHelp(modal != nullptr ? *modal : home_, topic);
    return true;
}

} // namespace corvalt::ui
