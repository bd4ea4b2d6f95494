#include "ui/parameter_checks.h"

#include <charconv>
#include <vector>

namespace dramolex::ui {
namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

CheckResult fail(std::string message, bool unreadable)
{
    return {false, unreadable, std::move(message)};
}

CheckResult inRange(std::string_view text, int32_t low, int32_t high, const char* message)
{
    const auto value = readInteger(text);
    if (!value) return fail(message, true);
    if (*value < low || *value > high) return fail(message, false);
    return {};
}

} // namespace

std::optional<int32_t> readInteger(std::string_view text)
{
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
    int64_t magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    const int64_t value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(value);
}

CheckResult checkAgents(std::string_view text) { return inRange(text, 1, maxAgents, agentsMessage); }

CheckResult checkLifeSpan(std::string_view text) { return inRange(text, 1, 100, lifeSpanMessage); }

CheckResult checkGrouperPercent(std::string_view text)
{
    // Every separator ends a piece, so separators at an end or side by side
    // make empty pieces, which never read.
    std::vector<std::string_view> pieces;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == ' ' || text[i] == ',' || text[i] == '.' || text[i] == ':' || text[i] == '\t') {
            pieces.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    std::vector<int32_t> values;
    for (std::string_view piece : pieces) {
        const auto value = readInteger(piece);
        if (!value) return fail(grouperMessage, true);
        values.push_back(*value);
    }
    constexpr size_t numberOfBars = 1;
    for (int32_t v : values) {
        if (v < 1 || v > 100) return fail(grouperMessage, false);
    }
    if (values.size() > 1 && values.size() != numberOfBars) return fail(grouperMessage, false);
    return {};
}

CheckResult checkGroups(std::string_view agentsText, std::string_view groupsText)
{
    const auto agents = readInteger(agentsText);
    const auto groups = readInteger(groupsText);
    if (!agents || !groups) return fail(groupsUnreadableMessage, true);
    const int32_t limit = *agents / 2;
    if (*groups < 1 || *groups > limit) return fail(groupsRangePrefix + std::to_string(limit), false);
    return {};
}

} // namespace dramolex::ui
