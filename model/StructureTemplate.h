#pragma once
// Structure templates of the circuit dialog: where a new circuit's conductors
// sit on a typical structure, from a few dimensions. The result is only the
// conductors' starting coordinates; they stay ordinary values the user edits.
//
// Places are relative to the circuit reference (the structure's centre line), in
// the project's display units (ft or m). Phase places are handed out to the
// phase conductors in creation order (A, B, C, or the poles of a DC circuit);
// the first place is the top one where the template has levels.

#include <vector>

namespace corvalt {

enum class TStructureTemplate {
    None,           // every coordinate 0
    VerticalSingle, // one vertical column at the offset, first place on top
    VerticalDouble, // two vertical columns at −offset and +offset: two circuits
    Horizontal,     // one row at the lowest height, centred on the offset
    Delta,          // first place on top, the others in a row below it
    HFrame,         // one row between the two poles of an H-frame
};

// The template's dimensions, display units.
struct TTemplateShape {
    float LowestHeight = 0;  // height of the lowest phase
    float PhaseSpacing = 0;  // between neighbouring phases (the side of a delta)
    float Offset = 0;        // of the phases' centre (of each column for a double circuit)
    float GroundHeight = 0;  // of the ground wires
    float GroundOffset = 0;  // one wire sits at it; two or more spread from −it to +it
};

struct TPlace {
    float Horiz = 0;  // from the circuit reference
    float Height = 0; // above ground
};

// The places of one circuit of the structure.
struct TCircuitPlaces {
    std::vector<TPlace> Phases;
    std::vector<TPlace> Ground;
};

// How many circuits the template builds: 2 for a vertical double circuit, else 1.
int TemplateCircuitCount(TStructureTemplate kind);

// The places of each circuit the template builds, for phaseCount phase
// conductors per circuit and groundCount ground wires on the structure (all on
// the first circuit). None places everything at 0.
std::vector<TCircuitPlaces> TemplatePlaces(TStructureTemplate kind, const TTemplateShape& shape,
                                           int phaseCount, int groundCount);

} // namespace corvalt
