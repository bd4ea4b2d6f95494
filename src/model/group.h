#pragma once

#include <cstdint>
#include <limits>
#include <span>
#include <vector>

namespace dramolex::model {

class Agent;

// A herding group: forms two suggestions each round from its members' own
// choices and capital. It never changes an agent itself.
class Group {
public:
    void addAgent(int32_t agentIndex) { members.push_back(agentIndex); }

    // Recomputes the suggestions from the members' decisions and capital.
    // A group without members keeps the suggestions it had.
    void makeDecision(std::span<const Agent> agentPter);

    // The same suggestions for every group at once, from one pass over the
    // agents in slot order. memberGroup[i] is the group that lists slot i, or
    // -1; since every member list is in slot order, the result equals calling
    // makeDecision on each group, with far fewer cache misses.
    struct Tally {
        int64_t weighted = 0;
        int64_t total = 0;
        int32_t maxCapital = 0;
        int32_t richestDecision = 0;
        bool seen = false;

        // Counts one member; members come in slot order, so the earliest of
        // equally rich members stays the richest.
        void add(int32_t capital, int32_t decision)
        {
            if (!seen || capital > maxCapital) {
                maxCapital = capital;
                richestDecision = decision;
                seen = true;
            }
            weighted += static_cast<int64_t>(decision) * capital;
            total += capital;
        }
    };
    static void makeDecisions(std::span<Group> groups, std::span<const Agent> agents,
                              std::span<const int32_t> memberGroup, std::vector<Tally>& scratch);

    // The suggestions from a tally of the members; a tally that saw nobody
    // leaves them as they were.
    void decide(const Tally& tally)
    {
        if (tally.seen) decide(tally.weighted, tally.total, tally.richestDecision);
    }

    int32_t get_suggestion() const { return suggestion; }
    int32_t getOppositeSuggestion() const { return oppositeSuggestion; }
    int32_t getRichestDecision() const { return richestDecision; }
    float getCapitalLimit() const { return capitalLimit; }
    const std::vector<int32_t>& getMembers() const { return members; }

private:
    void decide(int64_t weighted, int64_t total, int32_t richest);

    int32_t suggestion = 0;
    // Above every reachable capital, so every member may take a suggestion.
    float capitalLimit = std::numeric_limits<float>::infinity();
    int32_t oppositeSuggestion = 0;
    int32_t richestDecision = 0;
    std::vector<int32_t> members;
};

} // namespace dramolex::model
