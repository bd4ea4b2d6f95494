#include "run/message_text.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using dramolex::run::longestEchoedValue;
using dramolex::run::shortenedForMessage;

TEST(MessageText, ShortValuesStayAndLongOnesKeepBothEnds)
{
    const std::string longest(longestEchoedValue, 'a');
    EXPECT_EQ(shortenedForMessage(""), "");
    EXPECT_EQ(shortenedForMessage("runs/today.log"), "runs/today.log");
    EXPECT_EQ(shortenedForMessage(longest), longest);

    const std::string path = "/start" + std::string(4000, 'x') + "/name.log";
    const std::string shown = shortenedForMessage(path);
    EXPECT_EQ(shown, "/start" + std::string(54, 'x') + "..." + std::string(51, 'x') + "/name.log (4015 characters)");
    EXPECT_EQ(shortenedForMessage(longest + "b"), std::string(60, 'a') + "..." + std::string(59, 'a') + "b (161 characters)");
}

} // namespace
