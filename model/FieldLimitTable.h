#pragma once
// The table of field limits as plain data: for each limit class the largest
// electric field allowed within the right of way, and the electric and
// magnetic field allowed at its edges (for a substation, at the property
// boundary). The preferences store the table (prefs/Options.h);
// limits/FieldLimits.h picks a cross section's class and evaluates its
// computed profile against it.

#include <array>
#include <optional>

namespace corvalt {

// The rows of the table. A transmission line takes its class from its highest
// circuit voltage class: 230 kV and less, or above (the 500 kV class, which
// also covers the voltages between 230 and 500 kV and those above 500 kV).
enum class TLimitClass : int {
    Line230 = 0,   // transmission lines of 230 kV and less
    Line500,       // transmission lines of the 500 kV class
    Line500Double, // the same with two or more three-phase circuits of that class
    Substation,    // substations, at the property boundary
};
inline constexpr int kLimitClassCount = 4;
inline constexpr std::array<TLimitClass, kLimitClassCount> kLimitClasses = {
    TLimitClass::Line230, TLimitClass::Line500, TLimitClass::Line500Double,
    TLimitClass::Substation};

// One row. An empty limit means that no limit applies.
struct TClassLimits {
    std::optional<float> EWithinRow; // kV/m: the largest electric field within the ROW
    std::optional<float> EAtEdge;    // kV/m: at each ROW edge (and beyond it)
    std::optional<float> BAtEdge;    // mG: at each ROW edge (and beyond it)
    bool operator==(const TClassLimits&) const = default;
};

// The three limits of a row, by column.
enum class TLimitColumn : int { EWithinRow = 0, EAtEdge, BAtEdge };
inline constexpr int kLimitColumnCount = 3;

std::optional<float>& LimitAt(TClassLimits& row, TLimitColumn column);
const std::optional<float>& LimitAt(const TClassLimits& row, TLimitColumn column);

struct TFieldLimits {
    std::array<TClassLimits, kLimitClassCount> Rows; // by TLimitClass
    TClassLimits& For(TLimitClass limitClass);
    const TClassLimits& For(TLimitClass limitClass) const;
    bool operator==(const TFieldLimits&) const = default;
};

// The Florida standards for new and modified facilities: within the ROW
// 8.0 kV/m (230 kV and less) and 10.0 kV/m (500 kV); at the ROW edge 2.0 kV/m,
// and 150 mG (230 kV and less), 200 mG (500 kV), 250 mG (500 kV double
// circuit); substations 2.0 kV/m and 150 mG at the property boundary.
TFieldLimits DefaultFieldLimits();

// The largest limit that can be entered; anything above is a typing error.
inline constexpr float kMaxElectricLimit = 1000;   // kV/m
inline constexpr float kMaxMagneticLimit = 100000; // mG (10 gauss)
float MaxLimitOf(TLimitColumn column);
// A usable limit: finite, above 0 and at most MaxLimitOf(column).
bool IsUsableLimit(TLimitColumn column, float value);

// The magnetic field as the limits table and the profile's CSV state it:
// gauss × 1000, rounded once to float (the product of a float and 1000 is
// exact before that), so a value compared with a limit is the value shown.
float GaussToMilligauss(float gauss);

// The class as the findings and the preferences name it, e.g.
// "transmission lines of 230 kV and less".
const char* LimitClassText(TLimitClass limitClass);
// The column's quantity with its unit, e.g. "E within ROW (kV/m)".
const char* LimitColumnText(TLimitColumn column);

} // namespace corvalt
