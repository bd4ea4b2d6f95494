#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "run/run_parameters.h"

namespace dramolex::run {

// One run: the population's parameters, how many rounds to play and how many
// of them to leave out of the observables.
struct RunConfig {
    RunParameters parameters;
    int64_t rounds = 1000;
    int64_t burnIn = 0;
};

// A setting's value as a caller hands it over: a whole number or a word.
using SettingValue = std::variant<int64_t, std::string>;

// One row per setting: the single place where the runner's options, the
// sweep's keys and the Python keyword arguments are checked and documented.
struct SettingInfo {
    std::string_view key;       // "burn_in"
    std::string_view option;    // the runner's option: "--burn-in"
    std::string_view accepted;  // "0 to rounds"
    std::string_view defaultText;
    std::string_view help;      // one line
    bool wholeNumber;           // takes whole numbers (lifespan also takes "off")
};

std::span<const SettingInfo> settingInfos();
// The row of a key, or nullptr.
const SettingInfo* findSetting(std::string_view key);

// Sets one key. Returns "" or a one-line message naming the key, the value
// and the accepted values; a number given for a word (or the reverse) is an
// error too. The config is unchanged on error.
std::string applySetting(RunConfig& config, std::string_view key, const SettingValue& value);
// The same, naming the setting as `shownName` in the message (a runner's
// option name, a file's key path).
std::string applySetting(RunConfig& config, std::string_view key, const SettingValue& value,
                         std::string_view shownName);
// Sets a key from text as typed on a command line: whole numbers for
// numeric keys (lifespan also takes "off"), words for the others.
std::string applySettingText(RunConfig& config, std::string_view key, std::string_view text,
                             std::string_view shownName);

// The current value of a key, as applySetting would take it.
SettingValue settingValue(const RunConfig& config, std::string_view key);

// Checks that span several settings: groups against agents, burn_in against
// rounds, and the size of the strategy tables. "" when fine.
std::string checkRunConfig(const RunConfig& config);
// The same, naming each setting through shownName(key).
std::string checkRunConfig(const RunConfig& config, const std::function<std::string(std::string_view key)>& shownName);

// Bytes of the agents' strategy tables: one bit per agent, strategy and
// history index (N x S x 2^M / 8).
double strategyTableBytes(const model::ModelOptions& options, int32_t numAgents);
constexpr double strategyTableLimitBytes = 1024.0 * 1024.0 * 1024.0;

} // namespace dramolex::run
