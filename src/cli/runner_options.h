#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "run/run_config.h"
#include "run/run_parameters.h"

namespace dramolex::cli {

struct RunnerOptions {
    run::RunParameters parameters;
    int64_t rounds = 1000;
    int64_t burnIn = 0;
    std::string logPath;
    std::string csvPath;
    std::string chartsDir;
    std::string summaryPath;  // "-": standard output
    bool quiet = false;

    run::RunConfig config() const { return {parameters, rounds, burnIn}; }
};

// The result of reading the command line: either options to run with, or a
// text to print (help, version or an error) with the exit code to return.
struct ParsedCommandLine {
    std::optional<RunnerOptions> options;
    std::string message;
    bool messageIsError = false;
    int exitCode = 0;
};

// defaultSeed is used when --seed is absent (the caller passes the clock).
ParsedCommandLine parseCommandLine(int argc, const char* const* argv, uint32_t defaultSeed);

} // namespace dramolex::cli
