#include "sweep/sweep_command.h"

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <thread>
#include <unistd.h>

#include "sweep/examples.h"
#include "sweep/merge.h"
#include "sweep/sweep_runner.h"

namespace dramolex::sweep {
namespace {

std::string exampleNames()
{
    std::string names;
    for (const ExampleConfig& example : exampleConfigs()) names += (names.empty() ? "" : ", ") + std::string(example.name);
    return names;
}

int printExample(const std::string& name, std::FILE* out, std::FILE* err)
{
    for (const ExampleConfig& example : exampleConfigs())
        if (example.name == name) {
            std::fwrite(example.text.data(), 1, example.text.size(), out);
            return exitDone;
        }
    std::fprintf(err, "dramolex-sweep: example '%s': unknown (accepted: %s)\n", name.c_str(), exampleNames().c_str());
    return exitUsage;
}

} // namespace

int sweepMain(int argc, const char* const* argv, const RunModel& model, const std::string& version,
              const std::string& gitCommit, std::FILE* out, std::FILE* err)
{
    CLI::App app{"dramolex-sweep: runs a grid of minority-game parameters times replications and summarises every run.\n"
                 "A run's result depends on the config alone, not on --jobs, sharding or resuming.",
                 "dramolex-sweep"};
    app.set_version_flag("--version", "");
    app.require_subcommand(1);

    SweepOptions options;
    options.version = version;
    options.gitCommit = gitCommit;
    options.jobs = std::max(1u, std::thread::hardware_concurrency());
    std::string shardText;
    bool quiet = false;
    CLI::App* run = app.add_subcommand("run", "Play the sweep a config describes; outputs go into --out DIR");
    run->add_option("CONFIG", options.configPath, "The sweep's TOML config")->required()->type_name("CONFIG.toml");
    run->add_option("--out", options.outDir, "Output directory (created if missing)")->required()->type_name("DIR");
    run->add_option("--jobs", options.jobs, "Runs played at once, 1 to 1024 (default: all cores)")
        ->check(CLI::Range(1u, 1024u))->type_name("J");
    run->add_option("--shard", shardText, "Play only the runs whose number modulo N is I: I/N, or slurm "
                                          "(SLURM_ARRAY_TASK_ID, SLURM_ARRAY_TASK_COUNT)")
        ->type_name("I/N");
    run->add_flag("--resume", options.resume, "Skip the runs already in DIR's summary; failed runs are played again");
    run->add_flag("--rounds-csv", options.roundsCsv, "Also write every round of every run to rounds.csv");
    run->add_flag("--quiet", quiet, "No progress line");

    std::vector<std::string> dirs;
    std::string mergedFile;
    CLI::App* merge = app.add_subcommand("merge", "Join the summaries of a sweep's shards into one, sorted by run");
    merge->add_option("DIR", dirs, "Directories holding shard outputs")->required()->type_name("DIR");
    merge->add_option("--out", mergedFile, "The merged summary CSV")->required()->type_name("FILE");

    std::string exampleName;
    CLI::App* example = app.add_subcommand("example", "Print a bundled config: " + exampleNames());
    example->add_option("NAME", exampleName, "One of: " + exampleNames())->required()->type_name("NAME");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::fputs(app.help().c_str(), out);
        return exitDone;
    } catch (const CLI::CallForVersion&) {
        std::fprintf(out, "%s (%s)\n", version.c_str(), gitCommit.c_str());
        return exitDone;
    } catch (const CLI::ParseError& error) {
        std::fprintf(err, "dramolex-sweep: %s\n", error.what());
        return exitUsage;
    }

    if (example->parsed()) return printExample(exampleName, out, err);
    if (merge->parsed()) return mergeShards(dirs, mergedFile, err);

    if (!shardText.empty()) {
        const ShardParse shard = parseShard(shardText, [](const char* name) { return std::getenv(name); });
        if (!shard.error.empty()) {
            std::fprintf(err, "dramolex-sweep: %s\n", shard.error.c_str());
            return exitUsage;
        }
        options.shard = shard.shard;
    }
    const ConfigReading reading = readSweepConfigFile(options.configPath, model);
    if (!reading.errors.empty()) {
        for (const std::string& error : reading.errors) std::fprintf(err, "dramolex-sweep: %s\n", error.c_str());
        return exitUsage;
    }
    options.progress = !quiet && ::isatty(::fileno(err));

    StopRequest stop;
    StopOnSignals signals(stop);
    const SweepResult result = runSweep(reading.config, model, options, stop, err);
    if (result.abandoned) {
        std::fflush(out);
        std::fflush(err);
        std::_Exit(result.exitCode);
    }
    return result.exitCode;
}

} // namespace dramolex::sweep
