#include "model/Units.h"

namespace corvalt {
namespace {

float Scaled(float value, long double factor) {
    return static_cast<float>(static_cast<long double>(value) * factor);
}

float Divided(float value, long double divisor) {
    return static_cast<float>(static_cast<long double>(value) / divisor);
}

bool IsEnglish(int units) {
    return units == English;
}

} // namespace

float FeetToMetres(float feet) {
    return Divided(feet, 3.28L);
}
float MetresToFeet(float metres) {
    return Scaled(metres, 3.28L);
}
float InchesToCentimetres(float inches) {
    return Scaled(inches, 2.54L);
}
float CentimetresToInches(float cm) {
    return Scaled(cm, 0.3937L);
}
float InchesToMillimetres(float inches) {
    return Scaled(InchesToCentimetres(inches), 10.0L);
}
float MillimetresToInches(float mm) {
    return Divided(CentimetresToInches(mm), 10.0L);
}
float MilesToKilometres(float miles) {
    return Scaled(miles, 1.60934L);
}
float KilometresToMiles(float km) {
    return Scaled(km, 0.6213727L);
}
float ToMilesPerHour(float metresPerSecond) {
    return Scaled(metresPerSecond, 2.23679L);
}
float PerKilometreToPerMile(float perKm) {
    return Scaled(perKm, 1.60934L);
}
float KiloamperesToAmperes(float kA) {
    return Scaled(kA, 1000.0L);
}
float AmperesToKiloamperes(float amperes) {
    return Divided(amperes, 1000.0L);
}
float MetresPerSecondToKilometresPerHour(float metresPerSecond) {
    return Scaled(metresPerSecond, 3.6L);
}
float MilesPerHourToMetresPerSecond(float milesPerHour) {
    return Divided(milesPerHour, 2.23679L);
}
float KilometresPerHourToMetresPerSecond(float kilometresPerHour) {
    return Divided(kilometresPerHour, 3.6L);
}

float StoredInchesToCentimetres(float inches) {
    return Divided(inches, 0.3937L);
}
float StoredInchesToMillimetres(float inches) {
    return Divided(Scaled(inches, 10.0L), 0.3937L);
}
float StoredMilesToKilometres(float miles) {
    return Divided(miles, 0.6213727L);
}

float DisplayLength(int units, float metres) {
    return IsEnglish(units) ? MetresToFeet(metres) : metres;
}
float LengthFromDisplay(int units, float shown) {
    return IsEnglish(units) ? FeetToMetres(shown) : shown;
}
float DisplayLongLength(int units, float km) {
    return IsEnglish(units) ? KilometresToMiles(km) : km;
}
float LongLengthFromDisplay(int units, float shown) {
    return IsEnglish(units) ? MilesToKilometres(shown) : shown;
}
float DisplayDiameter(int units, float mm) {
    return IsEnglish(units) ? MillimetresToInches(mm) : mm;
}
float DiameterFromDisplay(int units, float shown) {
    return IsEnglish(units) ? InchesToMillimetres(shown) : shown;
}
float DisplaySpacing(int units, float cm) {
    return IsEnglish(units) ? CentimetresToInches(cm) : cm;
}
float SpacingFromDisplay(int units, float shown) {
    return IsEnglish(units) ? InchesToCentimetres(shown) : shown;
}

const char* UnitsName(int units) {
    return IsEnglish(units) ? "English" : "Metric";
}
const char* LengthUnit(int units) {
    return IsEnglish(units) ? "ft" : "m";
}
const char* LongLengthUnit(int units) {
    return IsEnglish(units) ? "mi" : "km";
}
const char* DiameterUnit(int units) {
    return IsEnglish(units) ? "in" : "mm";
}
const char* SpacingUnit(int units) {
    return IsEnglish(units) ? "in" : "cm";
}
const char* SpeedUnit(int units) {
    return IsEnglish(units) ? "MPH" : "km/H";
}

} // namespace corvalt
