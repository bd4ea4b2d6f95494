#pragma once

#include <cstdint>
#include <string>

#include "model/model_options.h"
#include <memory>

#include "model/population.h"
#include "model/town.h"

namespace dramolex::run {

// Everything that determines a population: with the same value, two runs in
// fresh processes play the same rounds.
struct RunParameters {
    int32_t numAgents = 1;
    int32_t grouperPercent = 0;
    int32_t avgAge = model::Town::noMortality;
    int32_t numGroups = 1;
    uint32_t seed = 0;
    model::ModelOptions model;

    bool herding() const { return numGroups > 1; }
    bool mortality() const { return avgAge != model::Town::noMortality; }
};

// The largest number of groups for a population: half the agents, rounded down.
constexpr int32_t maxGroups(int32_t numAgents) { return numAgents / 2; }

// Empty when the parameters lie in the model's ranges, else what is wrong.
std::string rangeError(const RunParameters& parameters);

// The reference population, one object per agent, for tests and comparisons.
model::Town makeTown(const RunParameters& parameters);
// The population runs play.
std::unique_ptr<model::Population> makePopulation(const RunParameters& parameters);

} // namespace dramolex::run
