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
using dramolex::model::LifeSpans;
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
            << (options.replacement ? "on" : "off") << ", life spans "
            << (options.lifespans == LifeSpans::seeded ? "seeded" : "fixed");
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
    Town town(c.agents, c.grouperPercent, c.avgAge, c.groups, c.seed, c.options, referenceNormal);
    FastTown fast(c.agents, c.grouperPercent, c.avgAge, c.groups, c.seed, c.options, kernelNormal);
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

ModelOptions randomOptions(std::mt19937& pick, int32_t maxMemory)
{
    auto between = [&pick](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(pick); };
    ModelOptions o;
    o.memory = between(1, maxMemory);
    o.strategies = between(1, 16);
    o.rule = between(0, 1) == 0 ? Rule::record : Rule::best;
    o.replacement = between(0, 2) != 0;
    o.lifespans = between(0, 1) == 0 ? LifeSpans::fixed : LifeSpans::seeded;
    return o;
}

// Many random configurations: every parameter and every model option across
// its range (the default model in a third of them).
TEST(FastTown, MatchesTheReferenceOnRandomConfigurations)
{
    std::mt19937 pick(20261211);
    auto between = [&pick](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(pick); };
    for (int n = 0; n < 90; ++n) {
        Config c{};
        c.agents = between(0, 3) == 0 ? between(1, 70) : between(1, 700);
        c.grouperPercent = between(0, 2) == 0 ? 0 : between(0, 100);
        c.avgAge = between(0, 2) == 0 ? -1 : between(1, 100);
        c.groups = between(1, std::max(1, c.agents / 2));
        c.seed = static_cast<uint32_t>(pick());
        c.rounds = between(50, 300);
        if (n % 3 != 0) c.options = randomOptions(pick, c.agents < 100 ? 10 : 6);
        playAndCompare(c);
    }
}

// Each option on its own against the default model, around whole words.
TEST(FastTown, MatchesTheReferenceForEachOption)
{
    ModelOptions best;
    best.rule = Rule::best;
    ModelOptions keep;
    keep.replacement = false;
    ModelOptions seeded;
    seeded.lifespans = LifeSpans::seeded;
    ModelOptions standard;  // the standard minority game
    standard.memory = 8;
    standard.strategies = 2;
    standard.rule = Rule::best;
    standard.replacement = false;
    ModelOptions wide;
    wide.memory = 1;
    wide.strategies = 16;
    ModelOptions single;
    single.strategies = 1;
    single.memory = 12;
    for (const ModelOptions& o : {best, keep, seeded, standard, wide, single}) {
        for (const int32_t agents : {1, 63, 64, 65, 200}) {
            playAndCompare({agents, 40, 30, std::max(1, agents / 8), 77u + static_cast<uint32_t>(agents), 300, o});
        }
    }
}

// Long runs: strategies fall below zero and are replaced, records keep
// moving, grouped agents die out under mortality.
TEST(FastTown, MatchesTheReferenceOverLongRuns)
{
    playAndCompare({65, 0, -1, 1, 99u, 6000});
    playAndCompare({130, 60, 40, 5, 3u, 4000});
    playAndCompare({9, 100, -1, 4, 12u, 6000});
    ModelOptions best;
    best.rule = Rule::best;
    playAndCompare({129, 0, -1, 1, 5u, 5000, best});
    ModelOptions standard;
    standard.memory = 8;
    standard.strategies = 2;
    standard.rule = Rule::best;
    standard.replacement = false;
    playAndCompare({257, 0, -1, 1, 8u, 5000, standard});
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
    ModelOptions standard;
    standard.memory = 8;
    standard.strategies = 2;
    standard.rule = Rule::best;
    standard.replacement = false;
    playAndCompare({FastTown::maxAgents, 0, -1, 1, 3u, 40, standard});
}

} // namespace
