#include "cli/run_command.h"

#include <cerrno>
#include <chrono>
#include <cinttypes>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <exception>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "cli/progress_bar.h"
#include "run/history.h"
#include "run/output_file.h"
#include "run/round_csv.h"
#include "run/round_log.h"
#include "run/run_session.h"
#include "run/run_summary.h"

namespace dramolex::cli {
namespace {

struct Outputs {
    run::OutputFile log;
    run::OutputFile csv;
    run::OutputFile summary;
    bool wantLog = false;
    bool wantCsv = false;
    bool wantSummary = false;  // to a file; "-" is standard output
};

void report(std::FILE* err, const std::string& what) { std::fprintf(err, "dramolex-run: %s\n", what.c_str()); }

// Opens every output before any is emptied, so a failure leaves existing
// files as they were and removes the ones it created.
bool openOutputs(const RunnerOptions& options, Outputs& out, std::FILE* err)
{
    out.wantLog = !options.logPath.empty();
    out.wantCsv = !options.csvPath.empty();
    out.wantSummary = !options.summaryPath.empty() && options.summaryPath != "-";
    auto undo = [&](const std::string& why) {
        report(err, why);
        out.log.removeIfCreated();
        out.csv.removeIfCreated();
        out.summary.removeIfCreated();
        return false;
    };
    if (out.wantLog && !out.log.openKeepingContents(options.logPath)) return undo("cannot open log " + out.log.error());
    if (out.wantCsv && !out.csv.openKeepingContents(options.csvPath)) return undo("cannot open CSV " + out.csv.error());
    if (out.wantSummary && !out.summary.openKeepingContents(options.summaryPath)) {
        return undo("cannot open summary " + out.summary.error());
    }
    if (out.wantLog && out.wantCsv && out.log.sameFileAs(out.csv)) return undo("--log and --csv name the same file");
    if (out.wantSummary && ((out.wantLog && out.summary.sameFileAs(out.log)) || (out.wantCsv && out.summary.sameFileAs(out.csv)))) {
        return undo("--summary names the same file as --log or --csv");
    }
    if (!options.chartsDir.empty()) {
        // A missing chart directory is created with its parents.
        std::error_code created;
        std::filesystem::create_directories(options.chartsDir, created);
        struct stat info {};
        if (::stat(options.chartsDir.c_str(), &info) != 0) return undo("cannot use chart directory " + options.chartsDir + ": " + std::strerror(errno));
        if (!S_ISDIR(info.st_mode)) return undo("cannot use chart directory " + options.chartsDir + ": Not a directory");
        if (::access(options.chartsDir.c_str(), W_OK) != 0) return undo("cannot use chart directory " + options.chartsDir + ": " + std::strerror(errno));
    }
    if (out.wantLog && !out.log.truncate()) return undo("cannot empty log " + out.log.error());
    if (out.wantCsv && !out.csv.truncate()) return undo("cannot empty CSV " + out.csv.error());
    if (out.wantSummary && !out.summary.truncate()) return undo("cannot empty summary " + out.summary.error());
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

    run::RunSession session(options.config());
    const bool drawProgress = !options.quiet && ::isatty(::fileno(err));
    std::unique_ptr<ProgressBar> progress;
    if (drawProgress) progress = std::make_unique<ProgressBar>(err, options.rounds);

    if (out.wantCsv) {
        std::string header;
        run::appendCsvHeader(header);
        if (!out.csv.write(header)) {
            report(err, "error writing CSV " + out.csv.error());
            return 1;
        }
        session.setCsvFile(&out.csv);
    }
    if (out.wantLog) session.setLogFile(&out.log);

    const auto start = std::chrono::steady_clock::now();
    for (int64_t round = 0; round < options.rounds; ++round) {
        session.step();
        if (!session.logError().empty()) {
            report(err, "error writing log " + session.logError());
            return 1;
        }
        if (!session.csvError().empty()) {
            report(err, "error writing CSV " + session.csvError());
            return 1;
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
        const std::string failure = exportCharts(options.chartsDir, session.history().ultimategraph());
        if (!failure.empty()) {
            report(err, "cannot write charts: " + failure);
            return 1;
        }
    }
    if (!options.summaryPath.empty()) {
        const std::string json = run::summaryJson(options.config(), session.summary()) + "\n";
        if (options.summaryPath == "-") {
            if (std::fputs(json.c_str(), stdout) == EOF || std::fflush(stdout) != 0) {
                report(err, std::string("error writing summary to standard output: ") + std::strerror(errno));
                return 1;
            }
        } else if (!out.summary.write(json) || !out.summary.close()) {
            report(err, "error writing summary " + out.summary.error());
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
    try {
        return runCommand(*parsed.options, stderr, exportCharts);
    } catch (const std::exception& e) {
        // A model that does not honour an option, or memory running out.
        report(stderr, std::string("internal error: ") + e.what());
        return 1;
    }
}

} // namespace dramolex::cli
