// The stored run log against every producer of a log: the runner program,
// the run session, and the desktop window's run core (with a stand-in window).
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/runner_options.h"
#include "random/ziggurat.h"
#include "run/fake_window.h"
#include "run/run_core.h"
#include "run/run_session.h"
#include "support/files.h"

namespace {

namespace fs = std::filesystem;
using dramolex::run::RunCore;
using test_support::readFile;

const fs::path goldenDir = DRAMOLEX_GOLDEN_DIR;

// Read when the test runs, so an edited .args file needs no reconfigure.
std::string goldenArguments()
{
    std::string args = readFile(goldenDir / "herding_mortality.args");
    while (!args.empty() && (args.back() == '\n' || args.back() == ' ')) args.pop_back();
    return args;
}

dramolex::cli::RunnerOptions goldenOptions()
{
    std::vector<std::string> words{"dramolex-run"};
    std::istringstream in(goldenArguments());
    for (std::string word; in >> word;) words.push_back(word);
    std::vector<const char*> argv;
    for (const std::string& w : words) argv.push_back(w.c_str());
    const auto parsed = dramolex::cli::parseCommandLine(static_cast<int>(argv.size()), argv.data(), 0);
    if (!parsed.options) throw std::runtime_error("bad golden arguments: " + parsed.message);
    return *parsed.options;
}

class GoldenLog : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = test_support::scratchDirectory("dramolex-golden");
        // Mortal agents draw their life spans from the process-wide normal
        // generator; every producer here starts it as a fresh process does.
        dramolex::random::Ziggurat::processWide() = dramolex::random::Ziggurat();
    }
    void TearDown() override { fs::remove_all(dir_); }

    // On a mismatch the new output is left beside the golden file.
    void expectGolden(const std::string& produced, const std::string& producer) const
    {
        const fs::path golden = goldenDir / "herding_mortality.log";
        const std::string expected = readFile(golden);
        ASSERT_FALSE(expected.empty()) << "missing golden file " << golden;
        if (produced != expected) {
            const fs::path fresh = golden.string() + "." + producer + ".new";
            std::ofstream(fresh, std::ios::binary) << produced;
            FAIL() << producer << "'s run log differs from " << golden << "; its output is in " << fresh;
        }
    }

    fs::path dir_;
};

TEST_F(GoldenLog, Runner)
{
    const fs::path log = dir_ / "run.log";
    const std::string command = std::string(DRAMOLEX_RUN_BINARY) + " " + goldenArguments() + " --quiet --log " +
                                log.string() + " 2>/dev/null </dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    expectGolden(readFile(log), "runner");
}

TEST_F(GoldenLog, RunSession)
{
    const auto options = goldenOptions();
    dramolex::run::RunSession session(options.config());
    std::string log;
    session.setLogText(&log);
    for (int64_t round = 0; round < options.rounds; ++round) session.step();
    expectGolden(log, "session");
}

// The window's own run core plays the run; the stand-in window pauses it as
// soon as it shows the last round's number, as a user's click would.
TEST_F(GoldenLog, WindowRunCore)
{
    const auto options = goldenOptions();
    const fs::path log = dir_ / "window.log";
    FakeWindow window;
    std::unique_ptr<RunCore> core;
    dramolex::run::RunWindow hooks = window.window();
    const std::string last = std::to_string(options.rounds - 1);
    hooks.showRoundNumber = [&core, show = hooks.showRoundNumber, last](const std::string& text) {
        if (text == last) core->button2_Click(RunCore::pauseCaption);
        show(text);
    };
    window.call([&] { core = std::make_unique<RunCore>(options.parameters, log.string(), hooks); });
    window.call([&] { return core->button2_Click(RunCore::startCaption); });
    ASSERT_TRUE(window.waitUntil(
        [&](const FakeWindow& w) { return w.numbersLocked().size() >= static_cast<size_t>(options.rounds); }, 120));
    for (int i = 0; i < 20000 && window.call([&] { return core->workerActive(); }); ++i) ::usleep(1000);
    ASSERT_FALSE(window.call([&] { return core->workerActive(); }));
    EXPECT_EQ(window.numbers().size(), static_cast<size_t>(options.rounds)) << "paused after the last round";
    window.call([&] { core.reset(); return 0; });
    expectGolden(readFile(log), "window");
}

} // namespace
