#include "sweep/run_grid.h"

#include <algorithm>
#include <unordered_set>

#include "sweep/split_mix64.h"

namespace dramolex::sweep {

void RunGrid::pointSettings(uint64_t point, std::vector<Setting>& into) const
{
    const auto& parameters = config_.parameters;
    into.resize(parameters.size());
    for (size_t i = parameters.size(); i-- > 0;) {
        const auto& values = parameters[i].values;
        into[i].key = parameters[i].key;
        into[i].value = values[point % values.size()];
        point /= values.size();
    }
}

std::string RunGrid::describePoint(uint64_t point) const
{
    std::vector<Setting> settings;
    pointSettings(point, settings);
    std::string text;
    for (size_t i = 0; i < settings.size(); ++i) {
        if (!config_.parameters[i].isList) continue;
        if (!text.empty()) text += ", ";
        text += settings[i].key + " = " + settingText(settings[i].value);
    }
    return text;
}

uint32_t SeedTable::firstChoice(uint32_t baseSeed, uint64_t run)
{
    return static_cast<uint32_t>(SplitMix64((static_cast<uint64_t>(baseSeed) << 32) + run).next());
}

SeedTable::SeedTable(uint32_t baseSeed, uint64_t runs) : seeds_(runs)
{
    for (uint64_t run = 0; run < runs; ++run) seeds_[run] = firstChoice(baseSeed, run);

    // Seeds sorted with their run numbers find every repeated first choice.
    std::vector<std::pair<uint32_t, uint64_t>> sorted(runs);
    for (uint64_t run = 0; run < runs; ++run) sorted[run] = {seeds_[run], run};
    std::sort(sorted.begin(), sorted.end());
    auto isFirstChoice = [&](uint32_t seed) {
        auto at = std::lower_bound(sorted.begin(), sorted.end(), std::pair<uint32_t, uint64_t>{seed, 0});
        return at != sorted.end() && at->first == seed;
    };

    std::vector<uint64_t> toReplace;
    for (size_t i = 0; i < sorted.size(); ++i) {
        const bool repeat = i > 0 && sorted[i].first == sorted[i - 1].first;
        if (sorted[i].first == 0 || repeat) toReplace.push_back(sorted[i].second);
    }
    std::sort(toReplace.begin(), toReplace.end());
    replaced_ = toReplace.size();

    std::unordered_set<uint32_t> replacements;
    for (uint64_t run : toReplace) {
        SplitMix64 stream((static_cast<uint64_t>(baseSeed) << 32) + run);
        stream.next();
        uint32_t seed = 0;
        do {
            seed = static_cast<uint32_t>(stream.next());
        } while (seed == 0 || isFirstChoice(seed) || replacements.count(seed) != 0);
        replacements.insert(seed);
        seeds_[run] = seed;
    }
}

} // namespace dramolex::sweep
