#pragma once

#include <string>

#include "sweep/run_model.h"

namespace dramolex::sweep {

// One run played on the calling thread and timed. A run that throws is a
// failed run, not a failed sweep: its message is kept and the others go on.
struct TimedRun {
    RunOutput output;
    std::string failure;  // empty when the run played through
    double seconds = 0.0;

    bool ok() const { return failure.empty(); }
};

TimedRun playTimed(const RunModel& model, const RunTask& task);

} // namespace dramolex::sweep
