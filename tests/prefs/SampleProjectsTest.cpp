// The sample projects are made of the starter library's entries: every voltage
// class, conductor type and ground-wire type of their circuits is a library
// entry, with the entry's factor and diameter, so that the circuit dialog finds
// them when the sample is edited.
#include "model/Project.h"
#include "model/Units.h"
#include "prefs/Options.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace corvalt {
namespace {

const std::filesystem::path kExamples = std::filesystem::path(CORVALT_SOURCE_DIR) / "examples";

template <class T> const T* Named(const TSafeList<T>& library, const std::string& name) {
    for (const T& entry : library)
        if (entry.Name == name) return &entry;
    return nullptr;
}

const TVoltItem* Voltage(const TSafeList<TVoltItem>& library, float voltage) {
    for (const TVoltItem& entry : library)
        if (entry.Voltage == voltage) return &entry;
    return nullptr;
}

// A diameter as the project shows it equals the library's (mm) as the circuit
// dialog converts it, but for the rounding of the file's unit conversions
// (a few millionths of an inch).
void ExpectDiameter(int units, float shown, float libraryMm) {
    EXPECT_NEAR(shown, DisplayDiameter(units, libraryMm), 1e-4);
}

TEST(SampleProjects, AreMadeOfTheStarterLibrarysEntries) {
    TOptions starter(kExamples / "corvalt.INI");
    ASSERT_EQ(starter.LoadLibraries(), 0);
    for (const char* file : {"sample-english.emf", "sample-metric.emf"}) {
        SCOPED_TRACE(file);
        TEmfProject project;
        ASSERT_TRUE(project.Load((kExamples / file).string()).Ok);
        int circuits = 0, grounds = 0;
        for (const TScenario& scenario : project.Scenarios) {
            for (const TCircuit& circuit : scenario.Circuits) {
                SCOPED_TRACE(circuit.Name);
                ++circuits;
                const TVoltItem* voltage = Voltage(starter.Voltages(), circuit.VoltageClass);
                ASSERT_NE(voltage, nullptr) << circuit.VoltageClass;
                EXPECT_FLOAT_EQ(circuit.OverRateFactor, voltage->OverRateFactor);
                const TCondItem* conductor = Named(starter.Conductors(), circuit.CondName);
                ASSERT_NE(conductor, nullptr) << circuit.CondName;
                ExpectDiameter(project.Units, circuit.DisplayCondDiameter(), conductor->Diameter);
                // A bundle carries the current of its sub-conductors together.
                EXPECT_FLOAT_EQ(circuit.Mcr, conductor->Mcr * circuit.SubCondCount);
                for (const TConductor& wire : circuit.Conductors) {
                    SCOPED_TRACE(wire.Id);
                    if (!wire.IsGround()) {
                        EXPECT_EQ(wire.TypeName, conductor->Name);
                        ExpectDiameter(project.Units, wire.DisplayDiameter(), conductor->Diameter);
                        continue;
                    }
                    ++grounds;
                    const TOhgwItem* ohgw = Named(starter.Ohgws(), circuit.OhgwName);
                    ASSERT_NE(ohgw, nullptr) << circuit.OhgwName;
                    EXPECT_EQ(wire.TypeName, ohgw->Name);
                    ExpectDiameter(project.Units, circuit.DisplayOhgwDiameter(), ohgw->Diameter);
                    ExpectDiameter(project.Units, wire.DisplayDiameter(), ohgw->Diameter);
                }
            }
        }
        EXPECT_GT(circuits, 0);
        EXPECT_GT(grounds, 0);
    }
}

} // namespace
} // namespace corvalt
