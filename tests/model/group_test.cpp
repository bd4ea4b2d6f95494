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
    [](const auto& testCase) { return std::string(testCase.param.name); });

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

namespace {

TEST(Group, OnePassForAllGroupsEqualsEachGroupOnItsOwn)
{
    // Members spread over groups in slot order, some slots in no group,
    // capitals and decisions varied by playing a few rounds.
    GlibcRandom uniform(4242);
    std::vector<Agent> agents;
    std::vector<Group> alone(5), together(5);
    std::vector<int32_t> memberGroup;
    for (int i = 0; i < 300; ++i) {
        Agent a(uniform);
        for (int r = 0; r < i % 23; ++r) {
            a.setDecision(r % 2);
            a.tellResult((i * r) % 3 == 0 ? 1 : 0, r % 8, uniform);
        }
        a.setDecision((i * 7) % 3 == 0 ? 1 : 0);
        const int32_t g = i % 4 == 3 ? -1 : (i * 13) % 4;  // group 4 stays empty
        memberGroup.push_back(g);
        if (g >= 0) {
            alone[static_cast<size_t>(g)].addAgent(i);
            together[static_cast<size_t>(g)].addAgent(i);
        }
        agents.push_back(a);
    }
    for (Group& g : alone) g.makeDecision(agents);
    std::vector<Group::Tally> scratch;
    Group::makeDecisions(together, agents, memberGroup, scratch);
    for (size_t g = 0; g < alone.size(); ++g) {
        EXPECT_EQ(together[g].get_suggestion(), alone[g].get_suggestion()) << g;
        EXPECT_EQ(together[g].getOppositeSuggestion(), alone[g].getOppositeSuggestion()) << g;
        EXPECT_EQ(together[g].getRichestDecision(), alone[g].getRichestDecision()) << g;
    }
}

} // namespace
