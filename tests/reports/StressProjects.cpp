#include "StressProjects.h"

#include "model/NewCircuit.h"
#include "model/Units.h"

namespace corvalt::test {
namespace {

// Limits of the dialogs (ui/dialogs): project title 50, tab title 20, circuit
// name 10, notification explanation 25, notes 60 characters.
constexpr std::size_t kTitleLimit = 50;
constexpr std::size_t kTabTitleLimit = 20;
constexpr std::size_t kCircuitNameLimit = 10;
constexpr std::size_t kExplanationLimit = 25;
constexpr std::size_t kNotesLimit = 60;

struct TCircuitPlan {
    std::string Name;
    float Voltage = 230;   // kV
    float Distance = 0;    // from the reference line, display units
    bool New = true;
    int PerPhase = 1;      // conductors of each phase
    int Grounds = 0;       // ground wires
    float Spread = 8;      // between phases, display units
    float Height = 15;     // of the lowest phase, display units
    bool Dc = false;       // two poles (+ and -) instead of three phases
};

TScenario& AddSection(TEmfProject& project, const std::string& tab, const std::string& title,
                      int type, float rowLeft, float rowRight) {
    auto scenario = std::make_unique<TScenario>(project);
    scenario->TabTitle = tab;
    scenario->Title = title;
    scenario->SectionType = static_cast<std::uint8_t>(type);
    scenario->SetDisplayRowLeft(rowLeft);
    scenario->SetDisplayRowRight(rowRight);
    scenario->SetDisplayEFieldHeight(project.Units == Metric ? 1 : 3.28f);
    scenario->SetDisplayBFieldHeight(project.Units == Metric ? 1 : 3.28f);
    project.Scenarios.Add(std::move(scenario));
    return project.Scenarios[project.Scenarios.Count() - 1];
}

// A circuit as the dialog makes it, its conductors then spread out: phase k
// (A, B, C, or the two DC poles) at (k - 1) × Spread from the structure, its
// conductors one above the other 3 units apart; ground wires above them.
TCircuit& AddCircuit(TScenario& scenario, const TCircuitPlan& plan) {
    const bool english = scenario.IsEnglish();
    TNewCircuitValues values;
    values.Name = plan.Name;
    values.NewCircuit = plan.New;
    values.VoltageClass = plan.Voltage;
    values.OverRateFactor = 1.05f;
    values.MaxVoltage = plan.Voltage * 1.05f;
    values.Mcr = 1200;
    values.DistFromRowLeft = plan.Distance;
    values.CondName = "Drake";
    values.CondDiameter = english ? 1.108f : 28.14f;
    values.SubCondCount = 2;
    values.BundleSpacing = 18;
    values.OhgwName = "3/8 EHS";
    values.OhgwDiameter = english ? 0.36f : 9.14f;
    const int phases = plan.Dc ? 2 : 3;
    for (int k = 0; k < 3; ++k)
        values.Phases[static_cast<std::size_t>(k)] = {k < phases, plan.PerPhase, 120 * k};
    values.Ground = {plan.Grounds > 0, plan.Grounds, 0};
    scenario.Circuits.Add(CreateNewCircuit(scenario, values));
    TCircuit& circuit = scenario.Circuits[scenario.Circuits.Count() - 1];
    const float step = english ? 10 : 3;
    int index = 0;
    for (int k = 0; k < phases; ++k) {
        for (int j = 0; j < plan.PerPhase; ++j, ++index) {
            TConductor& conductor = circuit.Conductors[index];
            conductor.SetDisplayHorizDistance((static_cast<float>(k) - (phases - 1) / 2.0f) *
                                              plan.Spread);
            conductor.SetDisplayHeight(plan.Height + step * static_cast<float>(j));
            if (plan.Dc) {
                conductor.AcFlag = 0;
                conductor.PhaseAngle = 0;
                conductor.MaxVoltage = k == 0 ? plan.Voltage : -plan.Voltage;
            }
        }
    }
    const float top = plan.Height + step * static_cast<float>(plan.PerPhase + 1);
    for (int g = 0; g < plan.Grounds; ++g, ++index) {
        TConductor& ground = circuit.Conductors[index];
        ground.SetDisplayHorizDistance((static_cast<float>(g) - (plan.Grounds - 1) / 2.0f) *
                                       plan.Spread);
        ground.SetDisplayHeight(top);
    }
    return circuit;
}

void AddPoint(TScenario& scenario, const std::string& name, float distance) {
    auto point = std::make_unique<TInterestPoint>(scenario);
    point->Name = name;
    point->SetDisplayDistFromRowLeft(distance);
    scenario.InterestPoints.Add(std::move(point));
}

void FillProjectTexts(TEmfProject& project, std::size_t length, bool blanks) {
    const auto text = [&](const std::string& words, std::size_t n) {
        return blanks ? Repeated(words, n) : Repeated("MWMW", n);
    };
    project.EngineerName = text("Engineer of Record ", length);
    project.FacilityName = text("Suncoast Electric Membership Cooperative Incorporated ", length);
    project.FacilityAddress = text("1234 Extremely Long Boulevard Suite 5000 ", length) + ";" +
                              text("Wesley Chapel, FL 33544-0000 ", length);
    project.AgentName = text("Transmission Siting Department ", length);
    project.AgentAddress = text("Post Office Box 123456 Attention Agent ", length) + ";" +
                           text("Wesley Chapel, FL 33544 ", length / 2) + ";" +
                           text("W", length / 3);
    project.PeName = text("Dr. Wilhelmina Montgomery-Wentworth, P.E. ", length);
    project.PeAddress = text("Montgomery Wentworth Engineering Associates ", length) + ";" +
                        text("718 Live Oak Street ", length);
    project.Counties = text("Hillsborough, Pasco, Pinellas, Hernando, Polk; ", length * 2);
    project.ConstructionDate = 45800; // 2025
    project.VoltageClass = 1100;
    project.SetDisplayLineLength(12345.6f);
    project.ExemptionFlags = "XXXXX";
    project.StructureProfile = true;
    project.LocationMap = true;
    project.Notification = 2;
}

std::unique_ptr<TEmfProject> LimitsProject() {
    auto project = std::make_unique<TEmfProject>();
    project->Units = English;
    project->Title = Repeated("Suncoast 230/115 kV Transmission Improvement Phase ", kTitleLimit);
    FillProjectTexts(*project, 60, true);
    project->NotificationExplanation = Repeated("MW", kExplanationLimit);
    project->Notes = Repeated("Within limits; WWW MMM ", kNotesLimit);

    TScenario& line = AddSection(*project, Repeated("W", kTabTitleLimit),
                                 Repeated("Palm to Cypress 230 kV single circuit on steel poles ", 68),
                                 TransmissionLine, 75, 75);
    TCircuit& wide = AddCircuit(line, {Repeated("W", kCircuitNameLimit), 230, -20, true, 1, 2, 13});
    wide.Conductors[0].Id = Repeated("1A1-WWWW", 30);
    AddCircuit(line, {Repeated("M", kCircuitNameLimit), 115, 25, false, 2, 1, 9, 30});
    AddPoint(line, "Residence, 18 Heron Way, Wesley Chapel FL 33544", -60);
    AddPoint(line, Repeated("Playground of Cypress Creek Elementary School, 1234 Long Rd ", 75),
             60);
    AddPoint(line, Repeated("W", 47), 95);

    TScenario& station = AddSection(*project, Repeated("M", kTabTitleLimit),
                                    Repeated("Palm Substation 230/115 kV bus work and fence ", 68),
                                    Substation, 150, 150);
    for (int i = 0; i < 4; ++i)
        AddCircuit(station, {Repeated("Bus", kCircuitNameLimit), 230,
                             -120 + 80 * static_cast<float>(i), i % 2 == 0, 1, 1, 12, 20});
    AddPoint(station, Repeated("Fence line at the property boundary ", 60), -150);

    // Enough conductors and points to break both tables across pages.
    TScenario& crowded = AddSection(*project, Repeated("Crowded ", kTabTitleLimit),
                                    Repeated("Four circuits and many points of interest ", 68),
                                    TransmissionLine, 120, 120);
    for (int i = 0; i < 4; ++i)
        AddCircuit(crowded, {Repeated("C", kCircuitNameLimit), 230,
                             -90 + 60 * static_cast<float>(i), true, 3, 2, 10, 40});
    for (int i = 0; i < 40; ++i)
        AddPoint(crowded, Repeated("Point of interest at the edge of a long property ", 40 + i),
                 -120 + 6 * static_cast<float>(i));
    return project;
}

std::unique_ptr<TEmfProject> BeyondProject() {
    auto project = std::make_unique<TEmfProject>();
    project->Units = Metric;
    project->Title = Repeated("Riverside 138 kV Metric Line from a damaged file ", 300);
    FillProjectTexts(*project, 200, false);
    project->NotificationExplanation = Repeated("Explained at great length ", 200);
    project->Notes = Repeated("W", 300);

    TScenario& line = AddSection(*project, Repeated("RS 138 North Segment ", 80),
                                 Repeated("Riverside", 255), TransmissionLine, 12.5f, 12.5f);
    TCircuit& circuit =
        AddCircuit(line, {Repeated("Riverside North ", 60), 138, 0, true, 1, 1, 5.5f, 14});
    circuit.Conductors[0].Id = Repeated("W", 255);
    circuit.Conductors[1].Id = Repeated("1B1 bundle of the river crossing ", 255);
    AddCircuit(line, {Repeated("HVDC", 40), 250, -8, false, 1, 0, 6, 20, true});
    AddPoint(line, Repeated("W", 255), 3.5f);
    AddPoint(line, Repeated("School yard beside the river crossing ", 255), -12.5f);

    TScenario& station = AddSection(*project, Repeated("Substation", 80), Repeated("S", 255),
                                    Substation, 25, 40);
    AddCircuit(station, {Repeated("B", 60), 138, 10, true, 1, 1, 5, 10});
    return project;
}

} // namespace

std::string Repeated(const std::string& text, std::size_t length) {
    std::string result;
    while (result.size() < length)
        result += text;
    result.resize(length);
    while (!result.empty() && result.back() == ' ')
        result.back() = 'W';
    return result;
}

std::unique_ptr<TEmfProject> UhvProject() {
    auto project = std::make_unique<TEmfProject>();
    project->Units = Metric;
    project->Title = "1100 kV UHV line";
    TScenario& line = AddSection(*project, "UHV 1100", "1100 kV single circuit, horizontal",
                                 TransmissionLine, 25, 25);
    TCircuit& circuit = AddCircuit(line, {"UHV", 1100, 0, true, 1, 2, 21, 25});
    circuit.Conductors[0].SetDisplayHorizDistance(-21);
    circuit.Conductors[3].SetDisplayHorizDistance(-15);
    circuit.Conductors[4].SetDisplayHorizDistance(15);
    for (int i = 3; i < 5; ++i)
        circuit.Conductors[i].SetDisplayHeight(40);
    for (int i = 0; i < 3; ++i) {
        circuit.Conductors[i].SubCondCount = 8;
        circuit.Conductors[i].SetDisplaySubSpacing(40);
    }
    AddPoint(line, "Residence", -40);
    AddPoint(line, "Property line", 25);
    return project;
}

std::vector<TStressProject> StressProjects() {
    std::vector<TStressProject> projects;
    projects.push_back({"limits-english", LimitsProject()});
    projects.push_back({"beyond-metric", BeyondProject()});
    projects.push_back({"uhv-1100kv", UhvProject()});
    return projects;
}

} // namespace corvalt::test
