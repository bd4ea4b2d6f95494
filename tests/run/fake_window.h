#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "run/run_core.h"

// Stands in for the window: a thread that runs posted tasks in order, like
// an event loop, and records what the run core showed. It can be held to
// simulate a window that has not got round to its events yet.
class FakeWindow {
public:
    FakeWindow() : thread_([this] { loop(); }) {}
    ~FakeWindow()
    {
        {
            std::lock_guard lock(mutex_);
            quit_ = true;
            held_ = false;
        }
        changed_.notify_all();
        thread_.join();
    }

    dramolex::run::RunWindow window()
    {
        dramolex::run::RunWindow w;
        w.post = [this](std::function<void()> task) {
            std::lock_guard lock(mutex_);
            tasks_.push_back(std::move(task));
            changed_.notify_all();
        };
        w.showRoundNumber = [this](const std::string& text) { record(numbers_, text); };
        w.showChart = [this](int32_t selection, const dramolex::run::History&) { record(charts_, selection); };
        w.showProblem = [this](const std::string& message) { record(problems_, message); };
        return w;
    }

    // Runs fn on the window's thread and waits for it, as an event handler
    // would run there. Handlers run even while posted tasks are held, as a
    // window's own handler runs while the worker's events wait in the queue.
    template <typename Fn>
    auto call(Fn fn) -> decltype(fn())
    {
        using Result = decltype(fn());
        std::packaged_task<Result()> job(std::move(fn));
        auto result = job.get_future();
        {
            std::lock_guard lock(mutex_);
            direct_.push_back([&job] { job(); });
            changed_.notify_all();
        }
        return result.get();
    }

    void hold(bool held)
    {
        std::lock_guard lock(mutex_);
        held_ = held;
        changed_.notify_all();
    }

    // Waits (at most a generous time, so a hang fails instead of blocking
    // the suite) until the predicate holds on this window's state.
    bool waitUntil(const std::function<bool(const FakeWindow&)>& predicate, int seconds = 20)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(seconds), [&] { return predicate(*this); });
    }

    size_t pendingLocked() const { return tasks_.size(); }
    const std::vector<std::string>& numbersLocked() const { return numbers_; }

    std::vector<std::string> numbers() const { return copy(numbers_); }
    std::vector<int32_t> charts() const { return copy(charts_); }
    std::vector<std::string> problems() const { return copy(problems_); }

private:
    template <typename T>
    void record(std::vector<T>& into, const T& value)
    {
        std::lock_guard lock(mutex_);
        into.push_back(value);
        changed_.notify_all();
    }
    template <typename T>
    std::vector<T> copy(const std::vector<T>& from) const
    {
        std::lock_guard lock(mutex_);
        return from;
    }

    void loop()
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            changed_.wait(lock, [&] { return quit_ || !direct_.empty() || (!held_ && !tasks_.empty()); });
            std::deque<std::function<void()>>& queue = !direct_.empty() ? direct_ : tasks_;
            if (queue.empty()) return;
            auto task = std::move(queue.front());
            queue.pop_front();
            lock.unlock();
            task();
            lock.lock();
            changed_.notify_all();
        }
    }

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> tasks_;
    std::deque<std::function<void()>> direct_;
    std::vector<std::string> numbers_;
    std::vector<int32_t> charts_;
    std::vector<std::string> problems_;
    bool held_ = false;
    bool quit_ = false;
    std::thread thread_;
};
