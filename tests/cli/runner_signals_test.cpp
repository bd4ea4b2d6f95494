// SIGINT, SIGTERM and SIGHUP sent to a running dramolex-run: the round in
// progress is finished, the outputs end whole, the progress line is ended,
// the summary says "interrupted", and the exit code is 128 + the signal.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "runner_process.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test_support::readFile;

const std::string separator = std::string(59, '-') + "\n\n\n";
constexpr auto patience = 120s;

std::string signalName(int signal)
{
    return signal == SIGINT ? "SIGINT" : signal == SIGTERM ? "SIGTERM" : signal == SIGHUP ? "SIGHUP" : "?";
}

size_t countOf(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++count;
    return count;
}

// One started program, killed at the end if a test left it running.
class Child {
public:
    // stderrPath names a file, or the terminal that stands in for the user's.
    Child(const fs::path& dir, const std::vector<std::string>& arguments, const std::string& stderrPath)
    {
        std::vector<std::string> args{runner_test::runnerBinary()};
        args.insert(args.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);

        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&files, 2, stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addchdir_np(&files, dir.c_str());
        // Whatever this test inherited, the program starts with the signals'
        // default actions and none blocked.
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t none, defaults;
        sigemptyset(&none);
        sigemptyset(&defaults);
        for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&defaults, s);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setsigdefault(&attributes, &defaults);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        if (posix_spawn(&pid_, argv[0], &files, &attributes, argv.data(), environ) != 0) pid_ = -1;
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&files);
    }
    ~Child()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool started() const { return pid_ > 0; }
    void send(int signal) const { ::kill(pid_, signal); }

    // The wait status once the program has ended, or nothing after the
    // patience runs out (the program is then killed).
    std::optional<int> waitForEnd(const std::function<void()>& whileWaiting = [] {})
    {
        const auto deadline = std::chrono::steady_clock::now() + patience;
        while (std::chrono::steady_clock::now() < deadline) {
            whileWaiting();
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return status;
            }
            std::this_thread::sleep_for(10ms);
        }
        return std::nullopt;
    }

private:
    pid_t pid_ = -1;
};

// Waits, within the patience, until the condition holds.
bool eventually(const std::function<bool()>& condition, const std::function<void()>& whileWaiting = [] {})
{
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (std::chrono::steady_clock::now() < deadline) {
        whileWaiting();
        if (condition()) return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

class RunnerSignals : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { dir_ = test_support::scratchDirectory("dramolex-signals"); }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path file(const std::string& name) const { return dir_ / name; }

    // A run far too long to end by itself, with a log and a CSV.
    static std::vector<std::string> longRun(std::vector<std::string> more)
    {
        std::vector<std::string> args{"--agents", "201", "--groupers", "30", "--groups", "3", "--lifespan", "40",
                                      "--rounds", "1000000000000", "--seed", "8", "--log", "run.log", "--csv", "run.csv"};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }
    // Blocks written so far; the signal goes out once a few are there.
    bool logHasBlocks(size_t blocks) const { return countOf(readFile(file("run.log")), separator) >= blocks; }

    // The outputs end whole and agree with the summary line; returns the
    // number of rounds played.
    size_t checkWholeOutputs(const std::string& err, int signal) const
    {
        const std::string log = readFile(file("run.log"));
        const std::string csv = readFile(file("run.csv"));
        const size_t blocks = countOf(log, separator);
        EXPECT_GE(blocks, 3u);
        EXPECT_TRUE(log.size() >= separator.size() && log.ends_with(separator)) << "log ends mid-block: ..."
                                                                                  << log.substr(log.size() - 40);
        EXPECT_TRUE(csv.ends_with("\n")) << "CSV ends mid-line";
        EXPECT_EQ(static_cast<size_t>(std::count(csv.begin(), csv.end(), '\n')), blocks + 1) << "one line per block";
        const std::string summary = "interrupted by " + signalName(signal) + ": played " +
                                    std::to_string(blocks) + " of 1000000000000 rounds in ";
        EXPECT_NE(err.find(summary), std::string::npos) << "expected '" << summary << "' in: " << err;
        EXPECT_TRUE(err.ends_with(" rounds/s)\n")) << err;
        return blocks;
    }

    fs::path dir_;
};

TEST_P(RunnerSignals, StopsAfterTheRoundWithWholeOutputsAndItsExitCode)
{
    const int signal = GetParam();
    // --quiet: the interruption is reported all the same.
    Child child(dir_, longRun({"--quiet"}), file("stderr.txt").string());
    ASSERT_TRUE(child.started());
    ASSERT_TRUE(eventually([&] { return logHasBlocks(3); })) << "no rounds written";
    child.send(signal);
    const auto status = child.waitForEnd();
    ASSERT_TRUE(status) << "still running long after the signal";
    ASSERT_TRUE(WIFEXITED(*status)) << "ended by the signal itself";
    EXPECT_EQ(WEXITSTATUS(*status), 128 + signal);
    const std::string err = readFile(file("stderr.txt"));
    checkWholeOutputs(err, signal);
    EXPECT_EQ(err.rfind("seed: 8\ninterrupted by ", 0), 0u) << err;
}

INSTANTIATE_TEST_SUITE_P(EachStopSignal, RunnerSignals, ::testing::Values(SIGINT, SIGTERM, SIGHUP),
                         [](const auto& testInfo) { return signalName(testInfo.param); });

// With a terminal on stderr the progress line is drawn; an interruption ends
// it with the rounds actually played before the summary, and the charts are
// still written.
TEST_F(RunnerSignals, ControlCOnATerminalEndsTheProgressLineAndWritesTheCharts)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const std::string terminal = ::ptsname(master);
    {
        // Raw, so that the bytes read are the bytes written ("\n" stays "\n").
        const int slave = ::open(terminal.c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(slave, 0);
        termios mode{};
        ::tcgetattr(slave, &mode);
        ::cfmakeraw(&mode);
        ::tcsetattr(slave, TCSANOW, &mode);
        ::close(slave);
    }
    ::fcntl(master, F_SETFL, O_NONBLOCK);
    std::string shown;
    auto drain = [&] {
        char buffer[4096];
        for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;) shown.append(buffer, static_cast<size_t>(n));
    };

    fs::create_directory(file("charts"));
    Child child(dir_, longRun(runner_test::hasCharts ? std::vector<std::string>{"--charts", "charts"}
                                                     : std::vector<std::string>{}),
                terminal);
    ASSERT_TRUE(child.started());
    ASSERT_TRUE(eventually([&] { return logHasBlocks(3) && shown.find("\r[") != std::string::npos; }, drain))
        << "no progress line: " << shown;
    child.send(SIGINT);
    const auto status = child.waitForEnd(drain);
    drain();
    ::close(master);
    ASSERT_TRUE(status && WIFEXITED(*status)) << shown;
    EXPECT_EQ(WEXITSTATUS(*status), 130);

    const size_t summaryAt = shown.find("interrupted by SIGINT");
    ASSERT_NE(summaryAt, std::string::npos) << shown;
    const size_t played = checkWholeOutputs(shown.substr(summaryAt), SIGINT);
    // The last drawing of the progress line, ended by a line end.
    const size_t lastDrawing = shown.rfind('\r', summaryAt);
    ASSERT_NE(lastDrawing, std::string::npos);
    const std::string progress = shown.substr(lastDrawing, summaryAt - lastDrawing);
    EXPECT_NE(progress.find("] " + std::to_string(played) + "/1000000000000 rounds"), std::string::npos) << progress;
    EXPECT_TRUE(progress.ends_with("\033[K\n")) << progress;

    if (!runner_test::hasCharts) return;
    for (const char* name : {"winningbars.png", "winners.png", "avgstratscores.png", "beststrat.png", "bardist.png",
                             "numdeaths.png", "agedist.png"}) {
        EXPECT_EQ(readFile(file("charts") / name).substr(1, 3), "PNG") << name;
    }
}

} // namespace
