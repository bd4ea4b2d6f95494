// Reading sweep configs: the grid, its numbering and seeds, and every refusal.
#include <gtest/gtest.h>
#include <set>

#include "fake_model.h"
#include "sweep/examples.h"
#include "sweep/run_grid.h"
#include "sweep/split_mix64.h"
#include "sweep/sweep_config.h"

namespace {

using namespace sweep_test;

ConfigReading read(const std::string& text) { return readSweepConfig(text, "s.toml", fakeModel()); }

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines) text += line + "\n";
    return text;
}

TEST(SweepConfig, BadConfigsAreRefusedNamingFileLineKeyAndRange)
{
    struct Case {
        const char* text;
        const char* mustSay;
    };
    const Case cases[] = {
        {"roundz = 5\n", "s.toml:1: unknown key 'roundz' (accepted: rounds, burn_in, replications, seed, [parameters])"},
        {"rounds = 5\n[parameters]\nagentz = 3\n", "s.toml:3: parameters: unknown key 'agentz' (accepted: agents, memory, groups, rule, replacement)"},
        {"rounds = \"many\"\n", "s.toml:1: rounds: expected an integer, got a string"},
        {"rounds = -1\n", "s.toml:1: rounds = -1: out of range (accepted: 0 to 1000000)"},
        {"replications = 0\n", "s.toml:1: replications = 0: out of range (accepted: 1 to 100000000)"},
        {"seed = 4294967296\n", "s.toml:1: seed = 4294967296: out of range (accepted: 0 to 4294967295)"},
        {"seed = 1.5\n", "s.toml:1: seed: expected an integer, got a decimal number"},
        {"parameters = 3\n", "s.toml:1: parameters: expected a table, got an integer"},
        {"[parameters]\nagents = [101, 0]\n", "s.toml:2: agents = 0: out of range (accepted: 1 to 1000)"},
        {"[parameters]\nagents = 2.5\n", "s.toml:2: agents: expected an integer or a string, got a decimal number"},
        {"[parameters]\nagents = [[1, 2]]\n", "agents: expected an integer or a string (lists do not nest), got a list"},
        {"[parameters]\nagents = []\n", "s.toml:2: agents: an empty list gives no runs"},
        {"[parameters]\nagents = [5, 5]\n", "agents: 5 is listed twice"},
        {"[parameters]\nrule = \"worst\"\n", "s.toml:2: rule = worst: out of range (accepted: record or best)"},
        {"[parameters]\nrule = true\n", "rule: expected an integer or a string, got a boolean"},
        {"[parameters]\nseed = 3\n", "s.toml:2: parameters.seed: set seed at the top level, not under [parameters] (each run's seed is derived from the top-level base seed)"},
        {"[parameters]\nrounds = 3\n", "parameters.rounds: set rounds at the top level"},
        {"[parameters]\nagents = [4, 101]\ngroups = [1, 10]\n", "s.toml: agents = 4, groups = 10: groups = 10: more than agents / 2"},
        {"rounds = 10\nburn_in = 20\n", "s.toml: burn_in = 20: more than rounds"},
        {"replications = 1000000\n[parameters]\nagents = [1,2,3,4,5,6,7,8,9,10]\nmemory = [1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16]\n",
         "gives more than 100000000 runs"},
        {"rounds = [1, 2\n", "s.toml:1:"},
    };
    for (const Case& c : cases) {
        const ConfigReading reading = read(c.text);
        EXPECT_NE(joined(reading.errors).find(c.mustSay), std::string::npos)
            << "config:\n" << c.text << "said:\n" << joined(reading.errors);
    }
}

TEST(SweepConfig, EveryProblemIsReportedNotJustTheFirst)
{
    const ConfigReading reading = read("roundz = 1\nseed = -1\n[parameters]\nagents = 0\nmemory = 99\n");
    EXPECT_EQ(reading.errors.size(), 4u) << joined(reading.errors);
}

TEST(SweepConfig, GoodConfigResolvesAndBooleanReplacementReadsAsOnOff)
{
    const ConfigReading reading =
        read("rounds = 200\nburn_in = 50\nreplications = 3\nseed = 9\n[parameters]\nmemory = [2, 3]\nagents = [11, 21, 31]\nrule = \"best\"\nreplacement = false\n");
    ASSERT_TRUE(reading.errors.empty()) << joined(reading.errors);
    const SweepConfig& c = reading.config;
    EXPECT_EQ(c.rounds, 200);
    EXPECT_EQ(c.burnIn, 50);
    EXPECT_EQ(c.seed, 9u);
    EXPECT_EQ(c.points(), 6u);
    EXPECT_EQ(c.runs(), 18u);
    ASSERT_EQ(c.parameters.size(), 4u);
    EXPECT_EQ(c.parameters[0].key, "memory");  // file order, not toml++'s sorted order
    EXPECT_EQ(std::get<std::string>(c.parameters[3].values[0]), "off");
    EXPECT_EQ(c.canonicalJson(),
              R"({"rounds":200,"burn_in":50,"replications":3,"seed":9,"parameters":{"memory":[2,3],"agents":[11,21,31],"rule":"best","replacement":"off"}})");
}

TEST(RunGrid, RunsCountLikeNestedLoopsWithReplicationsInnermost)
{
    const ConfigReading reading = read("replications = 2\n[parameters]\nmemory = [2, 3]\nrule = \"best\"\nagents = [11, 21, 31]\n");
    ASSERT_TRUE(reading.errors.empty());
    const RunGrid grid(reading.config);
    std::vector<std::string> seen;
    for (uint64_t run = 0; run < grid.runs(); ++run)
        seen.push_back(grid.describePoint(grid.pointOf(run)) + " #" + std::to_string(grid.replicationOf(run)));
    const std::vector<std::string> expected = {
        "memory = 2, agents = 11 #0", "memory = 2, agents = 11 #1", "memory = 2, agents = 21 #0",
        "memory = 2, agents = 21 #1", "memory = 2, agents = 31 #0", "memory = 2, agents = 31 #1",
        "memory = 3, agents = 11 #0", "memory = 3, agents = 11 #1", "memory = 3, agents = 21 #0",
        "memory = 3, agents = 21 #1", "memory = 3, agents = 31 #0", "memory = 3, agents = 31 #1"};
    EXPECT_EQ(seen, expected);
    std::vector<Setting> settings;
    grid.pointSettings(4, settings);
    ASSERT_EQ(settings.size(), 3u);
    EXPECT_EQ(settings[1].key, "rule");
    EXPECT_EQ(std::get<std::string>(settings[1].value), "best");
    EXPECT_EQ(std::get<int64_t>(settings[2].value), 21);
}

TEST(SeedTable, SplitMix64MatchesTheReferenceGenerator)
{
    // The reference implementation's first outputs from state 0.
    SplitMix64 stream(0);
    EXPECT_EQ(stream.next(), 0xE220A8397B1DCDAFull);
    EXPECT_EQ(stream.next(), 0x6E789E6AA1B965F4ull);
    EXPECT_EQ(SeedTable::firstChoice(0, 0), 0x7B1DCDAFu);
    EXPECT_EQ(SeedTable::firstChoice(7, 5), static_cast<uint32_t>(SplitMix64((7ull << 32) + 5).next()));
}

TEST(SeedTable, SeedsAreUniqueNonZeroAndRepeatsAreReplacedByRunNumber)
{
    // With 300,000 runs some 32-bit first choices coincide (about ten).
    const uint64_t runs = 300000;
    const SeedTable seeds(3, runs);
    ASSERT_GT(seeds.replaced(), 0u);
    std::set<uint32_t> distinct;
    uint64_t keptFirstChoice = 0;
    std::set<uint32_t> firstSeen;
    for (uint64_t run = 0; run < runs; ++run) {
        ASSERT_NE(seeds[run], 0u);
        distinct.insert(seeds[run]);
        const uint32_t first = SeedTable::firstChoice(3, run);
        // The lowest-numbered run with a first choice keeps it.
        if (first != 0 && firstSeen.insert(first).second) {
            EXPECT_EQ(seeds[run], first) << run;
            ++keptFirstChoice;
        }
    }
    EXPECT_EQ(distinct.size(), runs);
    EXPECT_EQ(keptFirstChoice + seeds.replaced(), runs);
    // A smaller sweep's seeds are the same runs' seeds of the larger one.
    const SeedTable fewer(3, 1000);
    for (uint64_t run = 0; run < 1000; ++run) EXPECT_EQ(fewer[run], SeedTable::firstChoice(3, run));
}

TEST(Examples, BundledConfigsAreNamedAndParse)
{
    std::set<std::string> names;
    for (const ExampleConfig& example : exampleConfigs()) names.insert(std::string(example.name));
    EXPECT_EQ(names, (std::set<std::string>{"phase-diagram", "herding", "mortality"}));
}

} // namespace
