#include "sweep_binding.h"

#include <string>
#include <utility>
#include <vector>

#include "sweep/run_grid.h"
#include "sweep/run_model.h"
#include "sweep/session_model.h"
#include "sweep/summary_row.h"
#include "sweep/sweep_config.h"
#include "sweep/timed_run.h"

namespace py = pybind11;

namespace dramolex::python {
namespace {


py::object settingObject(const sweep::SettingValue& value)
{
    if (const auto* number = std::get_if<int64_t>(&value)) return py::int_(*number);
    return py::str(std::get<std::string>(value));
}

sweep::SweepConfig readOrThrow(const std::string& text, const std::string& fileName, const sweep::RunModel& model)
{
    sweep::ConfigReading reading = sweep::readSweepConfig(text, fileName, model);
    if (!reading.errors.empty()) {
        std::string message;
        for (const std::string& error : reading.errors) message += (message.empty() ? "" : "\n") + error;
        throw py::value_error(message);
    }
    return std::move(reading.config);
}

// A sweep as dramolex-sweep numbers it: the same config reader, grid, seed
// table and summary row format. Immutable once built, so any number of
// threads may play ranges of it at once.
class SweepPlan {
public:
    SweepPlan(const std::string& text, const std::string& fileName)
        : model_(sweep::sessionModel()), config_(readOrThrow(text, fileName, model_)), grid_(config_),
          seeds_(config_.seed, config_.runs()), format_(model_)
    {
    }
    SweepPlan(const SweepPlan&) = delete;
    SweepPlan& operator=(const SweepPlan&) = delete;

    // The summary rows of runs start..stop-1 and the failures among them.
    py::tuple play(uint64_t start, uint64_t stop) const
    {
        checkRange(start, stop);
        std::string rows;
        std::vector<std::pair<uint64_t, std::string>> failures;
        {
            py::gil_scoped_release released;
            std::vector<sweep::Setting> settings;
            for (uint64_t run = start; run < stop; ++run) {
                sweep::RunTask task = taskOf(run, settings);
                sweep::TimedRun played = sweep::playTimed(model_, task);
                format_.appendRow(rows, task, played.output.observables, played.seconds, played.ok());
                if (!played.ok()) failures.emplace_back(run, std::move(played.failure));
            }
        }
        py::list failed;
        for (auto& [run, message] : failures) failed.append(py::make_tuple(run, message));
        return py::make_tuple(rows, failed);
    }

    // Rows that report runs start..stop-1 as failed, for a task that was lost.
    std::string failedRows(uint64_t start, uint64_t stop) const
    {
        checkRange(start, stop);
        std::string rows;
        std::vector<sweep::Setting> settings;
        for (uint64_t run = start; run < stop; ++run) format_.appendRow(rows, taskOf(run, settings), "", 0.0, false);
        return rows;
    }

    py::dict pointSettings(uint64_t point) const
    {
        if (point >= grid_.points()) {
            throw py::value_error("point '" + std::to_string(point) + "': out of range (accepted: 0 to " +
                                  std::to_string(grid_.points() - 1) + ")");
        }
        std::vector<sweep::Setting> settings;
        grid_.pointSettings(point, settings);
        py::dict out;
        for (const sweep::Setting& setting : settings) out[setting.key.c_str()] = settingObject(setting.value);
        return out;
    }

    uint64_t runs() const { return config_.runs(); }
    uint64_t points() const { return config_.points(); }
    int64_t replications() const { return config_.replications; }
    int64_t rounds() const { return config_.rounds; }
    std::string header() const { return format_.header(); }
    std::string canonicalJson() const { return config_.canonicalJson(); }

private:
    // The task dramolex-sweep hands the model for a run; settings holds its parameters.
    sweep::RunTask taskOf(uint64_t run, std::vector<sweep::Setting>& settings) const
    {
        grid_.pointSettings(grid_.pointOf(run), settings);
        sweep::RunTask task;
        task.run = run;
        task.replication = grid_.replicationOf(run);
        task.seed = seeds_[run];
        task.rounds = config_.rounds;
        task.burnIn = config_.burnIn;
        task.parameters = settings;
        task.recordRounds = false;
        return task;
    }

    void checkRange(uint64_t start, uint64_t stop) const
    {
        if (start > stop || stop > runs()) {
            throw py::value_error("runs " + std::to_string(start) + " to " + std::to_string(stop) +
                                  ": out of range (accepted: 0 to " + std::to_string(runs()) + ")");
        }
    }

    sweep::RunModel model_;
    sweep::SweepConfig config_;
    sweep::RunGrid grid_;
    sweep::SeedTable seeds_;
    sweep::SummaryFormat format_;
};

} // namespace

void bindSweep(py::module_& module)
{
    py::class_<SweepPlan>(module, "SweepPlan")
        .def(py::init<const std::string&, const std::string&>(), py::arg("text"), py::arg("file_name"),
             "Reads and checks a sweep config's TOML text; ValueError lists every problem.")
        .def("play", &SweepPlan::play, py::arg("start"), py::arg("stop"),
             "Plays runs start..stop-1 without the GIL: (summary rows as CSV text, [(run, failure)]).")
        .def("failed_rows", &SweepPlan::failedRows, py::arg("start"), py::arg("stop"))
        .def("point_settings", &SweepPlan::pointSettings, py::arg("point"))
        .def_property_readonly("runs", &SweepPlan::runs)
        .def_property_readonly("points", &SweepPlan::points)
        .def_property_readonly("replications", &SweepPlan::replications)
        .def_property_readonly("rounds", &SweepPlan::rounds)
        .def_property_readonly("header", &SweepPlan::header)
        .def_property_readonly("canonical_json", &SweepPlan::canonicalJson);
}

} // namespace dramolex::python
