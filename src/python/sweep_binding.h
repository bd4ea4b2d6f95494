#pragma once

#include <pybind11/pybind11.h>

namespace dramolex::python {

// Adds SweepPlan: a sweep config read, checked and numbered by the sweep
// library, whose runs are played a range at a time into summary rows.
void bindSweep(pybind11::module_& module);

} // namespace dramolex::python
