#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "run/run_config.h"

namespace dramolex::run {

// The observables of a run over its measured rounds (those after the burn-in).
// nullopt is written as null: no measured round, or an empty set of agents.
struct RunSummary {
    std::optional<double> alpha;
    std::optional<double> sigma2_over_n;
    std::optional<double> h_over_n;
    std::optional<double> frozen_fraction;
    std::optional<double> mean_attendance;
    std::optional<double> mean_winners;
    std::optional<double> mean_deaths;
    std::optional<double> mean_age;
    std::optional<double> mean_capital_groupers;
    std::optional<double> mean_capital_nongroupers;
    int64_t rounds_played = 0;
    int64_t rounds_measured = 0;
};

// Calls visit for every observable in this fixed order: alpha, sigma2_over_n,
// h_over_n, frozen_fraction, mean_attendance, mean_winners, mean_deaths,
// mean_age, mean_capital_groupers, mean_capital_nongroupers.
void forEachObservable(const RunSummary& summary,
                       const std::function<void(std::string_view name, std::optional<double> value)>& visit);

// One JSON object on one line (no line end), keys in a fixed order:
// program, version, git_commit, parameters {the model settings in
// settingInfos() order}, seed, rounds, burn_in, rounds_played,
// rounds_measured, observables {in forEachObservable order}. Doubles are
// written in the shortest form that reads back to the same value.
std::string summaryJson(const RunConfig& config, const RunSummary& summary);

} // namespace dramolex::run
