#include "model/SiteParameters.h"

#include "model/TextHelpers.h"
#include "model/Units.h"

namespace corvalt {

const TSiteParameterInfo* FindSiteParameter(std::string_view key) {
    for (const TSiteParameterInfo& parameter : kSiteParameters)
        if (key == parameter.Key) return &parameter;
    return nullptr;
}

bool IsAllowedSiteValue(const TSiteParameterInfo& parameter, float value) {
    return value == 0 || (value >= parameter.Lowest && value <= parameter.Highest);
}

float SiteValueOrDefault(const TSiteParameterInfo& parameter, float value) {
    return value == 0 ? parameter.Default : value;
}

float SiteDisplayValue(int units, TSiteUnit unit, float stored) {
    const bool english = units == English;
    switch (unit) {
    case TSiteUnit::Length:
        return DisplayLength(units, stored);
    case TSiteUnit::RainRate:
        // mm/h shown as in/h: the two steps of the diameter pair (× 0.3937, ÷ 10).
        return english ? MillimetresToInches(stored) : stored;
    case TSiteUnit::Speed:
        return english ? ToMilesPerHour(stored) : MetresPerSecondToKilometresPerHour(stored);
    case TSiteUnit::Frequency:
    case TSiteUnit::Conductivity:
        break;
    }
    return stored;
}

float SiteValueFromDisplay(int units, TSiteUnit unit, float shown) {
    const bool english = units == English;
    switch (unit) {
    case TSiteUnit::Length:
        return LengthFromDisplay(units, shown);
    case TSiteUnit::RainRate:
        return english ? InchesToMillimetres(shown) : shown;
    case TSiteUnit::Speed:
        return english ? MilesPerHourToMetresPerSecond(shown)
                       : KilometresPerHourToMetresPerSecond(shown);
    case TSiteUnit::Frequency:
    case TSiteUnit::Conductivity:
        break;
    }
    return shown;
}

const char* SiteUnitLabel(int units, TSiteUnit unit) {
    const bool english = units == English;
    switch (unit) {
    case TSiteUnit::Length:
        return LengthUnit(units);
    case TSiteUnit::RainRate:
        return english ? "in/h" : "mm/h";
    case TSiteUnit::Speed:
        return english ? "MPH" : "km/h";
    case TSiteUnit::Frequency:
        return "MHz";
    case TSiteUnit::Conductivity:
        break;
    }
    return "mmhos/m";
}

const char* SiteStoredUnitLabel(TSiteUnit unit) {
    return unit == TSiteUnit::Speed ? "m/s" : SiteUnitLabel(Metric, unit);
}

std::string SiteRangeText(const TSiteParameterInfo& parameter) {
    return ShortestFloatText(parameter.Lowest) + " to " + ShortestFloatText(parameter.Highest) +
           " " + SiteStoredUnitLabel(parameter.Unit);
}

} // namespace corvalt
