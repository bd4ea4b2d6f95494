#include "model/group.h"

#include <gtest/gtest.h>
#include <vector>

#include "model/agent.h"
#include "random/glibc_random.h"

namespace {

using dramolex::model::Agent;
using dramolex::model::Group;
using dramolex::random::GlibcRandom;

struct Member {
    int capital;
    int decision;
};

// Agents with the given capital and decision, all members of one group.
std::vector<Agent> makeMembers(const std::vector<Member>& wanted, Group& group)
{
    GlibcRandom uniform(1);
    std::vector<Agent> agents;
    for (const Member& m : wanted) {
        Agent a(uniform);
        while (a.getCapital() != m.capital) {
            const int up = a.getCapital() < m.capital ? 1 : 0;
            a.setDecision(up);
            a.tellResult(1, 0, uniform);
        }
        a.setDecision(m.decision);
        group.addAgent(static_cast<int>(agents.size()));
        agents.push_back(a);
    }
    return agents;
}

struct SuggestionCase {
    const char* name;
    std::vector<Member> members;
    int suggestion;
    int richestDecision;
};

class GroupSuggestions : public ::testing::TestWithParam<SuggestionCase> {};

TEST_P(GroupSuggestions, FollowCapitalWeightedMajorityAndRichestMember)
{
    Group group;
    const auto agents = makeMembers(GetParam().members, group);
    group.makeDecision(agents);
    EXPECT_EQ(group.get_suggestion(), GetParam().suggestion);
    EXPECT_EQ(group.getRichestDecision(), GetParam().richestDecision);
    EXPECT_EQ(group.getOppositeSuggestion(), 1 - GetParam().richestDecision);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GroupSuggestions,
    ::testing::Values(
        SuggestionCase{"allZero", {{100, 0}, {120, 0}}, 0, 0},
        SuggestionCase{"allOne", {{100, 1}, {90, 1}}, 1, 1},
        SuggestionCase{"exactHalfGivesOne", {{100, 0}, {100, 1}}, 1, 0},
        SuggestionCase{"richestOnMinoritySide", {{100, 0}, {150, 1}, {60, 0}}, 0, 1},
        SuggestionCase{"tieGoesToFirstMember", {{130, 1}, {130, 0}, {90, 0}}, 0, 1},
        SuggestionCase{"zeroTotalZeroWeightGivesOne", {{50, 0}, {-50, 0}}, 1, 0},
        SuggestionCase{"zeroTotalPositiveWeightGivesOne", {{50, 1}, {-50, 0}}, 1, 1},
        SuggestionCase{"zeroTotalNegativeWeightGivesZero", {{50, 0}, {-50, 1}}, 0, 0},
        SuggestionCase{"negativeCapitals", {{-10, 1}, {-30, 0}}, 0, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Group, EmptyGroupKeepsItsSuggestions)
{
    Group group;
    std::vector<Agent> none;
    group.makeDecision(none);
    EXPECT_EQ(group.get_suggestion(), 0);
    EXPECT_EQ(group.getOppositeSuggestion(), 0);
}

TEST(Group, CapitalLimitLetsEveryReachableCapitalTakeSuggestions)
{
    const Group group;
    EXPECT_LT(static_cast<double>(static_cast<float>(2147483647)), static_cast<double>(group.getCapitalLimit()));
}

} // namespace
