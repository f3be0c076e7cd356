#pragma once
// TOptions: the user's preferences, the defaults for new projects and circuits,
// and the three libraries, kept in one INI file (see IniLocation.h for where).
// Scalar preferences are read from the file each time they are asked for and
// written to it, by their key (prefkeys), each time they are set; the libraries
// are held in memory, edited in place by the preferences dialog, and written
// back only by the Save calls.

#include "model/FieldLimitTable.h"
#include "model/SiteParameters.h"
#include "prefs/Libraries.h"

#include <array>
#include <climits>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace corvalt {

// The result of a write: empty on success, else the message to show
// ("Unable to write to <path>").
using TPrefsError = std::optional<std::string>;

enum class TPrefKind { Boolean, Integer, Text, Real };

// One scalar preference: where it lives in the file, its type and its default.
struct TPrefKey {
    const char* Section = "";
    const char* Key = "";
    TPrefKind Kind = TPrefKind::Text;
    int Default = 0;   // booleans: 1 true, 0 false; texts default to empty; reals too
    int Min = INT_MIN; // an integer outside [Min, Max] reads as Default
    int Max = INT_MAX;
    float RealMin = 0; // a real outside [RealMin, RealMax] reads as Default
    float RealMax = 0;
};

namespace prefkeys {
using enum TPrefKind;
// BPAFile and BPADetails are only read: the user switches them in the file.
inline constexpr TPrefKey BPAFile{"General", "BPAFile", Boolean, 0};
inline constexpr TPrefKey BPADetails{"General", "BPADetails", Boolean, 0};
inline constexpr TPrefKey EnterAsTab{"General", "EnterAsTab", Boolean, 1};
inline constexpr TPrefKey PhaseAAngle{"Circuits", "PhaseAAngle", Integer, 0};
inline constexpr TPrefKey PhaseBAngle{"Circuits", "PhaseBAngle", Integer, 120};
inline constexpr TPrefKey PhaseCAngle{"Circuits", "PhaseCAngle", Integer, 240};
inline constexpr TPrefKey EngineerName{"Project", "EngineerName", Text};
inline constexpr TPrefKey AgentName{"Project", "AgentName", Text};
inline constexpr TPrefKey AgentAddress{"Project", "AgentAddress", Text};
inline constexpr TPrefKey AgentPhone{"Project", "AgentPhone", Text};
inline constexpr TPrefKey PeName{"Project", "PeName", Text};
inline constexpr TPrefKey PeAddress{"Project", "PeAddress", Text};
inline constexpr TPrefKey PePhone{"Project", "PePhone", Text};
inline constexpr TPrefKey MesUnits{"Project", "MesUnits", Integer, 0, 0, 1}; // 0 English, 1 Metric
inline constexpr TPrefKey CsPrtOpt{"Project", "CsPrtOpt", Integer, 0, 0, 1}; // 0 all, 1 maxima
inline constexpr TPrefKey FacName{"Project", "FacName", Text};
inline constexpr TPrefKey FacAddr{"Project", "FacAddr", Text};
inline constexpr TPrefKey FacCnt{"Project", "FacCnt", Text};
inline constexpr TPrefKey FacCty{"Project", "FacCty", Text};
// What the reports print beyond their forms: the compliance report's field
// limits statement after its pages (off for those who must file the bare form).
inline constexpr TPrefKey LimitsStatement{"Reports", "LimitsStatement", Boolean, 1};
// The page of the E and B profile plot after the EMF details report's tables,
// and the page of the audible noise, radio and TV interference plot after the
// corona report's.
inline constexpr TPrefKey DetailsPlot{"Reports", "DetailsPlot", Boolean, 1};
inline constexpr TPrefKey CoronaPlot{"Reports", "CoronaPlot", Boolean, 1};
// The corona site parameters given to new cross sections, in stored units, in
// the order of kSiteParameters; 0 (the default) leaves a parameter unset.
inline constexpr std::array<TPrefKey, kSiteParameters.size()> CoronaSite = [] {
    std::array<TPrefKey, kSiteParameters.size()> keys{};
    for (std::size_t i = 0; i < keys.size(); ++i)
        keys[i] = {.Section = "CoronaSite",
                   .Key = kSiteParameters[i].Name,
                   .Kind = Real,
                   .RealMin = kSiteParameters[i].Lowest,
                   .RealMax = kSiteParameters[i].Highest};
    return keys;
}();
// The project files opened or saved last, newest first ("File1" the newest).
inline constexpr std::array<TPrefKey, 8> RecentFiles{{
    {"RecentFiles", "File1", Text},
    {"RecentFiles", "File2", Text},
    {"RecentFiles", "File3", Text},
    {"RecentFiles", "File4", Text},
    {"RecentFiles", "File5", Text},
    {"RecentFiles", "File6", Text},
    {"RecentFiles", "File7", Text},
    {"RecentFiles", "File8", Text},
}};
// The project window's results panel: shown or not, and the sizes of the grids
// and of the panel beside them in pixels ("640,560"). Window state, not listed
// among the scalar preferences that corvalt-cli prefs prints.
inline constexpr TPrefKey ResultsPanel{"Window", "ResultsPanel", Boolean, 1};
inline constexpr TPrefKey ResultsSplitter{"Window", "ResultsSplitter", Text};
// The main window's place and size on the screen in pixels when it is not
// maximised (a width of 0, the default, when none was kept), and whether it
// is maximised; kept when it closes. The window makes them fit the screen.
inline constexpr TPrefKey MainLeft{"Window", "MainLeft", Integer, 0, -100000, 100000};
inline constexpr TPrefKey MainTop{"Window", "MainTop", Integer, 0, -100000, 100000};
inline constexpr TPrefKey MainWidth{"Window", "MainWidth", Integer, 0, 0, 100000};
inline constexpr TPrefKey MainHeight{"Window", "MainHeight", Integer, 0, 0, 100000};
inline constexpr TPrefKey MainMaximized{"Window", "MainMaximized", Boolean, 0};
// The folder each file dialog showed last, by what it chooses: projects,
// report PDF files, profile CSV files, plot pictures, BPA input files.
inline constexpr TPrefKey ProjectFolder{"Window", "ProjectFolder", Text};
inline constexpr TPrefKey ReportFolder{"Window", "ReportFolder", Text};
inline constexpr TPrefKey CsvFolder{"Window", "CsvFolder", Text};
inline constexpr TPrefKey PictureFolder{"Window", "PictureFolder", Text};
inline constexpr TPrefKey BpaFolder{"Window", "BpaFolder", Text};
// The field limits: one line per row of the limits table, by TLimitClass. The
// value holds the row's limits "E within ROW,E at the edge,B at the edge" in
// kV/m, kV/m and mG; an empty field means no limit ("Substation=,2,150").
inline constexpr std::array<TPrefKey, kLimitClassCount> FieldLimits{{
    {"Limits", "Line230", Text},
    {"Limits", "Line500", Text},
    {"Limits", "Line500Double", Text},
    {"Limits", "Substation", Text},
}};
} // namespace prefkeys

// The list of recent files with path put first: an equal entry further down
// leaves the list, and it keeps at most as many entries as it has keys.
std::vector<std::string> WithRecentFile(std::vector<std::string> list, const std::string& path);
// The list without path.
std::vector<std::string> WithoutRecentFile(std::vector<std::string> list, const std::string& path);

// Every scalar preference, section by section in the order of the file.
const std::array<TPrefKey, 32>& ScalarPrefKeys();

// Library section names.
inline constexpr const char* kVoltagesSection = "Voltages";
inline constexpr const char* kConductorsSection = "Conductors";
inline constexpr const char* kOhgwsSection = "Ohgws";

class TIniFile;

// The three libraries read from the file's sections; the lines that could not
// be read, each after its section's name in brackets ("[Conductors] 2=|Bad|").
std::vector<std::string> ReadLibraries(const TIniFile& ini, TSafeList<TVoltItem>& voltages,
                                       TSafeList<TCondItem>& conductors,
                                       TSafeList<TOhgwItem>& ohgws);
// Replaces the three library sections of ini by the lists, in memory, as
// SaveLibraries writes them; an empty list leaves no section.
void WriteLibraries(TIniFile& ini, const TSafeList<TVoltItem>& voltages,
                    const TSafeList<TCondItem>& conductors, const TSafeList<TOhgwItem>& ohgws);

// The field limits read from the file's "Limits" section into limits, which
// starts as the defaults; the lines that could not be read in full, after the
// section's name ("[Limits] Line500=ten,2,200"). A missing line keeps its
// row's defaults; a damaged field keeps its default while the readable fields
// of its line are taken.
std::vector<std::string> ReadFieldLimits(const TIniFile& ini, TFieldLimits& limits);
// Writes every row's line of the table in memory, as SetFieldLimits does; the
// other lines of the section stay.
void WriteFieldLimits(TIniFile& ini, const TFieldLimits& limits);

class TOptions {
  public:
    // The libraries start empty; call LoadLibraries (or the Load functions).
    explicit TOptions(std::filesystem::path iniFile);

    const std::filesystem::path& FileName() const { return file_; }
    bool FileExists() const;
    // UnableToReadMessage when the file exists but cannot be read; reads then
    // give the defaults and every write is refused.
    TPrefsError CheckReadable() const;

    // Scalar preferences, read from the file at each call.
    bool BPAFile() const { return ReadBool(prefkeys::BPAFile); }
    bool BPADetails() const { return ReadBool(prefkeys::BPADetails); }
    bool EnterAsTab() const { return ReadBool(prefkeys::EnterAsTab); }
    int PhaseAAngle() const { return ReadInteger(prefkeys::PhaseAAngle); } // degrees
    int PhaseBAngle() const { return ReadInteger(prefkeys::PhaseBAngle); }
    int PhaseCAngle() const { return ReadInteger(prefkeys::PhaseCAngle); }
    std::string EngineerName() const { return ReadText(prefkeys::EngineerName); }
    std::string AgentName() const { return ReadText(prefkeys::AgentName); }
    std::string AgentAddress() const { return ReadText(prefkeys::AgentAddress); }
    std::string AgentPhone() const { return ReadText(prefkeys::AgentPhone); }
    std::string PeName() const { return ReadText(prefkeys::PeName); }
    std::string PeAddress() const { return ReadText(prefkeys::PeAddress); }
    std::string PePhone() const { return ReadText(prefkeys::PePhone); }
    int MesUnits() const { return ReadInteger(prefkeys::MesUnits); }
    int CsPrtOpt() const { return ReadInteger(prefkeys::CsPrtOpt); }
    std::string FacName() const { return ReadText(prefkeys::FacName); }
    std::string FacAddr() const { return ReadText(prefkeys::FacAddr); }
    std::string FacCnt() const { return ReadText(prefkeys::FacCnt); }
    std::string FacCty() const { return ReadText(prefkeys::FacCty); }
    bool LimitsStatement() const { return ReadBool(prefkeys::LimitsStatement); }
    bool DetailsPlot() const { return ReadBool(prefkeys::DetailsPlot); }
    bool CoronaPlot() const { return ReadBool(prefkeys::CoronaPlot); }
    // The value new cross sections take for a site parameter, stored units; 0
    // (unset) also for a value outside the parameter's range.
    float CoronaSiteDefault(TSiteParameter id) const {
        return ReadReal(prefkeys::CoronaSite[static_cast<std::size_t>(id)]);
    }

    // Any scalar by its key. The Write functions are the one way a scalar is
    // written: each writes the file at once.
    bool ReadBool(const TPrefKey& key) const;
    int ReadInteger(const TPrefKey& key) const;
    std::string ReadText(const TPrefKey& key) const;
    float ReadReal(const TPrefKey& key) const;
    [[nodiscard]] TPrefsError WriteBool(const TPrefKey& key, bool value);
    [[nodiscard]] TPrefsError WriteInteger(const TPrefKey& key, int value);
    // Several integers (or booleans, as 1 and 0) in one write of the file.
    using TIntegerValue = std::pair<TPrefKey, int>;
    [[nodiscard]] TPrefsError WriteIntegers(std::span<const TIntegerValue> values);
    [[nodiscard]] TPrefsError WriteText(const TPrefKey& key, const std::string& value);
    // The shortest text that reads back as the same float.
    [[nodiscard]] TPrefsError WriteReal(const TPrefKey& key, float value);

    // The recent files, newest first, without empty entries; and the list
    // written in their place (one write, the section replaced).
    std::vector<std::string> RecentFiles() const;
    [[nodiscard]] TPrefsError SetRecentFiles(const std::vector<std::string>& files);

    // The field limits table, read from the file at each call (the defaults
    // where the file has none), the lines of it that cannot be read in full,
    // and the table written in one write. A write replaces a damaged line, so
    // the callers ask or refuse first, as for the libraries.
    TFieldLimits FieldLimits() const;
    std::vector<std::string> UnreadableLimitLines() const;
    [[nodiscard]] TPrefsError SetFieldLimits(const TFieldLimits& limits);

    // Libraries. Each Load discards the list in memory and rebuilds it from its
    // section, returning the number of unusable lines it skipped.
    int LoadVoltages();
    int LoadConductors();
    int LoadOhgws();
    int LoadLibraries(); // all three from one reading of the file
    // The library lines of the file that cannot be read, each after its
    // section's name ("[Conductors] 2=|Bad|,wide,529"), in file order. A Save
    // of their library drops them, so the callers ask or refuse first.
    std::vector<std::string> UnreadableLibraryLines() const;
    // Each Save replaces the section by the list in memory; an empty list
    // leaves no section.
    [[nodiscard]] TPrefsError SaveVoltages() const;
    [[nodiscard]] TPrefsError SaveConductors() const;
    [[nodiscard]] TPrefsError SaveOhgws() const;
    [[nodiscard]] TPrefsError SaveLibraries() const; // all three in one write

    // The drop-down texts, in library order: an index into them is a library index.
    std::vector<std::string> VoltageTexts() const; // VoltageText of each class
    std::vector<std::string> ConductorNames() const;
    std::vector<std::string> OhgwNames() const;

    // The lists, for editing in place (Insert, Delete, Exchange), and one entry
    // by a drop-down index: nullptr when nothing is selected (-1) or the index
    // is beyond the list.
    TSafeList<TVoltItem>& Voltages() { return voltages_; }
    const TSafeList<TVoltItem>& Voltages() const { return voltages_; }
    TSafeList<TCondItem>& Conductors() { return conductors_; }
    const TSafeList<TCondItem>& Conductors() const { return conductors_; }
    TSafeList<TOhgwItem>& Ohgws() { return ohgws_; }
    const TSafeList<TOhgwItem>& Ohgws() const { return ohgws_; }
    TVoltItem* VoltageAt(int index);
    TCondItem* ConductorAt(int index);
    TOhgwItem* OhgwAt(int index);

  private:
    std::filesystem::path file_;
    TSafeList<TVoltItem> voltages_;
    TSafeList<TCondItem> conductors_;
    TSafeList<TOhgwItem> ohgws_;
};

} // namespace corvalt
