#include "compute/Compute.h"

#include "compute/Charges.h"
#include "compute/Fields.h"
#include "compute/Profile.h"
#include "model/Limits.h"
#include "model/Parallel.h"
#include "model/Project.h"
#include "model/Scenario.h"
#include "model/Units.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <span>

namespace corvalt {

std::vector<TSystemConductor> BuildConductorSystem(const TScenario& scenario) {
    std::vector<TSystemConductor> system;
    system.reserve(scenario.Conductors.size());
    for (const TConductor* conductor : scenario.Conductors) {
        TSystemConductor c;
        c.XM = conductor->AbsoluteX();
        c.YM = conductor->Height;
        c.SubCondCount = conductor->SubCondCount;
        c.DiameterMm = conductor->Diameter;
        c.SubSpacingCm = conductor->SubSpacing;
        c.MaxVoltageKv = conductor->MaxVoltage;
        c.PhaseAngleDeg = conductor->PhaseAngle;
        c.CurrentA = KiloamperesToAmperes(conductor->Mcr);
        c.IsAc = conductor->AcFlag != 0;
        c.IsGround = conductor->IsGround();
        system.push_back(c);
    }
    PrepareConductorSystem(system);
    return system;
}

TCoronaSite CoronaSiteOf(const TScenario& scenario) {
    const auto value = [&](TSiteParameter id) { return scenario.EffectiveSiteValue(id); };
    using enum TSiteParameter;
    TCoronaSite site;
    site.MicrophoneHeightM = value(MicrophoneHeight);
    site.RadioAntennaHeightM = value(RadioAntennaHeight);
    site.RadioFrequencyMhz = value(RadioFrequency);
    site.TvAntennaHeightM = value(TvAntennaHeight);
    site.TvFrequencyMhz = value(TvFrequency);
    site.AltitudeM = value(Altitude);
    site.RainRateMmPerH = value(RainRate);
    site.WindVelocityMPerS = value(WindVelocity);
    site.GroundConductivityMmhoPerM = value(GroundConductivity);
    site.OzoneHeightM = value(OzoneHeight);
    return site;
}

namespace {

bool AllFinite(std::initializer_list<double> values) {
    for (const double v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

bool ScenarioValuesFinite(const TScenario& s) {
    if (!AllFinite({s.RowLeft, s.RowRight, s.EFieldHeight, s.BFieldHeight, s.MicrophoneHeight,
                    s.RadioAntennaHeight, s.TvAntennaHeight, s.OzoneHeight, s.Altitude, s.RainRate,
                    s.WindVelocity, s.RadioFrequency, s.TvFrequency, s.GroundConductivity}))
        return false;
    for (const TInterestPoint& point : s.InterestPoints)
        if (!std::isfinite(point.DistFromRowLeft)) return false;
    return true;
}

// The first site parameter outside its range. The project file, the command
// line and the dialogs let none through; a value set in any other way must not
// reach the formulas, whose logarithms would turn it into no value at all.
std::optional<TCalcFailure> FindSiteFault(const TScenario& s) {
    for (const TSiteParameterInfo& parameter : kSiteParameters) {
        const float value = s.SiteValue(parameter.Id);
        if (IsAllowedSiteValue(parameter, value)) continue;
        TCalcFailure failure{TCalcFault::SiteOutOfRange, {}, {}};
        failure.Site = &parameter;
        failure.SiteValue = value;
        return failure;
    }
    return std::nullopt;
}

bool ConductorValuesFinite(const TSystemConductor& c) {
    return AllFinite(
        {c.XM, c.YM, c.DiameterMm, c.SubSpacingCm, c.MaxVoltageKv, c.PhaseAngleDeg, c.CurrentA});
}

TCalcFault FaultOf(TGeometryFault fault) {
    switch (fault) {
    case TGeometryFault::NoSubConductors:
        return TCalcFault::NoSubConductors;
    case TGeometryFault::NoDiameter:
        return TCalcFault::NoDiameter;
    case TGeometryFault::NoSpacing:
    case TGeometryFault::None:
        break;
    }
    return TCalcFault::NoSpacing;
}

// Empties every result of the cross section and its conductors and points.
void ClearResults(TScenario& scenario) {
    scenario.Results.clear();
    scenario.RowLeftResult = 0;
    scenario.RowRightResult = 0;
    scenario.MaxEResult = 0;
    scenario.RowMaxEResult = 0;
    scenario.RowMaxBResult = 0;
    scenario.CalcError.clear();
    for (TConductor* conductor : scenario.Conductors) {
        conductor->Calc = TConductorCalc{};
        conductor->CoronaLoss = 0;
    }
    for (TInterestPoint& point : scenario.InterestPoints)
        point.ResultIndex = 0;
}

bool Fail(TScenario& scenario, const TCalcFailure& failure) {
    ClearResults(scenario);
    scenario.CalcError = CalcErrorMessage(scenario.TabTitle, failure);
    return false;
}

const std::string& IdOf(const TScenario& scenario, int index) {
    return scenario.Conductors[static_cast<std::size_t>(index)]->Id;
}

// Records computed between two looks at the stop token, and shared among the
// cores a block at a time: a few milliseconds of work for the largest cross
// section. The field and corona computations give each record the same value
// whatever block and thread it is computed in.
constexpr std::size_t kRecordsPerBlock = 2048;

TCalcFailure Cancelled() {
    return {TCalcFault::Cancelled, {}, {}};
}

// Fills the electric and magnetic field of the records.
void ComputeFieldBlock(std::span<TCalcResult> block, std::span<const TSystemConductor> system,
                       const TScenario& scenario, int units) {
    std::vector<float> positions;
    positions.reserve(block.size());
    for (const TCalcResult& record : block)
        positions.push_back(RecordPositionM(record, units));
    std::vector<std::optional<float>> values(block.size()), resultants(block.size());
    ElectricFieldsKvPerM(system, positions, scenario.EFieldHeight, values, std::nullopt,
                         resultants);
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i].EMax = values[i];
        block[i].EResultant = resultants[i];
    }
    MagneticFieldsGauss(system, positions, scenario.BFieldHeight, values, std::nullopt,
                        resultants);
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i].BMax = values[i];
        block[i].BResultant = resultants[i];
    }
}

// Fills the electric and magnetic field of every record, blocks of records on
// the processor's cores; false when stop was requested before the last block.
bool ComputeFields(std::span<TCalcResult> records, std::span<const TSystemConductor> system,
                   const TScenario& scenario, int units, const std::stop_token& stop) {
    return ForEachBlock(records.size(), kRecordsPerBlock, stop,
                        [&](std::size_t first, std::size_t count) {
                            ComputeFieldBlock(records.subspan(first, count), system, scenario,
                                              units);
                        });
}

void StoreConductorResults(TScenario& scenario, std::span<const TSystemConductor> system) {
    for (std::size_t k = 0; k < system.size(); ++k) {
        const TSystemConductor& c = system[k];
        TConductor& conductor = *scenario.Conductors[k];
        TConductorCalc& calc = conductor.Calc;
        calc.InSystem = c.InChargeSystem;
        calc.EqDiameterM = c.Bundle.EqDiameterM;
        calc.VoltRe = c.VoltV.Re;
        calc.VoltIm = c.VoltV.Im;
        calc.ChargeRe = c.ChargeCPerM.Re;
        calc.ChargeIm = c.ChargeCPerM.Im;
        calc.MaxGradient = c.MaxGradientKvCm;
        calc.CoronaLoss = c.CoronaLossKwPerKm;
        calc.OzoneRate = c.OzoneRate;
        conductor.CoronaLoss = c.CoronaLossKwPerKm.value_or(0.0f);
    }
}

} // namespace

std::optional<TCalcFailure> FindInputFault(const TScenario& scenario,
                                           const std::vector<TSystemConductor>& system) {
    if (!ScenarioValuesFinite(scenario)) return TCalcFailure{TCalcFault::NotFinite, {}, {}};
    if (std::optional<TCalcFailure> site = FindSiteFault(scenario)) return site;
    for (std::size_t k = 0; k < system.size(); ++k) {
        const TSystemConductor& c = system[k];
        const std::string& id = scenario.Conductors[k]->Id;
        if (!ConductorValuesFinite(c)) return TCalcFailure{TCalcFault::NotFinite, id, {}};
        // Only conductors above ground need a bundle geometry: they carry charge.
        if (!(c.YM > 0)) continue;
        const TGeometryFault fault =
            BundleGeometryFault(c.SubCondCount, c.DiameterMm, c.SubSpacingCm);
        if (fault != TGeometryFault::None) return TCalcFailure{FaultOf(fault), id, {}};
        // The line-charge coefficients hold only for a conductor clear of the
        // ground; one that reaches it would get a self coefficient of 0 or less.
        if (!(c.YM > c.RadiusM)) return TCalcFailure{TCalcFault::TouchesGround, id, {}};
    }
    return std::nullopt;
}

std::variant<std::vector<TSystemConductor>, TCalcFailure>
ConductorSystemOf(const TScenario& scenario) {
    // Files and dialogs keep within the limits; this bounds the work whatever
    // built the cross section.
    if (scenario.ConductorCount() > kMaxConductorsPerSection)
        return TCalcFailure{TCalcFault::TooManyConductors, {}, {}};
    if (scenario.InterestPoints.Count() > kMaxInterestPointsPerSection)
        return TCalcFailure{TCalcFault::TooManyInterestPoints, {}, {}};
    std::vector<TSystemConductor> system = BuildConductorSystem(scenario);
    if (std::optional<TCalcFailure> fault = FindInputFault(scenario, system))
        return *std::move(fault);
    return system;
}

std::variant<TFieldInputs, TCalcFailure> FieldInputsOf(const TScenario& scenario,
                                                       double beyondRowShown) {
    std::variant<std::vector<TSystemConductor>, TCalcFailure> system = ConductorSystemOf(scenario);
    if (TCalcFailure* failure = std::get_if<TCalcFailure>(&system)) return *std::move(failure);
    TFieldInputs inputs;
    inputs.System = std::get<std::vector<TSystemConductor>>(std::move(system));

    std::vector<float> pointPositions;
    for (const TInterestPoint& point : scenario.InterestPoints)
        pointPositions.push_back(point.DistFromRowLeft);
    std::optional<TProfileLayout> layout =
        LayOutProfile(scenario.RowLeft, scenario.RowRight, pointPositions, scenario.Project->Units,
                      beyondRowShown);
    if (!layout) return TCalcFailure{TCalcFault::ProfileTooWide, {}, {}};
    inputs.Layout = *std::move(layout);
    return inputs;
}

std::optional<TCalcFailure> SolveScenarioCharges(const TScenario& scenario,
                                                 std::span<TSystemConductor> system,
                                                 std::stop_token stop) {
    if (stop.stop_requested()) return Cancelled();
    const TChargeResult charges = SolveCharges(system, stop);
    switch (charges.Outcome) {
    case TChargeOutcome::Overlapping:
        return TCalcFailure{TCalcFault::Overlapping, IdOf(scenario, charges.Pair.First),
                            IdOf(scenario, charges.Pair.Second)};
    case TChargeOutcome::Singular:
        return TCalcFailure{TCalcFault::Singular, {}, {}};
    case TChargeOutcome::NoLibrary:
        return TCalcFailure{TCalcFault::NoLibrary, {}, {}};
    case TChargeOutcome::Cancelled:
        return Cancelled();
    case TChargeOutcome::Solved:
        break;
    }
    return std::nullopt;
}

std::optional<TCalcFailure> ComputeProfileFields(const TScenario& scenario,
                                                 std::span<TSystemConductor> system,
                                                 std::span<TCalcResult> records,
                                                 std::stop_token stop) {
    auto clear = [&] {
        for (TCalcResult& record : records) {
            record.EMax.reset();
            record.BMax.reset();
            record.EResultant.reset();
            record.BResultant.reset();
        }
    };
    clear();
    if (std::optional<TCalcFailure> failure = SolveScenarioCharges(scenario, system, stop))
        return failure;
    if (!ComputeFields(records, system, scenario, scenario.Project->Units, stop)) {
        clear(); // no partly computed profile
        return Cancelled();
    }
    return std::nullopt;
}

bool ComputeScenario(TScenario& scenario, std::stop_token stop, double beyondRowShown) {
    ClearResults(scenario);
    const int units = scenario.Project->Units;
    std::variant<TFieldInputs, TCalcFailure> prepared = FieldInputsOf(scenario, beyondRowShown);
    if (const TCalcFailure* failure = std::get_if<TCalcFailure>(&prepared))
        return Fail(scenario, *failure);
    TFieldInputs& inputs = std::get<TFieldInputs>(prepared);
    std::vector<TSystemConductor>& system = inputs.System;
    TProfileLayout& layout = inputs.Layout;

    if (const std::optional<TCalcFailure> failure = SolveScenarioCharges(scenario, system, stop))
        return Fail(scenario, *failure);
    const TCoronaSite site = CoronaSiteOf(scenario);
    ComputeCoronaLosses(system, site);
    const TCoronaField corona(system, site);
    // The fields and the corona effects of a block one after the other, while
    // its records are at hand in the processor's cache.
    const bool done = ForEachBlock(layout.Records.size(), kRecordsPerBlock, stop,
                                   [&](std::size_t first, std::size_t count) {
                                       const auto block =
                                           std::span(layout.Records).subspan(first, count);
                                       ComputeFieldBlock(block, system, scenario, units);
                                       corona.Fill(block, units);
                                   });
    if (!done) return Fail(scenario, Cancelled());

    scenario.Results = std::move(layout.Records);
    scenario.RowLeftResult = layout.RowLeftResult;
    scenario.RowRightResult = layout.RowRightResult;
    for (std::size_t i = 0; i < layout.PointResults.size(); ++i)
        scenario.InterestPoints[static_cast<int>(i)].ResultIndex = layout.PointResults[i];
    scenario.MaxEResult = LargestEMaxIndex(scenario.Results);
    const TCalcResult& left = scenario.Results[static_cast<std::size_t>(scenario.RowLeftResult)];
    const TCalcResult& right = scenario.Results[static_cast<std::size_t>(scenario.RowRightResult)];
    scenario.RowMaxEResult =
        LargerRowEdge(left.EMax, right.EMax, scenario.RowLeftResult, scenario.RowRightResult);
    scenario.RowMaxBResult =
        LargerRowEdge(left.BMax, right.BMax, scenario.RowLeftResult, scenario.RowRightResult);
    StoreConductorResults(scenario, system);
    return true;
}

void ReleaseResults(TScenario& scenario) {
    TCalcResults().swap(scenario.Results);
}

int ComputeAll(TEmfProject& project) {
    int failed = 0;
    for (TScenario& scenario : project.Scenarios)
        if (!ComputeScenario(scenario)) ++failed;
    return failed;
}

} // namespace corvalt
