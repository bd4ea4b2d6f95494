// FastTown against the reference Town: every report field of every round and
// every agent's state, over many configurations. Built twice: against the
// vector pass and against the scalar-only model.
#include "model/fast_town.h"

#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <string>

#include "model/round_rules.h"
#include "model/town.h"
#include "random/ziggurat.h"

namespace {

using dramolex::model::FastTown;
using dramolex::model::ModelOptions;
using dramolex::model::pass_graph;
using dramolex::model::Rule;
using dramolex::model::Town;
using dramolex::random::Ziggurat;

struct Config {
    int32_t agents;
    int32_t grouperPercent;
    int32_t avgAge;
    int32_t groups;
    uint32_t seed;
    int rounds;
    ModelOptions options{};

    std::string describe() const
    {
        std::ostringstream out;
        out << agents << " agents, " << grouperPercent << " % in " << groups << " groups, life span " << avgAge
            << ", seed " << seed << ", memory " << options.memory << ", strategies " << options.strategies
            << ", rule " << (options.rule == Rule::best ? "best" : "record") << ", replacement "
            << (options.replacement ? "on" : "off");
        return out.str();
    }
};

::testing::AssertionResult sameReport(const pass_graph& expected, const pass_graph& actual)
{
    std::ostringstream diff;
    auto check = [&diff](const char* name, auto a, auto b) {
        if (a != b) diff << name << ": reference " << a << ", kernel " << b << "; ";
    };
    check("capitalGap", expected.capitalGap, actual.capitalGap);
    check("numWinners", expected.numWinners, actual.numWinners);
    check("avgStratScore", expected.avgStratScore, actual.avgStratScore);
    check("bestStratScore", expected.bestStratScore, actual.bestStratScore);
    check("numDeaths", expected.numDeaths, actual.numDeaths);
    check("attendance", expected.attendance, actual.attendance);
    check("result", expected.result, actual.result);
    for (size_t a = 0; a < expected.ageDist.size(); ++a) {
        if (expected.ageDist[a] != actual.ageDist[a]) diff << "ageDist[" << a << "] differs; ";
    }
    if (expected.barDist != actual.barDist) diff << "barDist differs; ";
    if (diff.str().empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << diff.str();
}

::testing::AssertionResult sameAgents(const Town& town, const FastTown& fast)
{
    const int32_t slots = town.getOptions().strategies;
    const int32_t indices = 1 << town.getOptions().memory;
    for (int32_t i = 0; i < town.getNumAgents(); ++i) {
        const auto& agent = town.agents()[static_cast<size_t>(i)];
        std::ostringstream diff;
        if (agent.getCapital() != fast.capitalOf(i)) diff << "capital ";
        if (agent.getGroupIndex() != fast.groupIndexOf(i)) diff << "group ";
        if (agent.getAge() != fast.ageOf(i)) diff << "age ";
        if (agent.getLifeSpan() != fast.lifeSpanOf(i)) diff << "life span ";
        if (agent.getBestIndex() != fast.playedStrategyOf(i)) diff << "played slot ";
        if (agent.getBestStratScore() != fast.recordScoreOf(i)) diff << "record ";
        for (int32_t s = 0; s < slots; ++s) {
            const auto strategy = agent.strategy(s);
            if (strategy.getScore() != fast.scoreOf(i, s)) diff << "score " << s << " ";
            for (int32_t h = 0; h < indices; ++h) {
                if (strategy.getDecision(h) != fast.sideOf(i, s, h)) diff << "side " << s << "/" << h << " ";
            }
        }
        if (!diff.str().empty()) return ::testing::AssertionFailure() << "agent " << i << ": " << diff.str();
    }
    return ::testing::AssertionSuccess();
}

void playAndCompare(const Config& c)
{
    SCOPED_TRACE(c.describe());
    Ziggurat referenceNormal, kernelNormal;
    Town town(c.agents, c.grouperPercent, c.avgAge, c.groups, c.seed, referenceNormal);
    FastTown fast(c.agents, c.grouperPercent, c.avgAge, c.groups, c.seed, kernelNormal);
    ASSERT_TRUE(sameAgents(town, fast)) << "after construction";
    for (int round = 1; round <= c.rounds; ++round) {
        const pass_graph& expected = town.turn();
        const pass_graph& actual = fast.turn();
        ASSERT_TRUE(sameReport(expected, actual)) << "round " << round;
        ASSERT_EQ(town.getSti(), fast.getSti()) << "round " << round;
        ASSERT_EQ(dramolex::model::rules::historyIndex(town.getHistory()) & 7,
                  static_cast<int32_t>(fast.getHistoryBits() & 7))
            << "round " << round;
        // Agent state every round early on, then now and then: a slip in the
        // rare paths shows up in the reports within a few rounds anyway.
        if (round <= 20 || round % 97 == 0 || round == c.rounds) {
            ASSERT_TRUE(sameAgents(town, fast)) << "after round " << round;
        }
    }
}

TEST(FastTown, BuildsTheVectorPassExactlyWhenAsked)
{
    EXPECT_EQ(FastTown::vectorPassBuilt(), DRAMOLEX_EXPECT_VECTOR_PASS != 0);
}

// Populations around the word size, where the vector pass and the scalar
// remainder meet, with and without herding and mortality.
TEST(FastTown, MatchesTheReferenceAroundWholeWords)
{
    for (const int32_t agents : {1, 2, 3, 5, 63, 64, 65, 127, 128, 129, 191}) {
        playAndCompare({agents, 0, -1, 1, 11u + static_cast<uint32_t>(agents), 150});
        playAndCompare({agents, 100, 20, std::max(1, agents / 2), 7u * static_cast<uint32_t>(agents), 150});
        playAndCompare({agents, 45, 3, std::max(1, agents / 4), 5u + static_cast<uint32_t>(agents), 150});
    }
}

// Many random configurations: every parameter across its range.
TEST(FastTown, MatchesTheReferenceOnRandomConfigurations)
{
    std::mt19937 pick(20261211);
    auto between = [&pick](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(pick); };
    for (int n = 0; n < 60; ++n) {
        Config c{};
        c.agents = between(0, 3) == 0 ? between(1, 70) : between(1, 700);
        c.grouperPercent = between(0, 2) == 0 ? 0 : between(0, 100);
        c.avgAge = between(0, 2) == 0 ? -1 : between(1, 100);
        c.groups = between(1, std::max(1, c.agents / 2));
        c.seed = static_cast<uint32_t>(pick());
        c.rounds = between(50, 300);
        playAndCompare(c);
    }
}

// Long runs: strategies fall below zero and are replaced, records keep
// moving, grouped agents die out under mortality.
TEST(FastTown, MatchesTheReferenceOverLongRuns)
{
    playAndCompare({65, 0, -1, 1, 99u, 6000});
    playAndCompare({130, 60, 40, 5, 3u, 4000});
    playAndCompare({9, 100, -1, 4, 12u, 6000});
}

// The vector pass hands over to the scalar path after a fixed number of
// rounds; the rounds on either side of the hand-over match the reference.
TEST(FastTown, HandsOverToTheScalarPathSeamlessly)
{
    Ziggurat referenceNormal, kernelNormal;
    Town town(200, 50, 30, 4, 4242u, referenceNormal);
    FastTown fast(200, 50, 30, 4, 4242u, kernelNormal);
    for (int round = 0; round < 40; ++round) {
        town.turn();
        fast.turn();
    }
    fast.setRoundsPlayedForTesting(FastTown::vectorRoundLimit - 20);
    for (int round = 0; round < 60; ++round) {
        ASSERT_TRUE(sameReport(town.turn(), fast.turn())) << "round " << round;
        ASSERT_TRUE(sameAgents(town, fast)) << "round " << round;
    }
}

TEST(FastTown, FullSizePopulationWithHerdingAndMortality)
{
    // The parameters of the stored golden log.
    playAndCompare({61, 60, 20, 3, 20261211u, 250});
    playAndCompare({FastTown::maxAgents, 100, 50, 10, 2026u, 60});
    playAndCompare({FastTown::maxAgents, 30, 1, 4, 17u, 20});
}

} // namespace
