#include "model/ProjectFile.h"

#include "model/Limits.h"
#include "model/Messages.h"
#include "model/PlanRecord.h"
#include "model/Project.h"
#include "model/TextHelpers.h"
#include "model/Units.h"

#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>
#include <memory>
#include <optional>
#include <utility>

namespace corvalt {
namespace {

// Smallest size of each record: every text empty and no children. A count in
// the file is checked against these before any record is created.
constexpr std::size_t kIntBytes = 4;
constexpr std::size_t kRealBytes = TZuStream::kRealSize;
constexpr std::size_t kTextBytes = kIntBytes;
constexpr std::size_t kSiteBytes = kSiteParameters.size() * kRealBytes;
std::size_t MinScenarioBytes(TFileLayout layout) {
    const std::size_t fields = 2 * kTextBytes + kIntBytes + 5 * kRealBytes + 2 * kIntBytes;
    return StoresSiteParameters(layout) ? fields + kSiteBytes : fields;
}
constexpr std::size_t kMinCircuitBytes = kIntBytes + kTextBytes + 1 + 4 * kRealBytes + kRealBytes +
                                         kTextBytes + kRealBytes + kIntBytes + kRealBytes +
                                         kIntBytes + kTextBytes + kRealBytes + kIntBytes;
constexpr std::size_t kMinConductorBytes =
    kIntBytes + 2 * kTextBytes + 3 * kRealBytes + kIntBytes + 4 * kRealBytes + 1 + 3 * kRealBytes;
constexpr std::size_t kMinInterestPointBytes = kTextBytes + kIntBytes + kRealBytes;

constexpr std::size_t kExemptionFlagsLength = 5;
constexpr int kLastOlderVersion = 101; // version × 100: 1.01 and older have their own message

// Inch and mile values in a file were written with 0.3937 and 0.6213727. They
// are read back with the exact inverses of those factors, not with the 2.54 and
// 1.60934 of typed entries, so that opening and saving an unchanged English
// project leaves its diameters, spacings and line length where they were.
float DiameterFromFile(int units, float value) {
    return units == English ? StoredInchesToMillimetres(value) : value;
}
float SpacingFromFile(int units, float value) {
    return units == English ? StoredInchesToCentimetres(value) : value;
}
float LineLengthFromFile(int units, float value) {
    return units == English ? StoredMilesToKilometres(value) : value;
}
float KiloamperesFromFile(int, float amperes) {
    return AmperesToKiloamperes(amperes);
}
float AmperesToFile(int, float kiloamperes) {
    return KiloamperesToAmperes(kiloamperes);
}

// The reals of the file in display units, with the writer's way back (the
// display getters of the model).
constexpr TFileConversion kLength{LengthFromDisplay, DisplayLength};
constexpr TFileConversion kDiameter{DiameterFromFile, DisplayDiameter};
constexpr TFileConversion kSpacing{SpacingFromFile, DisplaySpacing};
constexpr TFileConversion kLineLength{LineLengthFromFile, DisplayLongLength};
constexpr TFileConversion kAmperes{KiloamperesFromFile, AmperesToFile};

// The shortest text of a real read from the file, for messages.
std::string RealText(double value) {
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : std::string("?");
}

// The format version as hundredths ("1.02" is 102); empty when the text is
// not a number or not a whole number of hundredths.
std::optional<long> VersionHundredths(const std::string& text) {
    std::string number = Trim(text);
    if (!number.empty() && number.front() == '+') number.erase(0, 1);
    double value = 0;
    const char* end = number.data() + number.size();
    const auto [stop, error] = std::from_chars(number.data(), end, value);
    if (number.empty() || error != std::errc() || stop != end || !std::isfinite(value) ||
        std::fabs(value) > 1e6)
        return std::nullopt;
    const double hundredths = std::round(value * 100);
    if (std::fabs(value * 100 - hundredths) > 1e-6) return std::nullopt;
    return static_cast<long>(hundredths);
}

// The layout of a version the reader knows.
std::optional<TFileLayout> LayoutOfVersion(long hundredths) {
    for (const TFileVersion& version : kFileVersions)
        if (VersionHundredths(version.Text) == hundredths) return version.Layout;
    return std::nullopt;
}

} // namespace

// ---- Checked reading ----------------------------------------------------------

TRecordReader::TScope::TScope(TRecordReader& reader, std::string name) : reader_(reader) {
    reader_.records_.push_back(std::move(name));
}

TRecordReader::TScope::~TScope() {
    reader_.records_.pop_back();
}

void TRecordReader::Fail(const char* field, const std::string& reason) {
    FailAt(field, stream_.Position(), reason);
}

std::size_t TRecordReader::Offset() const {
    return stream_.Position();
}

void TRecordReader::Refuse(const char* field, std::size_t offset, const std::string& reason,
                           const std::string& shown) {
    if (failed_) return;
    FailAt(field, offset, reason);
    refusal_ = shown;
}

void TRecordReader::FailAt(const char* field, std::size_t offset, const std::string& reason) {
    if (failed_) return;
    failed_ = true;
    for (const std::string& record : records_)
        error_ += record + ", ";
    error_ += std::string(field) + " at offset " + std::to_string(offset) + ": " + reason;
}

bool TRecordReader::Has(const char* field, std::size_t bytes) {
    if (failed_) return false;
    if (stream_.Remaining() >= bytes) return true;
    Fail(field, "the file ends " + std::to_string(bytes - stream_.Remaining()) + " bytes short");
    return false;
}

std::int32_t TRecordReader::Int(const char* field) {
    return Has(field, kIntBytes) ? stream_.ReadInt() : 0;
}

std::uint8_t TRecordReader::Byte(const char* field) {
    return Has(field, 1) ? stream_.ReadByte() : 0;
}

bool TRecordReader::Bool(const char* field) {
    return Byte(field) != 0;
}

std::uint8_t TRecordReader::ByteFromInt(const char* field) {
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(Int(field)) & 0xFF);
}

std::uint8_t TRecordReader::Code(const char* field, int largest) {
    const std::size_t offset = stream_.Position();
    const std::int32_t value = Int(field);
    if (failed_) return 0;
    if (value < 0 || value > largest) {
        FailAt(field, offset, "unknown value " + std::to_string(value));
        return 0;
    }
    return static_cast<std::uint8_t>(value);
}

double TRecordReader::Real(const char* field) {
    const std::size_t offset = stream_.Position();
    if (!Has(field, kRealBytes)) return 0;
    const double value = stream_.ReadReal();
    if (std::isfinite(value)) return value;
    FailAt(field, offset, "the value is not a finite number");
    return 0;
}

float TRecordReader::Float(const char* field) {
    const std::size_t offset = stream_.Position();
    const double value = Real(field);
    if (failed_) return 0;
    // The range is the float's: a double just under the bound may round to a
    // float above it, which the writer would write and the reader refuse.
    if (std::fabs(value) <= std::numeric_limits<float>::max()) {
        const auto stored = static_cast<float>(value);
        if (std::fabs(stored) <= kLargestStoredValue) return stored;
    }
    FailAt(field, offset, "the value " + RealText(value) + " is out of range");
    return 0;
}

float TRecordReader::Stored(const char* field, TFileConversion conversion, int units) {
    const std::size_t offset = stream_.Position();
    const float read = Float(field);
    if (failed_) return 0;
    // Converting to display units after converting from them can land one
    // float step away from the value read; once more it lands where it did.
    const float written = conversion.ToFile(units, conversion.FromFile(units, read));
    const float stored = conversion.FromFile(units, written);
    if (std::fabs(written) <= kLargestStoredValue && std::fabs(stored) <= kLargestStoredValue)
        return stored;
    FailAt(field, offset,
           "the value " + ShortestFloatText(read) + " is out of range in the units it is kept in");
    return 0;
}

float TRecordReader::SiteValue(const TSiteParameterInfo& parameter) {
    const std::size_t offset = stream_.Position();
    const float value = Float(parameter.Label);
    if (failed_ || IsAllowedSiteValue(parameter, value)) return value;
    FailAt(parameter.Label, offset,
           "the value " + ShortestFloatText(value) + " is neither 0 (unset) nor from " +
               SiteRangeText(parameter));
    return 0;
}

std::string TRecordReader::Text(const char* field, std::size_t keep) {
    const std::size_t offset = stream_.Position();
    const std::int32_t length = Int(field);
    if (failed_) return {};
    if (length < 0) {
        FailAt(field, offset, "negative text length " + std::to_string(length));
        return {};
    }
    if (!Has(field, static_cast<std::size_t>(length))) return {};
    std::vector<std::uint8_t> bytes = stream_.ReadBytes(static_cast<std::size_t>(length));
    if (bytes.size() > keep) bytes.resize(keep);
    return std::string(bytes.begin(), bytes.end());
}

int TRecordReader::Count(const char* field, std::size_t minRecordBytes) {
    const std::size_t offset = stream_.Position();
    const std::int32_t count = Int(field);
    if (failed_) return 0;
    if (count < 0) {
        FailAt(field, offset, "negative count " + std::to_string(count));
        return 0;
    }
    if (static_cast<std::size_t>(count) > stream_.Remaining() / minRecordBytes) {
        FailAt(field, offset,
               "a count of " + std::to_string(count) + " cannot fit in the " +
                   std::to_string(stream_.Remaining()) + " bytes left");
        return 0;
    }
    return count;
}

void TRecordReader::RefuseBeyondLimit(const char* field, std::size_t offset,
                                      const std::string& reason, const std::string& tooMany) {
    Refuse(field, offset, reason, "The project has " + tooMany + ".");
}

int TRecordReader::LimitedCount(const char* field, std::size_t minRecordBytes, int limit,
                                const std::string& tooMany) {
    const std::size_t offset = stream_.Position();
    const int count = Count(field, minRecordBytes);
    if (count > limit)
        RefuseBeyondLimit(field, offset,
                          std::to_string(count) + ", more than the " + std::to_string(limit) +
                              " supported",
                          tooMany);
    return count;
}

// ---- Writers -------------------------------------------------------------------

void WriteConductorRecord(TZuStream& stream, const TConductor& conductor) {
    stream.WriteInt(conductor.CondType);
    stream.WriteText(conductor.Id);
    stream.WriteText(conductor.TypeName);
    stream.WriteReal(conductor.VoltageClass);
    stream.WriteReal(conductor.OverRateFactor);
    stream.WriteReal(conductor.MaxVoltage);
    stream.WriteInt(conductor.SubCondCount);
    stream.WriteReal(conductor.DisplayHorizDistance());
    stream.WriteReal(conductor.DisplayHeight());
    stream.WriteReal(conductor.PhaseAngle);
    stream.WriteReal(conductor.DisplayMcr());
    stream.WriteByte(conductor.AcFlag);
    stream.WriteReal(conductor.DisplayDiameter());
    stream.WriteReal(conductor.DisplaySubSpacing());
    stream.WriteReal(0.0); // corona loss is a result, not stored
}

void WriteCircuitRecord(TZuStream& stream, const TCircuit& circuit) {
    stream.WriteInt(circuit.Number);
    stream.WriteText(circuit.Name);
    stream.WriteByte(circuit.NewCircuit ? 1 : 0);
    stream.WriteReal(circuit.VoltageClass);
    stream.WriteReal(circuit.OverRateFactor);
    stream.WriteReal(circuit.MaxVoltage);
    stream.WriteReal(circuit.Mcr);
    stream.WriteReal(circuit.DisplayDistFromRowLeft());
    stream.WriteText(circuit.CondName);
    stream.WriteReal(circuit.DisplayCondDiameter());
    stream.WriteInt(circuit.SubCondCount);
    stream.WriteReal(circuit.DisplayBundleSpacing());
    stream.WriteInt(circuit.OhgwCount);
    stream.WriteText(circuit.OhgwName);
    stream.WriteReal(circuit.DisplayOhgwDiameter());
    stream.WriteInt(circuit.Conductors.Count());
    for (const TConductor& conductor : circuit.Conductors)
        WriteConductorRecord(stream, conductor);
}

void WriteInterestPointRecord(TZuStream& stream, const TInterestPoint& point) {
    stream.WriteText(point.Name);
    stream.WriteInt(point.ResultIndex);
    stream.WriteReal(point.DisplayDistFromRowLeft());
}

void WriteScenarioRecord(TZuStream& stream, const TScenario& scenario, TFileLayout layout) {
    stream.WriteText(scenario.Title);
    stream.WriteText(scenario.TabTitle);
    stream.WriteInt(scenario.SectionType);
    stream.WriteReal(scenario.DisplayBFieldHeight());
    stream.WriteReal(scenario.DisplayEFieldHeight());
    stream.WriteReal(scenario.DefaultVoltage);
    stream.WriteReal(scenario.DisplayRowLeft());
    stream.WriteReal(scenario.DisplayRowRight());
    stream.WriteInt(scenario.Circuits.Count());
    for (const TCircuit& circuit : scenario.Circuits)
        WriteCircuitRecord(stream, circuit);
    stream.WriteInt(scenario.InterestPoints.Count());
    for (const TInterestPoint& point : scenario.InterestPoints)
        WriteInterestPointRecord(stream, point);
    if (StoresSiteParameters(layout)) {
        // Stored units whatever the project's: nothing drifts through feet or MPH.
        for (const TSiteParameterInfo& parameter : kSiteParameters)
            stream.WriteReal(scenario.SiteValue(parameter.Id));
    }
}

const char* VersionText(TFileLayout layout) {
    for (const TFileVersion& version : kFileVersions)
        if (version.Layout == layout) return version.Text;
    return kFileVersions[std::size(kFileVersions) - 1].Text;
}

TFileLayout FileLayoutOf(const TEmfProject& project) {
    if (!project.Plans.empty()) return TFileLayout::V104;
    for (const TScenario& scenario : project.Scenarios)
        if (scenario.HasSiteParameters()) return TFileLayout::V103;
    return TFileLayout::V102;
}

void WriteProjectFile(TZuStream& stream, const TEmfProject& project) {
    WriteProjectFile(stream, project, FileLayoutOf(project));
}

void WriteProjectFile(TZuStream& stream, const TEmfProject& project, TFileLayout layout) {
    stream.WriteText(VersionText(layout));
    stream.WriteText(project.Title);
    stream.WriteText(project.EngineerName);
    stream.WriteReal(project.EntryDate);
    stream.WriteReal(project.UpdateDate);
    stream.WriteInt(project.Units);
    stream.WriteText(project.FacilityName);
    stream.WriteText(project.FacilityAddress);
    stream.WriteText(project.Counties);
    stream.WriteText(project.Cities);
    stream.WriteText(project.AgentName);
    stream.WriteText(project.AgentAddress);
    stream.WriteText(project.AgentPhone);
    stream.WriteText(project.PeName);
    stream.WriteText(project.PeAddress);
    stream.WriteText(project.PePhone);
    stream.WriteReal(project.ConstructionDate);
    stream.WriteReal(project.ReservedDate);
    stream.WriteReal(project.VoltageClass);
    stream.WriteReal(project.DisplayLineLength());
    stream.WriteText(project.ExemptionFlags);
    stream.WriteByte(project.StructureProfile ? 1 : 0);
    stream.WriteByte(project.LocationMap ? 1 : 0);
    stream.WriteInt(project.Notification);
    stream.WriteText(project.NotificationExplanation);
    stream.WriteText(project.Notes);
    stream.WriteInt(project.Scenarios.Count());
    for (const TScenario& scenario : project.Scenarios)
        WriteScenarioRecord(stream, scenario, layout);
    if (StoresPlans(layout)) WritePlans(stream, project.Plans);
}

std::vector<std::uint8_t> SerializeProject(const TEmfProject& project) {
    TZuStream stream;
    WriteProjectFile(stream, project);
    return stream.TakeBytes();
}

// ---- Readers -------------------------------------------------------------------

namespace {

void RefuseConductors(TRecordReader& reader, const char* field, std::size_t offset, int count) {
    reader.RefuseBeyondLimit(field, offset,
                             std::to_string(count) + " conductors in the cross section",
                             TooManyConductorsText());
}

} // namespace

void ReadConductorRecord(TRecordReader& reader, TConductor& conductor) {
    const int units = conductor.Scenario->Project->Units;
    conductor.CondType = reader.Code("conductor type", Ground);
    conductor.Id = reader.Text("Id", kMaxConductorIdLength);
    conductor.TypeName = reader.Text("type name");
    conductor.VoltageClass = reader.Float("voltage class");
    conductor.OverRateFactor = reader.Float("over-rate factor");
    conductor.MaxVoltage = reader.Float("maximum voltage");
    conductor.SubCondCount = reader.ByteFromInt("sub-conductor count");
    conductor.HorizDistance = reader.Stored("horizontal distance", kLength, units);
    conductor.Height = reader.Stored("height", kLength, units);
    conductor.PhaseAngle = reader.Float("phase angle");
    conductor.Mcr = reader.Stored("MCR", kAmperes, units);
    conductor.AcFlag = reader.Byte("AC flag");
    conductor.Diameter = reader.Stored("diameter", kDiameter, units);
    conductor.SubSpacing = reader.Stored("sub-conductor spacing", kSpacing, units);
    conductor.CoronaLoss = reader.Float("corona loss");
}

void ReadCircuitRecord(TRecordReader& reader, TCircuit& circuit) {
    const int units = circuit.Scenario->Project->Units;
    circuit.Number = reader.ByteFromInt("circuit number");
    circuit.Name = reader.Text("name");
    circuit.NewCircuit = reader.Bool("new-circuit mark");
    circuit.VoltageClass = reader.Float("voltage class");
    circuit.OverRateFactor = reader.Float("over-rate factor");
    circuit.MaxVoltage = reader.Float("maximum voltage");
    circuit.Mcr = reader.Float("MCR");
    circuit.DistFromRowLeft = reader.Stored("distance from ROW left", kLength, units);
    circuit.CondName = reader.Text("conductor type name");
    circuit.CondDiameter = reader.Stored("conductor diameter", kDiameter, units);
    circuit.SubCondCount = reader.ByteFromInt("sub-conductor count");
    circuit.BundleSpacing = reader.Stored("bundle spacing", kSpacing, units);
    circuit.OhgwCount = reader.ByteFromInt("ground-wire count");
    circuit.OhgwName = reader.Text("ground-wire type name");
    circuit.OhgwDiameter = reader.Stored("ground-wire diameter", kDiameter, units);
    const int count = reader.LimitedCount("number of conductors", kMinConductorBytes,
                                          kMaxConductorsPerSection, TooManyConductorsText());
    for (int i = 0; i < count && !reader.Failed(); ++i) {
        const TRecordReader::TScope scope(reader, "conductor " + std::to_string(i + 1));
        auto conductor = std::make_unique<TConductor>(*circuit.Scenario, circuit);
        ReadConductorRecord(reader, *conductor);
        circuit.AddConductor(std::move(conductor));
    }
}

void ReadInterestPointRecord(TRecordReader& reader, TInterestPoint& point) {
    point.Name = reader.Text("name");
    point.ResultIndex = reader.Int("result index");
    point.DistFromRowLeft =
        reader.Stored("distance from ROW left", kLength, point.Scenario->Project->Units);
}

void ReadScenarioRecord(TRecordReader& reader, TScenario& scenario, TFileLayout layout) {
    scenario.Title = reader.Text("title");
    scenario.TabTitle = reader.Text("tab title");
    scenario.SectionType = reader.ByteFromInt("section type");
    const int units = scenario.Project->Units;
    scenario.BFieldHeight = reader.Stored("magnetic-field sensor height", kLength, units);
    scenario.EFieldHeight = reader.Stored("electric-field sensor height", kLength, units);
    scenario.DefaultVoltage = reader.Float("default voltage");
    scenario.RowLeft = reader.Stored("ROW left", kLength, units);
    scenario.RowRight = reader.Stored("ROW right", kLength, units);
    const int circuits = reader.LimitedCount("number of circuits", kMinCircuitBytes,
                                             kMaxCircuitsPerSection, TooManyCircuitsText());
    for (int i = 0; i < circuits && !reader.Failed(); ++i) {
        const TRecordReader::TScope scope(reader, "circuit " + std::to_string(i + 1));
        auto circuit = std::make_unique<TCircuit>(scenario);
        const std::size_t circuitOffset = reader.Offset();
        ReadCircuitRecord(reader, *circuit);
        scenario.Circuits.Add(std::move(circuit));
        // Each circuit is within the limit by itself; together they may not be.
        if (scenario.ConductorCount() > kMaxConductorsPerSection)
            RefuseConductors(reader, "conductors", circuitOffset, scenario.ConductorCount());
    }
    const int points =
        reader.LimitedCount("number of points of interest", kMinInterestPointBytes,
                            kMaxInterestPointsPerSection, TooManyInterestPointsText());
    for (int i = 0; i < points && !reader.Failed(); ++i) {
        const TRecordReader::TScope scope(reader, "point of interest " + std::to_string(i + 1));
        auto point = std::make_unique<TInterestPoint>(scenario);
        ReadInterestPointRecord(reader, *point);
        scenario.InterestPoints.Add(std::move(point));
    }
    if (StoresSiteParameters(layout)) {
        for (const TSiteParameterInfo& parameter : kSiteParameters)
            scenario.SetSiteValue(parameter.Id, reader.SiteValue(parameter));
    }
}

namespace {

void ReadProjectFields(TRecordReader& reader, TEmfProject& project) {
    project.Title = reader.Text("title");
    project.EngineerName = reader.Text("engineer");
    project.EntryDate = reader.Date("entry date");
    project.UpdateDate = reader.Date("update date");
    // Only the two measurement systems exist; any other value means the file
    // is not what it claims to be, and every display value would be misread.
    project.Units = reader.Code("measurement units", Metric);
    project.FacilityName = reader.Text("facility name");
    project.FacilityAddress = reader.Text("facility address");
    project.Counties = reader.Text("counties");
    project.Cities = reader.Text("cities");
    project.AgentName = reader.Text("agent name");
    project.AgentAddress = reader.Text("agent address");
    project.AgentPhone = reader.Text("agent phone");
    project.PeName = reader.Text("engineer of record name");
    project.PeAddress = reader.Text("engineer of record address");
    project.PePhone = reader.Text("engineer of record phone");
    project.ConstructionDate = reader.Date("construction date");
    project.ReservedDate = reader.Date("reserved date");
    project.VoltageClass = reader.Float("voltage class");
    project.LineLength = reader.Stored("line length", kLineLength, project.Units);
    project.ExemptionFlags = reader.Text("exemption flags", kExemptionFlagsLength);
    project.StructureProfile = reader.Bool("structure profile");
    project.LocationMap = reader.Bool("location map");
    project.Notification = reader.ByteFromInt("notification");
    project.NotificationExplanation = reader.Text("notification explanation");
    project.Notes = reader.Text("notes");
}

TFileResult Damaged(const TRecordReader& reader) {
    const std::string& refusal = reader.Refusal();
    return TFileResult::Failure(refusal.empty() ? messages::kFileDamaged : refusal, reader.Error());
}

} // namespace

TFileResult ReadProjectBytes(std::span<const std::uint8_t> bytes, TEmfProject& project) {
    TZuStream stream(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    TRecordReader reader(stream);
    const std::string versionText = reader.Text("format version");
    if (reader.Failed()) return Damaged(reader);
    const std::optional<long> version = VersionHundredths(versionText);
    if (version && *version >= 0 && *version <= kLastOlderVersion)
        return TFileResult::Failure(messages::kOlderVersion, "format version " + versionText);
    const std::optional<TFileLayout> layout = version ? LayoutOfVersion(*version) : std::nullopt;
    if (!layout) {
        reader.Fail("format version",
                    "'" + versionText.substr(0, 40) + "' is not a version Corvalt reads");
        return Damaged(reader);
    }

    TEmfProject loaded;
    ReadProjectFields(reader, loaded);
    const int scenarios =
        reader.LimitedCount("number of cross sections", MinScenarioBytes(*layout),
                            kMaxCrossSectionsPerProject, TooManyCrossSectionsText());
    for (int i = 0; i < scenarios && !reader.Failed(); ++i) {
        const TRecordReader::TScope scope(reader, "cross section " + std::to_string(i + 1));
        auto scenario = std::make_unique<TScenario>(loaded);
        ReadScenarioRecord(reader, *scenario, *layout);
        loaded.Scenarios.Add(std::move(scenario));
    }
    if (StoresPlans(*layout) && !reader.Failed()) ReadPlans(reader, loaded.Plans);
    // The layout of the version ends here: more bytes mean the version and
    // the body disagree (or the file was damaged).
    if (!reader.Failed() && stream.Remaining() > 0)
        reader.Fail("end of the project", std::to_string(stream.Remaining()) +
                                              " bytes follow the last record of the layout");
    if (reader.Failed()) return Damaged(reader);
    project.TakeContentsOf(loaded);
    return TFileResult::Success();
}

} // namespace corvalt
