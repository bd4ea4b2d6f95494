#include "model/fast_town.h"

#include <algorithm>

#include "model/agent.h"
#include "model/detail/block_pass.h"
#include "model/detail/learning.h"
#include "model/group.h"

namespace dramolex::model {

// Parameters are named apart from the members they initialise.
FastTown::FastTown(int32_t agentCount, int32_t percentGroupers, int32_t lifeSpan, int32_t groupCount, uint32_t seed)
    : FastTown(agentCount, percentGroupers, lifeSpan, groupCount, seed, ModelOptions{})
{
}

FastTown::FastTown(int32_t agentCount, int32_t percentGroupers, int32_t lifeSpan, int32_t groupCount, uint32_t seed,
                   random::Ziggurat& normal)
    : FastTown(agentCount, percentGroupers, lifeSpan, groupCount, seed, ModelOptions{}, &normal)
{
}

FastTown::FastTown(int32_t agentCount, int32_t percentGroupers, int32_t lifeSpan, int32_t groupCount, uint32_t seed,
                   const ModelOptions& modelOptions)
    : FastTown(agentCount, percentGroupers, lifeSpan, groupCount, seed, modelOptions, &random::Ziggurat::processWide())
{
}

FastTown::FastTown(int32_t agentCount, int32_t percentGroupers, int32_t lifeSpan, int32_t groupCount, uint32_t seed,
                   const ModelOptions& modelOptions, random::Ziggurat& normal)
    : FastTown(agentCount, percentGroupers, lifeSpan, groupCount, seed, modelOptions, &normal)
{
}

FastTown::FastTown(int32_t agentCount, int32_t percentGroupers, int32_t lifeSpan, int32_t groupCount, uint32_t seed,
                   const ModelOptions& modelOptions, random::Ziggurat* fixedNormal)
    : avgAge(lifeSpan), numAgents(agentCount), numGroups(groupCount), grouperPercent(percentGroupers), options(modelOptions),
      uniform(seed), sharedNormal(modelOptions.lifespans == LifeSpans::seeded ? nullptr : fixedNormal),
      ownNormal(modelOptions.lifespans == LifeSpans::seeded ? random::Ziggurat::seededFor(seed) : random::Ziggurat{}),
      capitalLimit(Group{}.getCapitalLimit())
{
    createAgents();
}

bool FastTown::vectorPassBuilt() { return detail::blockPassBuilt(); }

void FastTown::newAgent(int32_t slot)
{
    newborns(detail::AgentColumns::wordOf(slot), detail::AgentColumns::bitOf(slot));
}

void FastTown::newborns(size_t word, uint64_t born)
{
    for (uint64_t m = born; m != 0; m &= m - 1) {
        const auto slot = static_cast<int32_t>(word * 64) + __builtin_ctzll(m);
        columns.capital[static_cast<size_t>(slot)] = 100;
        columns.age[static_cast<size_t>(slot)] = 0;
        columns.setGroupIndex(slot, Agent::noGroup);
    }
    detail::Learning(columns, uniform, options, scratch).drawNewborns(word, born);
    // The life spans come from the normal generator, which the strategies'
    // draws do not touch, so they may follow in a second loop.
    for (uint64_t m = born; m != 0; m &= m - 1) {
        const auto slot = word * 64 + static_cast<size_t>(__builtin_ctzll(m));
        if (avgAge == noMortality) {
            columns.lifeSpan[slot] = -1;
        } else {
            random::Ziggurat& z = normal();
            z.zigset(Agent::lifeSpanSeed);
            columns.lifeSpan[slot] = Agent::lifeSpanFrom(z.rnor(), avgAge);
        }
    }
}

void FastTown::createAgents()
{
    columns.resize(numAgents, options.strategies, options.memory);
    decisions.assign(static_cast<size_t>(columns.words), 0);
    groups.assign(static_cast<size_t>(numGroups), Group{});
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
    for (size_t w = 0; w < decisions.size(); ++w) {
        const size_t base = w * 64;
        const int lanes = std::min(64, numAgents - static_cast<int32_t>(base));
        int32_t* age = columns.age.data() + base;
        uint64_t born = 0;
        if (lanes == 64) {
            born = detail::ageWord(age, columns.lifeSpan.data() + base);
        } else {
            for (int j = 0; j < lanes; ++j) {
                if (++age[j] == columns.lifeSpan[base + static_cast<size_t>(j)]) born |= uint64_t{1} << j;
            }
        }
        if (born != 0) {
            groupedAlive -= __builtin_popcountll(born & columns.grouped[w]);
            deaths += __builtin_popcountll(born);
            newborns(w, born);
        }
        for (int j = 0; j < lanes; ++j) ++report.ageDist[static_cast<size_t>(age[j])];
    }
    report.numDeaths = deaths;
}

} // namespace dramolex::model
