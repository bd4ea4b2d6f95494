#include "run/run_config.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <limits>

namespace dramolex::run {
namespace {

constexpr int64_t mostRounds = std::numeric_limits<int64_t>::max();

constexpr std::array<SettingInfo, 12> infos{{
    {"agents", "--agents", "1 to 16348", "1", "number of agents", true},
    {"groupers", "--groupers", "0 to 100", "0", "percentage of agents in herding groups", true},
    {"groups", "--groups", "1 (herding off), or 2 to agents/2", "1", "number of herding groups", true},
    {"lifespan", "--lifespan", "1 to 100, or off", "off", "average life span (off: agents never die)", true},
    {"rounds", "--rounds", "0 to 9223372036854775807", "1000", "rounds to play", true},
    {"seed", "--seed", "0 to 4294967295", "0 (dramolex-run: the clock)",
     "seed of the uniform random source (0 and 1 give the same run)", true},
    {"burn_in", "--burn-in", "0 to rounds", "0", "first rounds left out of the observables (still played and logged)",
     true},
    {"memory", "--memory", "1 to 16", "3", "rounds of history the strategies see (M; 2^M history indices)", true},
    {"strategies", "--strategies", "1 to 16", "10", "strategies per agent (S)", true},
    {"rule", "--rule", "record or best", "record",
     "strategy played: the one that last set the record score, or a best-scoring one", false},
    {"replacement", "--replacement", "on or off", "on", "replace a strategy whose score falls below 0", false},
    {"lifespans", "--lifespans", "fixed or seeded", "fixed",
     "life spans from the process-wide normal generator, or from one seeded by the run's seed", false},
}};

std::string quoted(const SettingValue& value)
{
    if (const auto* number = std::get_if<int64_t>(&value)) return "'" + std::to_string(*number) + "'";
    return "'" + std::get<std::string>(value) + "'";
}

std::string problem(std::string_view name, const SettingValue& value, std::string_view what, std::string_view accepted)
{
    return std::string(name) + " " + quoted(value) + ": " + std::string(what) + " (accepted: " + std::string(accepted) +
           ")";
}

// A whole number in [low, high]; else the message.
std::string wholeIn(const SettingValue& value, int64_t low, int64_t high, std::string_view name,
                    std::string_view accepted, int64_t& out)
{
    const auto* number = std::get_if<int64_t>(&value);
    if (number == nullptr) return problem(name, value, "not a whole number", accepted);
    if (*number < low || *number > high) return problem(name, value, "out of range", accepted);
    out = *number;
    return {};
}

// One of two words; else the message.
std::string oneOf(const SettingValue& value, std::string_view first, std::string_view second, std::string_view name,
                  std::string_view accepted, bool& isFirst)
{
    const auto* word = std::get_if<std::string>(&value);
    if (word == nullptr || (*word != first && *word != second)) return problem(name, value, "not accepted", accepted);
    isFirst = *word == first;
    return {};
}

} // namespace

std::span<const SettingInfo> settingInfos() { return infos; }

const SettingInfo* findSetting(std::string_view key)
{
    for (const SettingInfo& info : infos) {
        if (info.key == key) return &info;
    }
    return nullptr;
}

std::string applySetting(RunConfig& config, std::string_view key, const SettingValue& value)
{
    return applySetting(config, key, value, key);
}

std::string applySetting(RunConfig& config, std::string_view key, const SettingValue& value, std::string_view name)
{
    const SettingInfo* info = findSetting(key);
    if (info == nullptr) {
        std::string known;
        for (const SettingInfo& i : infos) known += (known.empty() ? "" : ", ") + std::string(i.key);
        return "unknown setting '" + std::string(key) + "' (known: " + known + ")";
    }
    const std::string_view accepted = info->accepted;
    RunParameters& p = config.parameters;
    model::ModelOptions& m = p.model;
    int64_t number = 0;
    bool first = false;
    std::string error;
    if (key == "agents") {
        error = wholeIn(value, 1, model::Town::maxAgents, name, accepted, number);
        if (error.empty()) p.numAgents = static_cast<int32_t>(number);
    } else if (key == "groupers") {
        error = wholeIn(value, 0, 100, name, accepted, number);
        if (error.empty()) p.grouperPercent = static_cast<int32_t>(number);
    } else if (key == "groups") {
        error = wholeIn(value, 1, maxGroups(model::Town::maxAgents), name, accepted, number);
        if (error.empty()) p.numGroups = static_cast<int32_t>(number);
    } else if (key == "lifespan") {
        if (const auto* word = std::get_if<std::string>(&value); word != nullptr && *word == "off") {
            p.avgAge = model::Town::noMortality;
        } else if (std::holds_alternative<int64_t>(value)) {
            error = wholeIn(value, 1, 100, name, accepted, number);
            if (error.empty()) p.avgAge = static_cast<int32_t>(number);
        } else {
            error = problem(name, value, "not a whole number", accepted);
        }
    } else if (key == "rounds") {
        error = wholeIn(value, 0, mostRounds, name, accepted, number);
        if (error.empty()) config.rounds = number;
    } else if (key == "seed") {
        error = wholeIn(value, 0, std::numeric_limits<uint32_t>::max(), name, accepted, number);
        if (error.empty()) p.seed = static_cast<uint32_t>(number);
    } else if (key == "burn_in") {
        error = wholeIn(value, 0, mostRounds, name, accepted, number);
        if (error.empty()) config.burnIn = number;
    } else if (key == "memory") {
        error = wholeIn(value, 1, 16, name, accepted, number);
        if (error.empty()) m.memory = static_cast<int32_t>(number);
    } else if (key == "strategies") {
        error = wholeIn(value, 1, 16, name, accepted, number);
        if (error.empty()) m.strategies = static_cast<int32_t>(number);
    } else if (key == "rule") {
        error = oneOf(value, "record", "best", name, accepted, first);
        if (error.empty()) m.rule = first ? model::Rule::record : model::Rule::best;
    } else if (key == "replacement") {
        error = oneOf(value, "on", "off", name, accepted, first);
        if (error.empty()) m.replacement = first;
    } else if (key == "lifespans") {
        error = oneOf(value, "fixed", "seeded", name, accepted, first);
        if (error.empty()) m.lifespans = first ? model::LifeSpans::fixed : model::LifeSpans::seeded;
    }
    return error;
}

std::string applySettingText(RunConfig& config, std::string_view key, std::string_view text, std::string_view name)
{
    const SettingInfo* info = findSetting(key);
    if (info == nullptr || !info->wholeNumber || text == "off") {
        return applySetting(config, key, SettingValue(std::string(text)), name);
    }
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+') ++first;
    int64_t number = 0;
    const auto [end, error] = std::from_chars(first, last, number);
    const bool whole = first != last && end == last;
    if (!whole) return problem(name, SettingValue(std::string(text)), "not a whole number", info->accepted);
    if (error == std::errc::result_out_of_range) {
        return problem(name, SettingValue(std::string(text)), "out of range", info->accepted);
    }
    std::string message = applySetting(config, key, SettingValue(number), name);
    // Name the value as the user typed it.
    const std::string typed = "'" + std::to_string(number) + "'";
    if (const size_t at = message.find(typed); at != std::string::npos) {
        message.replace(at, typed.size(), "'" + std::string(text) + "'");
    }
    return message;
}

SettingValue settingValue(const RunConfig& config, std::string_view key)
{
    const RunParameters& p = config.parameters;
    const model::ModelOptions& m = p.model;
    if (key == "agents") return int64_t{p.numAgents};
    if (key == "groupers") return int64_t{p.grouperPercent};
    if (key == "groups") return int64_t{p.numGroups};
    if (key == "lifespan") return p.mortality() ? SettingValue(int64_t{p.avgAge}) : SettingValue(std::string("off"));
    if (key == "rounds") return config.rounds;
    if (key == "seed") return int64_t{p.seed};
    if (key == "burn_in") return config.burnIn;
    if (key == "memory") return int64_t{m.memory};
    if (key == "strategies") return int64_t{m.strategies};
    if (key == "rule") return std::string(m.rule == model::Rule::record ? "record" : "best");
    if (key == "replacement") return std::string(m.replacement ? "on" : "off");
    if (key == "lifespans") return std::string(m.lifespans == model::LifeSpans::fixed ? "fixed" : "seeded");
    return std::string();
}

double strategyTableBytes(const model::ModelOptions& options, int32_t numAgents)
{
    return static_cast<double>(numAgents) * options.strategies * static_cast<double>(int64_t{1} << options.memory) / 8.0;
}

std::string checkRunConfig(const RunConfig& config)
{
    return checkRunConfig(config, [](std::string_view key) { return std::string(key); });
}

std::string checkRunConfig(const RunConfig& config, const std::function<std::string(std::string_view key)>& shownName)
{
    const RunParameters& p = config.parameters;
    const int32_t limit = maxGroups(p.numAgents);
    if (p.numGroups > 1 && p.numGroups > limit) {
        const std::string accepted = limit >= 2 ? "1, or 2 to " + std::to_string(limit)
                                                : "1 for " + std::to_string(p.numAgents) + " agents";
        return problem(shownName("groups"), int64_t{p.numGroups}, "out of range", accepted);
    }
    if (config.burnIn > config.rounds) {
        return problem(shownName("burn_in"), config.burnIn, "out of range",
                       "0 to rounds = " + std::to_string(config.rounds));
    }
    const double bytes = strategyTableBytes(p.model, p.numAgents);
    if (bytes > strategyTableLimitBytes) {
        char size[32];
        std::snprintf(size, sizeof size, "%.2f", bytes / strategyTableLimitBytes);
        return shownName("memory") + " " + std::to_string(p.model.memory) + " with " + shownName("strategies") + " " +
               std::to_string(p.model.strategies) + " and " + shownName("agents") + " " +
               std::to_string(p.numAgents) + ": strategy tables of " + size +
               " GiB (agents x strategies x 2^memory / 8 bytes) exceed the limit of 1 GiB";
    }
    const std::string range = rangeError(p);
    return range;
}

} // namespace dramolex::run
