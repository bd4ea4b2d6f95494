#include "settings.h"

#include <string>

namespace py = pybind11;

namespace dramolex::python {
namespace {

// Whole numbers travel as int64; one beyond that range goes on as its
// decimal text, so the runner reports it with the value the user gave.
run::SettingValue settingValue(const py::handle& value)
{
    if (py::isinstance<py::str>(value)) return value.cast<std::string>();
    if (py::isinstance<py::int_>(value) && !py::isinstance<py::bool_>(value)) {
        try {
            return value.cast<int64_t>();
        } catch (const py::cast_error&) {
            return py::str(value).cast<std::string>();
        }
    }
    return py::str(value).cast<std::string>();
}

} // namespace

run::RunConfig configFrom(const py::dict& settings)
{
    run::RunConfig config;
    for (const auto& [key, value] : settings) {
        const std::string problem = run::applySetting(config, key.cast<std::string>(), settingValue(value));
        if (!problem.empty()) throw py::value_error(problem);
    }
    const std::string problem = run::checkRunConfig(config);
    if (!problem.empty()) throw py::value_error(problem);
    return config;
}

void bindSettings(py::module_& module)
{
    module.def("setting_keys", [] {
        py::list keys;
        for (const auto& info : run::settingInfos()) keys.append(py::str(std::string(info.key)));
        return keys;
    }, "The run settings' keys, in the runner's order.");
    module.def("setting_infos", [] {
        py::list infos;
        for (const auto& info : run::settingInfos()) {
            py::dict row;
            row["key"] = std::string(info.key);
            row["option"] = std::string(info.option);
            row["accepted"] = std::string(info.accepted);
            row["default"] = std::string(info.defaultText);
            row["help"] = std::string(info.help);
            infos.append(row);
        }
        return infos;
    }, "Each setting's key, the runner's option for it, its accepted values, default and help line.");
    module.def("check_settings", [](const py::dict& settings) { configFrom(settings); },
               "Raises ValueError when the settings would not make a valid run.");
}

} // namespace dramolex::python
