#include <pybind11/pybind11.h>

#include "game_binding.h"
#include "interrupts.h"
#include "round_table.h"
#include "run_binding.h"
#include "settings.h"
#include "sweep_binding.h"

namespace py = pybind11;

PYBIND11_MODULE(_core, module)
{
    module.doc() = "The compiled core of the dramolex package; use the dramolex package itself.";
    if (dramolex::python::RoundTable::columnNames().size() != 8) {
        throw std::runtime_error("dramolex._core: the CSV header changed; update RoundTable's columns");
    }
    dramolex::python::rememberMainThread();
    dramolex::python::bindSettings(module);
    dramolex::python::bindRun(module);
    dramolex::python::bindGame(module);
    dramolex::python::bindSweep(module);
    py::list names;
    for (const auto& name : dramolex::python::RoundTable::columnNames()) names.append(name);
    module.attr("round_columns") = names;
}
