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

// Exact inverses of CentimetresToInches and MillimetresToInches (÷ 0.3937).
// The project-file reader uses them for inch values that the writer produced
// with 0.3937, so that opening and saving an unchanged English project does not
// shrink its diameters and spacings a little every time.
float StoredInchesToCentimetres(float inches);
float StoredInchesToMillimetres(float inches); // × 10, then ÷ 0.3937

// Labels of a measurement system: "English"/"Metric", "ft"/"m", "mi"/"km",
// "in"/"mm", "in"/"cm", "MPH"/"km/H".
const char* UnitsName(int units);
const char* LengthUnit(int units);
const char* LongLengthUnit(int units);
const char* DiameterUnit(int units);
const char* SpacingUnit(int units);
const char* SpeedUnit(int units);

} // namespace corvalt
