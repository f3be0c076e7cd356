// Writes the sample projects of examples/: an English project with a 230 kV
// single-circuit line, a 115 kV double-circuit line and a substation, and a
// small Metric project. Everything is entered as a user would, through the
// display setters and the new-circuit operation, so the files are exactly what
// the program writes.
//
// usage: corvalt-make-examples OUTPUT_FOLDER

#include "model/NewCircuit.h"
#include "model/Project.h"

#include <cstdio>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>

using namespace corvalt;

namespace {

// Day numbers (days since 30 December 1899).
constexpr double k15March2024 = 45366;
constexpr double k2April2024 = 45384;
constexpr double k10September2024 = 45545;
constexpr double k1June2025 = 45809;

struct TPosition {
    float x; // from the circuit reference, display units
    float y; // above ground, display units
};

TScenario& AddScenario(TEmfProject& project, const char* title, const char* tabTitle,
                       TSectionType type, float rowLeft, float rowRight, float sensorHeight) {
    auto scenario = std::make_unique<TScenario>(project);
    scenario->Title = title;
    scenario->TabTitle = tabTitle;
    scenario->SectionType = type;
    scenario->SetDisplayRowLeft(rowLeft);
    scenario->SetDisplayRowRight(rowRight);
    scenario->SetDisplayEFieldHeight(sensorHeight);
    scenario->SetDisplayBFieldHeight(sensorHeight);
    project.Scenarios.Add(std::move(scenario));
    return project.Scenarios[project.Scenarios.Count() - 1];
}

// Creates the circuit as the circuit dialog does, then places its conductors
// (in the order A..., B..., C..., G...) as the coordinates dialog does.
TCircuit& AddCircuit(TScenario& scenario, const TNewCircuitValues& values,
                     std::initializer_list<TPosition> positions) {
    scenario.Circuits.Add(CreateNewCircuit(scenario, values));
    TCircuit& circuit = scenario.Circuits[scenario.Circuits.Count() - 1];
    int i = 0;
    for (const TPosition& at : positions) {
        circuit.Conductors[i].SetDisplayHorizDistance(at.x);
        circuit.Conductors[i].SetDisplayHeight(at.y);
        ++i;
    }
    return circuit;
}

void AddPoint(TScenario& scenario, const char* name, float distance) {
    auto point = std::make_unique<TInterestPoint>(scenario);
    point->Name = name;
    point->SetDisplayDistFromRowLeft(distance);
    scenario.InterestPoints.Add(std::move(point));
}

TNewCircuitValues ThreePhase(const char* name, float kV, float overRate, float mcr) {
    TNewCircuitValues values;
    values.Name = name;
    values.NewCircuit = true;
    values.VoltageClass = kV;
    values.OverRateFactor = overRate;
    values.MaxVoltage = kV * overRate;
    values.Mcr = mcr;
    values.Phases = {TPhaseRow{true, 1, 0}, TPhaseRow{true, 1, 120}, TPhaseRow{true, 1, 240}};
    return values;
}

void FillProjectTexts(TEmfProject& project) {
    project.EngineerName = "Maria Delgado";
    project.AgentName = "Suncoast Electric Cooperative;Transmission Siting";
    project.AgentAddress = "4100 Harbor Boulevard;Suite 200;Tampa, FL 33602";
    project.AgentPhone = "(813) 555-0142";
    project.PeName = "David K. Osei, P.E.";
    project.PeAddress = "Osei Engineering Group;718 Live Oak Street;Lakeland, FL 33801";
    project.PePhone = "(863) 555-0187";
    project.FacilityName = "Suncoast Electric Cooperative";
    project.FacilityAddress = "4100 Harbor Boulevard;Tampa, FL 33602";
    project.Counties = "Hillsborough;Pasco";
    project.Cities = "Tampa;Lutz";
}

// 230 kV single circuit on an H-frame: bundled Drake (2 x 1.108 in at 18 in),
// horizontal phases 26 ft apart, two ground wires. English units (ft, in).
void AddSingleCircuitLine(TEmfProject& project) {
    TScenario& line = AddScenario(project, "Palm to Cypress 230 kV single circuit", "230 SC",
                                  TransmissionLine, 75, 75, 3.28f);
    line.DefaultVoltage = 230;
    TNewCircuitValues values = ThreePhase("PC 230", 230, 1.05f, 1800);
    values.CondName = "Drake";
    values.CondDiameter = 1.108f; // 28.143 mm
    values.SubCondCount = 2;
    values.BundleSpacing = 18;
    values.OhgwName = "3/8 EHS";
    values.OhgwDiameter = 0.36f;
    values.Ground = {true, 2, 0};
    AddCircuit(line, values, {{-26, 42}, {0, 42}, {26, 42}, {-17, 60}, {17, 60}});
    AddPoint(line, "County road edge", -40);
    AddPoint(line, "Playground", 95);
    AddPoint(line, "Residence, 18 Heron Way", 128);
}

// 115 kV double circuit on a single steel pole, vertical phases, low-reactance
// phasing (the second circuit runs C-B-A from the top), one ground wire.
void AddDoubleCircuitLine(TEmfProject& project) {
    TScenario& line = AddScenario(project, "Lutz to Bayview 115 kV double circuit", "115 DC",
                                  TransmissionLine, 50, 50, 3.28f);
    line.DefaultVoltage = 115;
    TNewCircuitValues values = ThreePhase("LB 115 East", 115, 1.05f, 530);
    values.CondName = "Linnet";
    values.CondDiameter = 0.721f; // 18.31 mm, 336.4 kcmil ACSR
    values.SubCondCount = 1;
    values.OhgwName = "7#8 Alumoweld";
    values.OhgwDiameter = 0.385f;
    values.Ground = {true, 1, 0};
    AddCircuit(line, values, {{-9, 62}, {-9, 50}, {-9, 38}, {0, 74}});

    values.Name = "LB 115 West";
    values.Ground = {false, 0, 0};
    AddCircuit(line, values, {{9, 38}, {9, 50}, {9, 62}});
    AddPoint(line, "Sidewalk", 45);
    AddPoint(line, "House, 402 Elm Street", -70);
}

// Substation: 230 kV and 115 kV rigid pipe buses inside a 150 ft fence line.
void AddSubstation(TEmfProject& project) {
    TScenario& station =
        AddScenario(project, "Palm Substation", "Palm Sub", Substation, 150, 150, 3.28f);
    station.DefaultVoltage = 230;
    TNewCircuitValues values = ThreePhase("230 kV bus", 230, 1.05f, 2000);
    values.CondName = "4 in IPS pipe";
    values.CondDiameter = 4.5f;
    values.SubCondCount = 1;
    values.DistFromRowLeft = -60;
    AddCircuit(station, values, {{-15, 30}, {0, 30}, {15, 30}});

    values = ThreePhase("115 kV bus", 115, 1.05f, 1200);
    values.CondName = "3 in IPS pipe";
    values.CondDiameter = 3.5f;
    values.SubCondCount = 1;
    values.DistFromRowLeft = 55;
    values.OhgwName = "3/8 EHS";
    values.OhgwDiameter = 0.36f;
    values.Ground = {true, 1, 0};
    AddCircuit(station, values, {{-10, 22}, {0, 22}, {10, 22}, {0, 45}});
    AddPoint(station, "Control house", 10);
    AddPoint(station, "Neighbouring lot", -185);
}

std::unique_ptr<TEmfProject> EnglishSample() {
    auto project = std::make_unique<TEmfProject>();
    project->Units = English;
    project->Title = "Suncoast 230/115 kV Sample Project";
    FillProjectTexts(*project);
    project->EntryDate = k2April2024;
    project->UpdateDate = k2April2024;
    project->ConstructionDate = k1June2025;
    project->VoltageClass = 230;
    project->SetDisplayLineLength(12.7f);
    project->ExemptionFlags = "X X  ";
    project->StructureProfile = true;
    project->LocationMap = true;
    project->Notification = 1;
    project->Notes = "Sample data for testing and training";
    AddSingleCircuitLine(*project);
    AddDoubleCircuitLine(*project);
    AddSubstation(*project);
    return project;
}

// A small Metric project: one 138 kV line with a single ground wire.
std::unique_ptr<TEmfProject> MetricSample() {
    auto project = std::make_unique<TEmfProject>();
    project->Units = Metric;
    project->Title = "Riverside 138 kV Metric Sample";
    FillProjectTexts(*project);
    project->EntryDate = k15March2024;
    project->UpdateDate = k10September2024;
    project->VoltageClass = 138;
    project->SetDisplayLineLength(8.4f);
    project->ExemptionFlags = "     ";
    project->Notification = 2;
    project->NotificationExplanation = "Filed with the annual transmission plan";
    TScenario& line =
        AddScenario(*project, "Riverside 138 kV", "RS 138", TransmissionLine, 15, 15, 1);
    TNewCircuitValues values = ThreePhase("RS 138", 138, 1.05f, 900);
    values.CondName = "Drake";
    values.CondDiameter = 28.143f;
    values.SubCondCount = 1;
    values.OhgwName = "7#8 Alumoweld";
    values.OhgwDiameter = 9.78f;
    values.Ground = {true, 1, 0};
    AddCircuit(line, values, {{-5.5f, 14}, {0, 17.5f}, {5.5f, 14}, {0, 21}});
    AddPoint(line, "Bike path", 12);
    AddPoint(line, "School yard", -30);
    return project;
}

bool Write(TEmfProject& project, const std::string& path) {
    const TFileResult result = project.Save(path);
    if (!result.Ok)
        std::fprintf(stderr, "%s: %s (%s)\n", path.c_str(), result.Message.c_str(),
                     result.Detail.c_str());
    return result.Ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: corvalt-make-examples OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    const bool ok = Write(*EnglishSample(), folder + "/sample-english.emf") &&
                    Write(*MetricSample(), folder + "/sample-metric.emf");
    return ok ? 0 : 1;
}
