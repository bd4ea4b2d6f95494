// The round engine: Town::turn and its herding steps.
#include "model/round_rules.h"
#include "model/town.h"

namespace dramolex::model {

const pass_graph& Town::turn()
{
    sti = static_cast<int32_t>(history);
    report.ageDist.fill(0);

    int32_t sideOne = 0;
    for (Agent& agent : agents_) {
        agent.makeOwnDecision(sti);
        sideOne += agent.getDecision();
    }
    if (grouperPercent != 0) sideOne = herd();

    const rules::Winner winner = rules::decideWinner(sideOne, numAgents);
    report.numWinners = winner.numWinners;
    report.attendance = sideOne;
    report.result = winner.result;

    int32_t groupedCount = 1;
    int64_t groupedCapital = 0;
    int64_t ungroupedCapital = 0;
    int64_t scoreSum = 0;
    int32_t bestScore = 0;
    for (Agent& agent : agents_) {
        agent.tellResult(winner.result, sti, uniform);
        scoreSum += agent.getAvgStratScore();
        if (agent.getBestStratScore() > bestScore) bestScore = agent.getBestStratScore();
        if (agent.getGroupIndex() != Agent::noGroup) {
            ++groupedCount;
            groupedCapital += agent.getCapital();
        } else {
            ungroupedCapital += agent.getCapital();
        }
    }
    report.capitalGap = rules::capitalGap(groupedCapital, groupedCount, ungroupedCapital, numAgents, numGroups);

    history = rules::pushResult(history, winner.result, options.memory);

    if (avgAge != noMortality) {
        popControl();
    } else {
        report.numDeaths = 0;
    }

    report.avgStratScore = static_cast<double>(scoreSum) / static_cast<double>(numAgents);
    report.bestStratScore = static_cast<double>(bestScore);
    return report;
}

// Lets the richest agent or the groups sway the own decisions; returns the
// new side-1 count.
int32_t Town::herd()
{
    return uniform.below(10) < 2 ? leaderStep() : groupStep();
}

int32_t Town::leaderStep()
{
    size_t richest = 0;
    int32_t best = agents_[0].getCapital();
    int32_t sideOne = 0;
    for (size_t i = 0; i < agents_.size(); ++i) {
        sideOne += agents_[i].getDecision();
        if (agents_[i].getCapital() > best) {
            best = agents_[i].getCapital();
            richest = i;
        }
    }
    const int32_t richestDecision = agents_[richest].getDecision();
    const int32_t target = uniform.below(10) < 5 ? (richestDecision == 1 ? 0 : 1) : richestDecision;

    // One draw per agent whose decision differs from the target, in order.
    herdDraws.resize(static_cast<size_t>(target == 1 ? numAgents - sideOne : sideOne));
    uniform.take(herdDraws.data(), herdDraws.size());
    const int32_t* draw = herdDraws.data();
    sideOne = 0;
    for (Agent& agent : agents_) {
        // Written without branches: which agents differ, and what they draw,
        // is a coin toss the processor cannot predict.
        const int32_t decision = agent.getDecision();
        const bool differs = decision != target;
        const bool switches = differs && *draw % 10 < 6;
        draw += differs;
        agent.setDecision(switches ? target : decision);
        sideOne += switches ? target : decision;
    }
    return sideOne;
}

int32_t Town::groupStep()
{
    Group::makeDecisions(groups_, agents_, memberGroup, tallies);

    // One draw per grouped agent, in agent order.
    herdDraws.resize(static_cast<size_t>(groupedAlive));
    uniform.take(herdDraws.data(), herdDraws.size());
    const int32_t* draw = herdDraws.data();
    int32_t sideOne = 0;
    for (Agent& agent : agents_) {
        if (agent.getGroupIndex() != Agent::noGroup) {
            const Group& group = groups_[static_cast<size_t>(agent.getGroupIndex())];
            // Selects rather than branches: the draw and the comparison are
            // unpredictable. A NaN limit fails the comparison, so the decision stays.
            const int32_t proposal = *draw++ % 10 < 1 ? group.getOppositeSuggestion() : group.get_suggestion();
            const double capital = static_cast<float>(agent.getCapital());
            const bool mayTake = capital < static_cast<double>(group.getCapitalLimit());
            agent.setDecision(mayTake ? proposal : agent.getDecision());
        }
        sideOne += agent.getDecision();
    }
    return sideOne;
}

} // namespace dramolex::model
