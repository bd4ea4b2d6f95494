#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace dramolex::sweep {

// A setting's value as a config gives it: an integer or a word ("best", "off").
using SettingValue = std::variant<int64_t, std::string>;

struct Setting {
    std::string key;
    SettingValue value;
};

std::string settingText(const SettingValue& value);

// One key the [parameters] table accepts, in the order of the summary's columns.
struct ParameterInfo {
    std::string key;
    std::string defaultText;  // the value a run uses when the config leaves the key out
};

// One run as the sweep hands it to the model.
struct RunTask {
    uint64_t run = 0;
    uint64_t replication = 0;
    uint32_t seed = 0;
    int64_t rounds = 0;
    int64_t burnIn = 0;
    std::span<const Setting> parameters;  // the run's grid point, in config order
    bool recordRounds = false;
};

struct RunOutput {
    std::string observables;  // the observables' cells, comma-separated, in RunModel::observables order
    std::string rounds;       // per-round CSV rows without a run column, each ending in '\n'
};

// Everything the sweep needs to know about a single run: which settings exist,
// how to check them, what a run reports and how to play one. The sweep itself
// never looks inside a run, so it can be tested with a stand-in model.
struct RunModel {
    std::vector<ParameterInfo> parameters;
    std::vector<std::string> observables;
    std::string roundsHeader;  // the per-round CSV's header without the run column, no newline

    // "" or a one-line message naming the key, the value and the accepted range.
    // Also checks the run-level keys rounds and burn_in.
    std::function<std::string(const Setting&)> checkSetting;
    // "" or what is wrong with the settings of one run taken together.
    std::function<std::string(int64_t rounds, int64_t burnIn, std::span<const Setting>)> checkRun;
    // Plays one run on the calling thread; throws std::exception when the run fails.
    std::function<RunOutput(const RunTask&)> play;
};

} // namespace dramolex::sweep
