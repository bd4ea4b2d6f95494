#pragma once

#include <mutex>

#include "random/ziggurat.h"
#include "run/run_config.h"

namespace dramolex::python {

// Runs with mortality and lifespans "fixed" draw their life spans from the
// process-wide normal generator. dramolex-run starts each such run in a fresh
// process; here many runs share one process and may play at once. So each
// run owns a generator that starts as a fresh process's would, and lends it
// to the process-wide slot while it plays: the lease locks one mutex, swaps
// the run's generator in and swaps it back out. Other runs need no lease and
// do not wait.
class NormalLease {
public:
    NormalLease(const run::RunConfig& config, random::Ziggurat& own);
    ~NormalLease();
    NormalLease(const NormalLease&) = delete;
    NormalLease& operator=(const NormalLease&) = delete;

    static bool needed(const run::RunConfig& config);

private:
    random::Ziggurat* own_ = nullptr;
    std::unique_lock<std::mutex> lock_;
};

} // namespace dramolex::python
