// The one safe writer and the whole-file reader: what they refuse, names that
// reach the file system byte for byte, the longest names, and paths longer
// than the system allows.
#include "FolderTest.h"

#include "model/FileIo.h"
#include "model/Messages.h"
#include "model/Project.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace corvalt;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kContent = {'n', 'e', 'w', '\n'};

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

class FileIo : public corvalt::test::TFolderTest {};

TEST_F(FileIo, TargetsThatAreNoRegularFileAreRefusedAndLeftAsTheyWere) {
    const fs::path fifo = folder_ / "pipe.pdf";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    fs::create_symlink("/dev/null", folder_ / "null.pdf");
    fs::create_symlink("/dev/full", folder_ / "full.bpa");
    fs::create_directory(folder_ / "folder.emf");
    struct Case {
        fs::path Target;
        const char* Expected;
    };
    const Case cases[] = {
        {fifo, "is not a regular file"},
        {folder_ / "null.pdf", "is not a regular file"},
        {folder_ / "full.bpa", "is not a regular file"},
        {"/dev/null", "is not a regular file"},
        {folder_ / "folder.emf", "is a folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Target.string());
        const std::string failure = ReplaceFile(c.Target.string(), kContent);
        EXPECT_NE(failure.find(c.Expected), std::string::npos) << failure;
    }
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(fifo)));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(folder_ / "null.pdf")));
    EXPECT_TRUE(fs::is_character_file(fs::status(folder_ / "full.bpa")));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_TRUE(fs::is_empty(folder_ / "folder.emf"));
    // No temporary file was left beside any of them.
    EXPECT_EQ(Names(),
              (std::vector<std::string>{"folder.emf", "full.bpa", "null.pdf", "pipe.pdf"}));
}

TEST_F(FileIo, ALinkToARegularFileIsWrittenThroughAndStays) {
    std::ofstream(folder_ / "real.pdf") << "old";
    fs::create_symlink("real.pdf", folder_ / "link.pdf");
    ASSERT_EQ(ReplaceFile((folder_ / "link.pdf").string(), kContent), "");
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(folder_ / "link.pdf")));
    EXPECT_EQ(Slurp(folder_ / "real.pdf"), "new\n");
    // A link to a file that does not exist yet creates that file.
    fs::create_symlink("later.pdf", folder_ / "dangling.pdf");
    ASSERT_EQ(ReplaceFile((folder_ / "dangling.pdf").string(), kContent), "");
    EXPECT_EQ(Slurp(folder_ / "later.pdf"), "new\n");
    EXPECT_EQ(Names(),
              (std::vector<std::string>{"dangling.pdf", "later.pdf", "link.pdf", "real.pdf"}));
}

TEST_F(FileIo, NamesReachTheFileSystemByteForByteUpToTheLongestName) {
    const long longest = pathconf(folder_.c_str(), _PC_NAME_MAX);
    ASSERT_GT(longest, 30);
    const std::size_t limit = static_cast<std::size_t>(longest);
    struct Case {
        const char* Title;
        std::string Name;
    };
    const Case cases[] = {
        // Whatever the temporary adds, a name that fits must save, and replace.
        {"longest name", std::string(limit - 4, 'n') + ".pdf"},
        {"one byte shorter", std::string(limit - 5, 'n') + ".pdf"},
        {"byte that is no UTF-8", "caf\xe9.bpa"},
        {"control character", "two\nlines.emf"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Title);
        const fs::path target = folder_ / c.Name;
        for (int round = 0; round < 2; ++round) { // create, then replace
            ASSERT_EQ(ReplaceFile(target.string(), kContent), "");
            EXPECT_EQ(Names(), std::vector<std::string>{c.Name});
            EXPECT_EQ(Slurp(target), "new\n");
        }
        fs::remove(target);
    }
    // One byte more than the system takes is refused as too long, not missing.
    const std::string tooLong = (folder_ / (std::string(limit - 3, 'n') + ".pdf")).string();
    EXPECT_NE(ReplaceFile(tooLong, kContent).find("longer than the system allows"),
              std::string::npos);
    Bytes read;
    EXPECT_EQ(ReadWholeFile(tooLong, 100, read).Status, TReadStatus::PathTooLong);
    EXPECT_TRUE(Names().empty());
}

TEST_F(FileIo, AnExistingFileBehindAPathTooLongIsNotCalledMissing) {
    // Folders nested below the current one (created relative to each other)
    // until the whole path passes PATH_MAX; the file at its end exists.
    const int start = open(".", O_RDONLY | O_DIRECTORY);
    ASSERT_GE(start, 0);
    ASSERT_EQ(chdir(folder_.c_str()), 0);
    const std::string part(200, 'd');
    std::string path = folder_.string();
    int depth = 0;
    while (path.size() <= PATH_MAX) {
        ASSERT_EQ(mkdir(part.c_str(), 0755), 0);
        ASSERT_EQ(chdir(part.c_str()), 0);
        path += "/" + part;
        ++depth;
    }
    std::ofstream("p.emf") << "x";
    ASSERT_EQ(fchdir(start), 0);
    path += "/p.emf";

    Bytes read;
    const TReadOutcome outcome = ReadWholeFile(path, 100, read);
    EXPECT_EQ(outcome.Status, TReadStatus::PathTooLong);
    EXPECT_NE(outcome.Detail.find("bytes) is longer than the system allows"), std::string::npos)
        << outcome.Detail;
    EXPECT_LT(outcome.Detail.size(), 200u); // the message shows the end, not 4 KB of path
    TEmfProject project;
    const TFileResult loaded = project.Load(path);
    EXPECT_EQ(loaded.Message, messages::kPathTooLong);
    EXPECT_NE(ReplaceFile(path, kContent).find("longer than the system allows"), std::string::npos);

    // Removed the way it was made: the folder's own removal cannot reach it.
    ASSERT_EQ(chdir(folder_.c_str()), 0);
    for (int i = 0; i < depth; ++i)
        ASSERT_EQ(chdir(part.c_str()), 0);
    EXPECT_EQ(unlink("p.emf"), 0);
    for (int i = 0; i < depth; ++i) {
        ASSERT_EQ(chdir(".."), 0);
        EXPECT_EQ(rmdir(part.c_str()), 0);
    }
    ASSERT_EQ(fchdir(start), 0);
    close(start);
}

TEST_F(FileIo, AWriteThatFailsMidwayKeepsTheOldFileAndLeavesNoTemporary) {
    const fs::path target = folder_ / "p.emf";
    std::ofstream(target) << "old";
    // Files may not grow past 1 KiB: writing 4 KiB fails as on a full disk.
    rlimit original{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &original), 0);
    const rlimit small{1024, original.rlim_max};
    std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string failure = ReplaceFile(target.string(), Bytes(4096, 'x'));
    setrlimit(RLIMIT_FSIZE, &original);
    std::signal(SIGXFSZ, SIG_DFL);
    EXPECT_NE(failure.find("cannot write"), std::string::npos) << failure;
    EXPECT_NE(failure.find(std::strerror(EFBIG)), std::string::npos) << failure;
    EXPECT_EQ(Slurp(target), "old");
    EXPECT_EQ(Names(), std::vector<std::string>{"p.emf"});
}

TEST_F(FileIo, MessagesEscapeControlCharactersInNames) {
    EXPECT_EQ(QuotedName("/tmp/a\nb\x1b[2J.emf"), "'/tmp/a\\x0Ab\\x1B[2J.emf'");
    const fs::path missing = folder_ / "no\nsuch\x1b.emf";
    Bytes read;
    const TReadOutcome outcome = ReadWholeFile(missing.string(), 100, read);
    EXPECT_EQ(outcome.Status, TReadStatus::Missing);
    EXPECT_EQ(outcome.Detail.find('\n'), std::string::npos);
    EXPECT_EQ(outcome.Detail.find('\x1b'), std::string::npos);
    EXPECT_NE(outcome.Detail.find("no\\x0Asuch\\x1B.emf"), std::string::npos);
}

TEST_F(FileIo, ANewFileGetsTheUsualPermissions) {
    // A replaced file keeps its own (ProjectFile tests); a new one gets 0666
    // less the process's mask, as any program's new file.
    const fs::path target = folder_ / "p.emf";
    const mode_t mask = umask(027);
    const std::string failure = ReplaceFile(target.string(), kContent);
    umask(mask);
    ASSERT_EQ(failure, "");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

} // namespace
