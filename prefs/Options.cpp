#include "prefs/Options.h"

#include "prefs/IniFile.h"
#include "prefs/NumberText.h"

#include <algorithm>
#include <utility>

namespace corvalt {
namespace {

// Replaces a library's section in ini by the list, one line per entry keyed by
// its position.
template <class T, class Format>
void WriteLibrary(TIniFile& ini, const char* section, const TSafeList<T>& library, Format format) {
    ini.EraseSection(section);
    for (int i = 0; i < library.Count(); ++i)
        ini.WriteString(section, std::to_string(i), format(library[i]));
}

// Reads the file, changes it and writes it back at once.
template <class Change> TPrefsError UpdateFile(const std::filesystem::path& file, Change change) {
    TIniFile ini = TIniFile::Read(file);
    change(ini);
    return ini.Save();
}

template <class T, class Text>
std::vector<std::string> TextsOf(const TSafeList<T>& library, Text text) {
    std::vector<std::string> texts;
    texts.reserve(static_cast<std::size_t>(library.Count()));
    for (const T& item : library)
        texts.push_back(text(item));
    return texts;
}

int CountOf(const std::vector<std::string>& lines) {
    return static_cast<int>(lines.size());
}

template <class T> T* EntryAt(TSafeList<T>& library, int index) {
    return index >= 0 && index < library.Count() ? &library[index] : nullptr;
}

} // namespace

std::vector<std::string> ReadLibraries(const TIniFile& ini, TSafeList<TVoltItem>& voltages,
                                       TSafeList<TCondItem>& conductors,
                                       TSafeList<TOhgwItem>& ohgws) {
    std::vector<std::string> unreadable;
    const auto collect = [&](const char* section, const std::vector<std::string>& lines) {
        for (const std::string& line : lines)
            unreadable.push_back("[" + std::string(section) + "] " + line);
    };
    collect(kVoltagesSection, ParseVoltages(ini.SectionLines(kVoltagesSection), voltages));
    collect(kConductorsSection, ParseConductors(ini.SectionLines(kConductorsSection), conductors));
    collect(kOhgwsSection, ParseOhgws(ini.SectionLines(kOhgwsSection), ohgws));
    return unreadable;
}

void WriteLibraries(TIniFile& ini, const TSafeList<TVoltItem>& voltages,
                    const TSafeList<TCondItem>& conductors, const TSafeList<TOhgwItem>& ohgws) {
    WriteLibrary(ini, kVoltagesSection, voltages, FormatVoltage);
    WriteLibrary(ini, kConductorsSection, conductors, FormatConductor);
    WriteLibrary(ini, kOhgwsSection, ohgws, FormatOhgw);
}

std::vector<std::string> ReadFieldLimits(const TIniFile& ini, TFieldLimits& limits) {
    std::vector<std::string> unreadable;
    for (const TLimitClass limitClass : kLimitClasses) {
        const TPrefKey& key = prefkeys::FieldLimits[static_cast<std::size_t>(limitClass)];
        const std::optional<std::string> value = ini.Value(key.Section, key.Key);
        if (value && !ParseLimitRow(*value, limits.For(limitClass)))
            unreadable.push_back("[" + std::string(key.Section) + "] " + key.Key + "=" + *value);
    }
    return unreadable;
}

void WriteFieldLimits(TIniFile& ini, const TFieldLimits& limits) {
    for (const TLimitClass limitClass : kLimitClasses) {
        const TPrefKey& key = prefkeys::FieldLimits[static_cast<std::size_t>(limitClass)];
        ini.WriteString(key.Section, key.Key, FormatLimitRow(limits.For(limitClass)));
    }
}

const std::array<TPrefKey, 32>& ScalarPrefKeys() {
    using namespace prefkeys;
    static constexpr std::array<TPrefKey, 32> kKeys = {
        BPAFile,       BPADetails,    EnterAsTab,    PhaseAAngle,   PhaseBAngle,   PhaseCAngle,
        EngineerName,  AgentName,     AgentAddress,  AgentPhone,    PeName,        PeAddress,
        PePhone,       MesUnits,      CsPrtOpt,      FacName,       FacAddr,       FacCnt,
        FacCty,        CoronaSite[0], CoronaSite[1], CoronaSite[2], CoronaSite[3], CoronaSite[4],
        CoronaSite[5], CoronaSite[6], CoronaSite[7], CoronaSite[8], CoronaSite[9], LimitsStatement,
        DetailsPlot,   CoronaPlot,
    };
    return kKeys;
}

std::vector<std::string> WithRecentFile(std::vector<std::string> list, const std::string& path) {
    list = WithoutRecentFile(std::move(list), path);
    list.insert(list.begin(), path);
    if (list.size() > prefkeys::RecentFiles.size()) list.resize(prefkeys::RecentFiles.size());
    return list;
}

std::vector<std::string> WithoutRecentFile(std::vector<std::string> list, const std::string& path) {
    std::erase(list, path);
    return list;
}

TOptions::TOptions(std::filesystem::path iniFile) : file_(std::move(iniFile)) {}

bool TOptions::FileExists() const {
    return TIniFile::Read(file_).Exists();
}

TPrefsError TOptions::CheckReadable() const {
    const TIniFile ini = TIniFile::Read(file_);
    if (ini.Unreadable()) return UnableToReadMessage(file_, ini.UnreadableReason());
    return std::nullopt;
}

bool TOptions::ReadBool(const TPrefKey& key) const {
    return TIniFile::Read(file_).ReadBool(key.Section, key.Key, key.Default != 0);
}

int TOptions::ReadInteger(const TPrefKey& key) const {
    const int value = TIniFile::Read(file_).ReadInteger(key.Section, key.Key, key.Default);
    return value < key.Min || value > key.Max ? key.Default : value;
}

std::string TOptions::ReadText(const TPrefKey& key) const {
    return TIniFile::Read(file_).ReadString(key.Section, key.Key, "");
}

float TOptions::ReadReal(const TPrefKey& key) const {
    const auto fallback = static_cast<float>(key.Default);
    const std::optional<float> value =
        ParseFloat(TIniFile::Read(file_).ReadString(key.Section, key.Key, ""));
    if (!value || *value < key.RealMin || *value > key.RealMax) return fallback;
    return *value;
}

TPrefsError TOptions::WriteBool(const TPrefKey& key, bool value) {
    return UpdateFile(file_, [&](TIniFile& ini) { ini.WriteBool(key.Section, key.Key, value); });
}

TPrefsError TOptions::WriteInteger(const TPrefKey& key, int value) {
    return UpdateFile(file_, [&](TIniFile& ini) { ini.WriteInteger(key.Section, key.Key, value); });
}

TPrefsError TOptions::WriteIntegers(std::span<const TIntegerValue> values) {
    return UpdateFile(file_, [&](TIniFile& ini) {
        for (const auto& [key, value] : values)
            ini.WriteInteger(key.Section, key.Key, value);
    });
}

TPrefsError TOptions::WriteText(const TPrefKey& key, const std::string& value) {
    return UpdateFile(file_, [&](TIniFile& ini) { ini.WriteString(key.Section, key.Key, value); });
}

TPrefsError TOptions::WriteReal(const TPrefKey& key, float value) {
    return UpdateFile(file_, [&](TIniFile& ini) {
        ini.WriteString(key.Section, key.Key, FormatShortest(value));
    });
}

std::vector<std::string> TOptions::RecentFiles() const {
    const TIniFile ini = TIniFile::Read(file_);
    std::vector<std::string> files;
    for (const TPrefKey& key : prefkeys::RecentFiles) {
        std::string file = ini.ReadString(key.Section, key.Key, "");
        if (!file.empty()) files.push_back(std::move(file));
    }
    return files;
}

TPrefsError TOptions::SetRecentFiles(const std::vector<std::string>& files) {
    return UpdateFile(file_, [&](TIniFile& ini) {
        ini.EraseSection(prefkeys::RecentFiles.front().Section);
        const std::size_t count = std::min(files.size(), prefkeys::RecentFiles.size());
        for (std::size_t i = 0; i < count; ++i)
            ini.WriteString(prefkeys::RecentFiles[i].Section, prefkeys::RecentFiles[i].Key,
                            files[i]);
    });
}

TFieldLimits TOptions::FieldLimits() const {
    TFieldLimits limits = DefaultFieldLimits();
    ReadFieldLimits(TIniFile::Read(file_), limits);
    return limits;
}

std::vector<std::string> TOptions::UnreadableLimitLines() const {
    TFieldLimits limits = DefaultFieldLimits();
    return ReadFieldLimits(TIniFile::Read(file_), limits);
}

TPrefsError TOptions::SetFieldLimits(const TFieldLimits& limits) {
    return UpdateFile(file_, [&](TIniFile& ini) { WriteFieldLimits(ini, limits); });
}

int TOptions::LoadVoltages() {
    return CountOf(ParseVoltages(TIniFile::Read(file_).SectionLines(kVoltagesSection), voltages_));
}

int TOptions::LoadConductors() {
    return CountOf(
        ParseConductors(TIniFile::Read(file_).SectionLines(kConductorsSection), conductors_));
}

int TOptions::LoadOhgws() {
    return CountOf(ParseOhgws(TIniFile::Read(file_).SectionLines(kOhgwsSection), ohgws_));
}

int TOptions::LoadLibraries() {
    return CountOf(ReadLibraries(TIniFile::Read(file_), voltages_, conductors_, ohgws_));
}

std::vector<std::string> TOptions::UnreadableLibraryLines() const {
    TSafeList<TVoltItem> voltages;
    TSafeList<TCondItem> conductors;
    TSafeList<TOhgwItem> ohgws;
    return ReadLibraries(TIniFile::Read(file_), voltages, conductors, ohgws);
}

TPrefsError TOptions::SaveVoltages() const {
    return UpdateFile(file_, [&](TIniFile& ini) {
        WriteLibrary(ini, kVoltagesSection, voltages_, FormatVoltage);
    });
}

TPrefsError TOptions::SaveConductors() const {
    return UpdateFile(file_, [&](TIniFile& ini) {
        WriteLibrary(ini, kConductorsSection, conductors_, FormatConductor);
    });
}

TPrefsError TOptions::SaveOhgws() const {
    return UpdateFile(file_,
                      [&](TIniFile& ini) { WriteLibrary(ini, kOhgwsSection, ohgws_, FormatOhgw); });
}

TPrefsError TOptions::SaveLibraries() const {
    return UpdateFile(file_,
                      [&](TIniFile& ini) { WriteLibraries(ini, voltages_, conductors_, ohgws_); });
}

TVoltItem* TOptions::VoltageAt(int index) {
    return EntryAt(voltages_, index);
}

TCondItem* TOptions::ConductorAt(int index) {
    return EntryAt(conductors_, index);
}

TOhgwItem* TOptions::OhgwAt(int index) {
    return EntryAt(ohgws_, index);
}

std::vector<std::string> TOptions::VoltageTexts() const {
    return TextsOf(voltages_, [](const TVoltItem& item) { return VoltageText(item.Voltage); });
}

std::vector<std::string> TOptions::ConductorNames() const {
    return TextsOf(conductors_, [](const TCondItem& item) { return item.Name; });
}

std::vector<std::string> TOptions::OhgwNames() const {
    return TextsOf(ohgws_, [](const TOhgwItem& item) { return item.Name; });
}

} // namespace corvalt
