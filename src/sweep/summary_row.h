#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "sweep/run_model.h"

namespace dramolex::sweep {

// summary.csv: one row per run,
//   run,replication,seed,<every parameter>,<every observable>,seconds,status
// Parameters are every key of the model's table, with the config's value or
// the model's default; status is "done" or "failed" (a failed run's
// observables are empty).
class SummaryFormat {
public:
    explicit SummaryFormat(const RunModel& model) : model_(model) {}

    std::string header() const;
    // Appends one row with its newline.
    void appendRow(std::string& out, const RunTask& task, std::string_view observables, double seconds, bool done) const;
    size_t columns() const { return 5 + model_.parameters.size() + model_.observables.size(); }

    static std::string_view status(std::string_view row);
    static size_t columnsOf(std::string_view row);
    // The row without its seconds column, for comparing the results of two sweeps.
    static std::string withoutSeconds(std::string_view row);

private:
    const RunModel& model_;
};

} // namespace dramolex::sweep
