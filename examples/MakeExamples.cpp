// Writes the sample projects of examples/: an English project with a 230 kV
// single-circuit line, a 115 kV double-circuit line and a substation, a small
// Metric project, a Metric mountain line with corona site parameters, and a
// Metric line with two plans (field maps in three dimensions) of its own.
// Everything is entered as a user would, through the display setters and the
// new-circuit operation, so the files are exactly what the program writes;
// voltage classes, conductor and ground-wire types come
// from the starter library as the circuit dialog copies them, so that editing
// a sample's circuit finds its types in the library.
//
// usage: corvalt-make-examples OUTPUT_FOLDER STARTER_INI

#include "model/NewCircuit.h"
#include "model/Project.h"
#include "model/Units.h"
#include "prefs/Options.h"

#include <cstdio>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

using namespace corvalt;

namespace {

// The starter library's entry of that name (or voltage); the samples are made
// from no other.
template <class T, class Key, class Match>
const T& Entry(const TSafeList<T>& library, const Key& key, Match matches) {
    for (const T& entry : library)
        if (matches(entry, key)) return entry;
    throw std::runtime_error("the starter library has no entry " + std::string(key));
}

class TStarterLibrary {
  public:
    explicit TStarterLibrary(const std::string& ini) : options_(ini) {
        if (!options_.FileExists()) throw std::runtime_error(ini + " does not exist");
        if (options_.LoadLibraries() != 0) throw std::runtime_error(ini + " has unusable lines");
    }
    // The voltage class as the circuit dialog proposes it: the class, its
    // over-rate factor, and the maximum voltage as class times factor.
    void Voltage(TNewCircuitValues& values, const char* kV) const {
        const TVoltItem& item = Entry(
            options_.Voltages(), std::string(kV),
            [](const TVoltItem& v, const std::string& k) { return VoltageText(v.Voltage) == k; });
        values.VoltageClass = item.Voltage;
        values.OverRateFactor = item.OverRateFactor;
        values.MaxVoltage = item.Voltage * item.OverRateFactor;
    }
    // The conductor type, its diameter in the project's unit, `count`
    // sub-conductors, and as MCR the bundle's: the count times the type's.
    void Conductor(TNewCircuitValues& values, int units, const char* name, int count) const {
        const TCondItem& item = Entry(options_.Conductors(), name, ByName<TCondItem>);
        values.CondName = item.Name;
        values.CondDiameter = DisplayDiameter(units, item.Diameter);
        values.SubCondCount = static_cast<std::uint8_t>(count);
        values.Mcr = item.Mcr * static_cast<float>(count);
    }
    void Ohgw(TNewCircuitValues& values, int units, const char* name) const {
        const TOhgwItem& item = Entry(options_.Ohgws(), name, ByName<TOhgwItem>);
        values.OhgwName = item.Name;
        values.OhgwDiameter = DisplayDiameter(units, item.Diameter);
    }

  private:
    template <class T> static bool ByName(const T& entry, const char* name) {
        return entry.Name == name;
    }
    TOptions options_;
};

// Day numbers (days since 30 December 1899).
constexpr double k15March2024 = 45366;
constexpr double k2April2024 = 45384;
constexpr double k10September2024 = 45545;
constexpr double k1June2025 = 45809;
constexpr double k3February2025 = 45691;
constexpr double k20March2025 = 45736;

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

TNewCircuitValues ThreePhase(const TStarterLibrary& library, const char* name, const char* kV) {
    TNewCircuitValues values;
    values.Name = name;
    values.NewCircuit = true;
    library.Voltage(values, kV);
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
// horizontal phases 26 ft apart, two 3/8 in EHS ground wires. English units
// (ft, in).
void AddSingleCircuitLine(TEmfProject& project, const TStarterLibrary& library) {
    TScenario& line = AddScenario(project, "Palm to Cypress 230 kV single circuit", "230 SC",
                                  TransmissionLine, 75, 75, 3.28f);
    line.DefaultVoltage = 230;
    TNewCircuitValues values = ThreePhase(library, "PC 230", "230");
    library.Conductor(values, English, "Drake 795 ACSR", 2);
    values.BundleSpacing = 18;
    library.Ohgw(values, English, "3/8 EHS");
    values.Ground = {true, 2, 0};
    AddCircuit(line, values, {{-26, 42}, {0, 42}, {26, 42}, {-17, 60}, {17, 60}});
    AddPoint(line, "County road edge", -40);
    AddPoint(line, "Playground", 95);
    AddPoint(line, "Residence, 18 Heron Way", 128);
}

// 115 kV double circuit on a single steel pole, vertical phases, low-reactance
// phasing (the second circuit runs C-B-A from the top), one ground wire.
void AddDoubleCircuitLine(TEmfProject& project, const TStarterLibrary& library) {
    TScenario& line = AddScenario(project, "Lutz to Bayview 115 kV double circuit", "115 DC",
                                  TransmissionLine, 50, 50, 3.28f);
    line.DefaultVoltage = 115;
    TNewCircuitValues values = ThreePhase(library, "LB 115 East", "115");
    library.Conductor(values, English, "Linnet 336.4 ACSR", 1);
    library.Ohgw(values, English, "7#8 Alumoweld");
    values.Ground = {true, 1, 0};
    AddCircuit(line, values, {{-9, 62}, {-9, 50}, {-9, 38}, {0, 74}});

    values.Name = "LB 115 West";
    values.Ground = {false, 0, 0};
    AddCircuit(line, values, {{9, 38}, {9, 50}, {9, 62}});
    AddPoint(line, "Sidewalk", 45);
    AddPoint(line, "House, 402 Elm Street", -70);
}

// Substation: 230 kV and 115 kV strung buses of all-aluminium conductor (the
// 230 kV bus bundled, 6 in apart) inside a 150 ft fence line.
void AddSubstation(TEmfProject& project, const TStarterLibrary& library) {
    TScenario& station =
        AddScenario(project, "Palm Substation", "Palm Sub", Substation, 150, 150, 3.28f);
    station.DefaultVoltage = 230;
    TNewCircuitValues values = ThreePhase(library, "230 kV bus", "230");
    library.Conductor(values, English, "Coreopsis 1590 AAC", 2);
    values.BundleSpacing = 6;
    values.DistFromRowLeft = -60;
    AddCircuit(station, values, {{-15, 30}, {0, 30}, {15, 30}});

    values = ThreePhase(library, "115 kV bus", "115");
    library.Conductor(values, English, "Marigold 1113 AAC", 1);
    values.DistFromRowLeft = 55;
    library.Ohgw(values, English, "3/8 EHS");
    values.Ground = {true, 1, 0};
    AddCircuit(station, values, {{-10, 22}, {0, 22}, {10, 22}, {0, 45}});
    AddPoint(station, "Control house", 10);
    AddPoint(station, "Neighbouring lot", -185);
}

std::unique_ptr<TEmfProject> EnglishSample(const TStarterLibrary& library) {
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
    AddSingleCircuitLine(*project, library);
    AddDoubleCircuitLine(*project, library);
    AddSubstation(*project, library);
    return project;
}

// A small Metric project: one 138 kV line with a single ground wire.
std::unique_ptr<TEmfProject> MetricSample(const TStarterLibrary& library) {
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
    TNewCircuitValues values = ThreePhase(library, "RS 138", "138");
    library.Conductor(values, Metric, "Drake 795 ACSR", 1);
    library.Ohgw(values, Metric, "7#8 Alumoweld");
    values.Ground = {true, 1, 0};
    AddCircuit(line, values, {{-5.5f, 14}, {0, 17.5f}, {5.5f, 14}, {0, 21}});
    AddPoint(line, "Bike path", 12);
    AddPoint(line, "School yard", -30);
    return project;
}

// A Metric 345 kV line over a ridge at 500 m, with the site parameters a
// corona study would use there (microphone at ear height, a car-radio antenna,
// a rooftop TV antenna, light rain), and the same line's river crossing where
// every site parameter is left at its default.
std::unique_ptr<TEmfProject> SiteSample(const TStarterLibrary& library) {
    auto project = std::make_unique<TEmfProject>();
    project->Units = Metric;
    project->Title = "Sierra Ridge 345 kV Corona Study";
    FillProjectTexts(*project);
    project->EntryDate = k3February2025;
    project->UpdateDate = k20March2025;
    project->VoltageClass = 345;
    project->SetDisplayLineLength(23.6f);
    project->ExemptionFlags = "     ";
    project->Notification = 0;
    project->Notes = "Audible noise at the ear; radio and TV noise at typical antennas";

    TNewCircuitValues values = ThreePhase(library, "SR 345", "345");
    library.Conductor(values, Metric, "Cardinal 954 ACSR", 2);
    values.BundleSpacing = 45.7f;
    library.Ohgw(values, Metric, "OPGW 15.5 mm");
    values.Ground = {true, 2, 0};

    TScenario& ridge = AddScenario(*project, "Sierra Ridge 345 kV on the ridge", "Ridge",
                                   TransmissionLine, 30, 30, 1);
    ridge.DefaultVoltage = 345;
    ridge.MicrophoneHeight = 1.5f; // m
    ridge.RadioAntennaHeight = 2;  // m
    ridge.TvAntennaHeight = 10;    // m
    ridge.Altitude = 500;          // m
    ridge.RainRate = 1;            // mm/h
    AddCircuit(ridge, values, {{-8.5f, 16}, {0, 16}, {8.5f, 16}, {-5.5f, 24}, {5.5f, 24}});
    AddPoint(ridge, "Hiking trail", -22);
    AddPoint(ridge, "Cabin, 7 Pine Lane", 45);

    TScenario& crossing = AddScenario(*project, "Sierra Ridge 345 kV at the river crossing",
                                      "Crossing", TransmissionLine, 30, 30, 1);
    crossing.DefaultVoltage = 345;
    AddCircuit(crossing, values, {{-8.5f, 28}, {0, 28}, {8.5f, 28}, {-5.5f, 36}, {5.5f, 36}});
    AddPoint(crossing, "River bank", 25);
    return project;
}

TPlanConductor PlanPhase(const char* id, double kv, double angle, double amperes, double diameter) {
    TPlanConductor conductor;
    conductor.Id = id;
    conductor.Kv = kv;
    conductor.AngleDeg = angle;
    conductor.CurrentA = amperes;
    conductor.Diameter = diameter;
    return conductor;
}

TPlanConductor AlongPath(TPlanConductor conductor, std::initializer_list<TPlanPoint> points) {
    conductor.Points = points;
    return conductor;
}

TPlanConductor Span(TPlanConductor conductor, TPlanPoint from, TPlanPoint to, double sag) {
    conductor.Shape = TPlanShape::Span;
    conductor.Points = {from, to};
    conductor.Sag = sag;
    return conductor;
}

TPlanConductor GroundWire(const char* id, double diameter) {
    TPlanConductor conductor;
    conductor.Id = id;
    conductor.IsGround = true;
    conductor.Diameter = diameter;
    return conductor;
}

// The corner of the field-map example (examples/map-corner.json): a 230 kV
// phase turning 45 degrees at a structure and a ground wire's span, Metric.
TPlan CornerPlan() {
    TPlan plan;
    plan.Name = "Corner structure 14";
    plan.Units = Metric;
    plan.Conductors = {
        AlongPath(PlanPhase("1A", 230, 0, 1000, 28.14),
                  {{-300, 0, 12}, {0, 0, 12}, {212, 212, 12}}),
        Span(GroundWire("G1", 9.5), {-300, 0, 30}, {0, 0, 30}, 6),
    };
    plan.Grid = {-100, 100, -100, 100, 1, 1};
    plan.Footprints = {{"House 12", {{30, 40}, {45, 40}, {45, 52}, {30, 52}}}};
    return plan;
}

// A 115 kV line's last spans into a substation, in English units (ft, in): three
// phases hanging from the last tower to the dead-end structure, a ground wire
// strung straight, and the substation's parking lot.
TPlan EntryPlan() {
    TPlan plan;
    plan.Name = "Bayside 115 kV entry";
    plan.Units = English;
    plan.Conductors = {
        Span(PlanPhase("A", 115, 0, 400, 0.741), {-400, -10, 45}, {0, -10, 40}, 8),
        Span(PlanPhase("B", 115, 120, 400, 0.741), {-400, 0, 45}, {0, 0, 40}, 8),
        Span(PlanPhase("C", 115, 240, 400, 0.741), {-400, 10, 45}, {0, 10, 40}, 8),
        AlongPath(GroundWire("G", 0.375), {{-400, 0, 60}, {0, 0, 55}}),
    };
    plan.Grid = {-200, 50, -60, 60, 5, 3.28};
    plan.Footprints = {{"Parking lot", {{-150, 20}, {-100, 20}, {-100, 50}, {-150, 50}}}};
    return plan;
}

// A Metric 230 kV line with the plans of its corner structure and of another
// line's entry into its substation: a project of file version "1.04".
std::unique_ptr<TEmfProject> PlansSample(const TStarterLibrary& library) {
    auto project = std::make_unique<TEmfProject>();
    project->Units = Metric;
    project->Title = "Bayside 230 kV Field Maps";
    FillProjectTexts(*project);
    project->EntryDate = k3February2025;
    project->UpdateDate = k20March2025;
    project->VoltageClass = 230;
    project->SetDisplayLineLength(4.2f);
    project->ExemptionFlags = "     ";
    TScenario& line =
        AddScenario(*project, "Bayside 230 kV", "BS 230", TransmissionLine, 20, 20, 1);
    line.DefaultVoltage = 230;
    TNewCircuitValues values = ThreePhase(library, "BS 230", "230");
    library.Conductor(values, Metric, "Drake 795 ACSR", 1);
    library.Ohgw(values, Metric, "3/8 EHS");
    values.Ground = {true, 1, 0};
    AddCircuit(line, values, {{-7, 12}, {0, 12}, {7, 12}, {0, 30}});
    project->StorePlan(CornerPlan());
    project->StorePlan(EntryPlan());
    return project;
}

bool Reported(const TFileResult& result, const std::string& path) {
    if (!result.Ok)
        std::fprintf(stderr, "%s: %s (%s)\n", path.c_str(), result.Message.c_str(),
                     result.Detail.c_str());
    return result.Ok;
}

// Writes the project, then opens and saves the file once more. Inch values typed
// through 2.54 are written with 0.3937, and reading them back can land a float
// step away from what was typed; after one round the file is exactly what
// opening and saving it writes, so every sample resaves byte for byte.
bool Write(TEmfProject& project, const std::string& path) {
    if (!Reported(project.Save(path), path)) return false;
    TEmfProject reopened;
    return Reported(reopened.Load(path), path) && Reported(reopened.Save(path), path);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: corvalt-make-examples OUTPUT_FOLDER STARTER_INI\n");
        return 2;
    }
    const std::string folder = argv[1];
    try {
        const TStarterLibrary library(argv[2]);
        const bool ok = Write(*EnglishSample(library), folder + "/sample-english.emf") &&
                        Write(*MetricSample(library), folder + "/sample-metric.emf") &&
                        Write(*SiteSample(library), folder + "/sample-site.emf") &&
                        Write(*PlansSample(library), folder + "/sample-plans.emf");
        return ok ? 0 : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "corvalt-make-examples: %s\n", error.what());
        return 1;
    }
}
