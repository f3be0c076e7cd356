#pragma once
// The three libraries of the preferences file (voltage classes, conductor types
// and ground-wire types): their entries, and how a library section's lines are
// read and written. A library is a TSafeList of entries in the user's order.

#include "model/FieldLimitTable.h"
#include "model/SafeList.h"

#include <string>
#include <vector>

namespace corvalt {

// A voltage class.
struct TVoltItem {
    float Voltage = 0.0f;        // kV
    float OverRateFactor = 0.0f; // maximum over rated voltage, e.g. 1.05
    float MaxVoltage = 0.0f;     // kV
};

// A conductor type.
struct TCondItem {
    std::string Name;
    float Diameter = 0.0f; // mm
    float Mcr = 0.0f;      // maximum current rating, A
};

// An overhead ground-wire type.
struct TOhgwItem {
    std::string Name;
    float Diameter = 0.0f; // mm
};

// Rebuild a library from its section's lines, in order, and return the lines
// that could not be read, in order (a rewrite of the section would drop them).
// Two layouts exist: the newer "0=|Drake|,28.143,907" and the older
// "Drake=28.143,907" (first field in the key). Each line is read by its own
// layout: the newer one when its value holds every field, else the older one,
// so a section that mixes them loses nothing. A line without "=", whose
// numbers do not convert, that has too few fields or whose name holds bars
// other than the pair around it cannot be read.
std::vector<std::string> ParseVoltages(const std::vector<std::string>& lines,
                                       TSafeList<TVoltItem>& library);
std::vector<std::string> ParseConductors(const std::vector<std::string>& lines,
                                         TSafeList<TCondItem>& library);
std::vector<std::string> ParseOhgws(const std::vector<std::string>& lines,
                                    TSafeList<TOhgwItem>& library);

// The value of an entry's line in the newer layout. Voltages and currents are
// written in whole units and factors and diameters with three decimals, all
// rounded half away from zero (34.5 kV with factor 1.05: "35,1.050,36"). A name
// is written between vertical bars, which it therefore cannot contain: bars
// inside a name are left out, and so are the blanks at its ends that reading
// would trim.
std::string FormatVoltage(const TVoltItem& item);
std::string FormatConductor(const TCondItem& item);
std::string FormatOhgw(const TOhgwItem& item);

// One row of the field limits table from its line's value ("8,2,150"; an empty
// field is no limit). Each field that reads as a usable limit (or is empty)
// replaces its column of row; the others leave it. Returns whether the whole
// value was read: exactly three fields, each empty or usable.
bool ParseLimitRow(const std::string& value, TClassLimits& row);
// The value of a row's line: each limit in its shortest form, empty for none.
std::string FormatLimitRow(const TClassLimits& row);

// A class voltage as the drop-down lists show it and look it up: plain decimal
// notation, as short as reads back the same value (230, 34.5).
std::string VoltageText(float voltage);

} // namespace corvalt
