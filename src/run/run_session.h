#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "model/population.h"
#include "model/round_report.h"
#include "run/history.h"
#include "run/observables.h"
#include "run/output_file.h"
#include "run/run_config.h"
#include "run/run_summary.h"

namespace dramolex::run {

// One run without any window: the population, the history buffer and the
// consumers of every round (run log, CSV rows, observables, a callback).
// step() plays one round and feeds them all; the desktop window's worker,
// dramolex-run and the sweep drive the same code.
//
// Log and CSV go to an OutputFile or are appended to a caller's string. Each
// round's log block (header and body) reaches the file in one write, after the
// round, so a file never ends in a bare header. A failed write is kept in
// logError()/csvError() and that output is dropped for the rest of the run.
class RunSession {
public:
    using RoundCallback = std::function<void(int64_t round, const model::pass_graph& report)>;

    explicit RunSession(const RunConfig& config);
    ~RunSession();
    RunSession(const RunSession&) = delete;
    RunSession& operator=(const RunSession&) = delete;

    // nullptr turns an output off. Setting a target clears its error.
    void setLogFile(OutputFile* file);
    void setLogText(std::string* text);
    void setCsvFile(OutputFile* file);
    void setCsvText(std::string* text);
    // Called after each round, once the other consumers have it.
    void setRoundCallback(RoundCallback callback);

    // Plays round roundsPlayed() and feeds every consumer. The record is the
    // population's own and is overwritten by the next step.
    const model::pass_graph& step();

    int64_t roundsPlayed() const { return played_; }
    const RunConfig& config() const { return config_; }
    const model::Population& population() const { return *population_; }
    const History& history() const { return *history_; }
    const std::string& logError() const { return logError_; }
    const std::string& csvError() const { return csvError_; }

    // The observables over the measured rounds played so far.
    RunSummary summary() const;

private:
    void writeTo(OutputFile*& file, std::string& error, const std::string& text);

    RunConfig config_;
    std::unique_ptr<model::Population> population_;
    std::unique_ptr<History> history_;
    int64_t played_ = 0;
    int32_t numbars_ = 0;

    RoundObservables observables_;
    FrozenAgents frozen_;

    OutputFile* logFile_ = nullptr;
    std::string* logText_ = nullptr;
    OutputFile* csvFile_ = nullptr;
    std::string* csvText_ = nullptr;
    RoundCallback callback_;
    std::string logError_;
    std::string csvError_;
    std::string block_;  // one round's text, reused
};

// Plays a whole run headless and returns its observables. With csvRows, every
// round's CSV row (appendCsvRow's format, no header) is appended to it.
RunSummary playRun(const RunConfig& config, std::string* csvRows = nullptr);

} // namespace dramolex::run
