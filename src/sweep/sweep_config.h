#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sweep/run_model.h"

namespace dramolex::sweep {

// One [parameters] key: a scalar is a list of one value that stays fixed.
struct Parameter {
    std::string key;
    std::vector<SettingValue> values;
    bool isList = false;  // written as a list, so it is a grid axis
};

struct SweepConfig {
    static constexpr uint64_t maxRuns = 100'000'000;

    int64_t rounds = 1000;
    int64_t burnIn = 0;
    int64_t replications = 1;
    uint32_t seed = 1;
    std::vector<Parameter> parameters;  // in the order the file lists them

    uint64_t points() const;  // grid points: the product of the lists' lengths
    uint64_t runs() const { return points() * static_cast<uint64_t>(replications); }

    // The resolved config as compact JSON with keys in a fixed order; two
    // configs that sweep the same runs give the same text.
    std::string canonicalJson() const;
};

struct ConfigReading {
    SweepConfig config;
    std::vector<std::string> errors;  // "FILE:LINE: what", empty when the config is good
};

// Reads a sweep config from TOML text. Every problem is reported, not just the
// first: unknown keys, wrong types, values out of range (as the model checks
// them), and grid points whose settings do not go together.
ConfigReading readSweepConfig(std::string_view text, const std::string& fileName, const RunModel& model);
ConfigReading readSweepConfigFile(const std::string& path, const RunModel& model);

} // namespace dramolex::sweep
