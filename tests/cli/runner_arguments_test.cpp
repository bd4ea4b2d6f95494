// The runner's command line: values that are options, output paths, long
// values echoed in messages, and the accepted range of every number.
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "cli/runner_options.h"
#include "runner_process.h"

namespace {

namespace fs = std::filesystem;
using dramolex::cli::parseCommandLine;
using dramolex::cli::ParsedCommandLine;
using runner_test::Outcome;

ParsedCommandLine parse(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), "dramolex-run");
    std::vector<const char*> argv;
    for (const std::string& a : arguments) argv.push_back(a.c_str());
    return parseCommandLine(static_cast<int>(argv.size()), argv.data(), 99u);
}

class RunnerArguments : public ::testing::Test {
protected:
    void SetUp() override { dir_ = test_support::scratchDirectory("dramolex-arguments"); }
    void TearDown() override { fs::remove_all(dir_); }
    size_t filesInDir() const { return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), {})); }
    fs::path dir_;
};

// Every refusal: exit 2, one line that says the given text, and no file made.
TEST_F(RunnerArguments, RefusedCommandLinesTouchNoFile)
{
    struct Case {
        const char* arguments;
        const char* mustSay;
    };
    const Case cases[] = {
        {"--agents 5 --log --quiet", "--log needs a value, not the option '--quiet' (a value starting with -- is written --log=--quiet)"},
        {"--agents 5 --csv --log x.log", "--csv needs a value, not the option '--log'"},
        {"--agents 5 --charts --csv x.csv", "--charts needs a value, not the option '--csv'"},
        {"--agents 5 --rounds --seed 3", "--rounds needs a value, not the option '--seed'"},
        {"--agents 5 --log --", "--log needs a value, not the option '--'"},
        {"--agents 5 --log ''", "--log '': empty path (accepted: a file, or - for standard output)"},
        {"--agents 5 --csv=", "--csv"},
        {"--agents 5 --charts ''", "--charts '': empty path (accepted: a directory)"},
        {"--agents 5 --charts -", "--charts '-': not a directory"},
        {"--agents 5 --log - --csv -", "only one of --log, --csv and --summary can write to standard output"},
        {"--agents 5 --csv - --summary -", "only one of --log, --csv and --summary can write to standard output"},
    };
    for (const Case& c : cases) {
        const Outcome o = runner_test::runInShell(dir_, c.arguments);
        EXPECT_EQ(o.exitCode, 2) << c.arguments << " said: " << o.err;
        EXPECT_NE(o.err.find(c.mustSay), std::string::npos) << c.arguments << " said: " << o.err;
        EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << c.arguments << " said: " << o.err;
        EXPECT_EQ(filesInDir(), 0u) << c.arguments;
    }
}

TEST_F(RunnerArguments, AValueStartingWithDashesIsTakenWhenAttached)
{
    const Outcome o = runner_test::runInShell(dir_, "--agents 5 --rounds 2 --quiet --log=--quiet");
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(test_support::readFile(dir_ / "--quiet").rfind("Round: 0\n\n", 0), 0u);

    const auto parsed = parse({"--agents", "5", "--rounds", "-3"});
    EXPECT_NE(parsed.message.find("--rounds '-3': out of range"), std::string::npos)
        << "a single dash is a value, not an option: " << parsed.message;
}

TEST_F(RunnerArguments, DashWritesToStandardOutput)
{
    const Outcome o = runner_test::runInShell(dir_, "--agents 5 --rounds 3 --quiet --seed 4 --csv - --log run.log");
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(o.out.rfind("round,capital_gap,", 0), 0u) << o.out;
    EXPECT_EQ(std::count(o.out.begin(), o.out.end(), '\n'), 4);
    EXPECT_FALSE(fs::exists(dir_ / "-"));

    const Outcome log = runner_test::runInShell(dir_, "--agents 5 --rounds 3 --quiet --seed 4 --log -");
    ASSERT_EQ(log.exitCode, 0) << log.err;
    EXPECT_EQ(log.out, test_support::readFile(dir_ / "run.log"));
}

// A value of thousands of characters comes back shortened, keeping both ends.
TEST_F(RunnerArguments, LongValuesAreEchoedShortened)
{
    const std::string longText = "1" + std::string(5000, 'x') + "9";
    struct Case {
        std::string arguments;
        const char* mustSay;
    };
    const Case cases[] = {
        {"--agents " + longText, "--agents '1xxxxxxxxx"},
        {"--agents 5 --bogus" + longText, "--bogus1xxx"},
        {"--agents 5 --log nodir/" + longText, "cannot open log nodir/1xxx"},
        {"--agents 5 --log " + std::string(5000, '-'), "needs a value, not the option '-----"},
    };
    for (const Case& c : cases) {
        const Outcome o = runner_test::runInShell(dir_, c.arguments);
        EXPECT_NE(o.exitCode, 0);
        EXPECT_NE(o.err.find(c.mustSay), std::string::npos) << o.err.substr(0, 300);
        EXPECT_LT(o.err.size(), 600u) << o.err.substr(0, 300);
        EXPECT_NE(o.err.find(" characters)"), std::string::npos) << "the length is told: " << o.err.substr(0, 300);
        if (c.arguments.find(longText) != std::string::npos) {
            EXPECT_NE(o.err.find("xx9"), std::string::npos) << "the end is shown too: " << o.err.substr(0, 300);
        }
    }
}

// Both ends of every accepted range are accepted, and one step beyond each is
// refused naming the option.
TEST(RunnerRanges, EveryBoundaryIsAcceptedAndOneBeyondRefused)
{
    struct Case {
        std::vector<std::string> arguments;
        bool accepted;
        const char* refusedOption;
    };
    const Case cases[] = {
        {{"--agents", "1"}, true, ""},
        {{"--agents", "16348"}, true, ""},
        {{"--agents", "0"}, false, "--agents"},
        {{"--agents", "16349"}, false, "--agents"},
        {{"--agents", "10", "--groupers", "0"}, true, ""},
        {{"--agents", "10", "--groupers", "100"}, true, ""},
        {{"--agents", "10", "--groupers", "-1"}, false, "--groupers"},
        {{"--agents", "10", "--groupers", "101"}, false, "--groupers"},
        {{"--agents", "10", "--groups", "1"}, true, ""},
        {{"--agents", "10", "--groups", "2"}, true, ""},
        {{"--agents", "10", "--groups", "5"}, true, ""},
        {{"--agents", "10", "--groups", "0"}, false, "--groups"},
        {{"--agents", "10", "--groups", "6"}, false, "--groups"},
        {{"--agents", "3", "--groups", "1"}, true, ""},
        {{"--agents", "3", "--groups", "2"}, false, "--groups"},
        {{"--agents", "10", "--lifespan", "1"}, true, ""},
        {{"--agents", "10", "--lifespan", "100"}, true, ""},
        {{"--agents", "10", "--lifespan", "0"}, false, "--lifespan"},
        {{"--agents", "10", "--lifespan", "101"}, false, "--lifespan"},
        {{"--agents", "10", "--rounds", "0"}, true, ""},
        {{"--agents", "10", "--rounds", "9223372036854775807"}, true, ""},
        {{"--agents", "10", "--rounds", "-1"}, false, "--rounds"},
        {{"--agents", "10", "--rounds", "9223372036854775808"}, false, "--rounds"},
        {{"--agents", "10", "--seed", "0"}, true, ""},
        {{"--agents", "10", "--seed", "4294967295"}, true, ""},
        {{"--agents", "10", "--seed", "-1"}, false, "--seed"},
        {{"--agents", "10", "--seed", "4294967296"}, false, "--seed"},
    };
    for (const Case& c : cases) {
        std::string shown;
        for (const std::string& a : c.arguments) shown += a + " ";
        const ParsedCommandLine parsed = parse(c.arguments);
        EXPECT_EQ(parsed.options.has_value(), c.accepted) << shown << parsed.message;
        if (c.accepted) continue;
        EXPECT_EQ(parsed.exitCode, 2) << shown;
        const std::string expected = std::string("dramolex-run: ") + c.refusedOption + " '" + c.arguments.back() + "': ";
        EXPECT_EQ(parsed.message.rfind(expected, 0), 0u) << shown << parsed.message;
    }
}

TEST(RunnerRanges, AcceptedValuesArriveUnchanged)
{
    const auto parsed = parse({"--agents", "+16348", "--groupers", "100", "--groups", "8174", "--lifespan", "100",
                               "--rounds", "0", "--seed", "0"});
    ASSERT_TRUE(parsed.options) << parsed.message;
    const auto& p = parsed.options->parameters;
    EXPECT_EQ(p.numAgents, 16348);
    EXPECT_EQ(p.grouperPercent, 100);
    EXPECT_EQ(p.numGroups, 8174);
    EXPECT_EQ(p.avgAge, 100);
    EXPECT_EQ(parsed.options->rounds, 0);
    EXPECT_EQ(p.seed, 0u);
}

} // namespace
