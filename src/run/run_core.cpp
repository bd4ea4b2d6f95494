#include "run/run_core.h"

#include <chrono>
#include <utility>

#include "run/round_log.h"

namespace dramolex::run {
RunCore::RunCore(const RunParameters& parameters, std::string filename, RunWindow window)
    : filename(std::move(filename)), session_(std::make_unique<RunSession>(RunConfig{parameters})),
      window_(std::move(window)), handOver_(window_.post)
{
}

RunCore::~RunCore()
{
    Form2_FormClosed();
}

std::string RunCore::button2_Click(const std::string& caption)
{
    if (caption != startCaption) {
        stop.store(0);
        // Cuts the delay short; the pass still shows its round number.
        std::lock_guard lock(control_);
        wake_.notify_all();
        return startCaption;
    }
    std::lock_guard lock(control_);
    if (closed_) return caption;
    stop.store(1);
    ++startCount_;
    // A worker still finishing its last pass notices the new start itself,
    // closes its log and begins again; only when none is active is a new
    // thread started. The previous thread has then already ended its work.
    if (!workerActive_) {
        if (backendthread.joinable()) backendthread.join();
        workerActive_ = true;
        backendthread = std::thread(&RunCore::ThreadProcSafe, this);
    }
    return pauseCaption;
}

bool RunCore::workerActive() const
{
    std::lock_guard lock(control_);
    return workerActive_;
}

void RunCore::Form2_FormClosed()
{
    {
        std::lock_guard lock(control_);
        if (closed_) return;
        closed_ = true;
        stop.store(0);
        wake_.notify_all();
    }
    handOver_.abandon();
    if (backendthread.joinable()) backendthread.join();
    session_.reset();
}

void RunCore::ThreadProcSafe()
{
    uint64_t session = 0;
    {
        std::lock_guard lock(control_);
        session = startCount_;
    }
    for (;;) {
        // Every start opens the log anew, which empties it.
        OutputFile log;
        bool logHealthy = true;
        if (!filename.empty() && !log.open(filename)) {
            logHealthy = false;
            const std::string message = "The run log cannot be opened: " + log.error();
            handOver_.send([this, message] { window_.showProblem(message); });
        }
        session_->setLogFile(log.isOpen() ? &log : nullptr);
        while (stop.load() == 1) {
            {
                std::lock_guard lock(control_);
                if (startCount_ != session || closed_) break;
            }
            playPass(logHealthy);
        }
        session_->setLogFile(nullptr);
        if (!log.close() && logHealthy) {
            const std::string message = "The run log cannot be written: " + log.error();
            handOver_.send([this, message] { window_.showProblem(message); });
        }

        std::lock_guard lock(control_);
        if (!closed_ && stop.load() == 1 && startCount_ != session) {
            session = startCount_;
            continue;
        }
        workerActive_ = false;
        return;
    }
}

void RunCore::playPass(bool& logHealthy)
{
    // The session composes the round's log block at the points of the pass
    // (header, age lines, statistics, separator) and writes it whole after
    // the round, so a killed program leaves no header without its round.
    t = &session_->step();
    if (logHealthy && !session_->logError().empty()) {
        // Reported once; the run goes on without its log.
        logHealthy = false;
        const std::string message = "The run log cannot be written: " + session_->logError();
        handOver_.send([this, message] { window_.showProblem(message); });
    }

    runner();

    const int32_t position = speedPosition.load();
    sleepytime = delayAfterPass(position);
    sleepFor(sleepytime);

    const int64_t turn = session_->roundsPlayed() - 1;
    handOver_.invoke([this, text = std::to_string(turn)] { window_.showRoundNumber(text); });
}

void RunCore::runner()
{
    const int32_t selection = selectedindex1.load();
    if (selection < 1 || selection > 7 || !window_.showChart) return;
    handOver_.invoke([this, selection] { window_.showChart(selection, session_->history()); });
}

void RunCore::sleepFor(int32_t milliseconds)
{
    if (milliseconds <= 0) return;
    std::unique_lock lock(control_);
    wake_.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] { return stop.load() == 0 || closed_; });
}

} // namespace dramolex::run
