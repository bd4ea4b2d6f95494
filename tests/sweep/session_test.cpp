// The sweep with the real runs, through the dramolex-sweep program as a user
// runs it: rows equal single dramolex-run results, bad configs are refused,
// and a sweep interrupted by SIGINT resumes to the same rows.
#include <chrono>
#include <fcntl.h>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>

#include "support/files.h"
#include "sweep/examples.h"
#include "sweep/session_model.h"
#include "sweep/summary_row.h"
#include "sweep/sweep_config.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace dramolex::sweep;
using test_support::readFile;

struct Outcome {
    int exitCode;
    std::string err;
};

std::vector<std::string> splitCsv(const std::string& line)
{
    std::vector<std::string> cells;
    std::stringstream in(line);
    std::string cell;
    while (std::getline(in, cell, ',')) cells.push_back(cell);
    if (!line.empty() && line.back() == ',') cells.emplace_back();
    return cells;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

std::string withoutSeconds(const std::string& csv)
{
    std::string out;
    for (const std::string& line : lines(csv)) out += SummaryFormat::withoutSeconds(line) + "\n";
    return out;
}

class SweepProgram : public ::testing::Test {
protected:
    void SetUp() override { dir_ = test_support::scratchDirectory("dramolex-sweep-program"); }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path write(const std::string& name, const std::string& text) const
    {
        std::ofstream(dir_ / name) << text;
        return dir_ / name;
    }
    Outcome run(const std::string& program, const std::string& arguments) const
    {
        const fs::path err = dir_ / "stderr.txt";
        const std::string command = program + " " + arguments + " >/dev/null 2>" + err.string() + " </dev/null";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(err)};
    }
    Outcome sweep(const std::string& arguments) const { return run(DRAMOLEX_SWEEP_BINARY, arguments); }

    fs::path dir_;
};

TEST_F(SweepProgram, RowsEqualSingleRunSummaries)
{
    const fs::path config = write("c.toml", "rounds = 300\nburn_in = 100\nreplications = 2\nseed = 11\n[parameters]\n"
                                            "agents = [31, 64]\ngroupers = 40\ngroups = [1, 3]\n"
                                            "rule = \"best\"\nstrategies = 3\nreplacement = false\n"
                                            "memory = [2, 4]\nlifespan = 20\nlifespans = \"seeded\"\n");
    ASSERT_EQ(sweep("run " + config.string() + " --out " + (dir_ / "out").string() + " --jobs 2").exitCode, 0);
    const auto rows = lines(readFile(dir_ / "out/summary.csv"));
    ASSERT_EQ(rows.size(), 17u);
    const auto header = splitCsv(rows[0]);
    auto column = [&](const std::string& name) {
        return static_cast<size_t>(std::find(header.begin(), header.end(), name) - header.begin());
    };
    for (size_t r = 1; r < rows.size(); ++r) {
        const auto cells = splitCsv(rows[r]);
        ASSERT_EQ(cells.size(), header.size());
        const std::string summaryPath = (dir_ / "single.json").string();
        const std::string arguments = "--agents " + cells[column("agents")] + " --groupers 40 --groups " + cells[column("groups")] +
                                      " --memory " + cells[column("memory")] + " --lifespan 20 --lifespans seeded" +
                                      " --rule best --strategies 3 --replacement off --rounds 300 --burn-in 100 --seed " +
                                      cells[column("seed")] + " --quiet --summary " + summaryPath;
        ASSERT_EQ(run(DRAMOLEX_RUN_BINARY, arguments).exitCode, 0);
        const auto single = nlohmann::json::parse(readFile(summaryPath));
        size_t compared = 0;
        for (const auto& [name, value] : single["observables"].items()) {
            const std::string cell = cells.at(column(name));
            if (value.is_null()) EXPECT_EQ(cell, "") << name;
            else EXPECT_EQ(std::stod(cell), value.get<double>()) << name << " in row " << r;
            ++compared;
        }
        EXPECT_EQ(compared, 10u);
        EXPECT_EQ(cells[column("rounds_measured")], std::to_string(single["rounds_measured"].get<int64_t>()));
    }
}

TEST_F(SweepProgram, BadConfigsAndUsageExitTwoTouchingNothing)
{
    struct Case {
        const char* config;
        const char* mustSay;
    };
    const Case cases[] = {
        {"[parameters]\nagents = [101, 0]\n", "c.toml:2: agents '0': out of range (accepted: 1 to 16348)"},
        {"[parameters]\nagents = 11\ngroups = [1, 6]\n", "c.toml: groups = 6: "},
        {"[parameters]\nagents = 11\nlifespan = 20\n", "a sweep with mortality needs lifespans = \"seeded\""},
        {"[parameters]\nagents = 11\nrule = \"worst\"\n", "c.toml:3: rule 'worst'"},
        {"[parameters]\nagents = 11\ncolour = 3\n", "c.toml:3: parameters: unknown key 'colour' (accepted: agents, groupers, groups, lifespan, memory, strategies, rule, replacement, lifespans)"},
        {"[parameters]\nburn_in = 3\n", "parameters.burn_in: set burn_in at the top level"},
        {"rounds = 10\nburn_in = 11\n[parameters]\nagents = 11\n", "burn_in"},
    };
    for (const Case& c : cases) {
        const fs::path config = write("c.toml", c.config);
        const Outcome outcome = sweep("run " + config.string() + " --out " + (dir_ / "out").string());
        EXPECT_EQ(outcome.exitCode, 2) << c.config;
        EXPECT_NE(outcome.err.find(c.mustSay), std::string::npos) << c.config << "said: " << outcome.err;
        EXPECT_FALSE(fs::exists(dir_ / "out"));
    }
    const fs::path good = write("c.toml", "rounds = 10\n[parameters]\nagents = 11\n");
    for (const char* usage : {"run", "frobnicate", "run c.toml", "example nothing", "merge --out x.csv"}) {
        EXPECT_EQ(sweep(usage).exitCode, 2) << usage;
    }
    EXPECT_EQ(sweep("run " + good.string() + " --out " + (dir_ / "out").string() + " --shard 3/3").exitCode, 2);
    EXPECT_EQ(sweep("run " + good.string() + " --out " + (dir_ / "out").string() + " --jobs 0").exitCode, 2);
    EXPECT_FALSE(fs::exists(dir_ / "out"));
    // An output directory that cannot be made: exit 1.
    const Outcome unwritable = sweep("run " + good.string() + " --out " + (good / "sub").string());
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_NE(unwritable.err.find("cannot create"), std::string::npos) << unwritable.err;
}

TEST_F(SweepProgram, BundledExamplesAreGoodConfigs)
{
    const RunModel model = sessionModel();
    for (const ExampleConfig& example : exampleConfigs()) {
        const ConfigReading reading = readSweepConfig(example.text, std::string(example.name), model);
        EXPECT_TRUE(reading.errors.empty()) << example.name << ": " << (reading.errors.empty() ? "" : reading.errors[0]);
        EXPECT_GE(reading.config.runs(), 50u) << example.name;
    }
    EXPECT_EQ(sweep("example herding").exitCode, 0);
}

TEST_F(SweepProgram, SigintStopsCleanlyAndResumeGivesTheSameRows)
{
    const fs::path config = write("c.toml", "rounds = 500\nreplications = 30\nseed = 4\n[parameters]\nagents = [51, 101]\n");
    ASSERT_EQ(sweep("run " + config.string() + " --out " + (dir_ / "whole").string() + " --jobs 1 --rounds-csv").exitCode, 0);

    const std::string out = (dir_ / "cut").string();
    std::vector<std::string> arguments = {DRAMOLEX_SWEEP_BINARY, "run", config.string(), "--out", out, "--jobs", "2", "--rounds-csv", "--quiet"};
    std::vector<char*> argv;
    for (auto& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 2, (dir_ / "cut-stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_EQ(posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&files);
    // Interrupt once a few runs are in.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
        const std::string summary = readFile(fs::path(out) / "summary.csv");
        if (std::count(summary.begin(), summary.end(), '\n') >= 4) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::kill(pid, SIGINT);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    const std::string cut = readFile(fs::path(out) / "summary.csv");
    const auto rowsAtStop = std::count(cut.begin(), cut.end(), '\n') - 1;
    if (rowsAtStop < 60) {
        EXPECT_EQ(WEXITSTATUS(status), 130);
        EXPECT_EQ(nlohmann::json::parse(readFile(fs::path(out) / "manifest.json"))["status"], "interrupted");
        EXPECT_NE(readFile(dir_ / "cut-stderr.txt").find("interrupted after"), std::string::npos);
    }
    EXPECT_EQ(sweep("run " + config.string() + " --out " + out + " --jobs 2 --rounds-csv --resume").exitCode, 0);
    EXPECT_EQ(withoutSeconds(readFile(fs::path(out) / "summary.csv")), withoutSeconds(readFile(dir_ / "whole/summary.csv")));
    EXPECT_EQ(readFile(fs::path(out) / "rounds.csv"), readFile(dir_ / "whole/rounds.csv"));
}

TEST_F(SweepProgram, ShardsThroughTheProgramMergeToTheWholeSweep)
{
    const fs::path config = write("c.toml", "rounds = 200\nreplications = 5\nseed = 2\n[parameters]\nagents = [21, 41]\nmemory = [3, 4]\n");
    ASSERT_EQ(sweep("run " + config.string() + " --out " + (dir_ / "whole").string()).exitCode, 0);
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(sweep("run " + config.string() + " --out " + (dir_ / "shards").string() + " --shard " + std::to_string(i) + "/3").exitCode, 0);
    ASSERT_EQ(sweep("merge " + (dir_ / "shards").string() + " --out " + (dir_ / "merged.csv").string()).exitCode, 0);
    EXPECT_EQ(withoutSeconds(readFile(dir_ / "merged.csv")), withoutSeconds(readFile(dir_ / "whole/summary.csv")));
}

} // namespace
