// Shows every dialog (each page of the tabbed ones) filled with sample values and
// saves a picture of each into a folder, for looking at the layouts:
//   corvalt_ui_screenshots OUTPUT_FOLDER
// Run it under Xvfb (xvfb-run -a) for the desktop's real fonts and style, or
// offscreen. It exits 1 when a picture could not be taken or saved.

#include "model/NewCircuit.h"
#include "model/Project.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/app/AppLocale.h"
#include "ui/dialogs/ChangeCoords.h"
#include "ui/dialogs/CircuitForm.h"
#include "ui/dialogs/CondDlg.h"
#include "ui/dialogs/EditPrjForm.h"
#include "ui/dialogs/LibraryEditors.h"
#include "ui/dialogs/OptionsForm.h"
#include "ui/dialogs/PoiForm.h"
#include "ui/dialogs/ScenarioForm.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTabWidget>

#include <cstdio>

using namespace corvalt;
using namespace corvalt::ui;

namespace {

int failures = 0;

void Grab(QWidget& window, const QDir& folder, const QString& name) {
    if (!test::SavePicture(window, folder, name)) ++failures;
}

void Save(QWidget& window, const QDir& folder, const QString& name) {
    window.show();
    Grab(window, folder, name);
    window.hide();
}

// Every page of the window's tab widget (or of its stack of pages that a list
// of categories chooses), one picture each.
void SavePages(QWidget& window, const QDir& folder, const QString& name) {
    window.show();
    if (auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("pcPages"))) {
        for (int i = 0; i < tabs->count(); ++i) {
            if (!tabs->isTabVisible(i)) continue;
            tabs->setCurrentIndex(i);
            Grab(window, folder, name + QStringLiteral("-%1").arg(i + 1));
        }
    } else if (auto* pages = window.findChild<QStackedWidget*>(QStringLiteral("pcPages"))) {
        for (int i = 0; i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            Grab(window, folder, name + QStringLiteral("-%1").arg(i + 1));
        }
    }
    window.hide();
}

std::unique_ptr<TEmfProject> SampleProject(int units) {
    auto project = std::make_unique<TEmfProject>();
    project->Units = static_cast<std::uint8_t>(units);
    project->Title = "Riverside 230 kV Rebuild";
    project->EngineerName = "J. Alvarez";
    project->AgentName = "Gulf Coast Power";
    project->AgentAddress = "100 Main Street;Tampa, FL 33602";
    project->AgentPhone = "(813) 555-0100";
    project->PeName = "M. Chen, P.E.";
    project->PeAddress = "200 Bay Road;Tampa, FL 33607";
    project->PePhone = "(813) 555-0199";
    project->FacilityName = "Gulf Coast Power";
    project->FacilityAddress = "100 Main Street;Tampa, FL 33602";
    project->Counties = "Hillsborough;Pasco";
    project->Cities = "Tampa";
    project->ConstructionDate = 45000; // 15 March 2023
    project->VoltageClass = 230;
    project->SetDisplayLineLength(12.5f);
    project->ExemptionFlags = " X  X";
    project->Notification = 2;
    project->NotificationExplanation = "Filed with the county";
    project->Notes = "Structures replaced in place";
    TScenario* scenario = &test::AddSection(*project);
    scenario->Title = "Riverside Line";
    scenario->TabTitle = "Riverside";
    scenario->SetDisplayRowLeft(75);
    scenario->SetDisplayRowRight(75);
    scenario->SetDisplayBFieldHeight(3.28f);
    scenario->SetDisplayEFieldHeight(3.28f);
    scenario->MicrophoneHeight = 1.5f; // m
    scenario->RadioAntennaHeight = 2;
    scenario->TvAntennaHeight = 10;
    scenario->Altitude = 500;
    scenario->RainRate = 1; // mm/h
    TNewCircuitValues values = test::CircuitWithConductors("C1", 1, 2);
    values.VoltageClass = 230;
    values.OverRateFactor = 1.05f;
    values.MaxVoltage = 242;
    values.Mcr = 907;
    values.DistFromRowLeft = 50;
    values.CondName = "Drake 795 ACSR";
    values.CondDiameter = DisplayDiameter(units, 28.143f);
    values.SubCondCount = 2;
    values.BundleSpacing = DisplaySpacing(units, 45.72f);
    values.OhgwName = "3/8 EHS";
    values.OhgwDiameter = DisplayDiameter(units, 9.525f);
    TCircuit* circuit = &test::AddCircuit(*scenario, values);
    float x = -20;
    for (TConductor& conductor : circuit->Conductors) {
        conductor.SetDisplayHorizDistance(x);
        conductor.SetDisplayHeight(conductor.IsGround() ? 95 : 80);
        x += 10;
    }
    auto point = std::make_unique<TInterestPoint>(*scenario);
    point->Name = "Residence";
    point->SetDisplayDistFromRowLeft(120);
    scenario->InterestPoints.Add(std::move(point));
    return project;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    UseCNumberFormat();
    if (argc < 2) {
        std::fprintf(stderr, "usage: corvalt_ui_screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    QDir folder(QString::fromLocal8Bit(argv[1]));
    folder.mkpath(QStringLiteral("."));

    test::TTempPrefs prefs(
        test::ReadWholeFile(std::string(CORVALT_SOURCE_DIR) + "/examples/corvalt.INI"));
    TOptions& options = prefs.Options();
    // The corona site a user might give new cross sections: the ear and a roof antenna.
    if (options.WriteReal(prefkeys::CoronaSite[0], 1.5f) ||
        options.WriteReal(prefkeys::CoronaSite[2], 10)) {
        std::fprintf(stderr, "could not write the preferences\n");
        return 1;
    }

    for (const int units : {int(English), int(Metric)}) {
        const QString suffix =
            units == English ? QStringLiteral("-english") : QStringLiteral("-metric");
        std::unique_ptr<TEmfProject> project = SampleProject(units);
        TScenario& scenario = project->Scenarios[0];
        TCircuit& circuit = scenario.Circuits[0];
        {
            TEditPrjForm form(*project, options, TEditPrjForm::TMode::Edit);
            SavePages(form, folder, QStringLiteral("project") + suffix);
        }
        {
            TScenarioForm form(*project, &scenario, options);
            SavePages(form, folder, QStringLiteral("crosssection") + suffix);
        }
        {
            TCircuitForm form(scenario, nullptr, options);
            SavePages(form, folder, QStringLiteral("circuit-new") + suffix);
        }
        {
            TCircuitForm form(scenario, &circuit, options);
            SavePages(form, folder, QStringLiteral("circuit-edit") + suffix);
        }
        {
            // A DC bipole, and a vertical double circuit from its template.
            TCircuitForm form(scenario, nullptr, options);
            form.findChild<QComboBox*>(QStringLiteral("cbCurrent"))->setCurrentIndex(1);
            form.findChild<QLineEdit*>(QStringLiteral("ePoleVoltage"))->setText(QStringLiteral("500.0"));
            SavePages(form, folder, QStringLiteral("circuit-dc") + suffix);
        }
        {
            TCircuitForm form(scenario, nullptr, options);
            form.findChild<QComboBox*>(QStringLiteral("cbTemplate"))->setCurrentIndex(2);
            SavePages(form, folder, QStringLiteral("circuit-double") + suffix);
        }
        {
            TCondDlg form(circuit, &circuit.Conductors[0], options);
            Save(form, folder, QStringLiteral("conductor-phase") + suffix);
        }
        {
            TCondDlg form(circuit, &circuit.Conductors[3], options);
            Save(form, folder, QStringLiteral("conductor-ground") + suffix);
        }
        {
            TPoiForm form(scenario, &scenario.InterestPoints[0], options);
            Save(form, folder, QStringLiteral("poi") + suffix);
        }
        {
            TChangeCoords form(circuit, options);
            Save(form, folder, QStringLiteral("coordinates") + suffix);
        }
    }
    {
        TEmfProject project;
        TEditPrjForm form(project, options, TEditPrjForm::TMode::New);
        Save(form, folder, QStringLiteral("project-new"));
    }
    {
        TOptionsForm form(options);
        SavePages(form, folder, QStringLiteral("preferences"));
    }
    {
        TVoltageForm form(options.Voltages(), TLibraryEdit::Edit, 4, true);
        Save(form, folder, QStringLiteral("voltage-edit"));
        TVoltageForm insert(options.Voltages(), TLibraryEdit::Insert, 0, true);
        Save(insert, folder, QStringLiteral("voltage-insert"));
        TCondOhgwForm conductor(options, TLibraryKind::Conductors, TLibraryEdit::Edit, 7, English,
                                true);
        Save(conductor, folder, QStringLiteral("conductor-type"));
        TCondOhgwForm ohgw(options, TLibraryKind::Ohgws, TLibraryEdit::Insert, 0, Metric, true);
        Save(ohgw, folder, QStringLiteral("ohgw-type"));
    }
    return failures == 0 ? 0 : 1;
}
