// corvalt-cli bpa, run as the program.
#include "CliRun.h"

#include <gtest/gtest.h>

namespace corvalt::test {
namespace {

TEST(BpaCommand, WritesTheChosenCrossSection) {
    TTempFolder folder;
    const auto out = folder / "line.bpa";
    const TCliRun run = RunCli("bpa " + Quoted(SamplePath("sample-english.emf")) + " " +
                                   Quoted(out) + " --section 2",
                               folder);
    EXPECT_EQ(run.Exit, 0) << run.Err;
    EXPECT_EQ(run.Err, "");
    const std::string file = ReadFile(out);
    EXPECT_EQ(file.rfind("Suncoast 230/115 kV Sample Project\r\n"
                         "Lutz to Bayview 115 kV double circuit\r\n"
                         "1, 0, 6, 7, 0, 1, 0, 0\r\nCOMB\r\n",
                         0),
              0u)
        << file;
    EXPECT_NE(file.find("'1G1  ','A',   0.00,  74.00,  1,  0.385,"), std::string::npos);
    EXPECT_EQ(file.substr(file.size() - 15), "50,0,1\r\n0,0,0\r\n");
}

TEST(BpaCommand, RefusesWhatItCannotUse) {
    TTempFolder folder;
    const std::string sample = Quoted(SamplePath("sample-metric.emf"));
    struct TCase {
        std::string Arguments;
        const char* Message;
    };
    const TCase cases[] = {
        {"bpa " + sample, "usage: corvalt-cli bpa FILE.emf OUT [--section N]"},
        {"bpa " + sample + " out.bpa --section 2",
         "there is no cross section 2 (the project has 1)"},
        {"bpa " + sample + " out.bpa --section 0", "--section needs a cross-section number"},
        {"bpa " + sample + " out.bpa --section x1", "--section needs a cross-section number"},
        {"bpa " + Quoted(folder / "missing.emf") + " out.bpa", "File does not exist"},
        {"bpa " + sample + " " + Quoted(folder / "no folder" / "x.bpa"),
         "The BPA file could not be written."},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Arguments);
        const TCliRun run = RunCli(c.Arguments, folder);
        EXPECT_EQ(run.Exit, 2);
        EXPECT_NE(run.Err.find(c.Message), std::string::npos) << run.Err;
    }
}

} // namespace
} // namespace corvalt::test
