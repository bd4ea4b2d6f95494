// The run loop's own cost per pass: a one-agent population (whose round
// costs well under a microsecond), no chart, no log, full speed, and a
// window thread that runs the hand-overs as an event loop would.
#include <benchmark/benchmark.h>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "run/run_core.h"

namespace {

// A window thread that either sleeps until an event arrives (as a real
// event loop does, so every hand-over pays for waking it) or polls its
// queue, which leaves only the run core's own cost.
class EventLoop {
public:
    explicit EventLoop(bool polls) : polls_(polls), thread_([this] { loop(); }) {}
    ~EventLoop()
    {
        {
            std::lock_guard lock(mutex_);
            quit_ = true;
        }
        ready_.notify_one();
        thread_.join();
    }
    void post(std::function<void()> task)
    {
        {
            std::lock_guard lock(mutex_);
            tasks_.push_back(std::move(task));
        }
        ready_.notify_one();
    }

private:
    void loop()
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            if (polls_) {
                while (!quit_ && tasks_.empty()) {
                    lock.unlock();
                    std::this_thread::yield();
                    lock.lock();
                }
            } else {
                ready_.wait(lock, [&] { return quit_ || !tasks_.empty(); });
            }
            if (tasks_.empty()) return;
            auto task = std::move(tasks_.front());
            tasks_.pop_front();
            lock.unlock();
            task();
            lock.lock();
        }
    }
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> tasks_;
    bool quit_ = false;
    bool polls_;
    std::thread thread_;
};

void BM_PassOverhead(benchmark::State& state)
{
    EventLoop loop(state.range(0) == 1);
    std::mutex shownMutex;
    std::condition_variable shownChanged;
    int64_t shown = 0;

    dramolex::run::RunWindow window;
    window.post = [&](std::function<void()> task) { loop.post(std::move(task)); };
    window.showRoundNumber = [&](const std::string&) {
        std::lock_guard lock(shownMutex);
        ++shown;
        shownChanged.notify_all();
    };
    window.showChart = [](int32_t, const dramolex::run::History&) {};
    window.showProblem = [](const std::string&) {};

    int64_t passes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        dramolex::run::RunCore core({1, 0, -1, 1, 1, {}}, "", window);
        {
            std::lock_guard lock(shownMutex);
            shown = 0;
        }
        state.ResumeTiming();
        core.button2_Click(dramolex::run::RunCore::startCaption);
        {
            std::unique_lock lock(shownMutex);
            shownChanged.wait(lock, [&] { return shown >= 20000; });
        }
        core.button2_Click(dramolex::run::RunCore::pauseCaption);
        state.PauseTiming();
        core.Form2_FormClosed();
        passes += shown;
        state.ResumeTiming();
    }
    state.counters["us/pass"] =
        benchmark::Counter(static_cast<double>(passes) * 1e-6, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PassOverhead)->ArgName("polling_window")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The platform's cost of waking a sleeping thread and being woken back: the
// floor under any synchronous hand-over to a sleeping window thread.
void BM_BlockingRoundTrip(benchmark::State& state)
{
    std::mutex m;
    std::condition_variable cv;
    int turn = 0;
    bool quit = false;
    std::thread peer([&] {
        std::unique_lock l(m);
        for (;;) {
            cv.wait(l, [&] { return turn == 1 || quit; });
            if (quit) return;
            turn = 0;
            cv.notify_all();
        }
    });
    for (auto _ : state) {
        std::unique_lock l(m);
        turn = 1;
        cv.notify_all();
        cv.wait(l, [&] { return turn == 0; });
    }
    {
        std::lock_guard l(m);
        quit = true;
    }
    cv.notify_all();
    peer.join();
}
BENCHMARK(BM_BlockingRoundTrip)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
BENCHMARK_MAIN();
