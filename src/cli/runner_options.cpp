#include "cli/runner_options.h"

#include <CLI/CLI.hpp>
#include <string_view>
#include <vector>

#include "run/version.h"

namespace dramolex::cli {
namespace {

constexpr const char* programName = "dramolex-run";

// The placeholder shown in --help for an option's value.
std::string typeNameOf(std::string_view key)
{
    if (key == "agents") return "N";
    if (key == "groupers") return "P";
    if (key == "groups") return "G";
    if (key == "lifespan") return "L";
    if (key == "rounds") return "R";
    if (key == "seed") return "S";
    if (key == "burn_in") return "B";
    if (key == "memory") return "M";
    if (key == "strategies") return "S";
    if (key == "rule") return "record|best";
    if (key == "replacement") return "on|off";
    if (key == "lifespans") return "fixed|seeded";
    return "VALUE";
}

} // namespace

ParsedCommandLine parseCommandLine(int argc, const char* const* argv, uint32_t defaultSeed)
{
    CLI::App app{"Plays the minority game headless and writes its run log, a CSV of every round and "
                 "the chart images.",
                 programName};
    const std::string version = programName + std::string(" ") + std::string(run::programVersion());
    app.set_version_flag("--version", version);
    app.footer("Example:\n  dramolex-run --agents 1001 --groupers 30 --groups 4 --lifespan 50 \\\n"
               "               --rounds 5000 --seed 42 --log run.log --csv run.csv\n\n"
               "The seed in use is printed to stderr as 'seed: S'; the same parameters and seed\n"
               "reproduce the same log and CSV byte for byte (seeds 0 and 1 give the same run).\n"
               "The draw order of each model option (--memory, --strategies, --rule, --replacement,\n"
               "--lifespans) is described in docs/model-options.md.");

    RunnerOptions options;
    // The run's settings come from the one table of settings, under their
    // option names; the values are checked after parsing, by the same table.
    std::vector<std::string> values(run::settingInfos().size());
    for (size_t i = 0; i < values.size(); ++i) {
        const run::SettingInfo& info = run::settingInfos()[i];
        const std::string defaultText = info.key == "agents" ? "required"
                                        : info.key == "seed"  ? "default: the clock"
                                                              : "default " + std::string(info.defaultText);
        const std::string help = std::string(info.help) + " [" + std::string(info.accepted) + "; " + defaultText + "]";
        CLI::Option* option =
            app.add_option(std::string(info.option), values[i], help)->type_name(typeNameOf(info.key));
        if (info.key == "agents") option->required();
    }
    app.add_option("--log", options.logPath, "write the run log to FILE")->type_name("FILE");
    app.add_option("--csv", options.csvPath, "write one CSV line per round to FILE")->type_name("FILE");
    app.add_option("--charts", options.chartsDir, "write the seven chart images for the final history into DIR")
        ->type_name("DIR");
    app.add_option("--summary", options.summaryPath,
                   "write the run's parameters and observables as one JSON object to FILE (- for standard output)")
        ->type_name("FILE");
    app.add_flag("--quiet", options.quiet, "no progress bar and no summary line");

    ParsedCommandLine parsed;
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        parsed.message = app.help();
        return parsed;
    } catch (const CLI::CallForVersion&) {
        parsed.message = version + "\n";
        return parsed;
    } catch (const CLI::ParseError& e) {
        parsed.message = programName + std::string(": ") + e.what() + " (see --help)\n";
        parsed.messageIsError = true;
        parsed.exitCode = 2;
        return parsed;
    }

    run::RunConfig config;
    config.parameters.seed = defaultSeed;
    std::string problem;
    for (size_t i = 0; i < values.size() && problem.empty(); ++i) {
        const run::SettingInfo& info = run::settingInfos()[i];
        if (app.count(std::string(info.option)) == 0) continue;
        problem = run::applySettingText(config, info.key, values[i], info.option);
    }
    if (problem.empty()) {
        problem = run::checkRunConfig(config, [](std::string_view key) {
            const run::SettingInfo* info = run::findSetting(key);
            return info != nullptr ? std::string(info->option) : std::string(key);
        });
    }
    if (!problem.empty()) {
        parsed.message = programName + std::string(": ") + problem + "\n";
        parsed.messageIsError = true;
        parsed.exitCode = 2;
        return parsed;
    }
    options.parameters = config.parameters;
    options.rounds = config.rounds;
    options.burnIn = config.burnIn;
    parsed.options = options;
    return parsed;
}

} // namespace dramolex::cli
