#include "run/round_csv.h"

#include <charconv>

#include "run/series.h"

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
    out.append("round");
    for (const Series* s : statisticsTable) {
        out.push_back(',');
        out.append(s->csvColumn);
    }
    out.append(",attendance,result\n");
}

void appendCsvRow(std::string& out, int64_t round, const model::pass_graph& report)
{
    appendField(out, round, ',');
    for (const Series* s : statisticsTable) {
        if (s->whole) {
            appendField(out, static_cast<int64_t>(s->value(report)), ',');
        } else {
            appendField(out, s->value(report), ',');
        }
    }
    appendField(out, report.attendance, ',');
    appendField(out, report.result, '\n');
}

} // namespace dramolex::run
