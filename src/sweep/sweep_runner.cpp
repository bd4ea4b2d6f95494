#include "sweep/sweep_runner.h"

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "sweep/append_file.h"
#include "sweep/manifest.h"
#include "sweep/progress_line.h"
#include "sweep/run_csv.h"
#include "sweep/run_grid.h"
#include "sweep/sha256.h"
#include "sweep/summary_row.h"
#include "sweep/timed_run.h"

namespace dramolex::sweep {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr size_t maxListedFailures = 100;

struct Paths {
    std::string summaryName, roundsName, manifestName;
    std::string summary, rounds, manifest;

    Paths(const std::string& dir, const Shard& shard)
        : summaryName("summary" + shard.fileSuffix() + ".csv"), roundsName("rounds" + shard.fileSuffix() + ".csv"),
          manifestName("manifest" + shard.fileSuffix() + ".json"), summary((fs::path(dir) / summaryName).string()),
          rounds((fs::path(dir) / roundsName).string()), manifest((fs::path(dir) / manifestName).string())
    {
    }
};

// Everything the worker threads touch. Held by shared pointer, so that
// abandoned workers can finish their run harmlessly after runSweep returned.
struct Shared {
    Shared(const SweepConfig& c, const RunModel& m, const SweepOptions& o, StopRequest& s)
        : config(c), model(m), options(o), stop(s), grid(config), format(model), seeds(config.seed, config.runs())
    {
    }

    const SweepConfig config;
    const RunModel model;
    const SweepOptions options;
    StopRequest& stop;
    const RunGrid grid;
    const SummaryFormat format;
    const SeedTable seeds;
    std::vector<bool> alreadyDone;  // rows kept from an earlier invocation; read-only while running

    std::atomic<uint64_t> cursor{0};
    std::atomic<bool> halt{false};

    std::mutex mutex;  // guards everything below
    std::condition_variable changed;
    AppendFile summary;
    AppendFile rounds;
    bool closed = false;
    unsigned running = 0;
    uint64_t finished = 0;  // in this invocation, done or failed
    uint64_t failed = 0;
    uint64_t doneRows = 0;  // in the summary, including kept rows
    std::vector<RunFailure> failures;
    std::string writeError;
};

void appendRoundsBlock(std::string& block, uint64_t run, const std::string& rows)
{
    const std::string prefix = std::to_string(run) + ",";
    size_t start = 0;
    while (start < rows.size()) {
        size_t end = rows.find('\n', start);
        if (end == std::string::npos) end = rows.size();
        block += prefix;
        block.append(rows, start, end - start);
        block += '\n';
        start = end + 1;
    }
}

void work(const std::shared_ptr<Shared> shared, std::FILE* err)
{
    Shared& s = *shared;
    const Shard shard = s.options.shard;
    const uint64_t total = s.config.runs();
    std::vector<Setting> settings;
    std::string row, block;
    for (;;) {
        if (s.stop.signal.load() != 0 || s.halt.load()) break;
        const uint64_t run = shard.index + s.cursor.fetch_add(1) * shard.count;
        if (run >= total) break;
        if (s.alreadyDone[run / shard.count]) continue;

        s.grid.pointSettings(s.grid.pointOf(run), settings);
        RunTask task;
        task.run = run;
        task.replication = s.grid.replicationOf(run);
        task.seed = s.seeds[run];
        task.rounds = s.config.rounds;
        task.burnIn = s.config.burnIn;
        task.parameters = settings;
        task.recordRounds = s.options.roundsCsv;

        const TimedRun played = playTimed(s.model, task);
        const bool ok = played.ok();
        row.clear();
        s.format.appendRow(row, task, played.output.observables, played.seconds, ok);
        block.clear();
        if (ok && task.recordRounds) appendRoundsBlock(block, run, played.output.rounds);

        {
            std::lock_guard lock(s.mutex);
            if (s.closed) break;
            // The rounds go first: a run counts as done once its summary row is written.
            bool written = block.empty() || s.rounds.write(block);
            if (written) written = s.summary.write(row);
            if (!written) {
                s.writeError = s.rounds.error().empty() ? s.summary.error() : s.rounds.error();
                s.halt.store(true);
            } else {
                ++s.finished;
                if (ok) ++s.doneRows;
                else {
                    ++s.failed;
                    if (s.failures.size() < maxListedFailures) s.failures.push_back({run, played.failure});
                    std::fprintf(err, "dramolex-sweep: run %llu failed: %s\n", static_cast<unsigned long long>(run),
                                 played.failure.c_str());
                }
            }
        }
        // No wake-up per run: the calling thread redraws progress on a timer.
    }
    {
        std::lock_guard lock(s.mutex);
        --s.running;
    }
    s.changed.notify_all();
}

bool fail(std::FILE* err, const std::string& what)
{
    std::fprintf(err, "dramolex-sweep: %s\n", what.c_str());
    return false;
}

// Keeps the rows of an earlier invocation that completed; a failed run and a
// half-written row are dropped so that the run is played again.
bool prepareResume(Shared& s, const Paths& paths, std::FILE* err, int& exitCode)
{
    exitCode = exitUsage;
    const bool haveSummary = fs::exists(paths.summary);
    const bool haveManifest = fs::exists(paths.manifest);
    if (!haveManifest) {
        if (haveSummary) return fail(err, "--resume: " + paths.summary + " has no " + paths.manifestName + " beside it, so its config is unknown");
        return true;
    }
    std::string error;
    const auto previous = readManifest(paths.manifest, error);
    if (!previous) return fail(err, "--resume: " + error);
    if (previous->configSha256 != textSha256(s.config.canonicalJson()))
        return fail(err, "--resume: " + paths.manifest + " was written for a different config");
    if (previous->roundsCsv != s.options.roundsCsv)
        return fail(err, std::string("--resume: the sweep in ") + s.options.outDir + " was started " +
                             (previous->roundsCsv ? "with" : "without") + " --rounds-csv; resume it the same way");
    if (!haveSummary) return true;

    const std::string header = s.format.header();
    {
        RowReader reader(paths.summary);
        std::string_view first;
        bool complete = false;
        if (!reader.next(first, complete) || !complete || first != header)
            return fail(err, "--resume: " + paths.summary + " does not have this sweep's columns");
    }
    exitCode = exitWriteError;
    const Shard shard = s.options.shard;
    const size_t columns = s.format.columns();
    const uint64_t total = s.config.runs();
    error = keepRows(paths.summary, [&](std::string_view row) {
        const auto run = leadingRun(row);
        if (!run || *run >= total || !shard.owns(*run) || SummaryFormat::columnsOf(row) != columns ||
            SummaryFormat::status(row) != "done" || s.alreadyDone[*run / shard.count])
            return false;
        s.alreadyDone[*run / shard.count] = true;
        ++s.doneRows;
        return true;
    });
    if (!error.empty()) return fail(err, "cannot resume: " + error);
    if (s.options.roundsCsv && fs::exists(paths.rounds)) {
        error = keepRows(paths.rounds, [&](std::string_view row) {
            const auto run = leadingRun(row);
            return run && *run < total && shard.owns(*run) && s.alreadyDone[*run / shard.count];
        });
        if (!error.empty()) return fail(err, "cannot resume: " + error);
    }
    return true;
}

bool openOutputs(Shared& s, const Paths& paths, std::FILE* err)
{
    auto open = [&](AppendFile& file, const std::string& path, const std::string& header) {
        const bool keep = s.options.resume && fs::exists(path);
        if (keep) return file.openAppend(path);
        return file.openEmpty(path) && file.write(header + "\n");
    };
    if (!open(s.summary, paths.summary, s.format.header())) return fail(err, "cannot write " + s.summary.error());
    if (s.options.roundsCsv && !open(s.rounds, paths.rounds, "run," + s.model.roundsHeader))
        return fail(err, "cannot write " + s.rounds.error());
    return true;
}

Manifest baseManifest(const Shared& s, const Paths& paths)
{
    Manifest m;
    m.version = s.options.version;
    m.gitCommit = s.options.gitCommit;
    m.configFile = s.options.configPath;
    m.configJson = s.config.canonicalJson();
    m.configSha256 = textSha256(m.configJson);
    m.baseSeed = s.config.seed;
    m.runsTotal = s.config.runs();
    m.shard = s.options.shard;
    m.runsInShard = s.alreadyDone.size();
    m.started = utcNow();
    m.host = hostName();
    m.jobs = s.options.jobs;
    m.roundsCsv = s.options.roundsCsv;
    m.summaryFile = paths.summaryName;
    return m;
}

} // namespace

SweepResult runSweep(const SweepConfig& config, const RunModel& model, const SweepOptions& options, StopRequest& stop,
                     std::FILE* err)
{
    const Shard shard = options.shard;
    auto shared = std::make_shared<Shared>(config, model, options, stop);
    Shared& s = *shared;
    const uint64_t total = config.runs();
    s.alreadyDone.assign(total / shard.count + (shard.index < total % shard.count ? 1 : 0), false);

    std::error_code error;
    fs::create_directories(options.outDir, error);
    if (error) {
        fail(err, "cannot create " + options.outDir + ": " + error.message());
        return {exitWriteError};
    }
    const Paths paths(options.outDir, shard);
    if (!options.resume) {
        for (const std::string* path : {&paths.summary, &paths.manifest})
            if (fs::exists(*path)) {
                fail(err, *path + " exists: continue that sweep with --resume, or choose another --out");
                return {exitUsage};
            }
    } else {
        int code = exitDone;
        if (!prepareResume(s, paths, err, code)) return {code};
    }
    if (!openOutputs(s, paths, err)) return {exitWriteError};

    Manifest manifest = baseManifest(s, paths);
    manifest.status = "running";
    manifest.runsDone = s.doneRows;
    if (std::string why = writeManifest(paths.manifest, manifest, s.seeds); !why.empty()) {
        fail(err, "cannot write " + why);
        return {exitWriteError};
    }

    const uint64_t toDo = s.alreadyDone.size() - s.doneRows;
    const unsigned jobs = static_cast<unsigned>(std::max<uint64_t>(1, std::min<uint64_t>(options.jobs, toDo)));
    std::vector<std::thread> workers;
    s.running = jobs;
    for (unsigned i = 0; i < jobs; ++i) workers.emplace_back(work, shared, err);

    // The calling thread draws progress and watches for a second stop request.
    const auto start = Clock::now();
    bool abandoned = false;
    {
        std::unique_lock lock(s.mutex);
        while (s.running > 0) {
            s.changed.wait_for(lock, std::chrono::milliseconds(200));
            if (options.progress) {
                const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
                std::fprintf(err, "\r%s\033[K", progressLine(s.finished, toDo, seconds).c_str());
                std::fflush(err);
            }
            if (stop.count.load() >= 2 && s.running > 0) {
                s.closed = true;
                abandoned = true;
                break;
            }
        }
        s.closed = true;
    }
    if (options.progress) std::fputc('\n', err);
    for (std::thread& worker : workers) {
        if (abandoned) worker.detach();
        else worker.join();
    }

    // Nothing writes to the outputs any more.
    std::string writeError = s.writeError;
    if (!s.summary.close() && writeError.empty()) writeError = s.summary.error();
    if (s.rounds.isOpen() && !s.rounds.close() && writeError.empty()) writeError = s.rounds.error();
    const bool complete = s.doneRows + s.failed == s.alreadyDone.size();
    const bool interrupted = stop.signal.load() != 0 && !complete;
    if (writeError.empty() && !interrupted) {
        // Rows arrived as runs finished; the finished files are in run order.
        writeError = sortRunBlocks(paths.summary);
        if (writeError.empty() && options.roundsCsv) writeError = sortRunBlocks(paths.rounds);
    }

    manifest.runsDone = s.doneRows;
    manifest.runsFailed = s.failed;
    manifest.failures = s.failures;
    manifest.ended = utcNow();
    manifest.status = !writeError.empty() ? "write error" : interrupted ? "interrupted" : s.failed > 0 ? "runs failed" : "done";
    auto digest = [&](const std::string& name, const std::string& path) {
        std::error_code sizeError;
        const auto bytes = fs::file_size(path, sizeError);
        manifest.outputs.push_back({name, fileSha256(path), sizeError ? 0 : static_cast<uint64_t>(bytes)});
    };
    digest(paths.summaryName, paths.summary);
    if (options.roundsCsv) digest(paths.roundsName, paths.rounds);
    if (std::string why = writeManifest(paths.manifest, manifest, s.seeds); !why.empty() && writeError.empty())
        writeError = why;

    if (!writeError.empty()) {
        fail(err, "cannot write " + writeError);
        return {exitWriteError, abandoned};
    }
    if (interrupted) {
        std::fprintf(err, "dramolex-sweep: interrupted after %llu of %llu runs; continue with --resume\n",
                     static_cast<unsigned long long>(s.doneRows), static_cast<unsigned long long>(s.alreadyDone.size()));
        return {128 + stop.signal.load(), abandoned};
    }
    return {s.failed > 0 ? exitRunsFailed : exitDone, abandoned};
}

} // namespace dramolex::sweep
