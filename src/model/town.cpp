#include "model/town.h"

#include "random/ziggurat.h"

namespace dramolex::model {

Town::Town(int32_t numAgents, int32_t grouperPercent, int32_t avgAge, int32_t numGroups, uint32_t seed)
    : Town(numAgents, grouperPercent, avgAge, numGroups, seed, ModelOptions{})
{
}

Town::Town(int32_t numAgents, int32_t grouperPercent, int32_t avgAge, int32_t numGroups, uint32_t seed,
           random::Ziggurat& normal)
    : Town(numAgents, grouperPercent, avgAge, numGroups, seed, ModelOptions{}, &normal)
{
}

Town::Town(int32_t numAgents, int32_t grouperPercent, int32_t avgAge, int32_t numGroups, uint32_t seed,
           const ModelOptions& options)
    : Town(numAgents, grouperPercent, avgAge, numGroups, seed, options, &random::Ziggurat::processWide())
{
}

Town::Town(int32_t numAgents, int32_t grouperPercent, int32_t avgAge, int32_t numGroups, uint32_t seed,
           const ModelOptions& options, random::Ziggurat& normal)
    : Town(numAgents, grouperPercent, avgAge, numGroups, seed, options, &normal)
{
}

Town::Town(int32_t numAgents, int32_t grouperPercent, int32_t avgAge, int32_t numGroups, uint32_t seed,
           const ModelOptions& options, random::Ziggurat* fixedNormal)
    : avgAge(avgAge), numAgents(numAgents), numGroups(numGroups), grouperPercent(grouperPercent), options(options),
      uniform(seed), sharedNormal(options.lifespans == LifeSpans::seeded ? nullptr : fixedNormal),
      ownNormal(options.lifespans == LifeSpans::seeded ? random::Ziggurat::seededFor(seed) : random::Ziggurat{})
{
    createGroups(numGroups);
    createAgents(numAgents);
}

std::array<int32_t, 3> Town::getHistory() const
{
    return {static_cast<int32_t>(history & 1u), static_cast<int32_t>((history >> 1) & 1u),
            static_cast<int32_t>((history >> 2) & 1u)};
}

Agent Town::newAgent()
{
    if (avgAge == noMortality) return Agent(uniform, options);
    return Agent(avgAge, uniform, normalSource(), options);
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
            agent = Agent(avgAge, uniform, normalSource(), options);
            ++deaths;
        }
        ++report.ageDist[static_cast<size_t>(agent.getAge())];
    }
    report.numDeaths = deaths;
}

} // namespace dramolex::model
