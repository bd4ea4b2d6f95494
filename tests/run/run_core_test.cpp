#include "run/run_core.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include "fake_window.h"
#include "random/ziggurat.h"
#include "support/files.h"

namespace {

namespace fs = std::filesystem;
using dramolex::run::History;
using dramolex::run::RunCore;
using dramolex::run::RunParameters;

using test_support::readFile;

class RunCoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = test_support::scratchDirectory("dramolex-core");
    }
    void TearDown() override
    {
        if (core_) window_.call([&] { core_.reset(); });
        fs::remove_all(dir_);
    }

    void make(const std::string& logName = "run.log", RunParameters p = {51, 30, 20, 3, 99, {}})
    {
        const std::string path = logName.empty() ? "" : (logName[0] == '/' ? logName : (dir_ / logName).string());
        window_.call([&] { core_ = std::make_unique<RunCore>(p, path, window_.window()); });
    }
    std::string click(const std::string& caption)
    {
        return window_.call([&] { return core_->button2_Click(caption); });
    }
    void start() { EXPECT_EQ(click(RunCore::startCaption), RunCore::pauseCaption); }
    void pause() { EXPECT_EQ(click(RunCore::pauseCaption), RunCore::startCaption); }
    bool waitShown(size_t count)
    {
        return window_.waitUntil([count](const FakeWindow& w) { return w.numbersLocked().size() >= count; });
    }
    void waitIdle()
    {
        for (int i = 0; i < 20000 && window_.call([&] { return core_->workerActive(); }); ++i) ::usleep(1000);
        ASSERT_FALSE(window_.call([&] { return core_->workerActive(); })) << "worker did not finish";
    }

    fs::path dir_;
    FakeWindow window_;
    std::unique_ptr<RunCore> core_;
};

TEST(RunDelay, TenMillisecondsPerStepBelowTheFastestPosition)
{
    EXPECT_EQ(dramolex::run::delayAfterPass(91), 0);
    EXPECT_EQ(dramolex::run::delayAfterPass(100), 0);
    EXPECT_EQ(dramolex::run::delayAfterPass(0), 910);
    EXPECT_EQ(dramolex::run::delayAfterPass(81), 100);
}

TEST_F(RunCoreTest, PassesPlayTheSameRoundsAsTheModelAndShowTheirNumbers)
{
    make();
    start();
    ASSERT_TRUE(waitShown(1));
    EXPECT_EQ(window_.numbers()[0], "0");
    ASSERT_TRUE(waitShown(1010));
    pause();
    waitIdle();

    // The same population played directly, folded into a history of its own.
    dramolex::random::Ziggurat normal;
    dramolex::model::Town town(51, 30, 20, 3, 99, normal);
    History expected;
    const int64_t played = core_->nextRound();
    for (int64_t r = 0; r < played; ++r) expected.record(r, town.turn());
    // The core's population drew from the process-wide normal generator from
    // a fresh state too, so both runs agree in every value.
    for (int i = 0; i < History::totalLength; ++i) ASSERT_EQ(core_->history().at(i), expected.at(i)) << i;

    const auto numbers = window_.numbers();
    ASSERT_EQ(static_cast<int64_t>(numbers.size()), played);
    for (size_t i = 0; i < numbers.size(); ++i) ASSERT_EQ(numbers[i], std::to_string(i));
    const std::string log = readFile(dir_ / "run.log");
    EXPECT_EQ(log.rfind("Round: 0\n\nPeople with age of index: \n", 0), 0u);
    EXPECT_NE(log.find("Round: 1005\n\nPeople"), std::string::npos);
    EXPECT_EQ(log.substr(log.size() - 62), std::string(59, '-') + "\n\n\n") << "ends with a whole block";
}

TEST_F(RunCoreTest, PauseThenStartContinuesAndTheLogHoldsOnlyTheNewRounds)
{
    make();
    start();
    ASSERT_TRUE(waitShown(5));
    pause();
    waitIdle();
    const int64_t resumeAt = core_->nextRound();
    start();
    ASSERT_TRUE(waitShown(static_cast<size_t>(resumeAt) + 3));
    pause();
    waitIdle();

    const std::string log = readFile(dir_ / "run.log");
    EXPECT_EQ(log.rfind("Round: " + std::to_string(resumeAt) + "\n\n", 0), 0u) << log.substr(0, 40);
    EXPECT_EQ(log.find("Round: " + std::to_string(resumeAt - 1) + "\n"), std::string::npos);
    const auto numbers = window_.numbers();
    for (size_t i = 0; i < numbers.size(); ++i) ASSERT_EQ(numbers[i], std::to_string(i)) << "one worker, no gaps";
}

TEST_F(RunCoreTest, OnlyASelectedViewIsRendered)
{
    make();
    for (int32_t selection : {0, -1}) {
        window_.call([&] { core_->ComboBox1_SelectedIndexChanged(selection); return 0; });
        start();
        ASSERT_TRUE(waitShown(window_.numbers().size() + 20));
        pause();
        waitIdle();
    }
    EXPECT_TRUE(window_.charts().empty());

    window_.call([&] { core_->ComboBox1_SelectedIndexChanged(5); return 0; });
    const size_t before = window_.numbers().size();
    start();
    ASSERT_TRUE(waitShown(before + 10));
    pause();
    waitIdle();
    const auto charts = window_.charts();
    EXPECT_EQ(charts.size(), window_.numbers().size() - before) << "one render per pass";
    for (int32_t c : charts) EXPECT_EQ(c, 5);
}

TEST_F(RunCoreTest, StartDuringThePausingPassNeverRunsTwoWorkers)
{
    make();
    window_.hold(true);
    start();
    // The worker is now waiting for the window to show round 0.
    ASSERT_TRUE(window_.waitUntil([](const FakeWindow& w) { return w.pendingLocked() >= 1; }));
    pause();
    start();
    window_.hold(false);
    ASSERT_TRUE(waitShown(30));
    pause();
    waitIdle();
    const auto numbers = window_.numbers();
    for (size_t i = 0; i < numbers.size(); ++i) ASSERT_EQ(numbers[i], std::to_string(i));
    // The second start reopened (and so emptied) the log after round 0.
    EXPECT_EQ(readFile(dir_ / "run.log").rfind("Round: 1\n\n", 0), 0u);
}

TEST_F(RunCoreTest, ClosingDuringAPendingHandOverReturnsAndLeavesNoWorker)
{
    make();
    window_.call([&] { core_->ComboBox1_SelectedIndexChanged(2); return 0; });
    window_.hold(true);
    start();
    ASSERT_TRUE(window_.waitUntil([](const FakeWindow& w) { return w.pendingLocked() >= 1; }));
    // Closing runs on the window's thread while the worker's hand-over waits
    // in that thread's queue: it must not wait for it.
    window_.call([&] { core_->Form2_FormClosed(); return 0; });
    EXPECT_FALSE(window_.call([&] { return core_->workerActive(); }));
    window_.hold(false);
    window_.call([&] { core_.reset(); return 0; });
    // The queued hand-over reached the window after the close and did nothing.
    EXPECT_TRUE(window_.waitUntil([](const FakeWindow& w) { return w.pendingLocked() == 0; }));
    EXPECT_TRUE(window_.charts().empty());
    EXPECT_TRUE(window_.numbers().empty());
}

TEST_F(RunCoreTest, PausingInTheSlowestDelayStillShowsTheRoundThenCloses)
{
    make();
    window_.call([&] { core_->setSpeed(0); return 0; });
    start();
    // The first pass is played at once and then waits 910 ms; pausing wakes
    // it. Its log block is complete once it has reached the delay.
    for (int i = 0; i < 20000 && readFile(dir_ / "run.log").find("Number of Deaths") == std::string::npos; ++i) {
        ::usleep(500);
    }
    pause();
    ASSERT_TRUE(waitShown(1));
    waitIdle();
    start();
    window_.call([&] { core_->Form2_FormClosed(); return 0; });
    EXPECT_FALSE(window_.call([&] { return core_->workerActive(); }));
}

TEST_F(RunCoreTest, LogProblemsAreReportedOnceAndTheRunGoesOn)
{
    struct Case {
        std::string path;
        std::string reason;
    };
    std::vector<Case> cases{{(dir_ / "no/such/dir/run.log").string(), "no/such/dir/run.log: No such file or directory"}};
    if (fs::exists("/dev/full")) cases.push_back({"/dev/full", "/dev/full: No space left on device"});
    for (const Case& c : cases) {
        make(c.path);
        const size_t before = window_.numbers().size();
        start();
        ASSERT_TRUE(waitShown(before + 10));
        pause();
        waitIdle();
        const auto problems = window_.problems();
        ASSERT_FALSE(problems.empty());
        EXPECT_NE(problems.back().find(c.reason), std::string::npos) << problems.back();
        window_.call([&] { core_.reset(); return 0; });
    }
    EXPECT_EQ(window_.problems().size(), cases.size()) << "one report per problem, not one per round";
}

TEST_F(RunCoreTest, AnEmptyFileNameMeansNoLog)
{
    make("");
    start();
    ASSERT_TRUE(waitShown(5));
    pause();
    waitIdle();
    EXPECT_TRUE(window_.problems().empty());
    EXPECT_TRUE(fs::is_empty(dir_));
}

} // namespace

namespace {

// A program killed at any moment leaves a log of whole round blocks: the
// header of a round reaches the file together with its body, after the round.
TEST(RunCoreLog, AKilledProgramLeavesNoHeaderWithoutItsRound)
{
    const fs::path dir = test_support::scratchDirectory("dramolex-killed");
    const std::string blockEnd = std::string(59, '-') + "\n\n\n";
    for (int attempt = 0; attempt < 6; ++attempt) {
        const fs::path log = dir / ("run" + std::to_string(attempt) + ".log");
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // The largest population: most of a pass is spent playing its round.
            FakeWindow window;
            RunCore core(RunParameters{16348, 0, -1, 1, 7, {}}, log.string(), window.window());
            window.call([&] { return core.button2_Click(RunCore::startCaption); });
            for (;;) ::pause();
        }
        for (int i = 0; i < 20000 && (!fs::exists(log) || fs::file_size(log) == 0); ++i) ::usleep(500);
        ::usleep(static_cast<useconds_t>(3000 + 7919 * attempt % 20000));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const std::string text = readFile(log);
        ASSERT_FALSE(text.empty());
        ASSERT_GE(text.size(), blockEnd.size());
        EXPECT_EQ(text.substr(text.size() - blockEnd.size()), blockEnd)
            << "attempt " << attempt << " ends with: " << text.substr(text.size() > 80 ? text.size() - 80 : 0);
    }
    fs::remove_all(dir);
}

} // namespace
