#include "sweep/summary_row.h"

#include <algorithm>
#include <charconv>

namespace dramolex::sweep {

std::string SummaryFormat::header() const
{
    std::string text = "run,replication,seed";
    for (const ParameterInfo& info : model_.parameters) text += "," + info.key;
    for (const std::string& name : model_.observables) text += "," + name;
    text += ",seconds,status";
    return text;
}

void SummaryFormat::appendRow(std::string& out, const RunTask& task, std::string_view observables, double seconds,
                              bool done) const
{
    out += std::to_string(task.run);
    out += ',';
    out += std::to_string(task.replication);
    out += ',';
    out += std::to_string(task.seed);
    for (const ParameterInfo& info : model_.parameters) {
        out += ',';
        const auto given = std::find_if(task.parameters.begin(), task.parameters.end(),
                                        [&](const Setting& setting) { return setting.key == info.key; });
        out += given == task.parameters.end() ? info.defaultText : settingText(given->value);
    }
    if (!model_.observables.empty()) {
        out += ',';
        if (done) out += observables;
        else out.append(model_.observables.size() - 1, ',');
    }
    char number[32];
    const auto end = std::to_chars(number, number + sizeof number, seconds, std::chars_format::fixed, 6).ptr;
    out += ',';
    out.append(number, end);
    out += done ? ",done\n" : ",failed\n";
}

std::string_view SummaryFormat::status(std::string_view row)
{
    const size_t comma = row.rfind(',');
    return comma == std::string_view::npos ? std::string_view() : row.substr(comma + 1);
}

size_t SummaryFormat::columnsOf(std::string_view row)
{
    return static_cast<size_t>(std::count(row.begin(), row.end(), ',')) + 1;
}

std::string SummaryFormat::withoutSeconds(std::string_view row)
{
    const size_t statusComma = row.rfind(',');
    if (statusComma == std::string_view::npos || statusComma == 0) return std::string(row);
    const size_t secondsComma = row.rfind(',', statusComma - 1);
    if (secondsComma == std::string_view::npos) return std::string(row);
    return std::string(row.substr(0, secondsComma)) + std::string(row.substr(statusComma));
}

} // namespace dramolex::sweep
