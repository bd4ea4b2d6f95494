#include "cli/runner_options.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <limits>

#include "cli/argument_checks.h"
#include "model/town.h"
#include "run/message_text.h"

namespace dramolex::cli {
namespace {

constexpr const char* programName = "dramolex-run";
constexpr const char* version = "dramolex-run 1.0.0";

struct BadValue {
    std::string text;
};

// A whole decimal number in [low, high]; anything else is reported with the
// option's name, the value given and the accepted range.
int64_t readWhole(const std::string& option, const std::string& value, int64_t low, int64_t high,
                  const std::string& rangeText)
{
    int64_t number = 0;
    const char* first = value.data();
    const char* last = value.data() + value.size();
    if (first != last && *first == '+') ++first;
    const auto [end, error] = std::from_chars(first, last, number);
    const bool whole = first != last && end == last && (error == std::errc{} || error == std::errc::result_out_of_range);
    if (!whole || error == std::errc::result_out_of_range || number < low || number > high) {
        throw BadValue{programName + std::string(": ") + option + " '" + run::shortenedForMessage(value) + "': " +
                       (whole ? "out of range" : "not a whole number") + " (accepted: " + rangeText + ")"};
    }
    return number;
}

std::string span(int64_t low, int64_t high) { return std::to_string(low) + " to " + std::to_string(high); }

} // namespace

ParsedCommandLine parseCommandLine(int argc, const char* const* argv, uint32_t defaultSeed)
{
    CLI::App app{"Plays the minority game headless and writes its run log, a CSV of every round and "
                 "the chart images.",
                 programName};
    app.set_version_flag("--version", version);
    app.footer("Example:\n  dramolex-run --agents 1001 --groupers 30 --groups 4 --lifespan 50 \\\n"
               "               --rounds 5000 --seed 42 --log run.log --csv run.csv\n\n"
               "The seed in use is printed to stderr as 'seed: S'; the same parameters and seed\n"
               "reproduce the same log and CSV byte for byte.\n\n"
               "SIGINT, SIGTERM or SIGHUP stop the run after the current round with whole\n"
               "outputs; the exit code is then 128 + the signal's number (130, 143, 129).\n"
               "Exit codes otherwise: 0 done, 1 an output failed, 2 a usage error.");

    std::string agents, groupers, groups, lifespan, rounds, seed;
    RunnerOptions options;
    app.add_option("--agents", agents, "number of agents, 1 to 16348")->required()->type_name("N");
    app.add_option("--groupers", groupers, "percentage of agents in herding groups, 0 to 100 (default 0)")
        ->type_name("P");
    app.add_option("--groups", groups, "number of groups: 1 (herding off, default) or 2 to N/2")->type_name("G");
    app.add_option("--lifespan", lifespan, "average life span, 1 to 100 (omitted: mortality off)")
        ->type_name("L");
    app.add_option("--rounds", rounds, "rounds to play, 0 or more (default 1000)")->type_name("R");
    app.add_option("--seed", seed, "seed of the uniform random source, 0 to 4294967295 (default: the clock)")
        ->type_name("S");
    app.add_option("--log", options.logPath, "write the run log to FILE (- for standard output)")->type_name("FILE");
    app.add_option("--csv", options.csvPath, "write one CSV line per round to FILE (- for standard output)")->type_name("FILE");
    app.add_option("--charts", options.chartsDir, "write the seven chart images for the final history into DIR")
        ->type_name("DIR");
    app.add_flag("--quiet", options.quiet, "no progress bar and no summary line (an interrupted run still says so)");

    ParsedCommandLine parsed;
    auto refuse = [&](const std::string& why) {
        parsed.message = programName + std::string(": ") + why + "\n";
        parsed.messageIsError = true;
        parsed.exitCode = 2;
        return parsed;
    };
    if (const auto problem = optionTakenAsValue(app, argc, argv)) return refuse(*problem);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        parsed.message = app.help();
        return parsed;
    } catch (const CLI::CallForVersion&) {
        parsed.message = std::string(version) + "\n";
        return parsed;
    } catch (const CLI::ParseError& e) {
        return refuse(withArgumentsShortened(e.what(), argc, argv) + " (see --help)");
    }
    if (const auto problem = outputPathProblem(app, options)) return refuse(*problem);

    try {
        run::RunParameters& p = options.parameters;
        p.numAgents = static_cast<int32_t>(readWhole("--agents", agents, 1, model::Town::maxAgents, span(1, model::Town::maxAgents)));
        if (app.count("--groupers") > 0) p.grouperPercent = static_cast<int32_t>(readWhole("--groupers", groupers, 0, 100, span(0, 100)));
        if (app.count("--groups") > 0) {
            const int32_t limit = run::maxGroups(p.numAgents);
            const std::string accepted = limit >= 2 ? "1, or 2 to " + std::to_string(limit) : "1 for " + agents + " agents";
            const int64_t g = readWhole("--groups", groups, 1, std::max<int64_t>(1, limit), accepted);
            p.numGroups = static_cast<int32_t>(g);
        }
        if (app.count("--lifespan") > 0) p.avgAge = static_cast<int32_t>(readWhole("--lifespan", lifespan, 1, 100, span(1, 100)));
        if (app.count("--rounds") > 0) {
            const int64_t most = std::numeric_limits<int64_t>::max();
            options.rounds = readWhole("--rounds", rounds, 0, most, "0 to " + std::to_string(most));
        }
        p.seed = app.count("--seed") == 0 ? defaultSeed
                              : static_cast<uint32_t>(readWhole("--seed", seed, 0, 4294967295LL, span(0, 4294967295LL)));
    } catch (const BadValue& bad) {
        parsed.message = bad.text + "\n";
        parsed.messageIsError = true;
        parsed.exitCode = 2;
        return parsed;
    }
    parsed.options = options;
    return parsed;
}

} // namespace dramolex::cli
