#pragma once
// Why a cross section could not be computed, and the text that says so. The
// texts live here only; the windows and the command line show them as they are.

#include "model/SiteParameters.h"

#include <string>

namespace corvalt {

enum class TCalcFault {
    NotFinite,       // an input value is not a finite number
    NoSubConductors, // a conductor above ground has 0 sub-conductors
    NoDiameter,      // ... a diameter of 0 or less
    NoSpacing,       // ... is a bundle with a spacing of 0 or less
    TouchesGround,   // ... is not higher than its own radius
    Overlapping,     // two conductors above ground whose outer circles meet
    Singular,        // the potential coefficients cannot be solved
    NoLibrary,       // too many conductors to solve without LAPACK, which cannot be loaded
    ProfileTooWide,  // the right of way cannot be laid out as a profile
    // More conductors or points of interest than model/Limits.h allows.
    TooManyConductors,
    TooManyInterestPoints,
    SiteOutOfRange, // a corona site parameter lies outside its sane range
    Cancelled,      // the caller asked the computation to stop before it ended
};

struct TCalcFailure {
    TCalcFault Fault = TCalcFault::Singular;
    std::string ConductorId; // the conductor at fault, where there is one
    std::string OtherId;     // the second conductor of an overlapping pair
    const TSiteParameterInfo* Site = nullptr; // the site parameter at fault, if any
    float SiteValue = 0;                      // and its value, stored units
};

// "Cross section 'North' cannot be computed: conductor '1A1' has a diameter of
// 0 or less." and the like, for the cross section with the given tab title.
std::string CalcErrorMessage(const std::string& tabTitle, const TCalcFailure& failure);

} // namespace corvalt
