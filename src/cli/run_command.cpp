#include "cli/run_command.h"

#include <chrono>
#include <cinttypes>
#include <ctime>
#include <memory>
#include <unistd.h>

#include "cli/outputs.h"
#include "cli/progress_bar.h"
#include "cli/report.h"
#include "cli/stop_signals.h"
#include "run/history.h"
#include "run/round_csv.h"
#include "run/round_log.h"

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

    auto town = std::make_unique<model::Town>(run::makeTown(options.parameters));
    auto history = std::make_unique<run::History>();
    const bool drawProgress = !options.quiet && ::isatty(::fileno(err));
    std::unique_ptr<ProgressBar> progress;
    if (drawProgress) progress = std::make_unique<ProgressBar>(err, options.rounds);

    // Each output's first write goes out before any existing file is emptied:
    // the CSV header, and the log's header of round 0 (written, as in the
    // window, before the round is played).
    std::string text;
    text.reserve(1024);
    std::string logStart;
    if (options.rounds > 0) run::appendRoundHeader(logStart, 0);
    if (out.wantCsv()) run::appendCsvHeader(text);
    if (!out.begin(logStart, text, err)) return 1;

    int64_t played = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int64_t round = 0; round < options.rounds; ++round) {
        const model::pass_graph& t = town->turn();
        history->record(round, t);
        if (out.wantLog()) {
            text.clear();
            if (round > 0) run::appendRoundHeader(text, round);
            run::appendRoundBody(text, round, t);
            if (!out.writeLog(text, err)) return 1;
        }
        if (out.wantCsv()) {
            text.clear();
            run::appendCsvRow(text, round, t);
            if (!out.writeCsv(text, err)) return 1;
        }
        played = round + 1;
        if (progress) progress->update(played);
        // A stop signal ends the run here, with the round's block and line whole.
        if (StopSignals::received() != 0) break;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (progress) progress->finish(played);

    if (!out.close(err)) return 1;
    if (!options.chartsDir.empty()) {
        const std::string failure = exportCharts(options.chartsDir, history->ultimategraph());
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
    return runCommand(*parsed.options, stderr, exportCharts);
}

} // namespace dramolex::cli
