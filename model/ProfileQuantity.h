#pragma once
// The quantities of a lateral profile record (TCalcResult), each once: its
// names, the unit it is stored in and the unit it is shown in, its key in the
// JSON output, the decimals it is shown with, and where a record holds it.
// The plots and their read-out, the profile's CSV file, corvalt-cli compute,
// the field limits and the maxima table take them from here.

#include "model/CalcResult.h"

#include <array>
#include <cstdint>
#include <optional>

namespace corvalt {

// In the order of the CSV columns, the JSON keys and the read-out.
enum class TProfileQuantity {
    EField,  // electric field: semi-major axis of the field ellipse, kV/m
    BField,  // magnetic field: semi-major axis of the field ellipse, stored in gauss, shown in mG
    AnRain,  // audible noise L50, rain, dBA
    AnFair,  // audible noise L50, fair weather, dBA
    RiRain,  // radio interference L50, rain, dBuV/m
    RiFair,  // radio interference L50, fair weather, dBuV/m
    TviRain, // television interference, rain, dBuV/m
    Ozone,   // ozone at the ozone height, ppb
};
inline constexpr int kProfileQuantityCount = 8;

struct TProfileQuantityInfo {
    TProfileQuantity Quantity;
    const char* Name;    // "Electric field": plot legends and CSV headings
    const char* Noun;    // "electric field": the name within a sentence
    const char* Short;   // "E": the read-out and the plot's maxima
    const char* Unit;    // the unit shown: "kV/m", "mG" (ASCII, as the CSV header wants)
    const char* JsonKey; // "e_max": the stored value in corvalt-compute/1
    int Decimals;        // shown with this many decimals; negative: that many significant digits
    std::optional<float> TCalcResult::*Stored; // the stored value
    bool StoredInGauss;                        // stored in gauss, shown in mG
};

inline constexpr std::array<TProfileQuantityInfo, kProfileQuantityCount> kProfileQuantities{{
    {TProfileQuantity::EField, "Electric field", "electric field", "E", "kV/m", "e_max", 2,
     &TCalcResult::EMax, false},
    {TProfileQuantity::BField, "Magnetic field", "magnetic field", "B", "mG", "b_max", 1,
     &TCalcResult::BMax, true},
    {TProfileQuantity::AnRain, "Audible noise rain L50", "audible noise in rain", "AN rain", "dBA",
     "an_rain_l50", 1, &TCalcResult::AnRainL50, false},
    {TProfileQuantity::AnFair, "Audible noise fair L50", "audible noise in fair weather", "AN fair",
     "dBA", "an_fair_l50", 1, &TCalcResult::AnFairL50, false},
    {TProfileQuantity::RiRain, "Radio interference rain", "radio interference in rain", "RI rain",
     "dBuV/m", "ri_rain", 1, &TCalcResult::RiRain, false},
    {TProfileQuantity::RiFair, "Radio interference fair", "radio interference in fair weather",
     "RI fair", "dBuV/m", "ri_fair", 1, &TCalcResult::RiFair, false},
    {TProfileQuantity::TviRain, "TV interference rain", "TV interference in rain", "TVI", "dBuV/m",
     "tvi_rain", 1, &TCalcResult::TviRain, false},
    {TProfileQuantity::Ozone, "Ozone", "ozone", "Ozone", "ppb", "ozone", -3, &TCalcResult::Ozone,
     false},
}};

inline const TProfileQuantityInfo& ProfileQuantityInfo(TProfileQuantity quantity) {
    return kProfileQuantities[static_cast<std::size_t>(quantity)];
}

// The fields' resultants √(|X|² + |Y|²) of the rms components, the values
// published tables and exposure guidelines give, beside the ellipses' axes of
// the table above. The profile's CSV file and corvalt-cli compute write them
// after the quantities; the plots and the field limits keep to the axes.
struct TResultantInfo {
    TProfileQuantity Field; // the field it is the resultant of: its unit and decimals
    const char* Name;       // "Electric field resultant": the CSV heading
    const char* JsonKey;    // "e_resultant": the stored value in corvalt-compute/1
    std::optional<float> TCalcResult::*Stored;
};

inline constexpr std::array<TResultantInfo, 2> kFieldResultants{{
    {TProfileQuantity::EField, "Electric field resultant", "e_resultant",
     &TCalcResult::EResultant},
    {TProfileQuantity::BField, "Magnetic field resultant", "b_resultant",
     &TCalcResult::BResultant},
}};

// The value as the record stores it (the magnetic field in gauss); empty where
// it was not computed.
inline std::optional<float> StoredValue(const TCalcResult& record, TProfileQuantity quantity) {
    return record.*ProfileQuantityInfo(quantity).Stored;
}

// The value in the unit shown (the magnetic field in mG, GaussToMilligauss);
// empty where it was not computed.
std::optional<float> ShownValue(const TCalcResult& record, TProfileQuantity quantity);

// The resultant in the unit its field is shown in; empty where it was not computed.
std::optional<float> ShownValue(const TCalcResult& record, const TResultantInfo& resultant);

// Which value of a field a plot draws: the field ellipse's semi-major axis
// (what the limits and reports judge) or the resultant (what published tables
// give). Quantities other than the two fields have one value only.
enum class TFieldMeasure : std::uint8_t { Axis, Resultant };

// The resultant of a field; null for a quantity that is not a field.
const TResultantInfo* ResultantOf(TProfileQuantity quantity);

// The value a plot of the measure draws, in the unit shown.
std::optional<float> ShownValue(const TCalcResult& record, TProfileQuantity quantity,
                                TFieldMeasure measure);

} // namespace corvalt
