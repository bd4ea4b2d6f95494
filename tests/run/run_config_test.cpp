#include "run/run_config.h"

#include <gtest/gtest.h>
#include <set>

namespace {

using dramolex::run::applySetting;
using dramolex::run::applySettingText;
using dramolex::run::checkRunConfig;
using dramolex::run::RunConfig;
using dramolex::run::SettingValue;
using dramolex::run::settingInfos;
using dramolex::run::settingValue;

TEST(Settings, AcceptedValuesChangeTheirFieldAndOthersNameKeyValueAndRange)
{
    struct Case {
        const char* key;
        SettingValue value;
        const char* error;  // "" when accepted
    };
    const Case cases[] = {
        {"agents", int64_t{16348}, ""},
        {"agents", int64_t{0}, "agents '0': out of range (accepted: 1 to 16348)"},
        {"agents", std::string("ten"), "agents 'ten': not a whole number (accepted: 1 to 16348)"},
        {"groupers", int64_t{101}, "groupers '101': out of range (accepted: 0 to 100)"},
        {"groups", int64_t{0}, "groups '0': out of range"},
        {"lifespan", std::string("off"), ""},
        {"lifespan", int64_t{101}, "lifespan '101': out of range (accepted: 1 to 100, or off)"},
        {"lifespan", std::string("on"), "lifespan 'on'"},
        {"rounds", int64_t{-1}, "rounds '-1': out of range"},
        {"seed", int64_t{4294967296}, "seed '4294967296': out of range (accepted: 0 to 4294967295)"},
        {"burn_in", int64_t{-1}, "burn_in '-1'"},
        {"memory", int64_t{17}, "memory '17': out of range (accepted: 1 to 16)"},
        {"memory", int64_t{0}, "memory '0'"},
        {"strategies", int64_t{0}, "strategies '0': out of range (accepted: 1 to 16)"},
        {"rule", std::string("worst"), "rule 'worst': not accepted (accepted: record or best)"},
        {"rule", int64_t{1}, "rule '1': not accepted"},
        {"replacement", std::string("yes"), "replacement 'yes'"},
        {"lifespans", std::string("random"), "lifespans 'random': not accepted (accepted: fixed or seeded)"},
        {"colour", int64_t{1}, "unknown setting 'colour' (known: agents, groupers,"},
    };
    for (const Case& c : cases) {
        RunConfig config;
        const std::string error = applySetting(config, c.key, c.value);
        if (std::string(c.error).empty()) {
            EXPECT_EQ(error, "") << c.key;
            EXPECT_EQ(settingValue(config, c.key), c.value) << c.key;
        } else {
            EXPECT_EQ(error.rfind(c.error, 0), 0u) << c.key << " said: " << error;
            EXPECT_EQ(error.find('\n'), std::string::npos);
        }
    }
}

TEST(Settings, EveryKeyReachesItsField)
{
    RunConfig config;
    const std::pair<const char*, SettingValue> values[] = {
        {"agents", int64_t{501}},        {"groupers", int64_t{40}},  {"groups", int64_t{5}},
        {"lifespan", int64_t{30}},       {"rounds", int64_t{7000}},  {"seed", int64_t{4294967295}},
        {"burn_in", int64_t{200}},       {"memory", int64_t{6}},     {"strategies", int64_t{2}},
        {"rule", std::string("best")},   {"replacement", std::string("off")}, {"lifespans", std::string("seeded")},
    };
    for (const auto& [key, value] : values) ASSERT_EQ(applySetting(config, key, value), "") << key;
    const auto& p = config.parameters;
    EXPECT_EQ(p.numAgents, 501);
    EXPECT_EQ(p.grouperPercent, 40);
    EXPECT_EQ(p.numGroups, 5);
    EXPECT_EQ(p.avgAge, 30);
    EXPECT_EQ(config.rounds, 7000);
    EXPECT_EQ(p.seed, 4294967295u);
    EXPECT_EQ(config.burnIn, 200);
    EXPECT_EQ(p.model.memory, 6);
    EXPECT_EQ(p.model.strategies, 2);
    EXPECT_EQ(p.model.rule, dramolex::model::Rule::best);
    EXPECT_FALSE(p.model.replacement);
    EXPECT_EQ(p.model.lifespans, dramolex::model::LifeSpans::seeded);
    EXPECT_EQ(checkRunConfig(config), "");

    // The table documents exactly these keys, each once, with its option.
    std::set<std::string> keys;
    for (const auto& info : settingInfos()) {
        keys.insert(std::string(info.key));
        EXPECT_EQ(info.option.substr(0, 2), "--");
        EXPECT_FALSE(info.help.empty() || info.accepted.empty() || info.defaultText.empty()) << info.key;
    }
    EXPECT_EQ(keys.size(), std::size(values));
    for (const auto& [key, value] : values) EXPECT_EQ(keys.count(key), 1u) << key;
}

TEST(Settings, AnErrorLeavesTheConfigUnchanged)
{
    RunConfig config;
    ASSERT_EQ(applySetting(config, "agents", int64_t{50}), "");
    EXPECT_NE(applySetting(config, "agents", int64_t{-5}), "");
    EXPECT_EQ(config.parameters.numAgents, 50);
}

TEST(Settings, TextIsReadAsTyped)
{
    RunConfig config;
    EXPECT_EQ(applySettingText(config, "agents", "+12", "--agents"), "");
    EXPECT_EQ(config.parameters.numAgents, 12);
    EXPECT_EQ(applySettingText(config, "agents", "12.5", "--agents"),
              "--agents '12.5': not a whole number (accepted: 1 to 16348)");
    EXPECT_EQ(applySettingText(config, "rounds", "99999999999999999999", "--rounds").rfind("--rounds '99999999999999999999': out of range", 0), 0u);
    EXPECT_EQ(applySettingText(config, "agents", "016349", "--agents").rfind("--agents '016349': out of range", 0), 0u);
    EXPECT_EQ(applySettingText(config, "lifespan", "off", "--lifespan"), "");
    EXPECT_EQ(applySettingText(config, "rule", "best", "--rule"), "");
    EXPECT_EQ(config.parameters.model.rule, dramolex::model::Rule::best);
}

TEST(Settings, CrossChecks)
{
    struct Case {
        int32_t agents, groups, memory, strategies;
        int64_t rounds, burnIn;
        const char* error;
    };
    const Case cases[] = {
        {7, 3, 3, 10, 10, 0, ""},
        {7, 4, 3, 10, 10, 0, "groups '4': out of range (accepted: 1, or 2 to 3)"},
        {1, 2, 3, 10, 10, 0, "groups '2': out of range (accepted: 1 for 1 agents)"},
        {10, 1, 3, 10, 10, 10, ""},
        {10, 1, 3, 10, 10, 11, "burn_in '11': out of range (accepted: 0 to rounds = 10)"},
        // 16348 x 8 x 2^16 / 8 bytes is just under 1 GiB; twice the strategies is not.
        {16348, 1, 16, 8, 10, 0, ""},
        {16348, 1, 16, 16, 10, 0,
         "memory 16 with strategies 16 and agents 16348: strategy tables of 2.00 GiB (agents x strategies x 2^memory "
         "/ 8 bytes) exceed the limit of 1 GiB"},
    };
    for (const Case& c : cases) {
        RunConfig config;
        config.parameters.numAgents = c.agents;
        config.parameters.numGroups = c.groups;
        config.parameters.model.memory = c.memory;
        config.parameters.model.strategies = c.strategies;
        config.rounds = c.rounds;
        config.burnIn = c.burnIn;
        EXPECT_EQ(checkRunConfig(config), c.error) << c.agents << " " << c.groups;
    }
}

} // namespace
