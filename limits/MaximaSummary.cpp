#include "limits/MaximaSummary.h"

#include "compute/Compute.h"
#include "compute/Corona.h"
#include "model/Project.h"
#include "model/Units.h"

#include <algorithm>
#include <charconv>

namespace corvalt {
namespace {

// Decimals of the conductor values, as the corona report prints them.
constexpr int kGradientDecimals = 2;
constexpr int kLossDecimals = 3;

std::string FixedText(float value, int decimals) {
    return LimitValueText(value, std::nullopt, decimals);
}

std::string FieldQuantityText(const TLimitCheck& check) {
    const TProfileQuantityInfo& info = ProfileQuantityInfo(ProfileQuantityOf(check.Quantity));
    if (check.Place == TLimitPlace::WithinRow) return std::string("Largest ") + info.Noun;
    return info.Name;
}

TMaximaRow FieldRow(const TScenario& scenario, const TLimitCheck& check) {
    TMaximaRow row;
    const bool electric = check.Quantity == TLimitQuantity::ElectricField;
    row.Quantity = electric ? TMaximaQuantity::ElectricField : TMaximaQuantity::MagneticField;
    row.QuantityText = FieldQuantityText(check);
    row.PlaceText = LimitPlaceText(scenario, check) + LimitWhereText(scenario, check);
    row.Value = check.Value;
    if (check.Value)
        row.ValueText = LimitValueText(*check.Value, check.Limit, LimitDecimals(check.Quantity));
    row.Unit = ProfileQuantityInfo(ProfileQuantityOf(check.Quantity)).Unit;
    row.Limit = check.Limit;
    if (check.Limit) row.LimitText = LimitNumberText(*check.Limit);
    row.Status = check.Status();
    row.ResultIndex = check.ResultIndex;
    return row;
}

// A conductor value without limit: shown when computed, else marked.
TMaximaRow ConductorRow(TMaximaQuantity quantity, std::string quantityText, std::string place,
                        TConductorRef ref, std::optional<float> value, std::string unit,
                        int decimals) {
    TMaximaRow row;
    row.Quantity = quantity;
    row.QuantityText = std::move(quantityText);
    row.PlaceText = std::move(place);
    row.Value = value;
    if (value) row.ValueText = FixedText(*value, decimals);
    row.Unit = std::move(unit);
    row.Status = value ? TLimitStatus::NoLimit : TLimitStatus::NotComputed;
    row.Conductor = ref;
    return row;
}

// kW/km as the project shows it: per mile in English units.
std::optional<float> DisplayLoss(bool english, std::optional<float> perKm) {
    if (!perKm) return std::nullopt;
    return english ? PerKilometreToPerMile(*perKm) : *perKm;
}

// The corona loss of each conductor of the flat Conductors list in fair
// weather, from the gradients of the last computation (which ran in rain).
std::vector<std::optional<float>> FairWeatherLosses(const TScenario& scenario) {
    std::vector<TSystemConductor> system = BuildConductorSystem(scenario);
    TCoronaSite site = CoronaSiteOf(scenario);
    site.RainRateMmPerH = 0;
    std::vector<std::optional<float>> losses;
    for (std::size_t i = 0; i < system.size(); ++i) {
        system[i].MaxGradientKvCm = scenario.Conductors[i]->Calc.MaxGradient;
        losses.push_back(CoronaLossKwPerKm(system[i], site));
    }
    return losses;
}

std::string RainRateText(const TScenario& scenario) {
    const bool english = scenario.IsEnglish();
    return FixedText(scenario.DisplayRainRate(), 2) + (english ? " in/h" : " mm/h");
}

void AddConductorRows(const TScenario& scenario, std::vector<TMaximaRow>& rows) {
    const bool english = scenario.IsEnglish();
    const bool rain = !IsFairWeather(scenario.RainRate);
    const std::string lossUnit = english ? "kW/mi" : "kW/km";
    const std::vector<std::optional<float>> fairLosses =
        rain ? FairWeatherLosses(scenario) : std::vector<std::optional<float>>();
    for (int c = 0; c < scenario.Circuits.Count(); ++c) {
        const TCircuit& circuit = scenario.Circuits[c];
        for (int k = 0; k < circuit.Conductors.Count(); ++k) {
            const TConductor& conductor = circuit.Conductors[k];
            if (conductor.IsGround()) continue;
            const TConductorRef ref{c, k};
            const std::string place = "conductor " + conductor.Id + " (" + circuit.Name + ")";
            const TConductorCalc& calc = conductor.Calc;
            rows.push_back(ConductorRow(TMaximaQuantity::SurfaceGradient, "Surface gradient", place,
                                        ref, calc.MaxGradient, "kV/cm", kGradientDecimals));
            std::optional<float> fair = calc.CoronaLoss;
            if (rain) {
                const auto at =
                    std::find(scenario.Conductors.begin(), scenario.Conductors.end(), &conductor);
                const auto index = static_cast<std::size_t>(at - scenario.Conductors.begin());
                fair = index < fairLosses.size() ? fairLosses[index] : std::nullopt;
            }
            rows.push_back(ConductorRow(TMaximaQuantity::CoronaLossFair,
                                        "Corona loss, fair weather", place, ref,
                                        DisplayLoss(english, fair), lossUnit, kLossDecimals));
            if (rain)
                rows.push_back(ConductorRow(
                    TMaximaQuantity::CoronaLossRain, "Corona loss, rain " + RainRateText(scenario),
                    place, ref, DisplayLoss(english, calc.CoronaLoss), lossUnit, kLossDecimals));
        }
    }
}

} // namespace

TMaximaSummary MaximaSummaryOf(const TScenario& scenario, const TFieldLimits& limits) {
    const TLimitEvaluation evaluation = EvaluateLimits(scenario, limits);
    TMaximaSummary summary;
    summary.Class = evaluation.Class;
    summary.Computed = evaluation.Computed;
    summary.CalcError = scenario.CalcError;
    if (!summary.Computed) return summary;
    for (const TLimitCheck& check : evaluation.Checks)
        summary.Rows.push_back(FieldRow(scenario, check));
    AddConductorRows(scenario, summary.Rows);
    return summary;
}

const char* MaximaStatusText(TLimitStatus status) {
    switch (status) {
    case TLimitStatus::Within:
        return "within";
    case TLimitStatus::Over:
        return "over";
    case TLimitStatus::NoLimit:
        return "no limit";
    case TLimitStatus::NotComputed:
        break;
    }
    return "not computed";
}

} // namespace corvalt
