#include "model/group.h"

#include "model/agent.h"

namespace dramolex::model {

void Group::makeDecision(std::span<const Agent> agentPter)
{
    if (members.empty()) return;

    // 64-bit sums: thousands of members over long runs overflow 32 bits.
    int64_t weighted = 0;
    int64_t total = 0;
    int32_t maxCapital = agentPter[members[0]].getCapital();
    size_t richest = 0;
    for (size_t i = 0; i < members.size(); ++i) {
        const Agent& a = agentPter[members[i]];
        const int32_t capital = a.getCapital();
        if (capital > maxCapital) {
            maxCapital = capital;
            richest = i;
        }
        weighted += static_cast<int64_t>(a.getDecision()) * capital;
        total += capital;
    }
    decide(weighted, total, agentPter[members[richest]].getDecision());
}

void Group::decide(int64_t weighted, int64_t total, int32_t richest)
{
    richestDecision = richest;
    oppositeSuggestion = richestDecision == 0 ? 1 : 0;
    // With a zero total the quotient is +inf, -inf or NaN; only -inf (a
    // negative weighted sum) falls below one half.
    if (total == 0) {
        suggestion = weighted < 0 ? 0 : 1;
        return;
    }
    const double share = static_cast<double>(weighted) / static_cast<double>(total);
    suggestion = share < 0.5 ? 0 : 1;
}

void Group::makeDecisions(std::span<Group> groups, std::span<const Agent> agents, std::span<const int32_t> memberGroup,
                          std::vector<Tally>& tallies)
{
    tallies.assign(groups.size(), Tally{});
    for (size_t i = 0; i < agents.size(); ++i) {
        const int32_t g = memberGroup[i];
        if (g < 0) continue;
        tallies[static_cast<size_t>(g)].add(agents[i].getCapital(), agents[i].getDecision());
    }
    for (size_t g = 0; g < groups.size(); ++g) groups[g].decide(tallies[g]);
}

} // namespace dramolex::model
