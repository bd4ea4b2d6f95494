#include "game_binding.h"

#include <memory>
#include <mutex>
#include <optional>

#include "interrupts.h"
#include "normal_lease.h"
#include "round_table.h"
#include "run/run_session.h"
#include "run/run_summary.h"
#include "settings.h"

namespace py = pybind11;

namespace dramolex::python {
namespace {

// One run played a few rounds at a time. Steps run without the GIL; the
// mutex keeps a second thread from reading the table while a step grows it.
class Session {
public:
    Session(const py::dict& settings, bool keepAges)
        : config_(configFrom(settings)), table_(keepAges)
    {
        py::gil_scoped_release released;
        NormalLease lease(config_, normal_);
        session_ = std::make_unique<run::RunSession>(config_);
    }

    void step(int64_t rounds)
    {
        if (rounds < 0) {
            throw py::value_error("step: rounds '" + std::to_string(rounds) + "': out of range (accepted: 0 or more)");
        }
        py::gil_scoped_release released;
        std::lock_guard lock(busy_);
        NormalLease lease(config_, normal_);
        InterruptCheck interrupts;
        table_.reserve(table_.size() + rounds);
        for (int64_t i = 0; i < rounds; ++i) {
            const int64_t round = session_->roundsPlayed();
            const model::pass_graph& report = session_->step();
            table_.add(round, report);
            last_ = report;
            interrupts.poll();
        }
    }

    int64_t round()
    {
        auto lock = locked();
        return session_->roundsPlayed();
    }

    py::object lastReport()
    {
        auto lock = locked();
        if (!last_) return py::none();
        const auto& names = RoundTable::columnNames();
        const model::pass_graph& t = *last_;
        py::dict report;
        report[names[0].c_str()] = session_->roundsPlayed() - 1;
        report[names[1].c_str()] = t.capitalGap;
        report[names[2].c_str()] = t.numWinners;
        report[names[3].c_str()] = t.avgStratScore;
        report[names[4].c_str()] = t.bestStratScore;
        report[names[5].c_str()] = t.numDeaths;
        report[names[6].c_str()] = t.attendance;
        report[names[7].c_str()] = t.result;
        report["age_dist"] = py::array_t<int32_t>(static_cast<py::ssize_t>(t.ageDist.size()), t.ageDist.data());
        return report;
    }

    py::dict columns()
    {
        auto lock = locked();
        return table_.copyColumns();
    }

    py::object ages()
    {
        auto lock = locked();
        return table_.copyAges();
    }

    std::string summaryJson()
    {
        auto lock = locked();
        return run::summaryJson(config_, session_->summary());
    }

private:
    // Waits for a running step without holding the GIL, so the stepping
    // thread's peers keep running meanwhile.
    std::unique_lock<std::mutex> locked()
    {
        std::unique_lock lock(busy_, std::defer_lock);
        py::gil_scoped_release released;
        lock.lock();
        return lock;
    }

    run::RunConfig config_;
    random::Ziggurat normal_;  // this run's life spans when they are "fixed"
    std::unique_ptr<run::RunSession> session_;
    RoundTable table_;
    std::optional<model::pass_graph> last_;
    std::mutex busy_;
};

} // namespace

void bindGame(py::module_& module)
{
    py::class_<Session>(module, "Session")
        .def(py::init<const py::dict&, bool>(), py::arg("settings"), py::arg("keep_ages") = false)
        .def("step", &Session::step, py::arg("rounds") = 1, "Plays that many rounds without holding the GIL.")
        .def_property_readonly("round", &Session::round, "Rounds played so far.")
        .def_property_readonly("last_report", &Session::lastReport, "The latest round's report, or None.")
        .def("columns", &Session::columns, "The rounds played so far, as a dict of column arrays (copies).")
        .def("ages", &Session::ages, "rounds x 101 age counts (a copy), or None when not kept.")
        .def("summary_json", &Session::summaryJson, "The summary of the rounds played so far, as JSON text.");
}

} // namespace dramolex::python
