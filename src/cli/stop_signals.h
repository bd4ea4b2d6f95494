#pragma once

#include <array>
#include <csignal>

namespace dramolex::cli {

// Catches SIGINT, SIGTERM and SIGHUP while it lives, so that a run can stop
// between rounds and leave whole outputs behind. The handler only records
// the signal; the run loop asks received() after each round. A second
// signal of the same kind gets the default action, so a run that does not
// stop can still be killed with another Ctrl-C.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The first signal caught, or 0.
    static int received();
    // "SIGINT", "SIGTERM" or "SIGHUP".
    static const char* name(int signal);
    // The conventional exit code of a program stopped by the signal: 128 + its number.
    static int exitCode(int signal) { return 128 + signal; }

private:
    static constexpr std::array<int, 3> caught = {SIGINT, SIGTERM, SIGHUP};
    std::array<struct sigaction, 3> previous_{};
};

} // namespace dramolex::cli
