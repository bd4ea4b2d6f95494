#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <span>
#include <string>

#include "cli/runner_options.h"

namespace dramolex::cli {

// Writes the chart images of a finished run into a directory. Returns an
// empty string on success, else the reason. Supplied by a program that links
// the chart views; without one, --charts is refused.
using ChartExport = std::function<std::string(const std::string& dir, std::span<const double> history)>;

// Plays the run the options describe. Exit codes: 0 done, 1 an output could
// not be opened or written, 2 a usage error.
int runCommand(const RunnerOptions& options, std::FILE* err, const ChartExport& exportCharts);

// The whole program: reads the command line and runs it.
int runnerMain(int argc, const char* const* argv, const ChartExport& exportCharts = {});

} // namespace dramolex::cli
