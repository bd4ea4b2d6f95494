#include "run/round_log.h"

#include <charconv>
#include <string_view>

#include "run/series.h"

namespace dramolex::run {
namespace {

template <typename Int>
void appendInt(std::string& out, Int value)
{
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out.append(buffer, end);
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
    out.append(seriesTable[6].logText);
    out.push_back('\n');
    for (int line = 0; line < 10; ++line) {
        for (int k = 0; k < 10; ++k) {
            appendInt(out, report.ageDist[static_cast<size_t>(line * 10 + k)]);
            out.append("  ");
        }
        out.push_back('\n');
    }
    if (round >= 1000) appendRoundHeader(out, round);
    for (const Series* s : statisticsTable) {
        out.append(s->logText);
        if (s->whole) {
            appendInt(out, static_cast<int64_t>(s->value(report)));
        } else {
            appendShortFloat(out, s->value(report));
        }
        out.push_back('\n');
    }
    out.append("-----------------------------------------------------------\n\n\n");
}

} // namespace dramolex::run
