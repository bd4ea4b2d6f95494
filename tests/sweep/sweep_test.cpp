// The sweep's outputs with a stand-in model: they must not depend on --jobs,
// sharding or resuming, and merge must refuse what does not fit together.
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <fstream>
#include <sstream>

#include "fake_model.h"
#include "support/files.h"
#include "sweep/merge.h"
#include "sweep/progress_line.h"
#include "sweep/run_csv.h"
#include "sweep/run_grid.h"
#include "sweep/summary_row.h"
#include "sweep/sweep_runner.h"

namespace {

namespace fs = std::filesystem;
using namespace sweep_test;
using test_support::readFile;

const char* const configText =
    "rounds = 30\nreplications = 3\nseed = 5\n[parameters]\nagents = [11, 21, 31, 41]\nmemory = [2, 3]\nrule = \"best\"\n";
constexpr uint64_t configRuns = 24;

// The summary's rows without the seconds column, which is the only column
// allowed to differ between two sweeps of one config.
std::string withoutSeconds(const std::string& csv)
{
    std::istringstream in(csv);
    std::string line, out;
    while (std::getline(in, line)) out += SummaryFormat::withoutSeconds(line) + "\n";
    return out;
}

class Sweep : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = test_support::scratchDirectory("dramolex-sweep");
        const ConfigReading reading = readSweepConfig(configText, "test.toml", model_);
        ASSERT_TRUE(reading.errors.empty());
        config_ = reading.config;
    }
    void TearDown() override { fs::remove_all(dir_); }

    SweepResult sweep(const std::string& out, unsigned jobs, Shard shard = {}, bool resume = false, const RunModel* model = nullptr)
    {
        SweepOptions options;
        options.configPath = "test.toml";
        options.outDir = (dir_ / out).string();
        options.jobs = jobs;
        options.shard = shard;
        options.resume = resume;
        options.roundsCsv = true;
        errors_ = std::tmpfile();
        SweepResult result = runSweep(config_, model ? *model : model_, options, stop_, errors_);
        std::rewind(errors_);
        char buffer[4096];
        stderrText_.clear();
        while (size_t n = std::fread(buffer, 1, sizeof buffer, errors_)) stderrText_.append(buffer, n);
        std::fclose(errors_);
        return result;
    }
    int merge(const std::vector<std::string>& dirs, const std::string& out)
    {
        std::vector<std::string> paths;
        for (const auto& d : dirs) paths.push_back((dir_ / d).string());
        errors_ = std::tmpfile();
        const int code = mergeShards(paths, (dir_ / out).string(), errors_);
        std::rewind(errors_);
        char buffer[4096];
        stderrText_.clear();
        while (size_t n = std::fread(buffer, 1, sizeof buffer, errors_)) stderrText_.append(buffer, n);
        std::fclose(errors_);
        return code;
    }
    std::string file(const std::string& path) const { return readFile(dir_ / path); }
    nlohmann::json manifest(const std::string& path) const { return nlohmann::json::parse(file(path)); }

    fs::path dir_;
    std::shared_ptr<FakeHooks> hooks_ = std::make_shared<FakeHooks>();
    RunModel model_ = fakeModel(hooks_);
    SweepConfig config_;
    StopRequest stop_;
    std::FILE* errors_ = nullptr;
    std::string stderrText_;
};

TEST_F(Sweep, OneAndTwoJobsWriteTheSameRowsInRunOrder)
{
    ASSERT_EQ(sweep("one", 1).exitCode, exitDone) << stderrText_;
    ASSERT_EQ(sweep("two", 2).exitCode, exitDone) << stderrText_;
    const std::string one = file("one/summary.csv");
    EXPECT_EQ(withoutSeconds(one), withoutSeconds(file("two/summary.csv")));
    EXPECT_EQ(file("one/rounds.csv"), file("two/rounds.csv"));

    std::istringstream rows(one);
    std::string line;
    std::getline(rows, line);
    EXPECT_EQ(line, "run,replication,seed,agents,memory,groups,rule,replacement,mean,agents_seen,seconds,status");
    for (uint64_t run = 0; run < configRuns; ++run) {
        ASSERT_TRUE(std::getline(rows, line));
        EXPECT_EQ(line.rfind(std::to_string(run) + "," + std::to_string(run % 3) + "," + std::to_string(SeedTable::firstChoice(5, run)) + ",", 0) , 0u) << line;
        EXPECT_EQ(SummaryFormat::status(line), "done");
    }
    EXPECT_FALSE(std::getline(rows, line));
    // Run 7 is point 2 (agents 21, memory 2), replication 1; defaults fill the unset keys.
    EXPECT_NE(one.find("\n7,1," + std::to_string(SeedTable::firstChoice(5, 7)) + ",21,2,1,best,on,"), std::string::npos);
    const std::string rounds = file("two/rounds.csv");
    EXPECT_EQ(rounds.rfind("run,round,value\n0,0,", 0), 0u);
    EXPECT_EQ(static_cast<uint64_t>(std::count(rounds.begin(), rounds.end(), '\n')), 1 + 3 * configRuns);

    const auto m = manifest("two/manifest.json");
    EXPECT_EQ(m["status"], "done");
    EXPECT_EQ(m["runs_done"], configRuns);
    EXPECT_EQ(m["seeds"].size(), configRuns);
    EXPECT_EQ(m["seeds"][7], SeedTable::firstChoice(5, 7));
    EXPECT_EQ(m["config"]["parameters"]["agents"][3], 41);
    EXPECT_EQ(m["outputs"]["summary.csv"]["bytes"], file("two/summary.csv").size());
    EXPECT_EQ(m["outputs"]["summary.csv"]["sha256"].get<std::string>().size(), 64u);
}

TEST_F(Sweep, ThreeShardsMergeToTheUnshardedSummary)
{
    ASSERT_EQ(sweep("whole", 2).exitCode, exitDone);
    for (uint64_t i = 0; i < 3; ++i) ASSERT_EQ(sweep("shards", 2, {i, 3}).exitCode, exitDone) << stderrText_;
    EXPECT_TRUE(fs::exists(dir_ / "shards/summary-1-of-3.csv"));
    EXPECT_EQ(manifest("shards/manifest-2-of-3.json")["runs_in_shard"], configRuns / 3);
    ASSERT_EQ(merge({"shards"}, "merged.csv"), exitDone) << stderrText_;
    EXPECT_EQ(withoutSeconds(file("merged.csv")), withoutSeconds(file("whole/summary.csv")));
}

TEST_F(Sweep, MergeRefusesOtherConfigsDuplicatesAndMissingRunsNamingThem)
{
    ASSERT_EQ(sweep("a", 1, {0, 3}).exitCode, exitDone);
    ASSERT_EQ(sweep("b", 1, {1, 3}).exitCode, exitDone);
    ASSERT_EQ(sweep("c", 1, {2, 3}).exitCode, exitDone);

    EXPECT_EQ(merge({"a", "b"}, "m.csv"), exitUsage);
    EXPECT_NE(stderrText_.find("runs 2, 5, 8, 11, 14, 17, 20, 23 are missing"), std::string::npos) << stderrText_;
    EXPECT_FALSE(fs::exists(dir_ / "m.csv"));

    fs::copy(dir_ / "a/summary-0-of-3.csv", dir_ / "c/summary-0-of-3.csv");
    fs::copy(dir_ / "a/manifest-0-of-3.json", dir_ / "c/manifest-0-of-3.json");
    EXPECT_EQ(merge({"a", "b", "c"}, "m.csv"), exitUsage);
    EXPECT_NE(stderrText_.find("run 0 is in both"), std::string::npos) << stderrText_;
    EXPECT_FALSE(fs::exists(dir_ / "m.csv"));

    config_.seed = 6;
    ASSERT_EQ(sweep("d", 1, {2, 3}).exitCode, exitDone);
    EXPECT_EQ(merge({"a", "b", "d"}, "m.csv"), exitUsage);
    EXPECT_NE(stderrText_.find("d/manifest-2-of-3.json: a different config from"), std::string::npos) << stderrText_;
    EXPECT_EQ(merge({"a", "b", "nowhere"}, "m.csv"), exitUsage);
    EXPECT_NE(stderrText_.find("nowhere: no manifest*.json here"), std::string::npos) << stderrText_;
    EXPECT_FALSE(fs::exists(dir_ / "m.csv"));
}

TEST_F(Sweep, InterruptedSweepResumesToTheSameRows)
{
    ASSERT_EQ(sweep("whole", 1).exitCode, exitDone);

    // Stop as a SIGINT would, after the seventh run; a half-written row, as a
    // killed process could leave, must not survive the resume either.
    hooks_->played = 0;
    hooks_->afterRun = [&](uint64_t) {
        if (hooks_->played.load() == 7) stop_.request(SIGINT);
    };
    EXPECT_EQ(sweep("resumed", 2).exitCode, 130);
    EXPECT_EQ(manifest("resumed/manifest.json")["status"], "interrupted");
    const std::string partial = file("resumed/summary.csv");
    const auto rows = std::count(partial.begin(), partial.end(), '\n') - 1;
    EXPECT_GE(rows, 7);
    EXPECT_LT(rows, static_cast<long>(configRuns));
    {
        std::FILE* f = std::fopen((dir_ / "resumed/summary.csv").c_str(), "a");
        std::fputs("23,2,99,41", f);
        std::fclose(f);
    }

    EXPECT_EQ(sweep("resumed", 2).exitCode, exitUsage) << "a second run without --resume must not overwrite";
    hooks_->afterRun = nullptr;
    stop_.signal = 0;
    stop_.count = 0;
    hooks_->played = 0;
    ASSERT_EQ(sweep("resumed", 2, {}, true).exitCode, exitDone) << stderrText_;
    EXPECT_EQ(hooks_->played.load(), static_cast<int>(configRuns) - rows);
    EXPECT_EQ(withoutSeconds(file("resumed/summary.csv")), withoutSeconds(file("whole/summary.csv")));
    EXPECT_EQ(file("resumed/rounds.csv"), file("whole/rounds.csv"));
    EXPECT_EQ(manifest("resumed/manifest.json")["status"], "done");
}

TEST_F(Sweep, FailedRunsAreKeptAsFailedRowsAndPlayedAgainOnResume)
{
    hooks_->failingRuns = {4, 9};
    EXPECT_EQ(sweep("out", 2).exitCode, exitRunsFailed);
    EXPECT_NE(stderrText_.find("run 4 failed: deliberate failure"), std::string::npos);
    const std::string summary = file("out/summary.csv");
    EXPECT_NE(summary.find("\n4,1," + std::to_string(SeedTable::firstChoice(5, 4)) + ",11,3,1,best,on,,,"), std::string::npos) << summary;
    const auto m = manifest("out/manifest.json");
    EXPECT_EQ(m["status"], "runs failed");
    EXPECT_EQ(m["runs_failed"], 2);
    EXPECT_EQ(m["failures"][0]["message"], "deliberate failure");

    hooks_->failingRuns.clear();
    hooks_->played = 0;
    ASSERT_EQ(sweep("out", 1, {}, true).exitCode, exitDone);
    EXPECT_EQ(hooks_->played.load(), 2);
    ASSERT_EQ(sweep("whole", 1).exitCode, exitDone);
    EXPECT_EQ(withoutSeconds(file("out/summary.csv")), withoutSeconds(file("whole/summary.csv")));
}

TEST_F(Sweep, ResumeRefusesAnotherConfig)
{
    ASSERT_EQ(sweep("out", 1).exitCode, exitDone);
    config_.rounds = 31;
    EXPECT_EQ(sweep("out", 1, {}, true).exitCode, exitUsage);
    EXPECT_NE(stderrText_.find("was written for a different config"), std::string::npos) << stderrText_;
}

TEST(ShardOption, ParsesIOfNAndSlurmArrays)
{
    auto none = [](const char*) -> const char* { return nullptr; };
    EXPECT_EQ(parseShard("2/3", none).shard.index, 2u);
    EXPECT_EQ(parseShard("2/3", none).shard.count, 3u);
    EXPECT_NE(parseShard("3/3", none).error.find("--shard '3/3': out of range"), std::string::npos);
    EXPECT_NE(parseShard("1/0", none).error.find("out of range"), std::string::npos);
    EXPECT_NE(parseShard("a/3", none).error.find("expected I/N"), std::string::npos);
    EXPECT_NE(parseShard("slurm", none).error.find("SLURM_ARRAY_TASK_ID"), std::string::npos);
    auto slurm = [](const char* name) -> const char* {
        const std::string key = name;
        return key == "SLURM_ARRAY_TASK_ID" ? "5" : key == "SLURM_ARRAY_TASK_COUNT" ? "4" : key == "SLURM_ARRAY_TASK_MIN" ? "3" : nullptr;
    };
    const ShardParse parsed = parseShard("slurm", slurm);
    EXPECT_TRUE(parsed.error.empty()) << parsed.error;
    EXPECT_EQ(parsed.shard.index, 2u);
    EXPECT_EQ(parsed.shard.count, 4u);
    EXPECT_EQ(parsed.shard.fileSuffix(), "-2-of-4");
}

} // namespace

namespace {

TEST(RunCsv, SortsRunBlocksKeepingEachRunsRowsTogetherAndDropsCutRows)
{
    const fs::path dir = test_support::scratchDirectory("dramolex-run-csv");
    const std::string path = (dir / "rounds.csv").string();
    std::ofstream(path) << "run,round,value\n2,0,a\n2,1,b\n0,0,c\n0,1,d\n10,0,e\n1,0,f\n1,1,g\n";
    ASSERT_EQ(sortRunBlocks(path), "");
    EXPECT_EQ(readFile(path), "run,round,value\n0,0,c\n0,1,d\n1,0,f\n1,1,g\n2,0,a\n2,1,b\n10,0,e\n");

    std::ofstream(path) << "run,status\n0,done\n1,failed\n2,done\n3,do";
    ASSERT_EQ(keepRows(path, [](std::string_view row) { return SummaryFormat::status(row) == "done"; }), "");
    EXPECT_EQ(readFile(path), "run,status\n0,done\n2,done\n");

    std::ofstream(path) << "run,x\n0,a\nnot a run\n";
    EXPECT_NE(sortRunBlocks(path).find("is not a complete run row"), std::string::npos);
    fs::remove_all(dir);
}

TEST(ProgressLine, ShowsCountRateAndTimeLeft)
{
    EXPECT_EQ(progressLine(0, 800, 0.5), "runs 0/800");
    EXPECT_EQ(progressLine(120, 800, 4.0), "runs 120/800, 30.0 runs/s, 0:00:23 left");
    EXPECT_EQ(progressLine(1, 7201, 1.0), "runs 1/7201, 1.0 runs/s, 2:00:00 left");
}

} // namespace
