// The field limits table in the preferences file: defaults where the file has
// none, one line per class, damaged fields replaced by their defaults while the
// readable ones are kept, and the written lines read back the same.
#include "prefs/Options.h"

#include "prefs/IniFile.h"
#include "tests/prefs/TempFolder.h"

#include <gtest/gtest.h>

using namespace corvalt;
using corvalt::test::ReadFile;
using corvalt::test::TTempFolder;
using corvalt::test::WriteFile;

namespace {

class FieldLimitsPrefsTest : public ::testing::Test {
  protected:
    TTempFolder folder;
    const std::filesystem::path ini = folder / "corvalt.INI";
};

TEST_F(FieldLimitsPrefsTest, WithoutASectionTheTableIsTheDefaults) {
    WriteFile(ini, "[General]\nEnterAsTab=0\n");
    TOptions options(ini);
    const TFieldLimits limits = options.FieldLimits();
    // The standards' figures: E within ROW, E at the edge (kV/m), B at the edge (mG).
    EXPECT_EQ(limits.For(TLimitClass::Line230), (TClassLimits{8.0f, 2.0f, 150.0f}));
    EXPECT_EQ(limits.For(TLimitClass::Line500), (TClassLimits{10.0f, 2.0f, 200.0f}));
    EXPECT_EQ(limits.For(TLimitClass::Line500Double), (TClassLimits{10.0f, 2.0f, 250.0f}));
    EXPECT_EQ(limits.For(TLimitClass::Substation), (TClassLimits{std::nullopt, 2.0f, 150.0f}));
    EXPECT_TRUE(options.UnreadableLimitLines().empty());
}

TEST_F(FieldLimitsPrefsTest, OneLinePerClassThatReadsBackTheSame) {
    WriteFile(ini, "[Limits]\nLine765=12,3,300\n");
    TOptions options(ini);
    TFieldLimits limits = DefaultFieldLimits();
    limits.For(TLimitClass::Line230) = {7.5f, 1.65f, 120.5f};
    limits.For(TLimitClass::Line500Double).EWithinRow.reset();
    ASSERT_EQ(options.SetFieldLimits(limits), std::nullopt);
    // A line of a class the program does not know stays where it was.
    EXPECT_EQ(ReadFile(ini), "[Limits]\nLine765=12,3,300\nLine230=7.5,1.65,120.5\n"
                             "Line500=10,2,200\nLine500Double=,2,250\nSubstation=,2,150\n");
    EXPECT_EQ(options.FieldLimits(), limits);
    EXPECT_TRUE(options.UnreadableLimitLines().empty());
}

TEST_F(FieldLimitsPrefsTest, DamagedLinesKeepTheirReadableFields) {
    WriteFile(ini, "[Limits]\n"
                   "Line230=ten,1.5,160\n"  // first field damaged
                   "Line500=9,-2,1e9\n"     // a negative limit and one too large
                   "Line500Double=9.5,2\n"  // a field missing
                   "Substation=1,2,3,4\n"); // a field too many
    TOptions options(ini);
    const TFieldLimits limits = options.FieldLimits();
    EXPECT_EQ(limits.For(TLimitClass::Line230), (TClassLimits{8.0f, 1.5f, 160.0f}));
    EXPECT_EQ(limits.For(TLimitClass::Line500), (TClassLimits{9.0f, 2.0f, 200.0f}));
    EXPECT_EQ(limits.For(TLimitClass::Line500Double), (TClassLimits{9.5f, 2.0f, 250.0f}));
    EXPECT_EQ(limits.For(TLimitClass::Substation), (TClassLimits{1.0f, 2.0f, 3.0f}));
    EXPECT_EQ(
        options.UnreadableLimitLines(),
        (std::vector<std::string>{"[Limits] Line230=ten,1.5,160", "[Limits] Line500=9,-2,1e9",
                                  "[Limits] Line500Double=9.5,2", "[Limits] Substation=1,2,3,4"}));
}

TEST(LimitRow, EmptyFieldsMeanNoLimitButAnEmptyValueIsDamaged) {
    TClassLimits row{8.0f, 2.0f, 150.0f};
    EXPECT_TRUE(ParseLimitRow(",,", row));
    EXPECT_EQ(row, TClassLimits{});
    row = {8.0f, 2.0f, 150.0f};
    EXPECT_FALSE(ParseLimitRow("  ", row));
    EXPECT_EQ(row, (TClassLimits{8.0f, 2.0f, 150.0f}));
    // Zero is no usable limit (an empty field says "none"); the largest are.
    EXPECT_FALSE(ParseLimitRow("0,2,150", row));
    EXPECT_EQ(row.EWithinRow, 8.0f);
    EXPECT_TRUE(ParseLimitRow("1000,1000,100000", row));
    EXPECT_EQ(FormatLimitRow(row), "1000,1000,100000");
    EXPECT_FALSE(ParseLimitRow("1000.1,1,1", row));
    EXPECT_FALSE(ParseLimitRow("1,1,100001", row));
}

} // namespace
