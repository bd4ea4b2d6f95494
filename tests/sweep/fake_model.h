#pragma once

// A stand-in for the real runs: instant, deterministic in the seed and the
// settings, with hooks to fail a run or to act after a run.
#include <atomic>
#include <functional>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>

#include "sweep/run_model.h"

namespace sweep_test {

using namespace dramolex::sweep;

struct FakeHooks {
    std::set<uint64_t> failingRuns;
    std::function<void(uint64_t run)> afterRun;
    std::atomic<int> played{0};
};

inline std::string rangeMessage(const std::string& key, const SettingValue& value, const std::string& accepted)
{
    return key + " = " + settingText(value) + ": out of range (accepted: " + accepted + ")";
}

inline std::string checkFakeSetting(const Setting& s)
{
    const auto* number = std::get_if<int64_t>(&s.value);
    const auto* word = std::get_if<std::string>(&s.value);
    auto inRange = [&](int64_t low, int64_t high) {
        return number && *number >= low && *number <= high
                   ? std::string()
                   : rangeMessage(s.key, s.value, std::to_string(low) + " to " + std::to_string(high));
    };
    if (s.key == "agents") return inRange(1, 1000);
    if (s.key == "memory") return inRange(1, 16);
    if (s.key == "groups") return inRange(1, 500);
    if (s.key == "rounds") return inRange(0, 1000000);
    if (s.key == "burn_in") return inRange(0, 1000000);
    if (s.key == "rule") return word && (*word == "record" || *word == "best") ? "" : rangeMessage(s.key, s.value, "record or best");
    if (s.key == "replacement") return word && (*word == "on" || *word == "off") ? "" : rangeMessage(s.key, s.value, "on or off");
    return "unknown key " + s.key;
}

inline RunModel fakeModel(std::shared_ptr<FakeHooks> hooks = std::make_shared<FakeHooks>())
{
    RunModel model;
    model.parameters = {{"agents", "101"}, {"memory", "3"}, {"groups", "1"}, {"rule", "record"}, {"replacement", "on"}};
    model.observables = {"mean", "agents_seen"};
    model.roundsHeader = "round,value";
    model.checkSetting = checkFakeSetting;
    model.checkRun = [](int64_t rounds, int64_t burnIn, std::span<const Setting> settings) -> std::string {
        int64_t agents = 101, groups = 1;
        for (const Setting& s : settings) {
            if (s.key == "agents") agents = std::get<int64_t>(s.value);
            if (s.key == "groups") groups = std::get<int64_t>(s.value);
        }
        if (groups > 1 && groups > agents / 2) return "groups = " + std::to_string(groups) + ": more than agents / 2";
        if (burnIn > rounds) return "burn_in = " + std::to_string(burnIn) + ": more than rounds";
        return "";
    };
    model.play = [hooks](const RunTask& task) {
        int64_t agents = 101;
        for (const Setting& s : task.parameters)
            if (s.key == "agents") agents = std::get<int64_t>(s.value);
        hooks->played.fetch_add(1);
        if (hooks->failingRuns.count(task.run) != 0) throw std::runtime_error("deliberate failure");
        RunOutput output;
        output.observables = std::to_string(static_cast<double>(task.seed % 1000) / 8.0) + "," + std::to_string(agents);
        if (task.recordRounds)
            for (int64_t round = 0; round < 3; ++round)
                output.rounds += std::to_string(round) + "," + std::to_string(task.seed % (round + 7)) + "\n";
        if (hooks->afterRun) hooks->afterRun(task.run);
        return output;
    };
    return model;
}

} // namespace sweep_test
