#include "cli/stop_signals.h"

#include <atomic>

namespace dramolex::cli {
namespace {

// A signal handler can reach nothing but static storage; a lock-free atomic
// is safe to store into from one.
std::atomic<int> firstSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void recordSignal(int signal)
{
    int none = 0;
    firstSignal.compare_exchange_strong(none, signal);
}

} // namespace

StopSignals::StopSignals()
{
    firstSignal.store(0);
    struct sigaction action {};
    action.sa_handler = recordSignal;
    sigemptyset(&action.sa_mask);
    // Writes in progress resume; the handler runs once, then the default.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (size_t i = 0; i < caught.size(); ++i) {
        sigaction(caught[i], nullptr, &previous_[i]);
        // A signal ignored by whoever started us (nohup, a background job)
        // stays ignored.
        if (previous_[i].sa_handler != SIG_IGN) sigaction(caught[i], &action, nullptr);
    }
}

StopSignals::~StopSignals()
{
    for (size_t i = 0; i < caught.size(); ++i) sigaction(caught[i], &previous_[i], nullptr);
}

int StopSignals::received() { return firstSignal.load(); }

const char* StopSignals::name(int signal)
{
    switch (signal) {
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    case SIGHUP: return "SIGHUP";
    default: return "a signal";
    }
}

} // namespace dramolex::cli
