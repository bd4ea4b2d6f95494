#include "sweep/session_model.h"

#include <charconv>
#include <stdexcept>

#include "run/round_csv.h"
#include "run/run_config.h"
#include "run/run_session.h"
#include "run/run_summary.h"

namespace dramolex::sweep {
namespace {

bool isRunLevel(std::string_view key) { return key == "rounds" || key == "burn_in" || key == "seed"; }

// "" or the first setting the run layer refuses.
std::string configure(run::RunConfig& config, int64_t rounds, int64_t burnIn, std::span<const Setting> settings)
{
    std::string problem = run::applySetting(config, "rounds", rounds);
    if (problem.empty()) problem = run::applySetting(config, "burn_in", burnIn);
    for (const Setting& setting : settings) {
        if (!problem.empty()) break;
        problem = run::applySetting(config, setting.key, setting.value);
    }
    return problem;
}

// Life spans from the process-wide generator carry its state from one run to
// the next, so such a run would depend on the runs its thread played before.
std::string sweepRule(const run::RunConfig& config)
{
    if (config.parameters.mortality() && config.parameters.model.lifespans == model::LifeSpans::fixed)
        return "lifespans = \"fixed\" (the default) draws life spans from the process-wide generator, which runs "
               "would share; a sweep with mortality needs lifespans = \"seeded\"";
    return {};
}

void appendNumber(std::string& out, std::optional<double> value)
{
    if (!value) return;
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, *value).ptr;
    out.append(text, end);
}

} // namespace

RunModel sessionModel()
{
    RunModel model;
    for (const run::SettingInfo& info : run::settingInfos())
        if (!isRunLevel(info.key)) model.parameters.push_back({std::string(info.key), std::string(info.defaultText)});
    run::forEachObservable(run::RunSummary{}, [&](std::string_view name, std::optional<double>) {
        model.observables.emplace_back(name);
    });
    model.observables.emplace_back("rounds_played");
    model.observables.emplace_back("rounds_measured");
    run::appendCsvHeader(model.roundsHeader);
    while (!model.roundsHeader.empty() && model.roundsHeader.back() == '\n') model.roundsHeader.pop_back();

    model.checkSetting = [](const Setting& setting) {
        run::RunConfig config;
        return run::applySetting(config, setting.key, setting.value);
    };
    model.checkRun = [](int64_t rounds, int64_t burnIn, std::span<const Setting> settings) {
        run::RunConfig config;
        std::string problem = configure(config, rounds, burnIn, settings);
        if (problem.empty()) problem = run::checkRunConfig(config);
        if (problem.empty()) problem = sweepRule(config);
        return problem;
    };
    model.play = [](const RunTask& task) {
        run::RunConfig config;
        std::string problem = configure(config, task.rounds, task.burnIn, task.parameters);
        if (problem.empty()) problem = run::applySetting(config, "seed", static_cast<int64_t>(task.seed));
        if (problem.empty()) problem = run::checkRunConfig(config);
        if (!problem.empty()) throw std::invalid_argument(problem);

        RunOutput output;
        const run::RunSummary summary = run::playRun(config, task.recordRounds ? &output.rounds : nullptr);
        bool first = true;
        run::forEachObservable(summary, [&](std::string_view, std::optional<double> value) {
            if (!first) output.observables += ',';
            first = false;
            appendNumber(output.observables, value);
        });
        output.observables += ',' + std::to_string(summary.rounds_played) + ',' + std::to_string(summary.rounds_measured);
        return output;
    };
    return model;
}

} // namespace dramolex::sweep
