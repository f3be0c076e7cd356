// Leftovers of killed runs: removed by a later run only when they are stale
// (this user's plain file or folder, its maker gone, untouched for an hour),
// never a running process's, another target's or a link.
#include "FolderTest.h"
#include "model/FileIo.h"
#include "model/Leftovers.h"
#include "model/StopCleanup.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace corvalt::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The id of a process that has ended (a child that exited and was reaped).
pid_t EndedProcess() {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

void Age(const fs::path& path, std::chrono::minutes age) {
    fs::last_write_time(path, fs::file_time_type::clock::now() - age);
}

class Leftovers : public TFolderTest {
  protected:
    fs::path MakeFile(const std::string& name, std::chrono::minutes age) {
        const fs::path path = folder_ / name;
        std::ofstream(path) << "half a project";
        Age(path, age);
        return path;
    }
    fs::path MakeFolder(const std::string& name, std::chrono::minutes age) {
        const fs::path path = folder_ / name;
        fs::create_directory(path);
        std::ofstream(path / "temp.rpt") << "pages";
        Age(path, age);
        return path;
    }
};

TEST_F(Leftovers, ASaveRemovesOnlyTheStaleTemporariesOfItsTarget) {
    const std::string dead = std::to_string(EndedProcess());
    const std::string alive = std::to_string(getppid());
    const std::vector<std::string> kept = {
        ".p.emf.saving-" + alive + "-1",        // its maker still runs
        ".p.emf.saving-" + dead + "-2",         // touched within the hour
        ".q.emf.saving-" + dead + "-3",         // another target's
        ".p.emf.saving-x" + dead + "-4",        // not a name the writer makes
    };
    MakeFile(".p.emf.saving-" + dead + "-0", 61min);
    MakeFile(kept[0], 24h * 60);
    MakeFile(kept[1], 59min);
    MakeFile(kept[2], 61min);
    MakeFile(kept[3], 61min);
    fs::create_symlink("p.emf", folder_ / (".p.emf.saving-" + dead + "-5")); // a link

    const std::vector<std::uint8_t> bytes = {1, 2, 3};
    ASSERT_EQ(ReplaceFile(PathOf("p.emf"), bytes), "");
    std::vector<std::string> expected = kept;
    expected.push_back(".p.emf.saving-" + dead + "-5");
    expected.push_back("p.emf");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Names(), expected);
}

TEST_F(Leftovers, StaleTemporaryFoldersGoAtTheNextStart) {
    const char* previous = std::getenv("TMPDIR");
    const std::string saved = previous != nullptr ? previous : "";
    setenv("TMPDIR", folder_.c_str(), 1);
    const std::string dead = std::to_string(EndedProcess());
    MakeFolder("corvalt-cli-pages-" + dead + "-aB3xYz", 2h);
    MakeFolder("corvalt-pages-" + dead + "-aB3xYz", 2h);
    MakeFolder("corvalt-cli-runtime-" + dead + "-aB3xYz", 2h);
    MakeFolder("corvalt-pages-" + std::to_string(getppid()) + "-aB3xYz", 2h);
    MakeFolder("corvalt-pages-" + dead + "x-aB3xYz", 2h);
    MakeFolder("other-pages-" + dead + "-aB3xYz", 2h);
    const bool asRoot = geteuid() == 0;
    if (asRoot) { // another user's folder is never ours, whatever its name
        const fs::path foreign = MakeFolder("corvalt-cli-pages-" + dead + "-foreign", 2h);
        ASSERT_EQ(lchown(foreign.c_str(), 65534, 65534), 0);
    }
    {
        // A folder made now carries this process's id, so it is never removed
        // while this process runs.
        const TTemporaryFolder own(kCliPagesFolder);
        ASSERT_TRUE(own.IsValid()) << own.Error();
        EXPECT_EQ(LeftoverMaker(fs::path(own.Path()).filename().string(), kCliPagesFolder),
                  getpid());
        Age(own.Path(), 2h);
        RemoveStaleTemporaryFolders();
        EXPECT_TRUE(fs::exists(own.Path()));
    }
    std::vector<std::string> expected = {
        "corvalt-pages-" + std::to_string(getppid()) + "-aB3xYz",
        "corvalt-pages-" + dead + "x-aB3xYz", "other-pages-" + dead + "-aB3xYz"};
    if (asRoot) expected.push_back("corvalt-cli-pages-" + dead + "-foreign");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Names(), expected);
    if (previous != nullptr)
        setenv("TMPDIR", saved.c_str(), 1);
    else
        unsetenv("TMPDIR");
}

TEST_F(Leftovers, AReplacedFileKeepsItsOwnerAndGroup) {
    if (geteuid() != 0) GTEST_SKIP() << "only root can own a file for another user";
    const fs::path target = MakeFile("shared.emf", 0min);
    ASSERT_EQ(chown(target.c_str(), 65534, 65534), 0);
    fs::permissions(target, fs::perms(0664));
    const std::vector<std::uint8_t> bytes = {4, 5};
    ASSERT_EQ(ReplaceFile(target.string(), bytes), "");
    struct stat after {};
    ASSERT_EQ(stat(target.c_str(), &after), 0);
    EXPECT_EQ(after.st_uid, 65534u);
    EXPECT_EQ(after.st_gid, 65534u);
    EXPECT_EQ(after.st_mode & 07777, 0664u);
    EXPECT_EQ(fs::file_size(target), 2u);
}

} // namespace
} // namespace corvalt::test
