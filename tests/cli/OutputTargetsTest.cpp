// Where the commands write, run as the program: every file goes through the
// one safe writer, so pipes and devices are refused alike; names reach the
// file system byte for byte, up to the longest the system takes; paths too
// long and odd names get a clear one-line message.
#include "CliRun.h"

#include "model/Messages.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace corvalt::testing {
namespace {

namespace fs = std::filesystem;

class OutputTargets : public TCliTest {
  protected:
    // The command that writes to target ("'...'" quoted), for each writing command.
    struct TWriter {
        const char* Name;
        std::string Arguments;
    };
    std::vector<TWriter> Writers(const std::string& target) const {
        const std::string sample = "'" + Sample("sample-metric.emf") + "' ";
        const std::string quoted = "'" + target + "'";
        return {
            {"report --pdf", "report " + sample + "--kind 3 --pdf " + quoted},
            {"bpa", "bpa " + sample + quoted},
            {"resave", "resave " + sample + quoted},
        };
    }
};

TEST_F(OutputTargets, PipesDevicesAndLinksToDevicesAreRefusedAndKept) {
    ASSERT_EQ(mkfifo(PathOf("pipe").c_str(), 0644), 0);
    fs::create_symlink("/dev/null", PathOf("null"));
    fs::create_symlink("/dev/full", PathOf("full"));
    for (const char* target : {"pipe", "null", "full"}) {
        for (const TWriter& writer : Writers(PathOf(target))) {
            SCOPED_TRACE(std::string(writer.Name) + " to " + target);
            const TRun run = Run(writer.Arguments);
            EXPECT_EQ(run.Exit, 2);
            EXPECT_NE(run.Err.find("is not a regular file"), std::string::npos) << run.Err;
        }
    }
    // The preferences file: a link to a device is never read, nor replaced.
    const TRun prefs = Run("prefs --resave --ini '" + PathOf("full") + "'");
    EXPECT_EQ(prefs.Exit, 2);
    EXPECT_EQ(prefs.Err,
              "corvalt-cli: Unable to read " + PathOf("full") + " (it is not a regular file)\n");

    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(PathOf("pipe"))));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(PathOf("null"))));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(PathOf("full"))));
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"full", "null", "pipe"}));
}

TEST_F(OutputTargets, NamesAreWrittenByteForByteUpToTheLongestName) {
    const std::size_t longest = static_cast<std::size_t>(pathconf(folder_.c_str(), _PC_NAME_MAX));
    ASSERT_GT(longest, 30u);
    const std::string names[] = {
        std::string(longest - 4, 'r') + ".out", // the longest name the folder takes
        "caf\xe9-\xff.out",                     // bytes that are not UTF-8
    };
    for (const std::string& name : names) {
        for (const TWriter& writer : Writers(PathOf(name))) {
            SCOPED_TRACE(std::string(writer.Name) + " to a name of " + std::to_string(name.size()) +
                         " bytes");
            for (int round = 0; round < 2; ++round) { // create, then replace
                const TRun run = Run(writer.Arguments);
                EXPECT_EQ(run.Exit, 0) << run.Err;
                EXPECT_EQ(Names(), std::vector<std::string>{name});
            }
            EXPECT_GT(fs::file_size(PathOf(name)), 100u);
            fs::remove(PathOf(name));
        }
    }
}

TEST_F(OutputTargets, TooLongIsSaidAsSuch) {
    const std::size_t longest = static_cast<std::size_t>(pathconf(folder_.c_str(), _PC_NAME_MAX));
    const std::string tooLong = PathOf(std::string(longest - 3, 'r') + ".out");
    for (const TWriter& writer : Writers(tooLong)) {
        SCOPED_TRACE(writer.Name);
        const TRun run = Run(writer.Arguments);
        EXPECT_EQ(run.Exit, 2);
        EXPECT_NE(run.Err.find("is longer than the system allows"), std::string::npos) << run.Err;
    }
    // Reading: a path beyond PATH_MAX, refused before any of its folders is looked at.
    std::string deep = folder_.string();
    while (deep.size() <= PATH_MAX)
        deep += "/" + std::string(250, 'd');
    const TRun run = Run("check '" + deep + "/p.emf'");
    EXPECT_EQ(run.Exit, 2);
    EXPECT_NE(run.Err.find(messages::kPathTooLong), std::string::npos) << run.Err;
    EXPECT_EQ(run.Err.find(messages::kFileDoesNotExist), std::string::npos) << run.Err;
    EXPECT_TRUE(Names().empty());
}

TEST_F(OutputTargets, ControlCharactersInNamesAreEscapedInTheMessage) {
    const std::string name = PathOf("evil\n\x1b[2Jname.emf");
    struct TCase {
        const char* Title;
        std::string Arguments;
    };
    const TCase cases[] = {
        {"missing project", "check '" + name + "'"},
        {"refused target", "resave '" + Sample("sample-metric.emf") + "' '" + name + "/x.emf'"},
        {"unknown option", "check '--" + std::string("\x1b[2J") + "'"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Title);
        const TRun run = Run(c.Arguments);
        EXPECT_EQ(run.Exit, 2);
        EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1) << run.Err;
        EXPECT_EQ(run.Err.find('\x1b'), std::string::npos) << run.Err;
        EXPECT_NE(run.Err.find("\\x1B[2J"), std::string::npos) << run.Err;
        EXPECT_EQ(run.Err.back(), '\n');
    }
}

} // namespace
} // namespace corvalt::testing
