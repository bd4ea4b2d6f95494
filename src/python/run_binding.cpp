#include "run_binding.h"

#include "interrupts.h"
#include "normal_lease.h"
#include "round_table.h"
#include "run/run_session.h"
#include "run/run_summary.h"
#include "settings.h"

namespace py = pybind11;

namespace dramolex::python {
namespace {

py::dict playWholeRun(const py::dict& settings, bool keepAges)
{
    const run::RunConfig config = configFrom(settings);
    RoundTable table(keepAges);
    std::string summary;
    {
        py::gil_scoped_release released;
        InterruptCheck interrupts;
        random::Ziggurat normal;
        NormalLease lease(config, normal);
        run::RunSession session(config);
        table.reserve(config.rounds);
        for (int64_t round = 0; round < config.rounds; ++round) {
            table.add(round, session.step());
            interrupts.poll();
        }
        summary = run::summaryJson(config, session.summary());
    }
    py::dict result;
    result["rounds"] = table.releaseColumns();
    result["ages"] = table.releaseAges();
    result["summary_json"] = summary;
    return result;
}

} // namespace

void bindRun(py::module_& module)
{
    module.def("run", &playWholeRun, py::arg("settings"), py::arg("keep_ages") = false,
               "Plays one run to its end without holding the GIL. Returns a dict with the per-round "
               "columns, the age counts (or None) and the summary as JSON text.");
}

} // namespace dramolex::python
