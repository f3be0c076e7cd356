#include "compute/CalcErrors.h"

#include "compute/Matrix.h"
#include "compute/Profile.h"
#include "linalg/Lapack.h"
#include "model/Limits.h"
#include "model/TextHelpers.h"

namespace corvalt {

namespace {

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

std::string Reason(const TCalcFailure& f) {
    const std::string conductor = "conductor " + Quoted(f.ConductorId);
    switch (f.Fault) {
    case TCalcFault::NotFinite:
        if (f.ConductorId.empty()) return "one of its values is not a finite number.";
        return conductor + " has a value that is not a finite number.";
    case TCalcFault::NoSubConductors:
        return conductor + " has no sub-conductors.";
    case TCalcFault::NoDiameter:
        return conductor + " has a diameter of 0 or less.";
    case TCalcFault::NoSpacing:
        return conductor + " is a bundle with a sub-conductor spacing of 0 or less.";
    case TCalcFault::TouchesGround:
        return conductor + " reaches the ground: its height is not above its radius.";
    case TCalcFault::Overlapping:
        return "conductors " + Quoted(f.ConductorId) + " and " + Quoted(f.OtherId) +
               " occupy the same space.";
    case TCalcFault::Singular:
        return "the potential coefficients of its conductors cannot be solved.";
    case TCalcFault::NoLibrary:
        return "it has more than " + std::to_string(kLargestNativeCholesky) +
               " conductors, which need the linear-algebra library. " +
               lapack::SystemLibrary().Error + ".";
    case TCalcFault::ProfileTooWide:
        return "its right of way cannot be laid out in at most " +
               std::to_string(kMaxRegularSteps) + " profile steps.";
    case TCalcFault::TooManyConductors:
        return "it has " + TooManyConductorsText() + ".";
    case TCalcFault::TooManyInterestPoints:
        return "it has " + TooManyInterestPointsText() + ".";
    case TCalcFault::SiteOutOfRange:
        return "its " + std::string(f.Site->Label) + " of " + ShortestFloatText(f.SiteValue) + " " +
               SiteStoredUnitLabel(f.Site->Unit) + " is outside " + SiteRangeText(*f.Site) + ".";
    case TCalcFault::Cancelled:
        return "the computation was cancelled.";
    }
    return {};
}

} // namespace

std::string CalcErrorMessage(const std::string& tabTitle, const TCalcFailure& failure) {
    return "Cross section " + Quoted(tabTitle) + " cannot be computed: " + Reason(failure);
}

} // namespace corvalt
