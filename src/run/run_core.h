#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "model/population.h"
#include "run/hand_over.h"
#include "run/history.h"
#include "run/output_file.h"
#include "run/run_parameters.h"
#include "run/run_session.h"

namespace dramolex::run {

// The speed bar's fastest position: no delay after a pass.
constexpr int32_t fastestSpeedPosition = 91;

// The delay after a pass for a speed-bar position: 10 ms per step below the
// fastest position.
constexpr int32_t delayAfterPass(int32_t position)
{
    if (position >= fastestSpeedPosition) return 0;
    return (fastestSpeedPosition - (position < 0 ? 0 : position)) * 10;
}

// What the run core needs from its window. Every hook except post runs on
// the window's thread; the worker waits for showChart and showRoundNumber to
// finish, as it would for a synchronous invoke.
struct RunWindow {
    HandOver::Post post;
    // Render view `selection` (1..7) of the history, write its image and show
    // it if that view is still selected.
    std::function<void(int32_t selection, const History& history)> showChart;
    std::function<void(const std::string& text)> showRoundNumber;
    // A log file that could not be opened or written: path and reason.
    std::function<void(const std::string& message)> showProblem;
};

// The working core of a simulation window: owns the run session (population,
// history buffer, log) and plays passes on one worker thread at a time.
//
// All public operations are for the window's thread. They never wait for the
// worker, except close (and the destructor), which waits for it to leave its
// current pass; the worker's pending hand-over is abandoned, so that wait is
// bounded by one round of the model.
class RunCore {
public:
    static constexpr int32_t fastestSpeed = fastestSpeedPosition;
    static constexpr const char* startCaption = "Start simulation";
    static constexpr const char* pauseCaption = "Pause simulation";

    RunCore(const RunParameters& parameters, std::string filename, RunWindow window);
    ~RunCore();
    RunCore(const RunCore&) = delete;
    RunCore& operator=(const RunCore&) = delete;

    // Start or pause, decided by the caption: "Start simulation" starts and
    // returns "Pause simulation", anything else pauses and returns "Start simulation".
    std::string button2_Click(const std::string& caption);
    bool running() const { return stop.load() == 1; }

    void ComboBox1_SelectedIndexChanged(int32_t index) { selectedindex1.store(index); }
    void setSpeed(int32_t position) { speedPosition.store(position); }

    // Stops the run and waits for the worker to leave its pass; afterwards
    // no worker runs and no hook is called again.
    void Form2_FormClosed();

    // True while a worker thread is playing or finishing passes.
    bool workerActive() const;

    // For tests and the window, only while no worker runs.
    int64_t nextRound() const { return session_->roundsPlayed(); }
    const History& history() const { return session_->history(); }
    const model::Population& population() const { return session_->population(); }

private:
    void ThreadProcSafe();
    void playPass(bool& logHealthy);
    void runner();
    void sleepFor(int32_t milliseconds);

    std::string filename;
    std::unique_ptr<RunSession> session_;
    int32_t sleepytime = 0;
    std::atomic<int32_t> selectedindex1{0};
    std::atomic<int32_t> stop{0};
    std::atomic<int32_t> speedPosition{fastestSpeed};
    const model::pass_graph* t = nullptr;
    std::thread backendthread;

    RunWindow window_;
    HandOver handOver_;

    // Guards the hand-off between successive starts and the worker's end.
    mutable std::mutex control_;
    std::condition_variable wake_;
    bool workerActive_ = false;
    bool closed_ = false;
    uint64_t startCount_ = 0;
};

} // namespace dramolex::run
