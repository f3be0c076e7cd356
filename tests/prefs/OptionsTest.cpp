#include "prefs/Options.h"

#include "prefs/IniFile.h"
#include "tests/model/GermanLocale.h"
#include "tests/prefs/TempFolder.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <functional>

using namespace corvalt;
using corvalt::test::ReadFile;
using corvalt::test::TTempFolder;
using corvalt::test::WriteFile;
namespace fs = std::filesystem;

namespace {

const fs::path kStarterFile = fs::path(CORVALT_SOURCE_DIR) / "examples" / "corvalt.INI";

class OptionsTest : public ::testing::Test {
  protected:
    TTempFolder folder;
    const fs::path ini = folder / "corvalt.INI";
};

} // namespace

TEST_F(OptionsTest, WithoutAFileEveryPreferenceHasItsDefault) {
    TOptions options(ini);
    EXPECT_FALSE(options.BPAFile());
    EXPECT_FALSE(options.BPADetails());
    EXPECT_TRUE(options.EnterAsTab());
    EXPECT_EQ(options.PhaseAAngle(), 0);
    EXPECT_EQ(options.PhaseBAngle(), 120);
    EXPECT_EQ(options.PhaseCAngle(), 240);
    EXPECT_EQ(options.MesUnits(), 0);
    EXPECT_EQ(options.CsPrtOpt(), 0);
    for (const TPrefKey& key : ScalarPrefKeys())
        if (key.Kind == TPrefKind::Text) {
            EXPECT_EQ(options.ReadText(key), "") << key.Key;
        }
    // New cross sections get no site parameter, so results stay as they were.
    for (const TSiteParameterInfo& parameter : kSiteParameters)
        EXPECT_EQ(options.CoronaSiteDefault(parameter.Id), 0.0f) << parameter.Name;
    EXPECT_EQ(options.LoadLibraries(), 0);
    EXPECT_TRUE(options.VoltageTexts().empty());
    EXPECT_TRUE(options.ConductorNames().empty());
    EXPECT_TRUE(options.OhgwNames().empty());
    EXPECT_EQ(options.CheckReadable(), std::nullopt);
    EXPECT_EQ(options.SaveLibraries(), std::nullopt); // nothing to write
    EXPECT_FALSE(fs::exists(ini));                    // reading never creates the file
}

// Every scalar is written through its key, at once, into the section and under
// the name the file has always used (listed here by hand, not taken from the
// key table), and its getter reads it back.
TEST_F(OptionsTest, EveryScalarIsWrittenByItsKeyAtOnce) {
    TOptions options(ini);
    using TGet = std::function<std::string(const TOptions&)>;
    struct Case {
        const TPrefKey& key;
        const char* section;
        const char* name;
        TGet get;
    };
    const Case texts[] = {
        {prefkeys::EngineerName, "Project", "EngineerName", &TOptions::EngineerName},
        {prefkeys::AgentName, "Project", "AgentName", &TOptions::AgentName},
        {prefkeys::AgentAddress, "Project", "AgentAddress", &TOptions::AgentAddress},
        {prefkeys::AgentPhone, "Project", "AgentPhone", &TOptions::AgentPhone},
        {prefkeys::PeName, "Project", "PeName", &TOptions::PeName},
        {prefkeys::PeAddress, "Project", "PeAddress", &TOptions::PeAddress},
        {prefkeys::PePhone, "Project", "PePhone", &TOptions::PePhone},
        {prefkeys::FacName, "Project", "FacName", &TOptions::FacName},
        {prefkeys::FacAddr, "Project", "FacAddr", &TOptions::FacAddr},
        {prefkeys::FacCnt, "Project", "FacCnt", &TOptions::FacCnt},
        {prefkeys::FacCty, "Project", "FacCty", &TOptions::FacCty},
    };
    for (const Case& c : texts) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(options.WriteText(c.key, std::string("value of ") + c.name), std::nullopt);
        // Written at once: the file holds it before anything else is written.
        EXPECT_EQ(TIniFile::Read(ini).Value(c.section, c.name), std::string("value of ") + c.name);
    }
    const auto number = [](int (TOptions::*get)() const) {
        return TGet([get](const TOptions& o) { return std::to_string((o.*get)()); });
    };
    const std::pair<Case, int> integers[] = {
        {{prefkeys::PhaseAAngle, "Circuits", "PhaseAAngle", number(&TOptions::PhaseAAngle)}, 10},
        {{prefkeys::PhaseBAngle, "Circuits", "PhaseBAngle", number(&TOptions::PhaseBAngle)}, 130},
        {{prefkeys::PhaseCAngle, "Circuits", "PhaseCAngle", number(&TOptions::PhaseCAngle)}, -110},
        {{prefkeys::MesUnits, "Project", "MesUnits", number(&TOptions::MesUnits)}, 1},
        {{prefkeys::CsPrtOpt, "Project", "CsPrtOpt", number(&TOptions::CsPrtOpt)}, 1},
    };
    for (const auto& [c, value] : integers) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(options.WriteInteger(c.key, value), std::nullopt);
        EXPECT_EQ(TIniFile::Read(ini).Value(c.section, c.name), std::to_string(value));
    }
    ASSERT_EQ(options.WriteBool(prefkeys::EnterAsTab, false), std::nullopt);

    const TIniFile file = TIniFile::Read(ini);
    const TOptions reread(ini);
    for (const Case& c : texts) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.get(reread), std::string("value of ") + c.name);
    }
    for (const auto& [c, value] : integers) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.get(reread), std::to_string(value));
    }
    EXPECT_EQ(file.Value("General", "EnterAsTab"), "0");
    EXPECT_FALSE(reread.EnterAsTab());
}

TEST_F(OptionsTest, ValuesAHandEditCouldBreakReadAsDefaults) {
    WriteFile(ini, "[General]\nEnterAsTab=yes\nBPAFile=0x1\n"
                   "[Circuits]\nPhaseBAngle=0x78\nPhaseCAngle=240 degrees\n"
                   "[Project]\nMesUnits=2\nCsPrtOpt=-1\n");
    const TOptions options(ini);
    EXPECT_TRUE(options.EnterAsTab()); // not an integer: the default
    EXPECT_TRUE(options.BPAFile());
    EXPECT_EQ(options.PhaseBAngle(), 120);
    EXPECT_EQ(options.PhaseCAngle(), 240);
    EXPECT_EQ(options.MesUnits(), 0); // neither English nor Metric
    EXPECT_EQ(options.CsPrtOpt(), 0);
}

TEST_F(OptionsTest, CoronaSiteDefaultsKeepEveryDigitAndRefuseTheImpossible) {
    TOptions options(ini);
    // Values a float holds only approximately come back as the same float.
    const auto key = [](TSiteParameter id) {
        return prefkeys::CoronaSite[static_cast<std::size_t>(id)];
    };
    ASSERT_EQ(options.WriteReal(key(TSiteParameter::MicrophoneHeight), 1.5243902f), std::nullopt);
    ASSERT_EQ(options.WriteReal(key(TSiteParameter::Altitude), -86.3f), std::nullopt);
    ASSERT_EQ(options.WriteReal(key(TSiteParameter::RainRate), 1.016f), std::nullopt);
    ASSERT_EQ(options.WriteReal(key(TSiteParameter::TvFrequency), 0), std::nullopt);
    const TIniFile file = TIniFile::Read(ini);
    EXPECT_EQ(file.Value("CoronaSite", "MicrophoneHeight"), "1.5243902");
    EXPECT_EQ(file.Value("CoronaSite", "Altitude"), "-86.3");
    EXPECT_EQ(file.Value("CoronaSite", "TvFrequency"), "0");
    const TOptions reread(ini);
    EXPECT_EQ(reread.CoronaSiteDefault(TSiteParameter::MicrophoneHeight), 1.5243902f);
    EXPECT_EQ(reread.CoronaSiteDefault(TSiteParameter::Altitude), -86.3f);
    EXPECT_EQ(reread.CoronaSiteDefault(TSiteParameter::RainRate), 1.016f);
    EXPECT_EQ(reread.CoronaSiteDefault(TSiteParameter::TvFrequency), 0.0f);

    // Hand edits a site cannot have read as unset: a negative height, wind
    // below 0.1 m/s, radio at 300 MHz, text and a comma for the point.
    WriteFile(ini, "[CoronaSite]\nMicrophoneHeight=-1\nWindVelocity=0.05\n"
                   "RadioFrequency=300\nTvAntennaHeight=ten\nRainRate=2,5\n"
                   "GroundConductivity=nan\nOzoneHeight=2\n");
    const TOptions edited(ini);
    for (const TSiteParameterInfo& parameter : kSiteParameters) {
        const float expected = parameter.Id == TSiteParameter::OzoneHeight ? 2.0f : 0.0f;
        EXPECT_EQ(edited.CoronaSiteDefault(parameter.Id), expected) << parameter.Name;
    }
}

TEST_F(OptionsTest, VoltageClassesAreSavedInWholeKilovolts) {
    TOptions options(ini);
    options.Voltages().Add(std::make_unique<TVoltItem>(TVoltItem{34.5f, 1.05f, 36.225f}));
    options.Voltages().Add(std::make_unique<TVoltItem>(TVoltItem{230.0f, 1.05f, 241.5f}));
    EXPECT_EQ(options.VoltageTexts(), (std::vector<std::string>{"34.5", "230"}));
    ASSERT_EQ(options.SaveVoltages(), std::nullopt);
    EXPECT_EQ(ReadFile(ini), "[Voltages]\n0=35,1.050,36\n1=230,1.050,242\n");
    options.LoadVoltages();
    EXPECT_EQ(options.VoltageTexts(), (std::vector<std::string>{"35", "230"}));
}

TEST_F(OptionsTest, AnOlderConductorsSectionIsWrittenBackInTheNewerLayout) {
    WriteFile(ini, "[General]\nEnterAsTab=0\n\n[Conductors]\nDrake=28.143,907\n\n"
                   "[Ohgws]\n3/8 EHS=9.525\n");
    TOptions options(ini);
    EXPECT_EQ(options.LoadLibraries(), 0);
    ASSERT_EQ(options.Conductors().Count(), 1);
    EXPECT_EQ(options.Conductors()[0].Name, "Drake");
    EXPECT_FLOAT_EQ(options.Conductors()[0].Diameter, 28.143f);
    EXPECT_FLOAT_EQ(options.Conductors()[0].Mcr, 907.0f);
    EXPECT_EQ(options.OhgwNames(), std::vector<std::string>{"3/8 EHS"});

    ASSERT_EQ(options.SaveLibraries(), std::nullopt);
    EXPECT_EQ(ReadFile(ini), "[General]\nEnterAsTab=0\n\n"
                             "[Conductors]\n0=|Drake|,28.143,907\n\n"
                             "[Ohgws]\n0=|3/8 EHS|,9.525\n");
    EXPECT_FALSE(options.EnterAsTab()); // the scalars are untouched
}

TEST_F(OptionsTest, ANameWithAnEqualsSignSurvivesSaveAndReload) {
    TOptions options(ini);
    options.Conductors().Add(std::make_unique<TCondItem>(TCondItem{"ACSR=795", 27.7f, 900.0f}));
    options.Ohgws().Add(std::make_unique<TOhgwItem>(TOhgwItem{"OPGW=48F, 14 mm", 14.0f}));
    ASSERT_EQ(options.SaveLibraries(), std::nullopt);
    TOptions reread(ini);
    EXPECT_EQ(reread.LoadLibraries(), 0);
    EXPECT_EQ(reread.ConductorNames(), std::vector<std::string>{"ACSR=795"});
    EXPECT_FLOAT_EQ(reread.Conductors()[0].Diameter, 27.7f);
    EXPECT_EQ(reread.OhgwNames(), std::vector<std::string>{"OPGW=48F, 14 mm"});
    EXPECT_FLOAT_EQ(reread.Ohgws()[0].Diameter, 14.0f);
}

TEST_F(OptionsTest, DeletingEveryVoltageClassRemovesTheSection) {
    fs::copy_file(kStarterFile, ini);
    TOptions options(ini);
    options.LoadLibraries();
    const int conductors = options.Conductors().Count();
    options.Voltages().Clear();
    ASSERT_EQ(options.SaveLibraries(), std::nullopt);
    const std::string text = ReadFile(ini);
    EXPECT_EQ(text.find("[Voltages]"), std::string::npos);
    EXPECT_NE(text.find("[Conductors]"), std::string::npos);
    TOptions reread(ini);
    reread.LoadLibraries();
    EXPECT_TRUE(reread.Voltages().Empty());
    EXPECT_EQ(reread.Conductors().Count(), conductors);
    EXPECT_EQ(reread.PhaseCAngle(), 240);
}

TEST_F(OptionsTest, LibrariesAreEditedInPlaceAndSavedInTheirNewOrder) {
    WriteFile(ini, "[Ohgws]\n0=|A|,1.000\n1=|B|,2.000\n2=|C|,3.000\n");
    TOptions options(ini);
    options.LoadOhgws();
    options.Ohgws().Exchange(0, 2); // C up, A down
    options.Ohgws().Delete(1);      // B
    options.Ohgws()[1].Diameter = 1.5f;
    options.Ohgws().Insert(1, std::make_unique<TOhgwItem>(TOhgwItem{"D", 4.0f}));
    options.Ohgws().Add(std::make_unique<TOhgwItem>(TOhgwItem{"E", 5.0f}));
    EXPECT_EQ(options.OhgwAt(-1), nullptr); // a drop-down with nothing selected
    EXPECT_EQ(options.OhgwAt(4), nullptr);
    ASSERT_EQ(options.SaveOhgws(), std::nullopt);
    EXPECT_EQ(ReadFile(ini), "[Ohgws]\n0=|C|,3.000\n1=|D|,4.000\n2=|A|,1.500\n3=|E|,5.000\n");
    options.Ohgws().Delete(0);
    options.LoadOhgws(); // Cancel: back to what the file holds
    EXPECT_EQ(options.OhgwNames(), (std::vector<std::string>{"C", "D", "A", "E"}));
}

TEST_F(OptionsTest, AFileWrittenByTheProgramReadsBackUnchanged) {
    {
        TOptions options(ini);
        ASSERT_EQ(options.WriteText(prefkeys::FacAddr, "1 Main St;Springfield, FL"), std::nullopt);
        ASSERT_EQ(options.WriteInteger(prefkeys::PhaseBAngle, -120), std::nullopt);
        options.Voltages().Add(std::make_unique<TVoltItem>(TVoltItem{69.0f, 1.05f, 72.0f}));
        options.Conductors().Add(
            std::make_unique<TCondItem>(TCondItem{"Müller's \"special\", 1", 0.125f, -5.0f}));
        options.Ohgws().Add(std::make_unique<TOhgwItem>(TOhgwItem{"3/8 EHS", 9.525f}));
        ASSERT_EQ(options.SaveLibraries(), std::nullopt);
    }
    const std::string written = ReadFile(ini);
    TOptions options(ini);
    EXPECT_EQ(options.LoadLibraries(), 0);
    EXPECT_EQ(options.FacAddr(), "1 Main St;Springfield, FL");
    EXPECT_EQ(options.PhaseBAngle(), -120);
    EXPECT_EQ(options.Voltages()[0].MaxVoltage, 72.0f);
    EXPECT_EQ(options.Conductors()[0].Name, "Müller's \"special\", 1");
    EXPECT_EQ(options.Conductors()[0].Diameter, 0.125f);
    EXPECT_EQ(options.Conductors()[0].Mcr, -5.0f);
    EXPECT_EQ(options.Ohgws()[0].Diameter, 9.525f);
    ASSERT_EQ(options.SaveLibraries(), std::nullopt);
    EXPECT_EQ(ReadFile(ini), written);
}

TEST_F(OptionsTest, TheStarterLibraryLoadsWithEveryEntry) {
    fs::copy_file(kStarterFile, ini);
    TOptions options(ini);
    EXPECT_EQ(options.LoadLibraries(), 0);
    EXPECT_EQ(options.VoltageTexts(),
              (std::vector<std::string>{"69", "115", "138", "161", "230", "345", "500"}));
    EXPECT_EQ(options.Conductors().Count(), 22);
    EXPECT_EQ(options.Ohgws().Count(), 12);
    EXPECT_EQ(options.Conductors()[7].Name, "Drake 795 ACSR");
    EXPECT_FLOAT_EQ(options.Conductors()[7].Diameter, 28.143f);
    EXPECT_FLOAT_EQ(options.Conductors()[7].Mcr, 907.0f);
    // Each class's maximum is the class voltage times the factor as typed
    // ("1.050"), rounded: what the voltage editor proposes.
    for (const TVoltItem& voltage : options.Voltages()) {
        const double typedFactor = std::round(voltage.OverRateFactor * 1000.0) / 1000.0;
        EXPECT_EQ(voltage.MaxVoltage, std::round(voltage.Voltage * typedFactor)) << voltage.Voltage;
    }
    // Within one conductor family a larger size is thicker and carries more.
    for (int i = 1; i < options.Conductors().Count(); ++i) {
        const TCondItem& smaller = options.Conductors()[i - 1];
        const TCondItem& larger = options.Conductors()[i];
        const bool sameFamily = smaller.Name.substr(smaller.Name.rfind(' ')) ==
                                larger.Name.substr(larger.Name.rfind(' '));
        if (!sameFamily) continue;
        EXPECT_GT(larger.Diameter, smaller.Diameter) << larger.Name;
        EXPECT_GT(larger.Mcr, smaller.Mcr) << larger.Name;
    }
    EXPECT_EQ(options.CheckReadable(), std::nullopt);
    // The starter is in the program's own format: saving it changes nothing.
    ASSERT_EQ(options.SaveLibraries(), std::nullopt);
    EXPECT_EQ(ReadFile(ini), ReadFile(kStarterFile));
}

TEST_F(OptionsTest, ARefusedWriteReturnsTheMessageAndKeepsTheFile) {
    fs::create_directory(ini); // something that is not a file stands where the file should
    TOptions options(ini);
    EXPECT_EQ(options.CheckReadable(), "Unable to read " + ini.string() + " (it is a folder)");
    EXPECT_TRUE(options.EnterAsTab());
    const std::string refused =
        "Unable to write to " + ini.string() + " (the file could not be read)";
    EXPECT_EQ(options.WriteBool(prefkeys::EnterAsTab, false), refused);
    options.Voltages().Add(std::make_unique<TVoltItem>(TVoltItem{230.0f, 1.05f, 242.0f}));
    EXPECT_EQ(options.SaveLibraries(), refused);
    EXPECT_TRUE(fs::is_directory(ini));
}

// The German locale writes "1,50" with printf; the preferences file must not.
TEST_F(OptionsTest, NumbersUseAPointWhateverTheLocale) {
    CORVALT_USE_GERMAN_LOCALE(german);
    TOptions options(ini);
    options.Voltages().Add(std::make_unique<TVoltItem>(TVoltItem{34.5f, 1.05f, 36.225f}));
    options.Conductors().Add(std::make_unique<TCondItem>(TCondItem{"Drake", 28.143f, 907.0f}));
    ASSERT_EQ(options.SaveLibraries(), std::nullopt);
    EXPECT_EQ(ReadFile(ini), "[Voltages]\n0=35,1.050,36\n\n[Conductors]\n0=|Drake|,28.143,907\n");
    options.LoadLibraries();
    EXPECT_FLOAT_EQ(options.Conductors()[0].Diameter, 28.143f);
    EXPECT_FLOAT_EQ(options.Voltages()[0].OverRateFactor, 1.05f);
    EXPECT_EQ(options.VoltageTexts(), std::vector<std::string>{"35"});
}

TEST(RecentFiles, NewestFirstWithoutRepeatsAndAtMostEight) {
    using List = std::vector<std::string>;
    struct TCase {
        const char* Name;
        List Before;
        const char* Path;
        List After;
    };
    const TCase cases[] = {
        {"first", {}, "/a.emf", {"/a.emf"}},
        {"new in front", {"/a.emf", "/b.emf"}, "/c.emf", {"/c.emf", "/a.emf", "/b.emf"}},
        {"known one moves up",
         {"/a.emf", "/b.emf", "/c.emf"},
         "/c.emf",
         {"/c.emf", "/a.emf", "/b.emf"}},
        {"already first", {"/a.emf", "/b.emf"}, "/a.emf", {"/a.emf", "/b.emf"}},
        {"the oldest falls off",
         {"/1", "/2", "/3", "/4", "/5", "/6", "/7", "/8"},
         "/9",
         {"/9", "/1", "/2", "/3", "/4", "/5", "/6", "/7"}},
        {"a full list keeps all when one moves up",
         {"/1", "/2", "/3", "/4", "/5", "/6", "/7", "/8"},
         "/8",
         {"/8", "/1", "/2", "/3", "/4", "/5", "/6", "/7"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(WithRecentFile(c.Before, c.Path), c.After);
    }
    EXPECT_EQ(WithoutRecentFile({"/a.emf", "/b.emf"}, "/a.emf"), List{"/b.emf"});
    EXPECT_EQ(WithoutRecentFile({"/a.emf"}, "/x.emf"), List{"/a.emf"});
}

TEST_F(OptionsTest, RecentFilesHaveTheirOwnSectionBesideTheOtherPreferences) {
    WriteFile(ini, "[General]\nEnterAsTab=0\n[RecentFiles]\nFile1=/old.emf\nFile3=/third.emf\n");
    TOptions options(ini);
    // A gap a hand edit left is closed up.
    EXPECT_EQ(options.RecentFiles(), (std::vector<std::string>{"/old.emf", "/third.emf"}));
    ASSERT_EQ(options.SetRecentFiles({"/home/eng/line 5.emf", "/old.emf"}), std::nullopt);
    // The section is written anew at the end, after a blank line as every section.
    EXPECT_EQ(ReadFile(ini), "[General]\nEnterAsTab=0\n\n[RecentFiles]\n"
                             "File1=/home/eng/line 5.emf\nFile2=/old.emf\n");
    EXPECT_EQ(options.RecentFiles(),
              (std::vector<std::string>{"/home/eng/line 5.emf", "/old.emf"}));
    EXPECT_FALSE(options.EnterAsTab());
    // More than eight: the newest eight are kept.
    std::vector<std::string> nine;
    for (int i = 1; i <= 9; ++i)
        nine.push_back("/" + std::to_string(i) + ".emf");
    ASSERT_EQ(options.SetRecentFiles(nine), std::nullopt);
    EXPECT_EQ(options.RecentFiles(), std::vector<std::string>(nine.begin(), nine.begin() + 8));
    ASSERT_EQ(options.SetRecentFiles({}), std::nullopt);
    EXPECT_TRUE(options.RecentFiles().empty());
    EXPECT_EQ(ReadFile(ini), "[General]\nEnterAsTab=0\n\n");
}
