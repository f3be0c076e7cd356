#include "reports/BpaExport.h"

#include "model/FileIo.h"
#include "model/Project.h"
#include "reports/NumberFormat.h"

#include <cmath>
#include <cstdint>
#include <span>

namespace corvalt {
namespace {

constexpr std::size_t kIdWidth = 5;        // ids are cut or padded to this many characters
constexpr double kProfileStepLength = 100; // ROW widths from this on are counted in hundreds
constexpr const char* kLineEnd = "\r\n";

constexpr const char* kExportFailed = "The BPA file could not be written.";

// Collects the formatted fields of the file and remembers the first value that
// is not a finite number, which the file must not carry.
class TBpaWriter {
  public:
    std::string Fixed(double value, int decimals, std::size_t width, const std::string& what) {
        if (!std::isfinite(value) && error_.empty()) error_ = what + " is not a finite number";
        return PadLeft(FormatFixed(value, decimals), width);
    }
    const std::string& Error() const { return error_; }

  private:
    std::string error_;
};

// A model text as one line of the file: control characters (line breaks) would
// split the line and become blanks; other bytes are written as they are.
std::string OneLine(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return text;
}

std::string ConductorLine(const TConductor& conductor, TBpaWriter& writer) {
    const std::string of = " of conductor '" + OneLine(conductor.Id) + "'";
    const double lateral = static_cast<double>(conductor.Circuit->DisplayDistFromRowLeft()) +
                           static_cast<double>(conductor.DisplayHorizDistance());
    const long double phaseToGround =
        static_cast<long double>(conductor.MaxVoltage) / std::sqrt(3.0L);
    const double kiloamperes = static_cast<double>(conductor.DisplayMcr()) / 1000.0;
    return "'" + FitLeft(OneLine(conductor.Id), kIdWidth) + "','A'," +
           writer.Fixed(lateral, 2, 7, "the position" + of) + "," +
           writer.Fixed(conductor.DisplayHeight(), 2, 7, "the height" + of) + "," +
           PadLeft(FormatInteger(conductor.SubCondCount), 3) + "," +
           writer.Fixed(conductor.DisplayDiameter(), 3, 7, "the diameter" + of) + "," +
           writer.Fixed(conductor.DisplaySubSpacing(), 3, 7, "the spacing" + of) + "," +
           writer.Fixed(static_cast<double>(phaseToGround), 3, 7, "the voltage" + of) + "," +
           writer.Fixed(conductor.PhaseAngle, 0, 7, "the phase angle" + of) + "," +
           writer.Fixed(kiloamperes, 3, 7, "the current" + of) + "," + writer.Fixed(0.0, 3, 7, {});
}

// Rounded to the nearest integer, halves to the even one; never "-0".
double RoundHalfEven(double value) {
    return std::nearbyint(value) + 0.0;
}

// The profile line: a ROW right edge of 100 or more in steps of 100 (their
// count rounded), a shorter one as one step of its rounded width.
std::string ProfileLine(float rowRight, TBpaWriter& writer) {
    const double width = rowRight;
    const bool inHundreds = width >= kProfileStepLength;
    const double stepLength = inHundreds ? kProfileStepLength : RoundHalfEven(width);
    const double steps = inHundreds ? RoundHalfEven(width / kProfileStepLength) : 1;
    const std::string what = "the right ROW edge";
    return writer.Fixed(stepLength, 0, 0, what) + ",0," + writer.Fixed(steps, 0, 0, what);
}

} // namespace

TBpaLines BuildBpaLines(const TScenario& scenario) {
    const TEmfProject& project = *scenario.Project;
    TBpaWriter writer;
    TBpaLines file;
    std::vector<std::string>& lines = file.Lines;
    lines.push_back(OneLine(project.Title));
    lines.push_back(OneLine(scenario.Title));
    lines.push_back(FormatInteger(project.Units == English ? 1 : 0) + ", 0, " +
                    FormatInteger(scenario.EnergizedCount()) + ", " +
                    FormatInteger(scenario.ConductorCount()) + ", 0, 1, 0, 0");
    lines.push_back("COMB");
    lines.push_back("0, 0, 0, 0, 1, 75, " +
                    writer.Fixed(scenario.DisplayBFieldHeight(), 2, 0, "the B-field height") +
                    ", 1, " +
                    writer.Fixed(scenario.DisplayEFieldHeight(), 2, 0, "the E-field height"));
    // Phase conductors first, then ground wires, each circuit by circuit.
    for (const bool groundPass : {false, true})
        for (const TCircuit& circuit : scenario.Circuits)
            for (const TConductor& conductor : circuit.Conductors)
                if (conductor.IsGround() == groundPass)
                    lines.push_back(ConductorLine(conductor, writer));
    lines.push_back(ProfileLine(scenario.DisplayRowRight(), writer));
    lines.push_back("0,0,0");
    if (!writer.Error().empty()) {
        file.Lines.clear();
        file.Error = "Cross section '" + OneLine(scenario.TabTitle) + "': " + writer.Error() + ".";
    }
    return file;
}

TFileResult ExportBpaFile(const TScenario& scenario, const std::string& path) {
    const TBpaLines file = BuildBpaLines(scenario);
    if (!file.Error.empty()) return TFileResult::Failure(kExportFailed, file.Error);
    std::string text;
    for (const std::string& line : file.Lines)
        text += line + kLineEnd;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const std::string failure = ReplaceFile(path, std::span(bytes, text.size()));
    if (!failure.empty()) return TFileResult::Failure(kExportFailed, failure);
    return TFileResult::Success();
}

} // namespace corvalt
