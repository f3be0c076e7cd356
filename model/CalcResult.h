#pragma once
// TCalcResult: one point of a cross section's lateral profile with the fields
// and corona levels computed there. The cross section owns its list of results;
// the computation rebuilds it on every run and the reports only read it.

#include "model/LargeArray.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace corvalt {

struct TCalcResult {
    float Dist = 0;            // lateral position in display units (ft or m)
    float DistM = 0;           // lateral position, m
    std::uint8_t IsMarked = 0; // 1 for a ROW edge or a point of interest
    // Each value is empty where it cannot be computed at this point (for example
    // on a conductor, or from data the physics cannot take).
    std::optional<float> AnFairL50; // audible noise L50, fair weather, dBA
    std::optional<float> AnRainL50; // audible noise L50, rain, dBA
    std::optional<float> EMax;      // electric field, kV/m
    std::optional<float> BMax;      // magnetic field, gauss
    std::optional<float> TviRain;   // television interference, rain, dBuV/m
    std::optional<float> RiFair;    // radio interference L50, fair weather, dBuV/m
    std::optional<float> RiRain;    // radio interference L50, rain, dBuV/m
    std::optional<float> Ozone;     // ozone at the ozone height, ppb
    // The resultant √(|X|² + |Y|²) of each field's rms component phasors, the
    // value published tables and exposure guidelines give; EMax and BMax are
    // the semi-major axes of the field ellipses, at most as large.
    std::optional<float> EResultant; // kV/m
    std::optional<float> BResultant; // gauss
};

// A profile's records: a wide profile's run to megabytes.
using TCalcResults = std::vector<TCalcResult, TLargeArrayAllocator<TCalcResult>>;

// The record with the largest EMax among the records whose DistM lies in
// fromM..toM (m, both ends included): scanning in list order, only a strictly
// larger value takes over, so ties keep the earliest record. Index is -1 when
// no record there has a value; Gaps tells that some record there has none.
struct TLargestE {
    int Index = -1;
    bool Gaps = false;
};
TLargestE LargestE(std::span<const TCalcResult> records, float fromM, float toM);

// The same as the reports take it: LargestE's record when its value is above
// 0, else 0 (a scan from a maximum of 0).
int LargestEMaxIndex(std::span<const TCalcResult> records, float fromM, float toM);

} // namespace corvalt
