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

    // A sorted copy finds the first choices that more than one run drew.
    std::vector<uint32_t> sorted(seeds_);
    std::sort(sorted.begin(), sorted.end());
    std::vector<uint32_t> repeated;
    for (size_t i = 1; i < sorted.size(); ++i)
        if (sorted[i] == sorted[i - 1] && (repeated.empty() || repeated.back() != sorted[i])) repeated.push_back(sorted[i]);
    auto isFirstChoice = [&](uint32_t seed) { return std::binary_search(sorted.begin(), sorted.end(), seed); };

    std::unordered_set<uint32_t> claimed;  // repeated first choices already kept by a lower run
    std::unordered_set<uint32_t> replacements;
    for (uint64_t run = 0; run < runs; ++run) {
        const uint32_t first = seeds_[run];
        if (first != 0) {
            if (!std::binary_search(repeated.begin(), repeated.end(), first)) continue;
            if (claimed.insert(first).second) continue;
        }
        SplitMix64 stream((static_cast<uint64_t>(baseSeed) << 32) + run);
        stream.next();
        uint32_t seed = 0;
        do {
            seed = static_cast<uint32_t>(stream.next());
        } while (seed == 0 || isFirstChoice(seed) || replacements.count(seed) != 0);
        replacements.insert(seed);
        seeds_[run] = seed;
        ++replaced_;
    }
}

} // namespace dramolex::sweep
