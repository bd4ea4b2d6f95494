#include "model/town.h"

#include "random/ziggurat.h"

namespace dramolex::model {

// Parameters are named apart from the members they initialise.
Town::Town(int32_t agentCount, int32_t percentGroupers, int32_t lifeSpan, int32_t groupCount, uint32_t seed)
    : Town(agentCount, percentGroupers, lifeSpan, groupCount, seed, random::Ziggurat::processWide())
{
}

Town::Town(int32_t agentCount, int32_t percentGroupers, int32_t lifeSpan, int32_t groupCount, uint32_t seed,
           random::Ziggurat& normalSource)
    : avgAge(lifeSpan), numAgents(agentCount), numGroups(groupCount), grouperPercent(percentGroupers),
      uniform(seed), normal(&normalSource)
{
    createGroups(numGroups);
    createAgents(numAgents);
}

Town::Town(int32_t agentCount, int32_t percentGroupers, int32_t lifeSpan, int32_t groupCount, uint32_t seed,
           const ModelOptions& modelOptions)
    : avgAge(lifeSpan), numAgents(agentCount), numGroups(groupCount), grouperPercent(percentGroupers),
      options(modelOptions), uniform(seed), normal(&random::Ziggurat::processWide())
{
    createGroups(numGroups);
    createAgents(numAgents);
}

Agent Town::newAgent()
{
    if (avgAge == noMortality) return Agent(uniform);
    return Agent(avgAge, uniform, *normal);
}

void Town::createGroups(int32_t numGrps)
{
    groups_.assign(static_cast<size_t>(numGrps), Group{});
}

void Town::createAgents(int32_t count)
{
    const int32_t quota = count * grouperPercent / 100;
    int32_t grouped = 0;
    agents_.reserve(static_cast<size_t>(count));
    memberGroup.assign(static_cast<size_t>(count), Agent::noGroup);
    for (int32_t i = 0; i < count; ++i) {
        Agent& agent = agents_.emplace_back(newAgent());
        const int32_t r = uniform.below(100);
        if (r < grouperPercent && grouped < quota) {
            agent.allocateGroup(numGroups, uniform);
            groups_[static_cast<size_t>(agent.getGroupIndex())].addAgent(i);
            memberGroup[static_cast<size_t>(i)] = agent.getGroupIndex();
            ++grouped;
            ++groupedAlive;
        } else {
            agent.setGroupIndex(Agent::noGroup);
        }
    }
}

void Town::popControl()
{
    int32_t deaths = 0;
    for (Agent& agent : agents_) {
        if (agent.aging() == 0) {
            if (agent.getGroupIndex() != Agent::noGroup) --groupedAlive;
            agent = Agent(avgAge, uniform, *normal);
            ++deaths;
        }
        ++report.ageDist[static_cast<size_t>(agent.getAge())];
    }
    report.numDeaths = deaths;
}

} // namespace dramolex::model
