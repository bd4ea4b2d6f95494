#include "run/round_log.h"

#include <charconv>
#include <string_view>

namespace dramolex::run {
namespace {

template <typename Int>
void appendInt(std::string& out, Int value)
{
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out.append(buffer, end);
}

void appendLine(std::string& out, std::string_view label, int64_t value)
{
    out.append(label);
    appendInt(out, value);
    out.push_back('\n');
}

} // namespace

void appendShortFloat(std::string& out, double value)
{
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6).ptr;
    out.append(buffer, end);
}

void appendRoundHeader(std::string& out, int64_t round)
{
    out.append("Round: ");
    appendInt(out, round);
    out.append("\n\n");
}

void appendRoundBody(std::string& out, int64_t round, const model::pass_graph& report)
{
    out.append("People with age of index: \n");
    for (int line = 0; line < 10; ++line) {
        for (int k = 0; k < 10; ++k) {
            appendInt(out, report.ageDist[static_cast<size_t>(line * 10 + k)]);
            out.append("  ");
        }
        out.push_back('\n');
    }
    if (round >= 1000) appendRoundHeader(out, round);
    appendLine(out, "AvgCapital of Groupers - AvgCapital of NonGroupers: ", report.capitalGap);
    appendLine(out, "Number of Winners: ", report.numWinners);
    out.append("Average Score of All Strategies: ");
    appendShortFloat(out, report.avgStratScore);
    out.append("\nBest Strategy's Score: ");
    appendShortFloat(out, report.bestStratScore);
    out.push_back('\n');
    appendLine(out, "Number of Deaths: ", report.numDeaths);
    out.append("-----------------------------------------------------------\n\n\n");
}

} // namespace dramolex::run
