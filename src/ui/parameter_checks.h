#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The rules of the parameter window's boxes, free of any toolkit.
namespace dramolex::ui {

// A decimal 32-bit signed integer with optional white space around it and
// an optional leading sign; anything else does not read.
std::optional<int32_t> readInteger(std::string_view text);

struct CheckResult {
    bool passed = true;
    // Set when the text did not read at all (step 1 of a check), as opposed
    // to reading but lying outside the range.
    bool unreadable = false;
    std::string message;  // shown beside the box when the check fails
};

constexpr int32_t maxAgents = 16348;

CheckResult checkAgents(std::string_view text);
CheckResult checkGrouperPercent(std::string_view text);
CheckResult checkGroups(std::string_view agentsText, std::string_view groupsText);
CheckResult checkLifeSpan(std::string_view text);

inline const char* const agentsMessage = "Please enter an integer between 1 and 16,348";
inline const char* const grouperMessage =
    "Please enter integers between 1 and 100 seperated by either a \" \", \",\", \":\", or \".\"";
inline const char* const groupsUnreadableMessage =
    "Please first input an integer for the number of agents and bar options";
inline const char* const groupsRangePrefix = "Please enter an integer between 1 and ";
inline const char* const lifeSpanMessage = "Please enter an integer between 1 and 100";

} // namespace dramolex::ui
