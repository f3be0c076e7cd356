#include "space/MapCsv.h"

#include "model/Units.h"

#include <charconv>
#include <cmath>

namespace corvalt::space {

namespace {

// Room for the shortest text of any float: a sign and nine digits with a
// point and an exponent, or a whole number of up to fourteen digits.
constexpr std::size_t kFloatRoom = 24;

// std::to_chars without a format writes the shortest text that reads back.
void AppendFloat(std::string& text, float value) {
    char buffer[kFloatRoom];
    text.append(buffer, std::to_chars(buffer, buffer + kFloatRoom, value).ptr);
}

// A value and the comma before it; nothing between the commas for no value.
void AppendCell(std::string& text, float value) {
    text += ',';
    if (!std::isnan(value)) AppendFloat(text, value);
}

float ValueOrNothing(const TMapLayer& layer, std::size_t index) {
    return layer.Computed() ? layer.Values()[index] : NAN;
}

} // namespace

std::string MapCsvText(const TFieldMap& map) {
    const std::string unit = map.Units == English ? "ft" : "m";
    std::string text = "x (" + unit + "),y (" + unit +
                       "),E (kV/m),E resultant (kV/m),B (mG),B resultant (mG)\r\n";
    text.reserve(text.size() + map.X.size() * map.Y.size() * 64);
    for (std::size_t j = 0; j < map.Y.size(); ++j) {
        for (std::size_t i = 0; i < map.X.size(); ++i) {
            const std::size_t k = j * map.X.size() + i;
            AppendFloat(text, map.X[i]);
            AppendCell(text, map.Y[j]);
            AppendCell(text, ValueOrNothing(map.E, k));
            AppendCell(text, ValueOrNothing(map.EResultant, k));
            AppendCell(text, ValueOrNothing(map.B, k));
            AppendCell(text, ValueOrNothing(map.BResultant, k));
            text += "\r\n";
        }
    }
    return text;
}

} // namespace corvalt::space
