#pragma once

#include <pybind11/pybind11.h>

namespace dramolex::python {

// Adds run(settings, keep_ages) to the module: one whole run without the GIL.
void bindRun(pybind11::module_& module);

} // namespace dramolex::python
