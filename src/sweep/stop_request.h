#pragma once

#include <atomic>
#include <csignal>

namespace dramolex::sweep {

// Set from a signal handler (lock-free atomics are async-signal-safe) or by
// a test: the first request stops the sweep from starting runs, the second
// abandons the runs still going.
struct StopRequest {
    std::atomic<int> signal{0};  // the signal number of the first request
    std::atomic<int> count{0};

    void request(int signalNumber)
    {
        int none = 0;
        signal.compare_exchange_strong(none, signalNumber);
        count.fetch_add(1);
    }
};

// Routes SIGINT and SIGTERM to `stop` for as long as the object lives.
class StopOnSignals {
public:
    explicit StopOnSignals(StopRequest& stop);
    ~StopOnSignals();
    StopOnSignals(const StopOnSignals&) = delete;
    StopOnSignals& operator=(const StopOnSignals&) = delete;

private:
    struct sigaction previousInt_ {};
    struct sigaction previousTerm_ {};
};

} // namespace dramolex::sweep
