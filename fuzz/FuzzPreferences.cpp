// libFuzzer target for the preferences reader. Any text must read as a
// preferences file without a crash: every scalar read gives a value in its
// range, and every library line is either an entry or reported as unreadable.
// Saving the libraries and reading the saved text again must lose no entry,
// read every saved line, keep every scalar preference, and be a fixed point:
// the entries read back format to the very lines that were saved. The field
// limits read as usable limits or none, and saving them reads back the same
// table without a damaged line.
#include "prefs/IniFile.h"
#include "prefs/Libraries.h"
#include "prefs/Options.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using namespace corvalt;

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

struct TLibraries {
    TSafeList<TVoltItem> Voltages;
    TSafeList<TCondItem> Conductors;
    TSafeList<TOhgwItem> Ohgws;
    std::vector<std::string> Unreadable;

    explicit TLibraries(const TIniFile& ini)
        : Unreadable(ReadLibraries(ini, Voltages, Conductors, Ohgws)) {}

    std::size_t Count() const {
        return static_cast<std::size_t>(Voltages.Count() + Conductors.Count() + Ohgws.Count());
    }
    // Every entry as its saved line, in order.
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        for (const TVoltItem& item : Voltages)
            lines.push_back(FormatVoltage(item));
        for (const TCondItem& item : Conductors)
            lines.push_back(FormatConductor(item));
        for (const TOhgwItem& item : Ohgws)
            lines.push_back(FormatOhgw(item));
        return lines;
    }
};

std::size_t LibraryLineCount(const TIniFile& ini) {
    return ini.SectionLines(kVoltagesSection).size() + ini.SectionLines(kConductorsSection).size() +
           ini.SectionLines(kOhgwsSection).size();
}

std::vector<std::string> ScalarValues(const TIniFile& ini) {
    std::vector<std::string> values;
    for (const TPrefKey& key : ScalarPrefKeys()) {
        const std::string text = ini.ReadString(key.Section, key.Key, "");
        Require(text.size() <= kMaxIniTextLength);
        values.push_back(text);
        values.push_back(std::to_string(ini.ReadInteger(key.Section, key.Key, key.Default)));
        values.push_back(ini.ReadBool(key.Section, key.Key, key.Default != 0) ? "1" : "0");
    }
    return values;
}

bool AllUsable(const TFieldLimits& limits) {
    for (const TLimitClass limitClass : kLimitClasses)
        for (int k = 0; k < kLimitColumnCount; ++k) {
            const auto column = static_cast<TLimitColumn>(k);
            const std::optional<float>& limit = LimitAt(limits.For(limitClass), column);
            if (limit && !IsUsableLimit(column, *limit)) return false;
        }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    TIniFile ini = TIniFile::FromText(text);
    const std::vector<std::string> scalars = ScalarValues(ini);
    const TLibraries loaded(ini);
    Require(loaded.Count() + loaded.Unreadable.size() == LibraryLineCount(ini));

    TFieldLimits limits = DefaultFieldLimits();
    ReadFieldLimits(ini, limits);
    Require(AllUsable(limits));

    WriteLibraries(ini, loaded.Voltages, loaded.Conductors, loaded.Ohgws);
    WriteFieldLimits(ini, limits);
    const TIniFile saved = TIniFile::FromText(ini.Text());
    TFieldLimits reread = DefaultFieldLimits();
    Require(ReadFieldLimits(saved, reread).empty());
    Require(reread == limits);
    const TLibraries reloaded(saved);
    Require(reloaded.Unreadable.empty());
    Require(reloaded.Count() == loaded.Count());
    Require(reloaded.Lines() == loaded.Lines());
    Require(ScalarValues(saved) == scalars);
    return 0;
}
