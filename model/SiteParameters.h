#pragma once
// The corona site parameters of a cross section (microphone and antenna
// heights, ozone height, altitude, rain, wind, frequencies, ground
// conductivity): one table of their names, units, defaults and sane ranges,
// shared by the project file, the command line, the preferences and the dialogs.
//
// A stored 0 means "unset": the computation then uses the parameter's default.
// For the heights, the altitude and the rain rate the default is 0 itself; for
// the wind velocity, the frequencies and the ground conductivity 0 is not a
// usable value, so nothing is lost by reading it as "unset".

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace corvalt {

// How a site parameter is shown: its stored unit and its English / Metric
// display units.
enum class TSiteUnit : std::uint8_t {
    Length,      // m; ft / m
    RainRate,    // mm/h; in/h / mm/h
    Speed,       // m/s; MPH / km/h
    Frequency,   // MHz in both systems
    Conductivity // mmhos/m in both systems
};

// The parameters in the order of the project file.
enum class TSiteParameter : std::uint8_t {
    MicrophoneHeight,
    RadioAntennaHeight,
    TvAntennaHeight,
    OzoneHeight,
    Altitude,
    RainRate,
    WindVelocity,
    RadioFrequency,
    TvFrequency,
    GroundConductivity,
};

struct TSiteParameterInfo {
    TSiteParameter Id;
    const char* Name;  // the cross section's field, and its key in the preferences
    const char* Key;   // on the command line and in the compute JSON
    const char* Label; // in messages
    TSiteUnit Unit;
    float Default; // what the computation uses while the value is unset, stored units
    // The values a set parameter may take, stored units. A value outside is
    // damage in a file and refused by the command line and the dialogs.
    float Lowest;
    float Highest;
};

inline constexpr float kDefaultWindVelocityMPerS = 1;
inline constexpr float kDefaultRadioFrequencyMhz = 1;
inline constexpr float kDefaultTvFrequencyMhz = 75;
inline constexpr float kDefaultGroundConductivityMmhoPerM = 0.1f;

// Heights of instruments and of the ozone reading: from the ground to the top
// of the tallest transmission towers.
inline constexpr float kHighestSiteHeightM = 500;

inline constexpr std::array<TSiteParameterInfo, 10> kSiteParameters{{
    {TSiteParameter::MicrophoneHeight, "MicrophoneHeight", "microphone_height", "microphone height",
     TSiteUnit::Length, 0, 0, kHighestSiteHeightM},
    {TSiteParameter::RadioAntennaHeight, "RadioAntennaHeight", "radio_antenna_height",
     "radio antenna height", TSiteUnit::Length, 0, 0, kHighestSiteHeightM},
    {TSiteParameter::TvAntennaHeight, "TvAntennaHeight", "tv_antenna_height", "TV antenna height",
     TSiteUnit::Length, 0, 0, kHighestSiteHeightM},
    {TSiteParameter::OzoneHeight, "OzoneHeight", "ozone_height", "ozone height", TSiteUnit::Length,
     0, 0, kHighestSiteHeightM},
    // From below sea level (the Dead Sea shore) to above the highest lines built.
    {TSiteParameter::Altitude, "Altitude", "altitude", "altitude", TSiteUnit::Length, 0, -500,
     7000},
    // Up to the heaviest rain measured over an hour.
    {TSiteParameter::RainRate, "RainRate", "rain_rate", "rain rate", TSiteUnit::RainRate, 0, 0,
     300},
    // A calm below 0.1 m/s would make the ozone plume grow without bound.
    {TSiteParameter::WindVelocity, "WindVelocity", "wind_velocity", "wind velocity",
     TSiteUnit::Speed, kDefaultWindVelocityMPerS, 0.1f, 100},
    // The broadcast and short-wave bands the radio-noise formula is made for.
    {TSiteParameter::RadioFrequency, "RadioFrequency", "radio_frequency", "radio frequency",
     TSiteUnit::Frequency, kDefaultRadioFrequencyMhz, 0.1f, 30},
    // VHF and UHF television.
    {TSiteParameter::TvFrequency, "TvFrequency", "tv_frequency", "TV frequency",
     TSiteUnit::Frequency, kDefaultTvFrequencyMhz, 30, 1000},
    // From dry sand and rock to sea water.
    {TSiteParameter::GroundConductivity, "GroundConductivity", "ground_conductivity",
     "ground conductivity", TSiteUnit::Conductivity, kDefaultGroundConductivityMmhoPerM, 0.01f,
     10000},
}};

// Each entry sits at the position of its id.
static_assert([] {
    for (std::size_t i = 0; i < kSiteParameters.size(); ++i)
        if (static_cast<std::size_t>(kSiteParameters[i].Id) != i) return false;
    return true;
}());

inline constexpr const TSiteParameterInfo& SiteParameterInfo(TSiteParameter id) {
    return kSiteParameters[static_cast<std::size_t>(id)];
}

// The parameter whose Key is key, or nullptr.
const TSiteParameterInfo* FindSiteParameter(std::string_view key);

// Whether a stored value is 0 (unset) or a finite value within the range.
bool IsAllowedSiteValue(const TSiteParameterInfo& parameter, float value);

// The stored value, or the default while it is unset.
float SiteValueOrDefault(const TSiteParameterInfo& parameter, float value);

// A stored value in the display unit of a measurement system, and back.
float SiteDisplayValue(int units, TSiteUnit unit, float stored);
float SiteValueFromDisplay(int units, TSiteUnit unit, float shown);
// "ft" / "m", "in/h" / "mm/h", "MPH" / "km/h", "MHz", "mmhos/m".
const char* SiteUnitLabel(int units, TSiteUnit unit);
// The stored unit: "m", "mm/h", "m/s", "MHz", "mmhos/m".
const char* SiteStoredUnitLabel(TSiteUnit unit);

// "0.1 to 30 MHz": the range of set values in stored units, for messages.
std::string SiteRangeText(const TSiteParameterInfo& parameter);

} // namespace corvalt
