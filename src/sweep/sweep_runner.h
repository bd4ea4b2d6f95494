#pragma once

#include <cstdio>
#include <string>

#include "sweep/run_model.h"
#include "sweep/shard.h"
#include "sweep/stop_request.h"
#include "sweep/sweep_config.h"

namespace dramolex::sweep {

enum ExitCode : int {
    exitDone = 0,
    exitWriteError = 1,
    exitUsage = 2,  // bad config or command line, or an output directory that does not fit
    exitRunsFailed = 3,
};

struct SweepOptions {
    std::string configPath;  // as given, for the manifest
    std::string outDir;
    unsigned jobs = 1;
    Shard shard;
    bool resume = false;
    bool roundsCsv = false;
    bool progress = false;  // redraw a status line on err
    std::string version = "unknown";
    std::string gitCommit = "unknown";
};

struct SweepResult {
    int exitCode = exitDone;  // or 128 + the signal when interrupted
    // A second stop request left runs going on worker threads: the caller
    // must end the process without returning through static destructors.
    bool abandoned = false;
};

// Plays the runs of the sweep (of one shard) on `jobs` threads and writes
// summary.csv, rounds.csv and manifest.json into the output directory.
SweepResult runSweep(const SweepConfig& config, const RunModel& model, const SweepOptions& options, StopRequest& stop,
                     std::FILE* err);

} // namespace dramolex::sweep
