#pragma once

#include <pybind11/pybind11.h>

#include "run/run_config.h"

namespace dramolex::python {

// A run's configuration from a dict of setting keys to whole numbers or
// words, checked by the runner's own rules. Any problem raises ValueError
// with the runner's one-line message (key, value, accepted range).
run::RunConfig configFrom(const pybind11::dict& settings);

// Adds setting_keys() and check_settings() to the module.
void bindSettings(pybind11::module_& module);

} // namespace dramolex::python
