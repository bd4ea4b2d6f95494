// The round engine of FastTown: whole words of 64 agents at a time wherever
// the round allows it.
#include <algorithm>
#include <bit>

#include "model/agent.h"
#include "model/detail/block_pass.h"
#include "model/detail/learning.h"
#include "model/fast_town.h"
#include "model/round_rules.h"

namespace dramolex::model {

namespace {

uint64_t bitOf(uint64_t word, uint32_t j) { return (word >> j) & 1u; }

} // namespace

const pass_graph& FastTown::turn()
{
    sti = nextSti;
    report.ageDist.fill(0);

    const int32_t ownSideOne = detail::decideOwnSides(columns, sti, decisions.data());
    const int32_t sideOne = grouperPercent != 0 ? herd() : ownSideOne;

    const rules::Winner winner = rules::decideWinner(sideOne, numAgents);
    report.numWinners = winner.numWinners;
    report.attendance = sideOne;
    report.result = winner.result;

    learn(winner.result);
    nextSti = ((sti << 1) | winner.result) & (columns.numIndices - 1);

    if (avgAge != noMortality) {
        popControl();
    } else {
        report.numDeaths = 0;
    }
    ++roundsPlayed;
    return report;
}

int32_t FastTown::countSideOne() const
{
    return detail::countOnes(decisions.data(), decisions.size());
}

void FastTown::learn(int32_t result)
{
    detail::Learning learning(columns, uniform, options, scratch);
    detail::LearningTotals totals;
    int32_t firstScalar = 0;
    // Scores and capital move by at most 1 a round from at most 100, so
    // before the limit no sum of 16 scores leaves 32 bits and no value
    // saturates: the vector pass needs no overflow checks.
    if (detail::blockPassBuilt() && roundsPlayed < vectorRoundLimit) {
        const int32_t fullWords = numAgents / detail::AgentColumns::laneBits;
        detail::learnBlocks(columns, learning, options, decisions.data(), fullWords, result, sti, totals);
        firstScalar = fullWords * detail::AgentColumns::laneBits;
    }
    for (int32_t i = firstScalar; i < numAgents; ++i) {
        const auto slot = static_cast<size_t>(i);
        const bool won =
            static_cast<int32_t>(bitOf(decisions[detail::AgentColumns::wordOf(i)], static_cast<uint32_t>(i) % 64)) ==
            result;
        totals.avgScoreSum += learning.learn(i, result, sti, won);
        totals.bestRecord = std::max(totals.bestRecord, columns.record[slot]);
        if (columns.groupIndex[slot] != Agent::noGroup) {
            totals.groupedCapital += columns.capital[slot];
        } else {
            totals.ungroupedCapital += columns.capital[slot];
        }
    }
    const int32_t groupedCount = 1 + detail::countOnes(columns.grouped.data(), columns.grouped.size());
    report.capitalGap =
        rules::capitalGap(totals.groupedCapital, groupedCount, totals.ungroupedCapital, numAgents, numGroups);
    report.avgStratScore = static_cast<double>(totals.avgScoreSum) / static_cast<double>(numAgents);
    report.bestStratScore = static_cast<double>(totals.bestRecord);
}

int32_t FastTown::herd()
{
    return uniform.below(10) < 2 ? leaderStep() : groupStep();
}

int32_t FastTown::leaderStep()
{
    const int32_t* capital = columns.capital.data();
    const auto richest = static_cast<int32_t>(std::max_element(capital, capital + numAgents) - capital);
    const auto richestDecision = static_cast<int32_t>(
        bitOf(decisions[detail::AgentColumns::wordOf(richest)], static_cast<uint32_t>(richest) % 64));
    const int32_t target = uniform.below(10) < 5 ? 1 - richestDecision : richestDecision;

    // One draw per agent whose side differs from the target, in agent order.
    const size_t words = decisions.size();
    const uint32_t tail = static_cast<uint32_t>(numAgents) % 64;
    const uint64_t lastMask = tail == 0 ? ~uint64_t{0} : (uint64_t{1} << tail) - 1;
    int32_t differing = 0;
    for (size_t w = 0; w < words; ++w) {
        const uint64_t valid = w + 1 == words ? lastMask : ~uint64_t{0};
        differing += std::popcount((target == 1 ? ~decisions[w] : decisions[w]) & valid);
    }
    std::vector<int32_t>& draws = scratch.draws;
    draws.resize(static_cast<size_t>(differing));
    uniform.take(draws.data(), draws.size());
    const int32_t* draw = draws.data();
    for (size_t w = 0; w < words; ++w) {
        const uint64_t valid = w + 1 == words ? lastMask : ~uint64_t{0};
        uint64_t differs = (target == 1 ? ~decisions[w] : decisions[w]) & valid;
        uint64_t switching = 0;
        while (differs != 0) {
            const uint64_t lowest = differs & (~differs + 1);
            switching |= *draw++ % 10 < 6 ? lowest : 0;
            differs ^= lowest;
        }
        decisions[w] = target == 1 ? decisions[w] | switching : decisions[w] & ~switching;
    }
    return countSideOne();
}

int32_t FastTown::groupStep()
{
    // Once no grouped agent lives, nobody reads a suggestion again (newborns
    // join no group), and the step draws nothing: skipping it is exact.
    if (groupedAlive == 0) return countSideOne();

    tallies.assign(groups.size(), Group::Tally{});
    for (const int32_t slot : memberSlots) {
        const auto decision = static_cast<int32_t>(
            bitOf(decisions[detail::AgentColumns::wordOf(slot)], static_cast<uint32_t>(slot) % 64));
        tallies[static_cast<size_t>(memberGroup[static_cast<size_t>(slot)])].add(columns.capital[static_cast<size_t>(slot)],
                                                                                  decision);
    }
    for (size_t g = 0; g < groups.size(); ++g) groups[g].decide(tallies[g]);

    // One draw per agent still in a group, in agent order.
    std::vector<int32_t>& draws = scratch.draws;
    draws.resize(static_cast<size_t>(groupedAlive));
    uniform.take(draws.data(), draws.size());
    const int32_t* draw = draws.data();
    for (size_t w = 0; w < decisions.size(); ++w) {
        uint64_t members = columns.grouped[w];
        uint64_t word = decisions[w];
        while (members != 0) {
            const auto j = static_cast<uint32_t>(std::countr_zero(members));
            members &= members - 1;
            const size_t slot = w * 64 + j;
            const Group& group = groups[static_cast<size_t>(columns.groupIndex[slot])];
            const int32_t proposal = *draw++ % 10 < 1 ? group.getOppositeSuggestion() : group.get_suggestion();
            const double capital = static_cast<float>(columns.capital[slot]);
            if (capital < static_cast<double>(capitalLimit)) {
                word = (word & ~(uint64_t{1} << j)) | (static_cast<uint64_t>(proposal) << j);
            }
        }
        decisions[w] = word;
    }
    return countSideOne();
}

} // namespace dramolex::model
