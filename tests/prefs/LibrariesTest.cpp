#include "prefs/Libraries.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace corvalt;

namespace {

using TLines = std::vector<std::string>;

std::vector<TCondItem> Conductors(const TLines& lines, TLines* unreadable = nullptr) {
    TSafeList<TCondItem> library;
    const TLines lost = ParseConductors(lines, library);
    if (unreadable != nullptr) *unreadable = lost;
    return std::vector<TCondItem>(library.begin(), library.end());
}

void ExpectConductor(const TCondItem& item, const std::string& name, float diameter, float mcr) {
    EXPECT_EQ(item.Name, name);
    EXPECT_FLOAT_EQ(item.Diameter, diameter);
    EXPECT_FLOAT_EQ(item.Mcr, mcr);
}

} // namespace

TEST(Libraries, EntriesAreWrittenInTheirFormats) {
    EXPECT_EQ(FormatVoltage({34.5f, 1.05f, 36.225f}), "35,1.050,36"); // whole kilovolts
    EXPECT_EQ(FormatVoltage({230.0f, 1.05f, 241.5f}), "230,1.050,242");
    EXPECT_EQ(FormatVoltage({500.0f, 1.1f, 550.0f}), "500,1.100,550");
    EXPECT_EQ(FormatConductor({"Drake", 28.143f, 907.0f}), "|Drake|,28.143,907");
    EXPECT_EQ(FormatConductor({"ACSR, 795", 27.7f, 906.6f}), "|ACSR, 795|,27.700,907");
    EXPECT_EQ(FormatOhgw({"3/8 EHS", 9.525f}), "|3/8 EHS|,9.525");
    EXPECT_EQ(FormatOhgw({"a|b", 1.0f}), "|ab|,1.000"); // a bar would end the name
    // Written as it reads back: no line break inside, nothing trimmable at the ends.
    EXPECT_EQ(FormatOhgw({"a\rb", 1.0f}), "|a b|,1.000");
    EXPECT_EQ(FormatOhgw({"x \x01|", 1.0f}), "|x|,1.000");
}

TEST(Libraries, BothLineLayoutsLoad) {
    struct Case {
        const char* title;
        TLines lines;
    };
    const Case cases[] = {
        {"newer", {"0=|Drake|,28.143,907", "1=|Linnet|,18.288,529"}},
        {"older", {"Drake=28.143,907", "Linnet=18.288,529"}},
        {"older with blanks", {"Drake = 28.143 , 907", "Linnet= 18.288,529 "}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        const std::vector<TCondItem> items = Conductors(c.lines);
        ASSERT_EQ(items.size(), 2u);
        ExpectConductor(items[0], "Drake", 28.143f, 907.0f);
        ExpectConductor(items[1], "Linnet", 18.288f, 529.0f);
    }

    TSafeList<TVoltItem> voltages;
    EXPECT_EQ(ParseVoltages({"230=1.05,242", "34.5=1.05,36"}, voltages), TLines{});
    ASSERT_EQ(voltages.Count(), 2);
    EXPECT_FLOAT_EQ(voltages[1].Voltage, 34.5f);
    EXPECT_FLOAT_EQ(voltages[1].OverRateFactor, 1.05f);
    EXPECT_FLOAT_EQ(voltages[1].MaxVoltage, 36.0f);

    TSafeList<TOhgwItem> ohgws;
    EXPECT_EQ(ParseOhgws({"3/8 EHS=9.525", "7#8 Alumoweld=9.779"}, ohgws), TLines{});
    ASSERT_EQ(ohgws.Count(), 2);
    EXPECT_EQ(ohgws[1].Name, "7#8 Alumoweld");
    EXPECT_FLOAT_EQ(ohgws[1].Diameter, 9.779f);
}

TEST(Libraries, ASectionThatMixesTheLayoutsReadsEveryLineByItsOwn) {
    // Two older lines among newer ones, and the other way round: none is lost.
    TLines unreadable;
    const std::vector<TCondItem> items = Conductors(
        {"0=|Drake|,28.143,907", "Linnet=18.288,529", "2=|Ibis|,19.888,587", "Hawk = 21.793, 659"},
        &unreadable);
    EXPECT_EQ(unreadable, TLines{});
    ASSERT_EQ(items.size(), 4u);
    ExpectConductor(items[0], "Drake", 28.143f, 907.0f);
    ExpectConductor(items[1], "Linnet", 18.288f, 529.0f);
    ExpectConductor(items[2], "Ibis", 19.888f, 587.0f);
    ExpectConductor(items[3], "Hawk", 21.793f, 659.0f);

    TSafeList<TVoltItem> voltages;
    EXPECT_EQ(ParseVoltages({"138=1.050,145", "1=230,1.050,242", "345=1.050,362"}, voltages),
              TLines{});
    ASSERT_EQ(voltages.Count(), 3);
    const float expected[3][3] = {{138, 1.05f, 145}, {230, 1.05f, 242}, {345, 1.05f, 362}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_FLOAT_EQ(voltages[i].Voltage, expected[i][0]);
        EXPECT_FLOAT_EQ(voltages[i].OverRateFactor, expected[i][1]);
        EXPECT_FLOAT_EQ(voltages[i].MaxVoltage, expected[i][2]);
    }

    TSafeList<TOhgwItem> ohgws;
    EXPECT_EQ(ParseOhgws({"7#8 Alumoweld=9.779", "1=|3/8 EHS|,9.525"}, ohgws), TLines{});
    ASSERT_EQ(ohgws.Count(), 2);
    EXPECT_EQ(ohgws[0].Name, "7#8 Alumoweld");
    EXPECT_EQ(ohgws[1].Name, "3/8 EHS");
    EXPECT_FLOAT_EQ(ohgws[1].Diameter, 9.525f);
}

TEST(Libraries, LinesNeitherLayoutReadsAreReturnedAsTheyStand) {
    TLines unreadable;
    const std::vector<TCondItem> items = Conductors(
        {
            "0=|Drake|,28.143", // lost a field; as an older line its diameter is "Drake"
            "1=|Linnet|,18.288,529",
            "2=|Bad|,wide,529",  // a number that does not convert
            "3=|Worse|,1.5,nan", // not a number a report could print
            "4=|Huge|,1e40,1",   // beyond single precision
            "no equals sign", "5=|Ibis|,19.888,587",
            "6=|Dove|,23.546,726,99", // extra fields are ignored
            "7=|Pipe|in|name|,28.143,907", // would read as "Pipeinname"
            "Pi|pe=28.143,907",            // the same in the older layout
        },
        &unreadable);
    EXPECT_EQ(unreadable, (TLines{"0=|Drake|,28.143", "2=|Bad|,wide,529", "3=|Worse|,1.5,nan",
                                  "4=|Huge|,1e40,1", "no equals sign",
                                  "7=|Pipe|in|name|,28.143,907", "Pi|pe=28.143,907"}));
    ASSERT_EQ(items.size(), 3u);
    ExpectConductor(items[0], "Linnet", 18.288f, 529.0f);
    ExpectConductor(items[1], "Ibis", 19.888f, 587.0f);
    ExpectConductor(items[2], "Dove", 23.546f, 726.0f);

    TSafeList<TVoltItem> voltages;
    EXPECT_EQ(ParseVoltages({"0=,1.050,242", "1=345,1.050,362", "69=x,72"}, voltages),
              (TLines{"0=,1.050,242", "69=x,72"}));
    ASSERT_EQ(voltages.Count(), 1);
    EXPECT_FLOAT_EQ(voltages[0].Voltage, 345.0f);
}

TEST(Libraries, NamesWithSeparatorsSurviveASaveAndReload) {
    const char* const names[] = {"ACSR=795",  "A=B=C", "ACSR, 795 kcmil", "x,y=z",
                                 "5\" cable", "it's",  "#2 Cu",           "a|,b"};
    TLines lines;
    for (const char* name : names)
        lines.push_back(std::to_string(lines.size()) + "=" +
                        FormatConductor({name, 12.5f, 300.0f}));
    const std::vector<TCondItem> items = Conductors(lines);
    ASSERT_EQ(items.size(), std::size(names));
    for (std::size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(names[i]);
        const std::string expected = i + 1 == items.size() ? "a,b" : names[i]; // bars are left out
        ExpectConductor(items[i], expected, 12.5f, 300.0f);
    }
}

TEST(Libraries, ReloadingASavedLibraryGivesTheSavedValues) {
    const TVoltItem voltage{34.5f, 1.05f, 36.225f};
    TSafeList<TVoltItem> voltages;
    ParseVoltages({"0=" + FormatVoltage(voltage)}, voltages);
    ASSERT_EQ(voltages.Count(), 1);
    EXPECT_EQ(voltages[0].Voltage, 35.0f);
    EXPECT_EQ(voltages[0].OverRateFactor, 1.05f);
    EXPECT_EQ(voltages[0].MaxVoltage, 36.0f);
    EXPECT_EQ(FormatVoltage(voltages[0]), "35,1.050,36"); // and stable from then on
}

TEST(Libraries, VoltageTextsAreShortPlainDecimals) {
    EXPECT_EQ(VoltageText(230.0f), "230");
    EXPECT_EQ(VoltageText(34.5f), "34.5");
    EXPECT_EQ(VoltageText(13.8f), "13.8");
    EXPECT_EQ(VoltageText(0.0f), "0");
}
