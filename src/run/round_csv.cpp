#include "run/round_csv.h"

#include <charconv>

namespace dramolex::run {
namespace {

template <typename Number>
void appendField(std::string& out, Number value, char separator)
{
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out.append(buffer, end);
    out.push_back(separator);
}

} // namespace

void appendCsvHeader(std::string& out)
{
    out.append("round,capital_gap,winners,avg_strategy_score,best_strategy_score,deaths,attendance,result\n");
}

void appendCsvRow(std::string& out, int64_t round, const model::pass_graph& report)
{
    appendField(out, round, ',');
    appendField(out, report.capitalGap, ',');
    appendField(out, report.numWinners, ',');
    appendField(out, report.avgStratScore, ',');
    appendField(out, report.bestStratScore, ',');
    appendField(out, report.numDeaths, ',');
    appendField(out, report.attendance, ',');
    appendField(out, report.result, '\n');
}

} // namespace dramolex::run
