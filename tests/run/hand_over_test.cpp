#include "run/hand_over.h"

#include <atomic>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace {

using dramolex::run::HandOver;

// A window's event queue that the test empties by hand.
struct Queue {
    std::mutex mutex;
    std::deque<std::function<void()>> tasks;
    HandOver::Post post()
    {
        return [this](std::function<void()> task) {
            std::lock_guard lock(mutex);
            tasks.push_back(std::move(task));
        };
    }
    size_t size()
    {
        std::lock_guard lock(mutex);
        return tasks.size();
    }
    void runAll()
    {
        std::deque<std::function<void()>> now;
        {
            std::lock_guard lock(mutex);
            now.swap(tasks);
        }
        for (auto& task : now) task();
    }
    void waitFor(size_t count)
    {
        while (size() < count) std::this_thread::yield();
    }
};

TEST(HandOver, InvokeWaitsUntilTheWindowHasRunTheTask)
{
    Queue queue;
    HandOver handOver(queue.post());
    std::atomic<int> ran{0};
    bool result = false;
    std::thread worker([&] { result = handOver.invoke([&] { ran = 1; }); });
    queue.waitFor(1);
    EXPECT_EQ(ran.load(), 0) << "never run inline";
    queue.runAll();
    worker.join();
    EXPECT_TRUE(result);
    EXPECT_EQ(ran.load(), 1);
}

// A task that reaches the window's thread after the window has closed must
// not run: it would touch a window that is gone.
TEST(HandOver, TasksQueuedBeforeTheCloseNeverRunAfterIt)
{
    Queue queue;
    HandOver handOver(queue.post());
    std::atomic<int> ran{0};
    bool result = true;
    std::thread worker([&] { result = handOver.invoke([&] { ++ran; }); });
    queue.waitFor(1);
    handOver.send([&] { ++ran; });
    handOver.abandon();
    worker.join();
    EXPECT_FALSE(result) << "the waiting worker is released";
    queue.runAll();
    EXPECT_EQ(ran.load(), 0);

    handOver.send([&] { ++ran; });
    EXPECT_FALSE(handOver.invoke([&] { ++ran; })) << "nothing waits after the close";
    queue.runAll();
    EXPECT_EQ(ran.load(), 0);
    EXPECT_TRUE(handOver.abandoned());
}

TEST(HandOver, SentTasksRunInOrderWithoutWaiting)
{
    Queue queue;
    HandOver handOver(queue.post());
    std::vector<int> order;
    handOver.send([&] { order.push_back(1); });
    handOver.send([&] { order.push_back(2); });
    EXPECT_TRUE(order.empty());
    queue.runAll();
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
}

} // namespace
