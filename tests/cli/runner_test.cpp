// Runs the dramolex-run program as a user would and checks what it leaves.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/wait.h>

#include "cli/runner_options.h"
#include "support/files.h"

namespace {

namespace fs = std::filesystem;
using dramolex::cli::parseCommandLine;

struct Outcome {
    int exitCode;
    std::string out;
    std::string err;
};

using test_support::readFile;

class Runner : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = test_support::scratchDirectory("dramolex-runner");
    }
    void TearDown() override { fs::remove_all(dir_); }

    Outcome run(const std::string& arguments) const
    {
        const fs::path out = dir_ / "stdout.txt", err = dir_ / "stderr.txt";
        const std::string command = std::string(DRAMOLEX_RUN_BINARY) + " " + arguments + " >" + out.string() +
                                    " 2>" + err.string() + " </dev/null";
        const int status = std::system(command.c_str());
        Outcome o{WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(out), readFile(err)};
        fs::remove(out);
        fs::remove(err);
        return o;
    }
    fs::path file(const std::string& name) const { return dir_ / name; }
    size_t filesInDir() const { return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), {})); }

    fs::path dir_;
};

TEST_F(Runner, BadInputNamesOptionValueAndRangeAndTouchesNoFile)
{
    struct Case {
        const char* arguments;
        const char* mustSay;
    };
    const Case cases[] = {
        {"--agents 16349", "--agents '16349': out of range (accepted: 1 to 16348)"},
        {"--agents 0", "--agents '0'"},
        {"--agents 12.5", "--agents '12.5': not a whole number"},
        {"--agents 1,000", "not a whole number"},
        {"--agents 10 --groupers 101", "--groupers '101': out of range (accepted: 0 to 100)"},
        {"--agents 7 --groups 4", "--groups '4': out of range (accepted: 1, or 2 to 3)"},
        {"--agents 1 --groups 2", "--groups '2'"},
        {"--agents 10 --lifespan 0", "--lifespan '0'"},
        {"--agents 10 --rounds -1", "--rounds '-1'"},
        {"--agents 10 --seed 4294967296", "--seed '4294967296': out of range (accepted: 0 to 4294967295)"},
        {"--agents 10 --bogus 3", "--bogus"},
        {"--groupers 10", "--agents"},
    };
    for (const Case& c : cases) {
        const std::string args = std::string(c.arguments) + " --log " + file("run.log").string() + " --csv " +
                                 file("run.csv").string();
        const Outcome o = run(args);
        EXPECT_EQ(o.exitCode, 2) << c.arguments;
        EXPECT_NE(o.err.find(c.mustSay), std::string::npos) << c.arguments << " said: " << o.err;
        EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << "one line: " << o.err;
        EXPECT_EQ(filesInDir(), 0u) << c.arguments;
    }
}

TEST_F(Runner, UnopenableOutputPlaysNoRoundAndLeavesOtherFilesAlone)
{
    { std::ofstream(file("keep.csv")) << "precious\n"; }
    const Outcome o = run("--agents 10 --csv " + file("keep.csv").string() + " --log " +
                          file("missing/dir/run.log").string());
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_NE(o.err.find("missing/dir/run.log: No such file or directory"), std::string::npos) << o.err;
    EXPECT_EQ(o.err.find("played"), std::string::npos);
    EXPECT_EQ(readFile(file("keep.csv")), "precious\n");

    const Outcome second = run("--agents 10 --log " + file("new.log").string() + " --csv " + file("nodir/x.csv").string());
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_FALSE(fs::exists(file("new.log"))) << "the file it created is removed again";
}

TEST_F(Runner, AFullDiskIsReported)
{
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    const Outcome o = run("--agents 10 --rounds 5 --seed 1 --log /dev/full");
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_NE(o.err.find("error writing log /dev/full: No space left on device"), std::string::npos) << o.err;
}

TEST_F(Runner, SameSeedSameLogAndCsv)
{
    const std::string common = "--agents 31 --groupers 50 --groups 3 --lifespan 10 --rounds 60 --quiet";
    const Outcome a = run(common + " --seed 7 --log " + file("a.log").string() + " --csv " + file("a.csv").string());
    const Outcome b = run(common + " --seed 7 --log " + file("b.log").string() + " --csv " + file("b.csv").string());
    ASSERT_EQ(a.exitCode, 0) << a.err;
    ASSERT_EQ(b.exitCode, 0) << b.err;
    EXPECT_EQ(a.err, "seed: 7\n");
    EXPECT_EQ(readFile(file("a.log")), readFile(file("b.log")));
    EXPECT_EQ(readFile(file("a.csv")), readFile(file("b.csv")));

    const std::string csv = readFile(file("a.csv"));
    EXPECT_EQ(csv.substr(0, csv.find('\n')),
              "round,capital_gap,winners,avg_strategy_score,best_strategy_score,deaths,attendance,result");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 61);
}

TEST_F(Runner, WithoutSeedTheClockSeedIsPrintedAndReproducesTheRun)
{
    const Outcome a = run("--agents 21 --rounds 30 --log " + file("a.log").string());
    ASSERT_EQ(a.exitCode, 0);
    ASSERT_EQ(a.err.rfind("seed: ", 0), 0u) << a.err;
    const std::string seed = a.err.substr(6, a.err.find('\n') - 6);
    EXPECT_NE(a.err.find("played 30 rounds"), std::string::npos) << a.err;
    const Outcome b = run("--agents 21 --rounds 30 --seed " + seed + " --log " + file("b.log").string());
    ASSERT_EQ(b.exitCode, 0);
    EXPECT_EQ(readFile(file("a.log")), readFile(file("b.log")));
}

TEST_F(Runner, ZeroRoundsWritesEmptyLogAndHeaderOnlyCsv)
{
    const Outcome o = run("--agents 3 --rounds 0 --quiet --log " + file("r.log").string() + " --csv " + file("r.csv").string());
    ASSERT_EQ(o.exitCode, 0);
    EXPECT_EQ(readFile(file("r.log")), "");
    const std::string csv = readFile(file("r.csv"));
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1);
}

TEST_F(Runner, HelpAndVersion)
{
    const Outcome help = run("--help");
    EXPECT_EQ(help.exitCode, 0);
    for (const char* word : {"--agents", "--groupers", "--groups", "--lifespan", "--rounds", "--seed", "--log", "--csv", "--quiet", "Example"}) {
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    }
    const Outcome version = run("--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("dramolex-run ", 0), 0u);
}

// The whole pipeline against a stored log: herding, mortality and the log
// format. On a mismatch the new output is left beside the golden file.
TEST_F(Runner, GoldenLogWithHerdingAndMortality)
{
    const fs::path golden = fs::path(DRAMOLEX_GOLDEN_DIR) / "herding_mortality.log";
    const Outcome o = run(std::string(DRAMOLEX_GOLDEN_ARGS) + " --quiet --log " + file("run.log").string());
    ASSERT_EQ(o.exitCode, 0) << o.err;
    const std::string produced = readFile(file("run.log"));
    const std::string expected = readFile(golden);
    ASSERT_FALSE(expected.empty()) << "missing golden file " << golden;
    if (produced != expected) {
        const fs::path fresh = golden.string() + ".new";
        std::ofstream(fresh, std::ios::binary) << produced;
        FAIL() << "run log differs from " << golden << "; new output written to " << fresh;
    }
}

TEST(RunnerOptions, DefaultsAndClockSeed)
{
    const char* argv[] = {"dramolex-run", "--agents", "500"};
    const auto parsed = parseCommandLine(3, argv, 1234u);
    ASSERT_TRUE(parsed.options);
    const auto& p = parsed.options->parameters;
    EXPECT_EQ(p.numAgents, 500);
    EXPECT_EQ(p.grouperPercent, 0);
    EXPECT_EQ(p.numGroups, 1);
    EXPECT_EQ(p.avgAge, -1);
    EXPECT_EQ(p.seed, 1234u);
    EXPECT_EQ(parsed.options->rounds, 1000);
    EXPECT_FALSE(parsed.options->quiet);
}

TEST(RunnerOptions, LongRunsUseSixtyFourBitRounds)
{
    const char* argv[] = {"dramolex-run", "--agents", "5", "--rounds", "5000000000", "--seed", "4294967295"};
    const auto parsed = parseCommandLine(7, argv, 0u);
    ASSERT_TRUE(parsed.options);
    EXPECT_EQ(parsed.options->rounds, 5'000'000'000LL);
    EXPECT_EQ(parsed.options->parameters.seed, 4294967295u);
}

} // namespace
