#include "model/fast_town.h"

#include "model/agent.h"
#include "model/detail/block_pass.h"
#include "model/detail/learning.h"
#include "model/group.h"

namespace dramolex::model {

FastTown::FastTown(int32_t numAgents, int32_t grouperPercent, int32_t avgAge, int32_t numGroups, uint32_t seed)
    : FastTown(numAgents, grouperPercent, avgAge, numGroups, seed, random::Ziggurat::processWide())
{
}

FastTown::FastTown(int32_t numAgents, int32_t grouperPercent, int32_t avgAge, int32_t numGroups, uint32_t seed,
                   random::Ziggurat& normal)
    : avgAge(avgAge), numAgents(numAgents), numGroups(numGroups), grouperPercent(grouperPercent), uniform(seed),
      sharedNormal(&normal), capitalLimit(Group{}.getCapitalLimit())
{
    createAgents();
}

FastTown::FastTown(int32_t numAgents, int32_t grouperPercent, int32_t avgAge, int32_t numGroups, uint32_t seed,
                   const ModelOptions& options)
    : avgAge(avgAge), numAgents(numAgents), numGroups(numGroups), grouperPercent(grouperPercent), options(options),
      uniform(seed), sharedNormal(&random::Ziggurat::processWide()), capitalLimit(Group{}.getCapitalLimit())
{
    createAgents();
}

bool FastTown::vectorPassBuilt() { return detail::blockPassBuilt(); }

void FastTown::newAgent(int32_t slot)
{
    const auto i = static_cast<size_t>(slot);
    columns.capital[i] = 100;
    columns.age[i] = 0;
    columns.setGroupIndex(slot, Agent::noGroup);
    detail::Learning(columns, uniform, options, draws).drawNewStrategies(slot);
    if (avgAge == noMortality) {
        columns.lifeSpan[i] = -1;
    } else {
        random::Ziggurat& z = normal();
        z.zigset(Agent::lifeSpanSeed);
        columns.lifeSpan[i] = Agent::lifeSpanFrom(z.rnor(), avgAge);
    }
}

void FastTown::createAgents()
{
    columns.resize(numAgents, options.strategies, options.memory);
    decisions.assign(static_cast<size_t>(columns.words), 0);
    groups.assign(static_cast<size_t>(numGroups), GroupState{});
    memberGroup.assign(static_cast<size_t>(numAgents), Agent::noGroup);
    const int32_t quota = numAgents * grouperPercent / 100;
    int32_t grouped = 0;
    for (int32_t i = 0; i < numAgents; ++i) {
        newAgent(i);
        const int32_t r = uniform.below(100);
        if (r < grouperPercent && grouped < quota) {
            const int32_t g = uniform.below(numGroups);
            columns.setGroupIndex(i, g);
            memberGroup[static_cast<size_t>(i)] = g;
            memberSlots.push_back(i);
            ++grouped;
        }
    }
    groupedAlive = grouped;
}

void FastTown::popControl()
{
    int32_t deaths = 0;
    for (int32_t i = 0; i < numAgents; ++i) {
        const auto slot = static_cast<size_t>(i);
        if (++columns.age[slot] == columns.lifeSpan[slot]) {
            if (columns.groupIndex[slot] != Agent::noGroup) --groupedAlive;
            newAgent(i);
            ++deaths;
        }
        ++report.ageDist[static_cast<size_t>(columns.age[slot])];
    }
    report.numDeaths = deaths;
}

} // namespace dramolex::model
