#include "run/output_file.h"

#include "support/files.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using dramolex::run::OutputFile;

const auto contents = test_support::readFile;

class OutputFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = test_support::scratchDirectory("dramolex-output");
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

TEST_F(OutputFileTest, OpenEmptiesAndEveryWriteIsOnDiskAtOnce)
{
    const fs::path p = dir_ / "log.txt";
    { std::ofstream(p) << "old contents\n"; }
    OutputFile f;
    ASSERT_TRUE(f.open(p.string()));
    EXPECT_EQ(contents(p), "");
    ASSERT_TRUE(f.write("Round: 0\n"));
    EXPECT_EQ(contents(p), "Round: 0\n") << "readable while the file is open";
    EXPECT_TRUE(f.close());
}

TEST_F(OutputFileTest, KeepingContentsUntilTruncateAndUndoingACreation)
{
    const fs::path kept = dir_ / "kept.txt";
    { std::ofstream(kept) << "keep me"; }
    OutputFile existing;
    ASSERT_TRUE(existing.openKeepingContents(kept.string()));
    existing.removeIfCreated();
    EXPECT_EQ(contents(kept), "keep me") << "an existing file is never removed";

    const fs::path fresh = dir_ / "fresh.txt";
    OutputFile created;
    ASSERT_TRUE(created.openKeepingContents(fresh.string()));
    created.removeIfCreated();
    EXPECT_FALSE(fs::exists(fresh));
}

TEST_F(OutputFileTest, FailuresCarryThePathAndTheSystemsReason)
{
    OutputFile f;
    EXPECT_FALSE(f.open((dir_ / "no/such/dir.txt").string()));
    EXPECT_EQ(f.error(), (dir_ / "no/such/dir.txt").string() + ": No such file or directory");
    EXPECT_FALSE(f.open(""));
    EXPECT_FALSE(f.write("x"));
    if (fs::exists("/dev/full")) {
        OutputFile full;
        ASSERT_TRUE(full.open("/dev/full"));
        EXPECT_FALSE(full.write("x"));
        EXPECT_EQ(full.error(), "/dev/full: No space left on device");
    }
}

// A descriptor path uses the descriptor as it is: an appending one keeps
// appending and is never emptied.
TEST_F(OutputFileTest, DescriptorPathsUseTheDescriptorAsSetUp)
{
    const fs::path p = dir_ / "results.txt";
    { std::ofstream(p) << "keep\n"; }
    const int appending = ::open(p.c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(appending, 0);
    for (const std::string prefix : {"/dev/fd/", "/proc/self/fd/"}) {
        OutputFile f;
        ASSERT_TRUE(f.openKeepingContents(prefix + std::to_string(appending))) << f.error();
        EXPECT_TRUE(f.truncate());
        EXPECT_TRUE(f.write(prefix + "\n"));
        EXPECT_TRUE(f.close());
    }
    EXPECT_EQ(contents(p), "keep\n/dev/fd/\n/proc/self/fd/\n");
    EXPECT_EQ(::write(appending, "still open\n", 11), 11) << "closing the output leaves the descriptor open";
    ::close(appending);

    OutputFile closed;
    EXPECT_FALSE(closed.openKeepingContents("/dev/fd/" + std::to_string(appending)));
    EXPECT_EQ(closed.error(), "/dev/fd/" + std::to_string(appending) + ": Bad file descriptor");
}

TEST_F(OutputFileTest, APipeIsWrittenWithoutBeingEmptied)
{
    const fs::path fifo = dir_ / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    OutputFile f;
    ASSERT_TRUE(f.open(fifo.string())) << f.error();
    EXPECT_FALSE(f.isRegularFile());
    ASSERT_TRUE(f.write("through"));
    char buffer[16] = {};
    EXPECT_EQ(::read(reader, buffer, sizeof buffer), 7);
    EXPECT_STREQ(buffer, "through");
    ::close(reader);
}

TEST_F(OutputFileTest, AProbeLeavesTheContentsAndReportsARefusal)
{
    const fs::path p = dir_ / "old.log";
    { std::ofstream(p) << "old\n"; }
    OutputFile f;
    ASSERT_TRUE(f.openKeepingContents(p.string()));
    EXPECT_TRUE(f.isRegularFile());
    EXPECT_TRUE(f.probe("Round: 0\n\n"));
    EXPECT_EQ(contents(p), "old\n");

    // A file-size limit at the current size refuses any more data.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit saved = limit;
    limit.rlim_cur = 4;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    const bool taken = f.probe("Round: 0\n\n");
    ::setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(taken);
    EXPECT_EQ(f.error(), p.string() + ": File too large");
    EXPECT_EQ(contents(p), "old\n");
}

TEST_F(OutputFileTest, SameFileMeansOneRegularFileNotOneDevice)
{
    const fs::path p = dir_ / "one.txt";
    fs::create_symlink("one.txt", dir_ / "link.txt");
    OutputFile a, b, nullA, nullB, other;
    ASSERT_TRUE(a.openKeepingContents(p.string()));
    ASSERT_TRUE(b.openKeepingContents((dir_ / "link.txt").string()));
    ASSERT_TRUE(other.openKeepingContents((dir_ / "two.txt").string()));
    ASSERT_TRUE(nullA.openKeepingContents("/dev/null"));
    ASSERT_TRUE(nullB.openKeepingContents("/dev/null"));
    EXPECT_TRUE(a.sameFileAs(b));
    EXPECT_FALSE(a.sameFileAs(other));
    EXPECT_FALSE(nullA.sameFileAs(nullB));
    EXPECT_TRUE(a.isFileAt((dir_ / "." / "one.txt").string()));
    EXPECT_FALSE(a.isFileAt((dir_ / "two.txt").string()));
    EXPECT_FALSE(a.isFileAt((dir_ / "none.txt").string()));
    EXPECT_FALSE(nullA.isFileAt("/dev/null"));
}

TEST_F(OutputFileTest, ALongPathIsShortenedInTheError)
{
    OutputFile f;
    const std::string path = (dir_ / std::string(5000, 'n')).string();
    EXPECT_FALSE(f.open(path));
    EXPECT_LT(f.error().size(), 200u) << f.error().substr(0, 200);
    EXPECT_NE(f.error().find("characters): File name too long"), std::string::npos) << f.error().substr(0, 200);
}

} // namespace
