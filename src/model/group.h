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

    int32_t get_suggestion() const { return suggestion; }
    int32_t getOppositeSuggestion() const { return oppositeSuggestion; }
    int32_t getRichestDecision() const { return richestDecision; }
    float getCapitalLimit() const { return capitalLimit; }
    const std::vector<int32_t>& getMembers() const { return members; }

private:
    int32_t suggestion = 0;
    // Above every reachable capital, so every member may take a suggestion.
    float capitalLimit = std::numeric_limits<float>::infinity();
    int32_t oppositeSuggestion = 0;
    int32_t richestDecision = 0;
    std::vector<int32_t> members;
};

} // namespace dramolex::model
