#pragma once
// A project that uses every stored field, and a field-by-field comparison, for
// the project-file and clone tests.

#include "model/Project.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace corvalt::test {

// Appends a fresh cross section to the project and returns it.
TScenario& AddScenario(TEmfProject& project);

// Two cross sections (a line and a substation), three circuits with phase and
// ground conductors, points of interest, and texts with semicolons and bytes
// above 127. Values are entered through the display setters of units.
std::unique_ptr<TEmfProject> MakeRichProject(int units);

// Gives every site parameter of the cross section a value inside its range,
// none of which a display unit shows exactly (1.37 m is 4.4936 ft).
void SetSiteParameters(TScenario& scenario);

// Compares every stored field; floats may differ by up to ulps steps (site
// parameters, held in stored units, must be equal).
void ExpectSameProject(const TEmfProject& expected, const TEmfProject& actual, int ulps = 0);
void ExpectSameScenario(const TScenario& expected, const TScenario& actual, int ulps = 0);
void ExpectSameCircuit(const TCircuit& expected, const TCircuit& actual, int ulps = 0,
                       bool compareIdentity = true);

// The integer and the real of a serialization at the byte offset.
std::int32_t IntAt(const std::vector<std::uint8_t>& bytes, std::size_t offset);
double RealAt(const std::vector<std::uint8_t>& bytes, std::size_t offset);

// Number of single-precision steps between a and b.
long long UlpDistance(float a, float b);

} // namespace corvalt::test
