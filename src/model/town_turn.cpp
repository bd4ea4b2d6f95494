// The round engine: Town::turn and its herding steps.
#include "model/round_rules.h"
#include "model/town.h"

namespace dramolex::model {

const pass_graph& Town::turn()
{
    sti = rules::historyIndex(history);
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

    history[2] = history[1];
    history[1] = history[0];
    history[0] = winner.result;

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
    if (uniform.below(10) < 2) {
        leaderStep();
    } else {
        groupStep();
    }
    int32_t sideOne = 0;
    for (const Agent& agent : agents_) sideOne += agent.getDecision();
    return sideOne;
}

void Town::leaderStep()
{
    size_t richest = 0;
    int32_t best = agents_[0].getCapital();
    for (size_t i = 1; i < agents_.size(); ++i) {
        if (agents_[i].getCapital() > best) {
            best = agents_[i].getCapital();
            richest = i;
        }
    }
    const int32_t richestDecision = agents_[richest].getDecision();
    const int32_t target = uniform.below(10) < 5 ? (richestDecision == 1 ? 0 : 1) : richestDecision;
    for (Agent& agent : agents_) {
        if (agent.getDecision() != target && uniform.below(10) < 6) agent.setDecision(target);
    }
}

void Town::groupStep()
{
    for (Group& group : groups_) group.makeDecision(agents_);
    for (Agent& agent : agents_) {
        if (agent.getGroupIndex() == Agent::noGroup) continue;
        const Group& group = groups_[static_cast<size_t>(agent.getGroupIndex())];
        const int32_t proposal = uniform.below(10) < 1 ? group.getOppositeSuggestion() : group.get_suggestion();
        const double capital = static_cast<float>(agent.getCapital());
        if (agent.getDecision() != proposal && capital < static_cast<double>(group.getCapitalLimit())) {
            agent.setDecision(proposal);
        }
    }
}

} // namespace dramolex::model
