// Structure templates: every template's places worked out by hand from its
// dimensions (lowest phase 15, spacing 4, offset 3, ground wires at 27 with
// offset 5), and the DC bipole's two poles.
#include "model/StructureTemplate.h"

#include <gtest/gtest.h>

#include <vector>

using namespace corvalt;

namespace {

struct TTemplateCase {
    const char* Name;
    TStructureTemplate Kind;
    int Phases;
    int GroundWires;
    // Per circuit: phase places, then ground places.
    std::vector<std::vector<TPlace>> PhasePlaces;
    std::vector<std::vector<TPlace>> GroundPlaces;
};

constexpr TTemplateShape kShape{15, 4, 3, 27, 5};

// √3/2 × 4 = 3.4641016: the top of the delta at 15 + 3.4641016.
const std::vector<TTemplateCase> kCases = {
    {"none", TStructureTemplate::None, 3, 2, {{{0, 0}, {0, 0}, {0, 0}}}, {{{0, 0}, {0, 0}}}},
    // One column at x = 3: A at 15 + 2 × 4, B at 15 + 4, C at 15; one wire at its offset.
    {"vertical single", TStructureTemplate::VerticalSingle, 3, 1,
     {{{3, 23}, {3, 19}, {3, 15}}}, {{{5, 27}}}},
    // Columns at −3 and +3; both ground wires (at −5 and +5) on the first circuit.
    {"vertical double", TStructureTemplate::VerticalDouble, 3, 2,
     {{{-3, 23}, {-3, 19}, {-3, 15}}, {{3, 23}, {3, 19}, {3, 15}}},
     {{{-5, 27}, {5, 27}}, {}}},
    // A row centred on 3: 3 − 4, 3, 3 + 4; three wires from −5 to +5 by 5.
    {"horizontal", TStructureTemplate::Horizontal, 3, 3, {{{-1, 15}, {3, 15}, {7, 15}}},
     {{{-5, 27}, {0, 27}, {5, 27}}}},
    // A on top at the offset; B and C half a spacing either side, one spacing apart.
    {"delta", TStructureTemplate::Delta, 3, 0, {{{3, 18.4641016f}, {1, 15}, {5, 15}}}, {{}}},
    {"H-frame", TStructureTemplate::HFrame, 3, 2, {{{-1, 15}, {3, 15}, {7, 15}}},
     {{{-5, 27}, {5, 27}}}},
    // Two poles in a row: half a spacing either side of the offset.
    {"bipole horizontal", TStructureTemplate::Horizontal, 2, 0, {{{1, 15}, {5, 15}}}, {{}}},
    {"bipole vertical", TStructureTemplate::VerticalSingle, 2, 1, {{{3, 19}, {3, 15}}},
     {{{5, 27}}}},
};

void ExpectPlaces(const std::vector<TPlace>& actual, const std::vector<TPlace>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(actual[i].Horiz, expected[i].Horiz, 1e-5) << "place " << i;
        EXPECT_NEAR(actual[i].Height, expected[i].Height, 1e-5) << "place " << i;
    }
}

} // namespace

TEST(StructureTemplate, EachTemplatePlacesItsConductorsAsWorkedByHand) {
    for (const TTemplateCase& c : kCases) {
        SCOPED_TRACE(c.Name);
        const std::vector<TCircuitPlaces> circuits =
            TemplatePlaces(c.Kind, kShape, c.Phases, c.GroundWires);
        ASSERT_EQ(circuits.size(), c.PhasePlaces.size());
        EXPECT_EQ(TemplateCircuitCount(c.Kind), static_cast<int>(c.PhasePlaces.size()));
        for (std::size_t i = 0; i < circuits.size(); ++i) {
            SCOPED_TRACE(i);
            ExpectPlaces(circuits[i].Phases, c.PhasePlaces[i]);
            ExpectPlaces(circuits[i].Ground, c.GroundPlaces[i]);
        }
    }
}
