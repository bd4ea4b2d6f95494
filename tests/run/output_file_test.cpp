#include "run/output_file.h"

#include "support/files.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
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

} // namespace
