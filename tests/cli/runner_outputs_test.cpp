// What the runner does to its output files: nothing is emptied unless every
// output can be written, two outputs never share a file, standard output is
// used as the shell set it up, and the CSV and chart images hold the run.
#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

#include "cli/outputs.h"
#include "run/round_log.h"
#include "runner_process.h"

namespace {

namespace fs = std::filesystem;
using runner_test::Outcome;
using test_support::readFile;

const std::string precious = "precious\n";

class RunnerOutputs : public ::testing::Test {
protected:
    void SetUp() override { dir_ = test_support::scratchDirectory("dramolex-outputs"); }
    void TearDown() override { fs::remove_all(dir_); }

    Outcome run(const std::string& arguments, const std::string& stdoutRedirection = "") const
    {
        return runner_test::runInShell(dir_, arguments, stdoutRedirection);
    }
    fs::path file(const std::string& name) const { return dir_ / name; }
    void keep(const std::string& name) const { std::ofstream(file(name)) << precious; }

    fs::path dir_;
};

struct RefusalCase {
    const char* arguments;
    int exitCode;
    const char* mustSay;
    std::vector<const char*> keptFiles;    // each still holds "precious"
    std::vector<const char*> absentFiles;  // none left behind
};

// Each case starts from kept.log and kept.csv holding "precious", a link to
// kept.log under two names, and a plain file where a directory is wanted.
TEST_F(RunnerOutputs, RefusedRunsLeaveEveryFileAsItWas)
{
    const RefusalCase cases[] = {
        // Opening: every output opens before any is emptied, whichever fails.
        {"--log kept.log --csv nodir/x.csv", 1, "cannot open CSV nodir/x.csv: No such file or directory", {"kept.log"}, {}},
        {"--csv kept.csv --log nodir/x.log", 1, "cannot open log nodir/x.log", {"kept.csv"}, {}},
        {"--log kept.log --csv kept.csv --charts kept.csv/sub", 1, "cannot use chart directory kept.csv/sub: Not a directory",
         {"kept.log", "kept.csv"}, {}},
        {"--log kept.log --csv kept.csv --charts kept.csv", 1, "cannot use chart directory kept.csv: Not a directory",
         {"kept.log", "kept.csv"}, {}},
        {"--log new.log --csv nodir/x.csv", 1, "cannot open CSV", {}, {"new.log"}},
        // Two names for one file.
        {"--log kept.log --csv kept.log", 2, "--log and --csv name the same file", {"kept.log"}, {}},
        {"--log kept.log --csv ./kept.log", 2, "--log and --csv name the same file", {"kept.log"}, {}},
        {"--log kept.log --csv symbolic.log", 2, "--log and --csv name the same file", {"kept.log"}, {}},
        {"--log hard.log --csv kept.log", 2, "--log and --csv name the same file", {"kept.log"}, {}},
        {"--log new.log --csv new.log", 2, "--log and --csv name the same file", {}, {"new.log"}},
        // A first write refused: nothing emptied, not even the other output.
        {"--log kept.log --csv /dev/full", 1, "error writing CSV /dev/full: No space left on device", {"kept.log"}, {}},
        {"--log /dev/full --csv kept.csv", 1, "error writing log /dev/full: No space left on device", {"kept.csv"}, {}},
        {"--log new.log --csv /dev/full", 1, "error writing CSV /dev/full", {}, {"new.log"}},
    };
    for (const RefusalCase& c : cases) {
        keep("kept.log");
        keep("kept.csv");
        fs::create_symlink("kept.log", file("symbolic.log"));
        fs::create_hard_link(file("kept.log"), file("hard.log"));
        const Outcome o = run(std::string("--agents 7 --rounds 5 --seed 1 ") + c.arguments);
        EXPECT_EQ(o.exitCode, c.exitCode) << c.arguments << " said: " << o.err;
        EXPECT_NE(o.err.find(c.mustSay), std::string::npos) << c.arguments << " said: " << o.err;
        EXPECT_EQ(o.err.find("played"), std::string::npos) << c.arguments;
        for (const char* name : c.keptFiles) EXPECT_EQ(readFile(file(name)), precious) << c.arguments << ": " << name;
        for (const char* name : c.absentFiles) EXPECT_FALSE(fs::exists(file(name))) << c.arguments << ": " << name;
        for (const auto& entry : fs::directory_iterator(dir_)) fs::remove_all(entry.path());
    }
}

TEST_F(RunnerOutputs, DevicesAreSharedAndNeverEmptied)
{
    const Outcome o = run("--agents 7 --rounds 5 --quiet --log /dev/null --csv /dev/null");
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(o.err.find("same file"), std::string::npos) << o.err;
}

// "--csv /dev/stdout >> results.txt" appends as the shell asked; opening the
// path anew would start at offset 0 and empty the file.
TEST_F(RunnerOutputs, RedirectedStandardOutputIsAppendedToAsTheShellSetItUp)
{
    for (const char* path : {"/dev/stdout", "/dev/fd/1", "/proc/self/fd/1", "-"}) {
        keep("results.txt");
        const Outcome o = run(std::string("--agents 7 --rounds 5 --seed 3 --quiet --csv ") + path, ">>results.txt");
        ASSERT_EQ(o.exitCode, 0) << path << " said: " << o.err;
        const std::string results = readFile(file("results.txt"));
        EXPECT_EQ(results.rfind(precious + "round,capital_gap,", 0), 0u) << path << ": " << results;
        EXPECT_EQ(std::count(results.begin(), results.end(), '\n'), 1 + 1 + 5) << path;
    }
    keep("results.txt");
    const Outcome same = run("--agents 7 --rounds 5 --log results.txt --csv -", ">>results.txt");
    EXPECT_EQ(same.exitCode, 2) << same.err;
    EXPECT_NE(same.err.find("--log and --csv name the same file"), std::string::npos) << same.err;
    EXPECT_EQ(readFile(file("results.txt")), precious);
}

// The log is emptied in place, not replaced, so "tail -f" on it keeps going.
TEST_F(RunnerOutputs, AnExistingLogIsEmptiedInPlace)
{
    keep("run.log");
    struct stat before {}, after {};
    ASSERT_EQ(::stat(file("run.log").c_str(), &before), 0);
    const Outcome o = run("--agents 7 --rounds 3 --quiet --log run.log");
    ASSERT_EQ(o.exitCode, 0) << o.err;
    ASSERT_EQ(::stat(file("run.log").c_str(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);
    const std::string log = readFile(file("run.log"));
    EXPECT_EQ(log.rfind("Round: 0\n\nPeople with age of index: \n", 0), 0u) << log.substr(0, 80);
    EXPECT_EQ(log.find("precious"), std::string::npos);
}

// A regular file that refuses its first write (a full disk, a size limit)
// empties no output: its refusal shows before anything is emptied.
TEST_F(RunnerOutputs, AFileThatRefusesItsFirstWriteEmptiesNothing)
{
    keep("kept.log");
    { std::ofstream(file("big.csv")) << std::string(100, 'c'); }
    dramolex::cli::RunnerOptions options;
    options.logPath = file("kept.log").string();
    options.csvPath = file("big.csv").string();
    std::FILE* err = std::tmpfile();
    ASSERT_NE(err, nullptr);
    dramolex::cli::RunOutputs outputs;
    ASSERT_EQ(outputs.open(options, err), 0);

    // Nothing may grow past 100 bytes: the CSV header alone would fit into
    // an emptied big.csv, but not after its present contents.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit saved = limit;
    limit.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    const bool begun = outputs.begin("Round: 0\n\n", "round,capital_gap,winners,avg_strategy_score,"
                                                     "best_strategy_score,deaths,attendance,result\n", err);
    ::setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_FALSE(begun);
    EXPECT_EQ(readFile(file("kept.log")), precious);
    EXPECT_EQ(readFile(file("big.csv")), std::string(100, 'c'));
    std::rewind(err);
    char message[512] = {};
    const size_t n = std::fread(message, 1, sizeof message - 1, err);
    std::fclose(err);
    EXPECT_EQ(std::string(message, n), "dramolex-run: error writing CSV " + file("big.csv").string() + ": File too large\n");
}

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
    return parts;
}

// The value after a label on each of the log's statistic lines, in order.
std::vector<std::string> logValues(const std::string& log, const std::string& label)
{
    std::vector<std::string> values;
    for (size_t at = log.find(label); at != std::string::npos; at = log.find(label, at + 1)) {
        const size_t start = at + label.size();
        values.push_back(log.substr(start, log.find('\n', start) - start));
    }
    return values;
}

// Every CSV column against the log line that shows the same value: a swapped
// pair of columns, or a row of the wrong round, differs somewhere.
TEST_F(RunnerOutputs, CsvColumnsHoldTheSameRoundsValuesAsTheLog)
{
    constexpr int agents = 41;
    constexpr int rounds = 80;
    const Outcome o = run("--agents 41 --groupers 50 --groups 3 --lifespan 8 --rounds 80 --seed 11 --quiet "
                          "--log run.log --csv run.csv");
    ASSERT_EQ(o.exitCode, 0) << o.err;
    const std::string log = readFile(file("run.log"));
    const std::vector<std::string> rows = split(readFile(file("run.csv")), '\n');
    ASSERT_EQ(rows.size(), rounds + 1u);
    EXPECT_EQ(rows[0], "round,capital_gap,winners,avg_strategy_score,best_strategy_score,deaths,attendance,result");

    const auto gaps = logValues(log, "AvgCapital of Groupers - AvgCapital of NonGroupers: ");
    const auto winners = logValues(log, "Number of Winners: ");
    const auto averages = logValues(log, "Average Score of All Strategies: ");
    const auto bests = logValues(log, "Best Strategy's Score: ");
    const auto deaths = logValues(log, "Number of Deaths: ");
    ASSERT_EQ(gaps.size(), static_cast<size_t>(rounds));
    std::array<int, 2> resultsSeen{};
    bool someDeaths = false, someGap = false;
    for (int round = 0; round < rounds; ++round) {
        const auto columns = split(rows[static_cast<size_t>(round) + 1], ',');
        ASSERT_EQ(columns.size(), 8u) << rows[static_cast<size_t>(round) + 1];
        const auto r = static_cast<size_t>(round);
        EXPECT_EQ(columns[0], std::to_string(round));
        EXPECT_EQ(columns[1], gaps[r]) << "round " << round;
        EXPECT_EQ(columns[2], winners[r]) << "round " << round;
        std::string average, best;
        dramolex::run::appendShortFloat(average, std::stod(columns[3]));
        dramolex::run::appendShortFloat(best, std::stod(columns[4]));
        EXPECT_EQ(average, averages[r]) << "round " << round;
        EXPECT_EQ(best, bests[r]) << "round " << round;
        EXPECT_EQ(columns[5], deaths[r]) << "round " << round;
        const int attendance = std::stoi(columns[6]);
        const int result = std::stoi(columns[7]);
        ASSERT_TRUE(result == 0 || result == 1) << "round " << round;
        EXPECT_EQ(std::stoi(columns[2]), result == 1 ? attendance : agents - attendance) << "round " << round;
        ++resultsSeen[static_cast<size_t>(result)];
        someDeaths = someDeaths || columns[5] != "0";
        someGap = someGap || columns[1] != "0";
    }
    // The run must tell the columns apart for the comparison to mean anything.
    EXPECT_GT(resultsSeen[0], 0);
    EXPECT_GT(resultsSeen[1], 0);
    EXPECT_TRUE(someDeaths);
    EXPECT_TRUE(someGap);
}

const char* const chartNames[] = {"winningbars.png", "winners.png", "avgstratscores.png", "beststrat.png",
                                  "bardist.png",     "numdeaths.png", "agedist.png"};

uint32_t bigEndian(const std::string& bytes, size_t at)
{
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

TEST_F(RunnerOutputs, ChartsAreSevenDecodable480By480Pngs)
{
    if (!runner_test::hasCharts) GTEST_SKIP() << "built without chart views";
    fs::create_directory(file("charts"));
    const Outcome o = run("--agents 21 --groupers 40 --groups 2 --lifespan 10 --rounds 40 --seed 5 --quiet --charts charts");
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(static_cast<size_t>(std::distance(fs::directory_iterator(file("charts")), {})), std::size(chartNames));
    for (const char* name : chartNames) {
        const std::string png = readFile(file("charts") / name);
        ASSERT_GT(png.size(), 33u) << name;
        EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8)) << name;
        EXPECT_EQ(png.substr(12, 4), "IHDR") << name;
        EXPECT_EQ(bigEndian(png, 16), 480u) << name << " width";
        EXPECT_EQ(bigEndian(png, 20), 480u) << name << " height";
        EXPECT_EQ(png.substr(png.size() - 8, 4), "IEND") << name << " is complete";
    }
}

TEST_F(RunnerOutputs, AChartImageNeverOverwritesTheLogOrCsv)
{
    if (!runner_test::hasCharts) GTEST_SKIP() << "built without chart views";
    const RefusalCase cases[] = {
        {"--charts charts --log charts/winners.png", 2, "--log charts/winners.png is the chart image", {"charts/winners.png"}, {}},
        {"--charts charts/. --csv charts/agedist.png", 2, "--csv charts/agedist.png is the chart image", {}, {"charts/agedist.png"}},
        {"--charts . --csv kept.csv --log bardist.png", 2, "--log bardist.png is the chart image", {"kept.csv"}, {"bardist.png"}},
        {"--charts charts --log charts/../charts/numdeaths.png", 2, "is the chart image", {}, {"charts/numdeaths.png"}},
    };
    for (const RefusalCase& c : cases) {
        fs::create_directory(file("charts"));
        keep("charts/winners.png");
        keep("kept.csv");
        const Outcome o = run(std::string("--agents 7 --rounds 5 ") + c.arguments);
        EXPECT_EQ(o.exitCode, c.exitCode) << c.arguments << " said: " << o.err;
        EXPECT_NE(o.err.find(c.mustSay), std::string::npos) << c.arguments << " said: " << o.err;
        for (const char* name : c.keptFiles) EXPECT_EQ(readFile(file(name)), precious) << c.arguments << ": " << name;
        for (const char* name : c.absentFiles) EXPECT_FALSE(fs::exists(file(name))) << c.arguments << ": " << name;
        EXPECT_EQ(static_cast<size_t>(std::distance(fs::directory_iterator(file("charts")), {})), 1u) << c.arguments;
        for (const auto& entry : fs::directory_iterator(dir_)) fs::remove_all(entry.path());
    }
}

} // namespace
