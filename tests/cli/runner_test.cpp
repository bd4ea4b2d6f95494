// Runs the dramolex-run program as a user would and checks what it leaves.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/wait.h>

#include <nlohmann/json.hpp>

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
        {"--agents 10 --rounds 10 --burn-in 11", "--burn-in '11': out of range (accepted: 0 to rounds = 10)"},
        {"--agents 10 --memory 17", "--memory '17': out of range (accepted: 1 to 16)"},
        {"--agents 10 --strategies 0", "--strategies '0'"},
        {"--agents 10 --rule worst", "--rule 'worst': not accepted (accepted: record or best)"},
        {"--agents 10 --replacement maybe", "--replacement 'maybe'"},
        {"--agents 10 --lifespans random", "--lifespans 'random'"},
        {"--agents 16348 --memory 16 --strategies 16",
         "--memory 16 with --strategies 16 and --agents 16348: strategy tables of 2.00 GiB"},
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
    for (const char* word : {"--agents", "--groupers", "--groups", "--lifespan", "--rounds", "--seed", "--log", "--csv",
                             "--quiet", "Example", "--burn-in", "--summary", "--memory", "--strategies", "--rule",
                             "--replacement", "--lifespans", "docs/model-options.md", "seeds 0 and 1 give the same run"}) {
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    }
    const Outcome version = run("--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("dramolex-run ", 0), 0u);
}

TEST_F(Runner, SummaryHoldsTheRunAndItsObservables)
{
    const Outcome o = run("--agents 51 --groupers 20 --groups 2 --lifespan 30 --rounds 300 --burn-in 100 --seed 8 "
                          "--quiet --summary " + file("s.json").string() + " --log " + file("s.log").string());
    ASSERT_EQ(o.exitCode, 0) << o.err;
    const std::string text = readFile(file("s.json"));
    ASSERT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << "one object on one line";
    const auto json = nlohmann::json::parse(text);
    EXPECT_EQ(json["parameters"]["agents"], 51);
    EXPECT_EQ(json["parameters"]["lifespan"], 30);
    EXPECT_EQ(json["parameters"]["memory"], 3);
    EXPECT_EQ(json["seed"], 8);
    EXPECT_EQ(json["rounds_played"], 300);
    EXPECT_EQ(json["rounds_measured"], 200);
    EXPECT_DOUBLE_EQ(json["observables"]["alpha"].get<double>(), 8.0 / 51);
    EXPECT_TRUE(json["observables"]["mean_age"].is_number());
    const std::string log = readFile(file("s.log"));
    EXPECT_EQ(log.rfind("Round: 0\n", 0), 0u) << "the burn-in rounds are still played and logged";
    EXPECT_NE(log.find("Round: 299\n"), std::string::npos);

    // The same run to standard output gives the same object.
    const Outcome toStdout = run("--agents 51 --groupers 20 --groups 2 --lifespan 30 --rounds 300 --burn-in 100 "
                                 "--seed 8 --quiet --summary -");
    ASSERT_EQ(toStdout.exitCode, 0) << toStdout.err;
    EXPECT_EQ(toStdout.out, text);

    const Outcome clash = run("--agents 5 --log " + file("x").string() + " --summary " + file("x").string());
    EXPECT_EQ(clash.exitCode, 1);
    EXPECT_NE(clash.err.find("--summary names the same file"), std::string::npos) << clash.err;
}

TEST_F(Runner, SeedsZeroAndOneGiveTheSameRun)
{
    const std::string common = "--agents 25 --groupers 40 --groups 2 --rounds 30 --quiet --csv ";
    ASSERT_EQ(run("--seed 0 " + common + file("zero.csv").string()).exitCode, 0);
    ASSERT_EQ(run("--seed 1 " + common + file("one.csv").string()).exitCode, 0);
    ASSERT_EQ(run("--seed 2 " + common + file("two.csv").string()).exitCode, 0);
    EXPECT_EQ(readFile(file("zero.csv")), readFile(file("one.csv")));
    EXPECT_NE(readFile(file("one.csv")), readFile(file("two.csv")));
}

TEST_F(Runner, ModelOptionsAtTheirDefaultsChangeNothing)
{
    const std::string common = "--agents 31 --groupers 50 --groups 3 --lifespan 10 --rounds 40 --seed 3 --quiet";
    ASSERT_EQ(run(common + " --log " + file("a.log").string()).exitCode, 0);
    ASSERT_EQ(run(common + " --memory 3 --strategies 10 --rule record --replacement on --lifespans fixed --log " +
                  file("b.log").string()).exitCode, 0);
    EXPECT_EQ(readFile(file("a.log")), readFile(file("b.log")));
}

TEST_F(Runner, ChartDirectoryIsCreatedWithItsParents)
{
    const fs::path charts = file("a/b/charts");
    const Outcome o = run("--agents 11 --rounds 20 --seed 1 --quiet --charts " + charts.string());
    if (o.err.find("no chart views") != std::string::npos) GTEST_SKIP() << "built without chart views";
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_TRUE(fs::exists(charts / "winners.png"));
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
