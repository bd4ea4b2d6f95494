#include "cli/run_command.h"

#include <cerrno>
#include <chrono>
#include <cinttypes>
#include <cstring>
#include <ctime>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "cli/progress_bar.h"
#include "run/history.h"
#include "run/output_file.h"
#include "run/round_csv.h"
#include "run/round_log.h"

namespace dramolex::cli {
namespace {

struct Outputs {
    run::OutputFile log;
    run::OutputFile csv;
    bool wantLog = false;
    bool wantCsv = false;
};

void report(std::FILE* err, const std::string& what) { std::fprintf(err, "dramolex-run: %s\n", what.c_str()); }

// Opens every output before any is emptied, so a failure leaves existing
// files as they were and removes the ones it created.
bool openOutputs(const RunnerOptions& options, Outputs& out, std::FILE* err)
{
    out.wantLog = !options.logPath.empty();
    out.wantCsv = !options.csvPath.empty();
    auto undo = [&](const std::string& why) {
        report(err, why);
        out.log.removeIfCreated();
        out.csv.removeIfCreated();
        return false;
    };
    if (out.wantLog && !out.log.openKeepingContents(options.logPath)) return undo("cannot open log " + out.log.error());
    if (out.wantCsv && !out.csv.openKeepingContents(options.csvPath)) return undo("cannot open CSV " + out.csv.error());
    if (out.wantLog && out.wantCsv && out.log.sameFileAs(out.csv)) return undo("--log and --csv name the same file");
    if (!options.chartsDir.empty()) {
        struct stat info {};
        if (::stat(options.chartsDir.c_str(), &info) != 0) return undo("cannot use chart directory " + options.chartsDir + ": " + std::strerror(errno));
        if (!S_ISDIR(info.st_mode)) return undo("cannot use chart directory " + options.chartsDir + ": Not a directory");
        if (::access(options.chartsDir.c_str(), W_OK) != 0) return undo("cannot use chart directory " + options.chartsDir + ": " + std::strerror(errno));
    }
    if (out.wantLog && !out.log.truncate()) return undo("cannot empty log " + out.log.error());
    if (out.wantCsv && !out.csv.truncate()) return undo("cannot empty CSV " + out.csv.error());
    return true;
}

} // namespace

int runCommand(const RunnerOptions& options, std::FILE* err, const ChartExport& exportCharts)
{
    if (!options.chartsDir.empty() && !exportCharts) {
        report(err, "--charts: this build has no chart views");
        return 2;
    }
    std::fprintf(err, "seed: %" PRIu32 "\n", options.parameters.seed);

    Outputs out;
    if (!openOutputs(options, out, err)) return 1;

    auto town = std::make_unique<model::Town>(run::makeTown(options.parameters));
    auto history = std::make_unique<run::History>();
    const bool drawProgress = !options.quiet && ::isatty(::fileno(err));
    std::unique_ptr<ProgressBar> progress;
    if (drawProgress) progress = std::make_unique<ProgressBar>(err, options.rounds);

    std::string text;
    text.reserve(1024);
    if (out.wantCsv) {
        run::appendCsvHeader(text);
        if (!out.csv.write(text)) {
            report(err, "error writing CSV " + out.csv.error());
            return 1;
        }
    }

    const auto start = std::chrono::steady_clock::now();
    for (int64_t round = 0; round < options.rounds; ++round) {
        const model::pass_graph& t = town->turn();
        history->record(round, t);
        if (out.wantLog) {
            text.clear();
            run::appendRoundHeader(text, round);
            run::appendRoundBody(text, round, t);
            if (!out.log.write(text)) {
                report(err, "error writing log " + out.log.error());
                return 1;
            }
        }
        if (out.wantCsv) {
            text.clear();
            run::appendCsvRow(text, round, t);
            if (!out.csv.write(text)) {
                report(err, "error writing CSV " + out.csv.error());
                return 1;
            }
        }
        if (progress) progress->update(round + 1);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (progress) progress->finish(options.rounds);

    if ((out.wantLog && !out.log.close()) || (out.wantCsv && !out.csv.close())) {
        report(err, "error closing " + (out.log.error().empty() ? out.csv.error() : out.log.error()));
        return 1;
    }
    if (!options.chartsDir.empty()) {
        const std::string failure = exportCharts(options.chartsDir, history->ultimategraph());
        if (!failure.empty()) {
            report(err, "cannot write charts: " + failure);
            return 1;
        }
    }
    if (!options.quiet) {
        const double rate = seconds > 0 ? static_cast<double>(options.rounds) / seconds : 0.0;
        std::fprintf(err, "played %" PRId64 " rounds in %.3f s (%.0f rounds/s)\n", options.rounds, seconds, rate);
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
