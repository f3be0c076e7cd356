// The starter library cut short at every byte and with every byte changed: each
// reading ends in libraries, never a crash, and loses only the damaged lines.
#include "prefs/IniFile.h"
#include "prefs/Libraries.h"
#include "prefs/Options.h"

#include "tests/prefs/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace corvalt;

namespace {

struct TLoaded {
    std::size_t Entries = 0;
    bool AllFinite = true;
};

TLoaded LoadFromText(const std::string& text) {
    const TIniFile ini = TIniFile::FromText(text);
    TSafeList<TVoltItem> voltages;
    TSafeList<TCondItem> conductors;
    TSafeList<TOhgwItem> ohgws;
    ParseVoltages(ini.SectionLines(kVoltagesSection), voltages);
    ParseConductors(ini.SectionLines(kConductorsSection), conductors);
    ParseOhgws(ini.SectionLines(kOhgwsSection), ohgws);
    TLoaded loaded;
    loaded.Entries =
        static_cast<std::size_t>(voltages.Count() + conductors.Count() + ohgws.Count());
    for (const TVoltItem& v : voltages)
        loaded.AllFinite &= std::isfinite(v.Voltage) && std::isfinite(v.OverRateFactor) &&
                            std::isfinite(v.MaxVoltage);
    for (const TCondItem& c : conductors)
        loaded.AllFinite &= std::isfinite(c.Diameter) && std::isfinite(c.Mcr);
    for (const TOhgwItem& o : ohgws)
        loaded.AllFinite &= std::isfinite(o.Diameter);
    return loaded;
}

// Where each library entry's line ends, and where the library section headers
// are (with the line break before them), found by scanning the text directly.
struct TLayoutOfText {
    std::vector<std::size_t> EntryLineEnds;
    std::vector<std::pair<std::size_t, std::size_t>> Headers; // [first, last] byte
};

TLayoutOfText Scan(const std::string& text) {
    TLayoutOfText layout;
    bool inLibrary = false;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\n', start);
        const std::string line = text.substr(start, end - start);
        if (!line.empty() && line.front() == '[') {
            inLibrary = line == "[Voltages]" || line == "[Conductors]" || line == "[Ohgws]";
            if (inLibrary) layout.Headers.push_back({start == 0 ? 0 : start - 1, end});
        } else if (inLibrary && line.find('=') != std::string::npos) {
            layout.EntryLineEnds.push_back(end);
        }
        start = end + 1;
    }
    return layout;
}

bool InAHeader(const TLayoutOfText& layout, std::size_t position) {
    for (const auto& [first, last] : layout.Headers)
        if (position >= first && position <= last) return true;
    return false;
}

} // namespace

TEST(DamagedFile, EveryCutAndEveryChangedByteLoadsWhatSurvives) {
    const std::string starter = corvalt::test::ReadFile(std::filesystem::path(CORVALT_SOURCE_DIR) /
                                                        "examples" / "corvalt.INI");
    const TLayoutOfText layout = Scan(starter);
    const std::size_t allEntries = layout.EntryLineEnds.size();
    ASSERT_EQ(LoadFromText(starter).Entries, allEntries);

    for (std::size_t cut = 0; cut <= starter.size(); ++cut) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        const TLoaded loaded = LoadFromText(starter.substr(0, cut));
        const auto complete = static_cast<std::size_t>(
            std::count_if(layout.EntryLineEnds.begin(), layout.EntryLineEnds.end(),
                          [&](std::size_t end) { return end < cut; }));
        EXPECT_GE(loaded.Entries, complete);     // every whole line still loads
        EXPECT_LE(loaded.Entries, complete + 1); // plus perhaps the cut one
        EXPECT_TRUE(loaded.AllFinite);
    }

    const std::string replacements = std::string("=,|\n[;\"") + '\0';
    for (std::size_t at = 0; at < starter.size(); ++at) {
        for (char replacement : replacements) {
            if (starter[at] == replacement) continue;
            std::string damaged = starter;
            damaged[at] = replacement;
            SCOPED_TRACE("byte " + std::to_string(at) + " made " +
                         std::to_string(static_cast<unsigned char>(replacement)));
            const TLoaded loaded = LoadFromText(damaged);
            EXPECT_TRUE(loaded.AllFinite);
            EXPECT_LE(loaded.Entries, allEntries + 1);
            // A damaged line, or two lines run together, cost at most two entries;
            // only a damaged section header may cost its whole section.
            if (!InAHeader(layout, at)) {
                EXPECT_GE(loaded.Entries + 2, allEntries);
            }
        }
    }
}
