#pragma once

#include <pybind11/pybind11.h>

namespace dramolex::python {

// Adds the Session class behind dramolex.Game: a run played step by step.
void bindGame(pybind11::module_& module);

} // namespace dramolex::python
