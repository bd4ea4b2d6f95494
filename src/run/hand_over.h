#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace dramolex::run {

// Runs tasks on the window's thread for a worker thread and lets the worker
// wait until a task has run there, like a toolkit's synchronous invoke, with
// one addition: the owner can abandon every pending and future task. An
// abandoned task never runs, and a worker waiting for one returns at once, so
// closing a window can never deadlock on a worker's hand-over, and a task that
// reaches the window's thread late never touches a closed window.
class HandOver {
public:
    // Queues a task to run later on the window's thread (the toolkit's event
    // loop); it must not run the task inline.
    using Post = std::function<void(std::function<void()>)>;

    explicit HandOver(Post post);

    // Worker side: runs task on the window's thread and waits for it.
    // Returns false if the hand-over was abandoned instead.
    bool invoke(std::function<void()> task);
    // Worker side: queues task without waiting for it.
    void send(std::function<void()> task);

    // Window side: no task runs any more; waiting workers return.
    void abandon();
    bool abandoned() const;

private:
    struct Shared {
        std::mutex mutex;
        std::condition_variable done;
        std::atomic<bool> abandoned{false};
        std::atomic<unsigned long long> finished{0};
    };

    Post post_;
    std::shared_ptr<Shared> shared_;
    unsigned long long issued_ = 0;  // worker side only
};

} // namespace dramolex::run
