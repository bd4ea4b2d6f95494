#pragma once

#include <cstdio>
#include <string>

#include "sweep/run_model.h"

namespace dramolex::sweep {

// The dramolex-sweep program: run, merge and example. Returns the exit code;
// ends the process itself only when a second SIGINT/SIGTERM abandons runs.
int sweepMain(int argc, const char* const* argv, const RunModel& model, const std::string& version,
              const std::string& gitCommit, std::FILE* out = stdout, std::FILE* err = stderr);

} // namespace dramolex::sweep
