#pragma once
// The ".emf" project file: the serialization of a project in the encodings of
// TZuStream, format version "1.02", "1.03" or "1.04". Record writers and readers for
// each model class (used whole for files and the modified check, and record by
// record for cloning), and the checked reader that refuses a damaged file.

#include "model/FileResult.h"
#include "model/Limits.h"
#include "model/SiteParameters.h"
#include "model/ZuStream.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace corvalt {

class TEmfProject;
class TScenario;
class TCircuit;
class TConductor;
class TInterestPoint;

// The layouts of the file. "1.03" adds each cross section's ten site
// parameters (stored units, in the order of kSiteParameters) after its points
// of interest; "1.04" adds the project's plans after its cross sections
// (PlanRecord.h). A project is written in the oldest layout that holds it:
// "1.02" while none of its cross sections has a site parameter set and it has
// no plan, so that such a file stays exactly what earlier versions of the
// program wrote and read. Later layouts extend earlier ones.
enum class TFileLayout : std::uint8_t { V102, V103, V104 };
inline constexpr TFileLayout kNewestLayout = TFileLayout::V104;

// The versions the reader knows, each with its layout: the one place where a
// version text meets a layout. The writer writes the text of its layout; the
// reader refuses a version not listed here (and one of 1.01 or older with the
// older-project message).
struct TFileVersion {
    const char* Text;
    TFileLayout Layout;
};
inline constexpr TFileVersion kFileVersions[] = {
    {"1.02", TFileLayout::V102},
    {"1.03", TFileLayout::V103},
    {"1.04", TFileLayout::V104},
};
const char* VersionText(TFileLayout layout);
// Whether a cross-section record of the layout ends with the site parameters.
inline bool StoresSiteParameters(TFileLayout layout) {
    return layout >= TFileLayout::V103;
}
// Whether the file of the layout ends with the project's plans.
inline bool StoresPlans(TFileLayout layout) {
    return layout >= TFileLayout::V104;
}

// The layout a project is written in.
TFileLayout FileLayoutOf(const TEmfProject& project);
// No project comes near this; a larger file is refused before it is read.
inline constexpr std::size_t kMaxProjectFileBytes = std::size_t{256} << 20;

// How a real of the file becomes the value the model stores, and how the
// writer turns it back: the conversions from and to display units.
struct TFileConversion {
    float (*FromFile)(int units, float value);
    float (*ToFile)(int units, float value);
};

// Reads the fields of a project file and checks each claim the file makes
// before using it: a count must fit in the bytes left, a text length must be
// neither negative nor beyond the end, a real must be finite (and, for a float
// field, no larger than any project uses), a code must be one the program
// knows. The first failure stops the reading: every later read yields 0 or
// empty, and Error() tells what failed, in which record and at which offset.
class TRecordReader {
  public:
    explicit TRecordReader(TZuStream& stream) : stream_(stream) {}

    std::int32_t Int(const char* field);
    bool Bool(const char* field);                      // a byte, any non-zero value true
    std::uint8_t Byte(const char* field);              // a byte kept as is
    std::uint8_t ByteFromInt(const char* field);       // an integer; its low 8 bits
    std::uint8_t Code(const char* field, int largest); // an integer in 0..largest
    float Float(const char* field);                    // a real held as float
    // A real held as float in stored units, given in the file in display
    // units. The value kept is the one that writing it back and reading it
    // again gives, and both it and the value written must lie within
    // kLargestStoredValue: so saving a project that was read, and reading that
    // again, gives the same file.
    float Stored(const char* field, TFileConversion conversion, int units);
    // A site parameter: a real held as float that must be 0 (unset) or lie in
    // the parameter's range.
    float SiteValue(const TSiteParameterInfo& parameter);
    double Real(const char* field); // a real held as double
    double Date(const char* field) { return Real(field); }
    std::string Text(const char* field, std::size_t keep = std::string::npos);
    // The number of records that follow, each at least minRecordBytes long.
    int Count(const char* field, std::size_t minRecordBytes);
    // Such a count that must also stay within a limit of the program; beyond
    // it the file is refused with "The project has <tooMany>.".
    int LimitedCount(const char* field, std::size_t minRecordBytes, int limit,
                     const std::string& tooMany);

    bool Failed() const { return failed_; }
    std::size_t Offset() const;
    const std::string& Error() const { return error_; }
    void Fail(const char* field, const std::string& reason);
    void FailAt(const char* field, std::size_t offset, const std::string& reason);
    // Refuses a sound file that holds more than the program supports; shown is
    // the message for the user in place of the damaged-file message.
    void Refuse(const char* field, std::size_t offset, const std::string& reason,
                const std::string& shown);
    // Refuse with "The project has <tooMany>." for a sum of records beyond a
    // limit that no single count shows.
    void RefuseBeyondLimit(const char* field, std::size_t offset, const std::string& reason,
                           const std::string& tooMany);
    // The message for the user of a refusal; empty for damage.
    const std::string& Refusal() const { return refusal_; }

    // Names a record while it is read, so that an error says where it was.
    class TScope {
      public:
        TScope(TRecordReader& reader, std::string name);
        ~TScope();
        TScope(const TScope&) = delete;
        TScope& operator=(const TScope&) = delete;

      private:
        TRecordReader& reader_;
    };

  private:
    bool Has(const char* field, std::size_t bytes);

    TZuStream& stream_;
    std::vector<std::string> records_;
    bool failed_ = false;
    std::string error_;
    std::string refusal_;
};

// Record writers: each writes exactly its record, children included, with
// lengths in the project's display units. A cross-section record has its site
// parameters only from the "1.03" layout on; cloning uses the newest layout.
void WriteProjectFile(TZuStream& stream, const TEmfProject& project);
// In the layout given rather than FileLayoutOf's (an older layout leaves out
// what it cannot hold): for tests of every version.
void WriteProjectFile(TZuStream& stream, const TEmfProject& project, TFileLayout layout);
void WriteScenarioRecord(TZuStream& stream, const TScenario& scenario, TFileLayout layout);
void WriteCircuitRecord(TZuStream& stream, const TCircuit& circuit);
void WriteConductorRecord(TZuStream& stream, const TConductor& conductor);
void WriteInterestPointRecord(TZuStream& stream, const TInterestPoint& point);

// Record readers into freshly created objects; children are created and
// appended. On failure the reader holds the error and the object is partial.
void ReadScenarioRecord(TRecordReader& reader, TScenario& scenario, TFileLayout layout);
void ReadCircuitRecord(TRecordReader& reader, TCircuit& circuit);
void ReadConductorRecord(TRecordReader& reader, TConductor& conductor);
void ReadInterestPointRecord(TRecordReader& reader, TInterestPoint& point);

// The whole file as bytes.
std::vector<std::uint8_t> SerializeProject(const TEmfProject& project);

// Reads a whole project file from bytes. The version must be one of
// kFileVersions, and the file must end exactly where its layout ends. Only
// when all of it was read does project take it over (replacing its stored
// values and cross sections); on failure project is untouched and the result
// carries the message. A file beyond the limits of model/Limits.h is refused
// with its own message.
TFileResult ReadProjectBytes(std::span<const std::uint8_t> bytes, TEmfProject& project);

} // namespace corvalt
