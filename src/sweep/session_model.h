#pragma once

#include "sweep/run_model.h"

namespace dramolex::sweep {

// The real runs: settings checked by the run layer's table, each run played
// by run::playRun on the calling thread with all its state its own.
RunModel sessionModel();

} // namespace dramolex::sweep
