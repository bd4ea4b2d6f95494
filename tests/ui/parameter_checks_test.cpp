#include "ui/parameter_checks.h"

#include <gtest/gtest.h>

namespace {

using namespace dramolex::ui;

TEST(IntegerReading, DecimalThirtyTwoBitWithWhiteSpaceAndSign)
{
    struct Case {
        const char* text;
        std::optional<int32_t> value;
    };
    const Case cases[] = {
        {"42", 42}, {"  42\t", 42}, {"+7", 7}, {"-5", -5}, {"2147483647", 2147483647}, {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt}, {"", std::nullopt}, {"   ", std::nullopt}, {"1,000", std::nullopt},
        {"12.5", std::nullopt}, {"0x10", std::nullopt}, {"4 2", std::nullopt}, {"+-3", std::nullopt},
        {"+", std::nullopt}, {"12a", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(readInteger(c.text), c.value) << '"' << c.text << '"';
}

TEST(ParameterChecks, Agents)
{
    EXPECT_TRUE(checkAgents("16348").passed);
    EXPECT_TRUE(checkAgents("1").passed);
    for (const char* bad : {"16349", "0", "-5", "1,000", "12.5", ""}) {
        const CheckResult r = checkAgents(bad);
        EXPECT_FALSE(r.passed) << bad;
        EXPECT_EQ(r.message, "Please enter an integer between 1 and 16,348") << bad;
    }
    EXPECT_TRUE(checkAgents("12.5").unreadable);
    EXPECT_FALSE(checkAgents("0").unreadable);
}

TEST(ParameterChecks, GrouperPercentAcceptsOneValueFromOneTo100)
{
    EXPECT_TRUE(checkGrouperPercent("50").passed);
    EXPECT_TRUE(checkGrouperPercent("100").passed);
    struct Case {
        const char* text;
        bool unreadable;
    };
    const Case failures[] = {{"50,60", false}, {"50:60", false}, {"50,", true}, {" 50", true}, {"0", false},
                             {"101", false}, {"", true}, {"50..", true}, {"5\t", true}, {"abc", true}};
    for (const Case& c : failures) {
        const CheckResult r = checkGrouperPercent(c.text);
        EXPECT_FALSE(r.passed) << '"' << c.text << '"';
        EXPECT_EQ(r.unreadable, c.unreadable) << '"' << c.text << '"';
        EXPECT_EQ(r.message, "Please enter integers between 1 and 100 seperated by either a \" \", \",\", \":\", or \".\"");
    }
}

TEST(ParameterChecks, GroupsAreLimitedToHalfTheAgents)
{
    EXPECT_TRUE(checkGroups("7", "3").passed);
    EXPECT_EQ(checkGroups("7", "4").message, "Please enter an integer between 1 and 3");
    EXPECT_EQ(checkGroups("1", "1").message, "Please enter an integer between 1 and 0");
    EXPECT_EQ(checkGroups("100", "0").message, "Please enter an integer between 1 and 50");
    const CheckResult unreadable = checkGroups("", "2");
    EXPECT_TRUE(unreadable.unreadable);
    EXPECT_EQ(unreadable.message, "Please first input an integer for the number of agents and bar options");
    EXPECT_TRUE(checkGroups("10", "x").unreadable);
}

TEST(ParameterChecks, LifeSpan)
{
    EXPECT_TRUE(checkLifeSpan("1").passed);
    EXPECT_TRUE(checkLifeSpan("100").passed);
    for (const char* bad : {"0", "101", "fifty", ""}) {
        EXPECT_EQ(checkLifeSpan(bad).message, "Please enter an integer between 1 and 100") << bad;
    }
}

} // namespace
