#include "run/run_parameters.h"

namespace dramolex::run {

std::string rangeError(const RunParameters& p)
{
    if (p.numAgents < 1 || p.numAgents > model::Town::maxAgents) return "number of agents outside 1 to 16348";
    if (p.grouperPercent < 0 || p.grouperPercent > 100) return "grouper percentage outside 0 to 100";
    if (p.avgAge != model::Town::noMortality && (p.avgAge < 1 || p.avgAge > 100)) {
        return "average life span outside 1 to 100";
    }
    if (p.numGroups != 1 && (p.numGroups < 1 || p.numGroups > maxGroups(p.numAgents))) {
        return "number of groups outside 1 to " + std::to_string(maxGroups(p.numAgents));
    }
    return {};
}

model::Town makeTown(const RunParameters& p)
{
    return model::Town(p.numAgents, p.grouperPercent, p.avgAge, p.numGroups, p.seed, p.model);
}

std::unique_ptr<model::Population> makePopulation(const RunParameters& p)
{
    return std::make_unique<model::Population>(p.numAgents, p.grouperPercent, p.avgAge, p.numGroups, p.seed, p.model);
}

} // namespace dramolex::run
