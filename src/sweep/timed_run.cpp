#include "sweep/timed_run.h"

#include <chrono>
#include <exception>

namespace dramolex::sweep {

TimedRun playTimed(const RunModel& model, const RunTask& task)
{
    using Clock = std::chrono::steady_clock;
    TimedRun result;
    const auto start = Clock::now();
    try {
        result.output = model.play(task);
    } catch (const std::exception& problem) {
        result.failure = problem.what();
        if (result.failure.empty()) result.failure = "unknown error";
    } catch (...) {
        result.failure = "unknown error";
    }
    result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return result;
}

} // namespace dramolex::sweep
