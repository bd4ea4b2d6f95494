#include "run/hand_over.h"

#include <chrono>
#include <thread>
#include <utility>

namespace dramolex::run {

HandOver::HandOver(Post post) : post_(std::move(post)), shared_(std::make_shared<Shared>()) {}

bool HandOver::invoke(std::function<void()> task)
{
    const unsigned long long ticket = ++issued_;
    // The queued task holds the shared state, not this object, so it may
    // safely reach the window's thread after the owner is gone.
    post_([shared = shared_, task = std::move(task), ticket] {
        if (shared->abandoned.load()) return;
        // Runs on the window's thread, which is also the only thread that
        // abandons, so the window cannot close while the task runs.
        task();
        std::lock_guard lock(shared->mutex);
        shared->finished.store(ticket);
        shared->done.notify_all();
    });
    // The window's thread usually answers within microseconds; waiting
    // actively for a short while saves the cost of being woken up.
    const auto finishedOrAbandoned = [&] { return shared_->abandoned.load() || shared_->finished.load() >= ticket; };
    const auto spinUntil = std::chrono::steady_clock::now() + std::chrono::microseconds(200);
    while (!finishedOrAbandoned() && std::chrono::steady_clock::now() < spinUntil) std::this_thread::yield();
    if (!finishedOrAbandoned()) {
        std::unique_lock lock(shared_->mutex);
        shared_->done.wait(lock, finishedOrAbandoned);
    }
    return shared_->finished.load() >= ticket;
}

void HandOver::send(std::function<void()> task)
{
    post_([shared = shared_, task = std::move(task)] {
        if (!shared->abandoned.load()) task();
    });
}

void HandOver::abandon()
{
    std::lock_guard lock(shared_->mutex);
    shared_->abandoned.store(true);
    shared_->done.notify_all();
}

bool HandOver::abandoned() const
{
    return shared_->abandoned.load();
}

} // namespace dramolex::run
