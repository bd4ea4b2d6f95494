#include "cli/run_command.h"

#include <chrono>
#include <cinttypes>
#include <ctime>
#include <exception>
#include <memory>
#include <unistd.h>

#include "cli/outputs.h"
#include "cli/progress_bar.h"
#include "cli/report.h"
#include "cli/stop_signals.h"
#include "run/round_csv.h"
#include "run/run_session.h"
#include "run/run_summary.h"

namespace dramolex::cli {

int runCommand(const RunnerOptions& options, std::FILE* err, const ChartExport& exportCharts)
{
    if (!options.chartsDir.empty() && !exportCharts) {
        reportLine(err, "--charts: this build has no chart views");
        return 2;
    }
    std::fprintf(err, "seed: %" PRIu32 "\n", options.parameters.seed);

    const StopSignals stopSignals;
    RunOutputs out;
    if (const int refused = out.open(options, err); refused != 0) return refused;

    run::RunSession session(options.config());
    const bool drawProgress = !options.quiet && ::isatty(::fileno(err));
    std::unique_ptr<ProgressBar> progress;
    if (drawProgress) progress = std::make_unique<ProgressBar>(err, options.rounds);

    // Round 0 is played before any file is touched: its log block, and the
    // CSV header with its row, are each output's first write, and existing
    // files are emptied only once every output has taken its own.
    std::string logFirst;
    std::string csvFirst;
    if (out.wantCsv()) run::appendCsvHeader(csvFirst);
    int64_t played = 0;
    const auto start = std::chrono::steady_clock::now();
    if (options.rounds > 0) {
        if (out.wantLog()) session.setLogText(&logFirst);
        if (out.wantCsv()) session.setCsvText(&csvFirst);
        session.step();
        session.setLogText(nullptr);
        session.setCsvText(nullptr);
        played = 1;
        if (progress) progress->update(played);
    }
    if (!out.begin(logFirst, csvFirst, err)) return 1;
    if (out.wantLog()) session.setLogFile(&out.logFile());
    if (out.wantCsv()) session.setCsvFile(&out.csvFile());

    // A stop signal ends the run between rounds, with every block and line whole.
    while (played < options.rounds && StopSignals::received() == 0) {
        session.step();
        if (!session.logError().empty()) {
            reportLine(err, "error writing log " + session.logError());
            return 1;
        }
        if (!session.csvError().empty()) {
            reportLine(err, "error writing CSV " + session.csvError());
            return 1;
        }
        played = session.roundsPlayed();
        if (progress) progress->update(played);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (progress) progress->finish(played);

    if (out.wantSummary() && !out.writeSummary(run::summaryJson(options.config(), session.summary()) + "\n", err)) {
        return 1;
    }
    if (!out.close(err)) return 1;
    if (!options.chartsDir.empty()) {
        const std::string failure = exportCharts(options.chartsDir, session.history().ultimategraph());
        if (!failure.empty()) {
            reportLine(err, "cannot write charts: " + failure);
            return 1;
        }
    }
    const double rate = seconds > 0 ? static_cast<double>(played) / seconds : 0.0;
    if (const int signal = StopSignals::received(); signal != 0) {
        std::fprintf(err, "interrupted by %s: played %" PRId64 " of %" PRId64 " rounds in %.3f s (%.0f rounds/s)\n",
                     StopSignals::name(signal), played, options.rounds, seconds, rate);
        return StopSignals::exitCode(signal);
    }
    if (!options.quiet) {
        std::fprintf(err, "played %" PRId64 " rounds in %.3f s (%.0f rounds/s)\n", played, seconds, rate);
    }
    return 0;
}

int runnerMain(int argc, const char* const* argv, const ChartExport& exportCharts)
{
    const auto clockSeed = static_cast<uint32_t>(std::time(nullptr));
    const ParsedCommandLine parsed = parseCommandLine(argc, argv, clockSeed);
    if (!parsed.options) {
        std::fputs(parsed.message.c_str(), parsed.messageIsError ? stderr : stdout);
        return parsed.exitCode;
    }
    try {
        return runCommand(*parsed.options, stderr, exportCharts);
    } catch (const std::exception& e) {
        // A model that does not honour an option, or memory running out.
        reportLine(stderr, std::string("internal error: ") + e.what());
        return 1;
    }
}

} // namespace dramolex::cli
