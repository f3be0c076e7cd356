#pragma once
// Measurement systems and the unit conversions between the internal (metric)
// values of the model and what an English or Metric project shows.
//
// Every conversion is computed in long double and rounded to float; where a
// conversion has two steps, the first result is rounded to float before the
// second step. The factors are the program's own (3.28, not 3.2808; 0.3937 and
// 2.54 are not reciprocals of each other) because the stored files and the
// printed reports depend on them.

#include <cstdint>
#include <string>

namespace corvalt {

enum TUnits : std::uint8_t { English = 0, Metric = 1 };

float FeetToMetres(float feet);              // ÷ 3.28
float MetresToFeet(float metres);            // × 3.28
float InchesToCentimetres(float inches);     // × 2.54
float CentimetresToInches(float cm);         // × 0.3937
float InchesToMillimetres(float inches);     // InchesToCentimetres, then × 10
float MillimetresToInches(float mm);         // CentimetresToInches, then ÷ 10
float MilesToKilometres(float miles);        // × 1.60934
float KilometresToMiles(float km);           // × 0.6213727
float ToMilesPerHour(float metresPerSecond); // × 2.23679
float PerKilometreToPerMile(float perKm);    // × 1.60934
float KiloamperesToAmperes(float kA);        // × 1000 (conductor MCR)
float AmperesToKiloamperes(float amperes);   // ÷ 1000
// The wind velocity in the unit its Metric label "km/H" names.
float MetresPerSecondToKilometresPerHour(float metresPerSecond); // × 3.6
// A typed wind velocity back to m/s.
float MilesPerHourToMetresPerSecond(float milesPerHour);           // ÷ 2.23679
float KilometresPerHourToMetresPerSecond(float kilometresPerHour); // ÷ 3.6

// Exact inverses of CentimetresToInches and MillimetresToInches (÷ 0.3937).
// The project-file reader uses them for inch values that the writer produced
// with 0.3937, so that opening and saving an unchanged English project does not
// shrink its diameters and spacings a little every time.
float StoredInchesToCentimetres(float inches);
float StoredInchesToMillimetres(float inches); // × 10, then ÷ 0.3937
// Exact inverse of KilometresToMiles (÷ 0.6213727), for the same reason: the
// line length is written with 0.6213727 and entered with 1.60934.
float StoredMilesToKilometres(float miles);

// The display value of an internal value and back, by measurement system: the
// English conversions above for English projects, the value unchanged for any
// other system. "Entry" functions convert what a user typed; the project-file
// reader uses the Stored* inverses instead (see ProjectFile.cpp).
float DisplayLength(int units, float metres);        // ft / m
float LengthFromDisplay(int units, float shown);     // from ft / m
float DisplayLongLength(int units, float km);        // mi / km
float LongLengthFromDisplay(int units, float shown); // from mi / km
float DisplayDiameter(int units, float mm);          // in / mm
float DiameterFromDisplay(int units, float shown);   // from in / mm
float DisplaySpacing(int units, float cm);           // in / cm
float SpacingFromDisplay(int units, float shown);    // from in / cm

// Labels of a measurement system: "English"/"Metric", "ft"/"m", "mi"/"km",
// "in"/"mm", "in"/"cm", "MPH"/"km/H".
const char* UnitsName(int units);
const char* LengthUnit(int units);
const char* LongLengthUnit(int units);
const char* DiameterUnit(int units);
const char* SpacingUnit(int units);
const char* SpeedUnit(int units);

} // namespace corvalt
