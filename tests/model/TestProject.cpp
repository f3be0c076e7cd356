#include "TestProject.h"

#include "model/NewCircuit.h"
#include "model/ZuStream.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdlib>

namespace corvalt::test {
namespace {

TCircuit& AddCircuit(TScenario& scenario, const TNewCircuitValues& values) {
    scenario.Circuits.Add(CreateNewCircuit(scenario, values));
    return scenario.Circuits[scenario.Circuits.Count() - 1];
}

void AddPoint(TScenario& scenario, const char* name, float shownDistance, int resultIndex) {
    auto point = std::make_unique<TInterestPoint>(scenario);
    point->Name = name;
    point->SetDisplayDistFromRowLeft(shownDistance);
    point->ResultIndex = resultIndex;
    scenario.InterestPoints.Add(std::move(point));
}

// Positions (display units) for the conductors of a circuit, in circuit order.
void Place(TCircuit& circuit, std::initializer_list<std::pair<float, float>> xy) {
    int i = 0;
    for (const auto& [x, y] : xy) {
        circuit.Conductors[i].SetDisplayHorizDistance(x);
        circuit.Conductors[i].SetDisplayHeight(y);
        ++i;
    }
}

#define EXPECT_CLOSE(a, b, ulps)                                                                   \
    EXPECT_LE(UlpDistance((a), (b)), (ulps)) << #a << " " << (a) << " vs " << (b)

} // namespace

TScenario& AddScenario(TEmfProject& project) {
    project.Scenarios.Add(std::make_unique<TScenario>(project));
    return project.Scenarios[project.Scenarios.Count() - 1];
}

std::int32_t IntAt(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    TZuStream stream(std::vector<std::uint8_t>(bytes.begin() + static_cast<long>(offset),
                                               bytes.begin() + static_cast<long>(offset) + 4));
    return stream.ReadInt();
}

double RealAt(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    return DecodeExtended(bytes.data() + offset);
}

long long UlpDistance(float a, float b) {
    const auto ordered = [](float f) {
        const auto bits = std::bit_cast<std::int32_t>(f);
        return bits < 0 ? -static_cast<long long>(bits & 0x7FFFFFFF) : static_cast<long long>(bits);
    };
    return std::llabs(ordered(a) - ordered(b));
}

std::unique_ptr<TEmfProject> MakeRichProject(int units) {
    auto project = std::make_unique<TEmfProject>();
    TEmfProject& p = *project;
    p.Units = static_cast<std::uint8_t>(units);
    p.Title = "Bay Ridge 230 kV Rebuild";
    p.EngineerName = "R. Alvarez";
    p.AgentName = "Gulf Coast Power;Siting Dept.";
    p.AgentAddress = "100 Main St;Suite 4;Tampa, FL 33602";
    p.AgentPhone = "(813) 555-0100";
    p.PeName = "J. M\xfcller, P.E.";
    p.PeAddress = "12 Oak Ave;Orlando, FL";
    p.PePhone = "(407) 555-0199";
    p.FacilityName = "Gulf Coast Power";
    p.FacilityAddress = "PO Box 9;Tampa, FL";
    p.Counties = "Hillsborough;Pasco";
    p.Cities = "Tampa";
    p.ConstructionDate = 45658;
    p.ReservedDate = 0;
    p.EntryDate = 45366;
    p.UpdateDate = 45400.75;
    p.VoltageClass = 230;
    p.SetDisplayLineLength(12.7f);
    p.ExemptionFlags = "X X  ";
    p.StructureProfile = true;
    p.LocationMap = false;
    p.Notification = 2;
    p.NotificationExplanation = "Filed with the 2023 ten-year plan";
    p.Notes = "Drake conductors";

    TScenario& line = AddScenario(p);
    line.Title = "Bay Ridge to Palm";
    line.TabTitle = "BR-P";
    line.SectionType = TransmissionLine;
    line.DefaultVoltage = 230;
    line.SetDisplayRowLeft(units == English ? 60 : 18.3f);
    line.SetDisplayRowRight(units == English ? 75.5f : 23);
    line.SetDisplayEFieldHeight(units == English ? 3.28f : 1);
    line.SetDisplayBFieldHeight(units == English ? 3.28f : 1);

    TNewCircuitValues values;
    values.Name = "BR-P 1";
    values.VoltageClass = 230;
    values.OverRateFactor = 1.05f;
    values.MaxVoltage = 241.5f;
    values.Mcr = 1800;
    values.DistFromRowLeft = 0;
    values.CondName = "Drake";
    values.CondDiameter = units == English ? 1.108f : 28.143f;
    values.SubCondCount = 2;
    values.BundleSpacing = units == English ? 18 : 45.72f;
    values.OhgwName = "7#8 Alumoweld";
    values.OhgwDiameter = units == English ? 0.385f : 9.78f;
    values.Phases = {TPhaseRow{true, 1, 0}, TPhaseRow{true, 1, 120}, TPhaseRow{true, 1, 240}};
    values.Ground = {true, 2, 0};
    TCircuit& single = AddCircuit(line, values);
    Place(single, {{-25, 60.5f}, {0, 60.5f}, {25, 60.5f}, {-15, 82}, {15, 82}});
    single.Conductors[4].CoronaLoss = 5; // a result: the file stores 0

    values.Name = "BR-P 2 underbuild";
    values.VoltageClass = 69;
    values.OverRateFactor = 1.1f;
    values.MaxVoltage = 75.9f;
    values.Mcr = 600;
    values.DistFromRowLeft = units == English ? -30.25f : -9.2f;
    values.CondName = "";
    values.CondDiameter = units == English ? 0.642f : 16.31f;
    values.SubCondCount = 1;
    values.BundleSpacing = 0;
    values.Phases = {TPhaseRow{true, 2, 0}, TPhaseRow{true, 1, 240}, TPhaseRow{false, 1, 120}};
    values.Ground = {false, 1, 0};
    TCircuit& under = AddCircuit(line, values);
    Place(under, {{-6.5f, 38}, {6.5f, 38}, {0, 44.25f}});
    under.Conductors[2].AcFlag = 0; // a DC pole keeps its flag
    AddPoint(line, "House at 120 ft", units == English ? 120 : 36.6f, 3);
    AddPoint(line, "Edge of school; north", units == English ? -80.5f : -24.5f, 0);

    TScenario& station = AddScenario(p);
    station.Title = "";
    station.TabTitle = "Palm Sub";
    station.SectionType = Substation;
    station.SetDisplayRowLeft(units == English ? 100 : 30);
    station.SetDisplayRowRight(units == English ? 100 : 30);
    station.SetDisplayEFieldHeight(units == English ? 3.28f : 1);
    station.SetDisplayBFieldHeight(units == English ? 6.56f : 2);
    values.Name = "Bus A";
    values.VoltageClass = 115;
    values.OverRateFactor = 1.05f;
    values.MaxVoltage = 120.75f;
    values.Mcr = 2000;
    values.DistFromRowLeft = 0;
    values.CondName = "1590 Falcon";
    values.CondDiameter = units == English ? 1.545f : 39.24f;
    values.SubCondCount = 3;
    values.BundleSpacing = units == English ? 9 : 22.86f;
    values.Phases = {TPhaseRow{true, 1, 0}, TPhaseRow{true, 1, 120}, TPhaseRow{true, 1, 240}};
    values.Ground = {true, 1, 0};
    TCircuit& bus = AddCircuit(station, values);
    Place(bus, {{-12, 20}, {0, 20}, {12, 20}, {0, 35}});
    return project;
}

void SetSiteParameters(TScenario& s) {
    s.MicrophoneHeight = 1.37f;
    s.RadioAntennaHeight = 2.11f;
    s.TvAntennaHeight = 9.83f;
    s.OzoneHeight = 1.21f;
    s.Altitude = 1234.56f;
    s.RainRate = 2.73f;
    s.WindVelocity = 3.31f;
    s.RadioFrequency = 0.53f;
    s.TvFrequency = 187.25f;
    s.GroundConductivity = 4.7f;
}

void ExpectSameCircuit(const TCircuit& e, const TCircuit& a, int ulps, bool compareIdentity) {
    SCOPED_TRACE("circuit " + e.Name);
    if (compareIdentity) {
        EXPECT_EQ(e.Number, a.Number);
        EXPECT_EQ(e.Name, a.Name);
    }
    EXPECT_EQ(e.NewCircuit, a.NewCircuit);
    EXPECT_EQ(e.VoltageClass, a.VoltageClass);
    EXPECT_EQ(e.OverRateFactor, a.OverRateFactor);
    EXPECT_EQ(e.MaxVoltage, a.MaxVoltage);
    EXPECT_EQ(e.Mcr, a.Mcr);
    EXPECT_CLOSE(e.DistFromRowLeft, a.DistFromRowLeft, ulps);
    EXPECT_EQ(e.CondName, a.CondName);
    EXPECT_CLOSE(e.CondDiameter, a.CondDiameter, ulps);
    EXPECT_EQ(e.SubCondCount, a.SubCondCount);
    EXPECT_CLOSE(e.BundleSpacing, a.BundleSpacing, ulps);
    EXPECT_EQ(e.OhgwName, a.OhgwName);
    EXPECT_EQ(e.OhgwCount, a.OhgwCount);
    EXPECT_CLOSE(e.OhgwDiameter, a.OhgwDiameter, ulps);
    ASSERT_EQ(e.Conductors.Count(), a.Conductors.Count());
    for (int i = 0; i < e.Conductors.Count(); ++i) {
        const TConductor& ec = e.Conductors[i];
        const TConductor& ac = a.Conductors[i];
        SCOPED_TRACE("conductor " + ec.Id);
        EXPECT_EQ(ac.Circuit, &a);
        EXPECT_EQ(ac.Scenario, a.Scenario);
        EXPECT_EQ(ec.CondType, ac.CondType);
        EXPECT_EQ(ec.AcFlag, ac.AcFlag);
        if (compareIdentity) {
            EXPECT_EQ(ec.Id, ac.Id);
        }
        EXPECT_EQ(ec.TypeName, ac.TypeName);
        EXPECT_CLOSE(ec.HorizDistance, ac.HorizDistance, ulps);
        EXPECT_CLOSE(ec.Height, ac.Height, ulps);
        EXPECT_EQ(ec.SubCondCount, ac.SubCondCount);
        EXPECT_CLOSE(ec.Diameter, ac.Diameter, ulps);
        EXPECT_CLOSE(ec.SubSpacing, ac.SubSpacing, ulps);
        EXPECT_EQ(ec.VoltageClass, ac.VoltageClass);
        EXPECT_EQ(ec.OverRateFactor, ac.OverRateFactor);
        EXPECT_EQ(ec.MaxVoltage, ac.MaxVoltage);
        EXPECT_EQ(ec.PhaseAngle, ac.PhaseAngle);
        EXPECT_EQ(ec.Mcr, ac.Mcr);
    }
}

void ExpectSameScenario(const TScenario& e, const TScenario& a, int ulps) {
    SCOPED_TRACE("cross section " + e.TabTitle);
    EXPECT_EQ(e.Title, a.Title);
    EXPECT_EQ(e.TabTitle, a.TabTitle);
    EXPECT_EQ(e.SectionType, a.SectionType);
    EXPECT_EQ(e.DefaultVoltage, a.DefaultVoltage);
    EXPECT_CLOSE(e.RowLeft, a.RowLeft, ulps);
    EXPECT_CLOSE(e.RowRight, a.RowRight, ulps);
    EXPECT_CLOSE(e.BFieldHeight, a.BFieldHeight, ulps);
    EXPECT_CLOSE(e.EFieldHeight, a.EFieldHeight, ulps);
    for (const TSiteParameterInfo& parameter : kSiteParameters)
        EXPECT_EQ(e.SiteValue(parameter.Id), a.SiteValue(parameter.Id)) << parameter.Name;
    ASSERT_EQ(e.Circuits.Count(), a.Circuits.Count());
    for (int i = 0; i < e.Circuits.Count(); ++i)
        ExpectSameCircuit(e.Circuits[i], a.Circuits[i], ulps);
    ASSERT_EQ(e.InterestPoints.Count(), a.InterestPoints.Count());
    for (int i = 0; i < e.InterestPoints.Count(); ++i) {
        EXPECT_EQ(e.InterestPoints[i].Name, a.InterestPoints[i].Name);
        EXPECT_EQ(e.InterestPoints[i].ResultIndex, a.InterestPoints[i].ResultIndex);
        EXPECT_CLOSE(e.InterestPoints[i].DistFromRowLeft, a.InterestPoints[i].DistFromRowLeft,
                     ulps);
        EXPECT_EQ(a.InterestPoints[i].Scenario, &a);
    }
    EXPECT_EQ(a.ConductorCount(), e.ConductorCount());
}

void ExpectSameProject(const TEmfProject& e, const TEmfProject& a, int ulps) {
    EXPECT_EQ(e.Title, a.Title);
    EXPECT_EQ(e.EngineerName, a.EngineerName);
    EXPECT_EQ(e.AgentName, a.AgentName);
    EXPECT_EQ(e.AgentAddress, a.AgentAddress);
    EXPECT_EQ(e.AgentPhone, a.AgentPhone);
    EXPECT_EQ(e.PeName, a.PeName);
    EXPECT_EQ(e.PeAddress, a.PeAddress);
    EXPECT_EQ(e.PePhone, a.PePhone);
    EXPECT_EQ(e.FacilityName, a.FacilityName);
    EXPECT_EQ(e.FacilityAddress, a.FacilityAddress);
    EXPECT_EQ(e.Counties, a.Counties);
    EXPECT_EQ(e.Cities, a.Cities);
    EXPECT_EQ(e.ConstructionDate, a.ConstructionDate);
    EXPECT_EQ(e.ReservedDate, a.ReservedDate);
    EXPECT_EQ(e.EntryDate, a.EntryDate);
    EXPECT_EQ(e.UpdateDate, a.UpdateDate);
    EXPECT_EQ(e.Units, a.Units);
    EXPECT_EQ(e.VoltageClass, a.VoltageClass);
    EXPECT_CLOSE(e.LineLength, a.LineLength, ulps);
    EXPECT_EQ(e.ExemptionFlags, a.ExemptionFlags);
    EXPECT_EQ(e.StructureProfile, a.StructureProfile);
    EXPECT_EQ(e.LocationMap, a.LocationMap);
    EXPECT_EQ(e.Notification, a.Notification);
    EXPECT_EQ(e.NotificationExplanation, a.NotificationExplanation);
    EXPECT_EQ(e.Notes, a.Notes);
    ASSERT_EQ(e.Scenarios.Count(), a.Scenarios.Count());
    for (int i = 0; i < e.Scenarios.Count(); ++i) {
        EXPECT_EQ(a.Scenarios[i].Project, &a);
        ExpectSameScenario(e.Scenarios[i], a.Scenarios[i], ulps);
    }
}

} // namespace corvalt::test
