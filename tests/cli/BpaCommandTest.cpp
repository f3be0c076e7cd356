// corvalt-cli bpa, run as the program.
#include "CliRun.h"

#include <gtest/gtest.h>

namespace corvalt::testing {
namespace {

class BpaCommand : public TCliTest {};

TEST_F(BpaCommand, WritesTheChosenCrossSection) {
    const std::string out = PathOf("line.bpa");
    const TRun run = Run("bpa '" + Sample("sample-english.emf") + "' '" + out + "' --section 2");
    EXPECT_EQ(run.Exit, 0) << run.Err;
    EXPECT_EQ(run.Err, "");
    const std::string file = Slurp(out);
    EXPECT_EQ(file.rfind("Suncoast 230/115 kV Sample Project\r\n"
                         "Lutz to Bayview 115 kV double circuit\r\n"
                         "1, 0, 6, 7, 0, 1, 0, 0\r\nCOMB\r\n",
                         0),
              0u)
        << file;
    EXPECT_NE(file.find("'1G1  ','A',   0.00,  74.00,  1,  0.385,"), std::string::npos);
    EXPECT_EQ(file.substr(file.size() - 15), "50,0,1\r\n0,0,0\r\n");
}

TEST_F(BpaCommand, RefusesWhatItCannotUse) {
    const std::string sample = "'" + Sample("sample-metric.emf") + "'";
    const std::string out = " '" + PathOf("out.bpa") + "'";
    struct TCase {
        std::string Arguments;
        const char* Message;
    };
    const TCase cases[] = {
        {"bpa " + sample, "usage: corvalt-cli bpa FILE.emf OUT [--section N]"},
        {"bpa " + sample + out + " --section 2", "there is no cross section 2 (the project has 1)"},
        {"bpa " + sample + out + " --section 0", "--section needs a cross-section number"},
        {"bpa " + sample + out + " --section x1", "--section needs a cross-section number"},
        {"bpa '" + PathOf("missing.emf") + "'" + out, "File does not exist"},
        {"bpa " + sample + " '" + PathOf("no folder") + "/x.bpa'",
         "The BPA file could not be written."},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Arguments);
        const TRun run = Run(c.Arguments);
        EXPECT_EQ(run.Exit, 2);
        EXPECT_NE(run.Err.find(c.Message), std::string::npos) << run.Err;
    }
    EXPECT_FALSE(std::filesystem::exists(PathOf("out.bpa")));
}

} // namespace
} // namespace corvalt::testing
