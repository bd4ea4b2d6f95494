#include "run/run_summary.h"

#include <charconv>
#include <cmath>

#include "run/version.h"

namespace dramolex::run {
namespace {

void appendNumber(std::string& out, double value)
{
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out.append(buffer, end);
}

void appendString(std::string& out, std::string_view text)
{
    out.push_back('"');
    for (const char c : text) {
        if (c == '"' || c == '\\') out.push_back('\\');
        if (static_cast<unsigned char>(c) < 0x20) continue;  // none of ours has control characters
        out.push_back(c);
    }
    out.push_back('"');
}

void appendKey(std::string& out, std::string_view key, bool& first)
{
    if (!first) out.push_back(',');
    first = false;
    appendString(out, key);
    out.push_back(':');
}

void appendValue(std::string& out, const SettingValue& value)
{
    if (const auto* number = std::get_if<int64_t>(&value)) {
        out.append(std::to_string(*number));
    } else {
        appendString(out, std::get<std::string>(value));
    }
}

bool isRunSetting(std::string_view key) { return key == "rounds" || key == "seed" || key == "burn_in"; }

} // namespace

void forEachObservable(const RunSummary& s,
                       const std::function<void(std::string_view name, std::optional<double> value)>& visit)
{
    visit("alpha", s.alpha);
    visit("sigma2_over_n", s.sigma2_over_n);
    visit("h_over_n", s.h_over_n);
    visit("frozen_fraction", s.frozen_fraction);
    visit("mean_attendance", s.mean_attendance);
    visit("mean_winners", s.mean_winners);
    visit("mean_deaths", s.mean_deaths);
    visit("mean_age", s.mean_age);
    visit("mean_capital_groupers", s.mean_capital_groupers);
    visit("mean_capital_nongroupers", s.mean_capital_nongroupers);
}

std::string summaryJson(const RunConfig& config, const RunSummary& summary)
{
    std::string out = "{";
    bool first = true;
    appendKey(out, "program", first);
    appendString(out, "dramolex");
    appendKey(out, "version", first);
    appendString(out, programVersion());
    appendKey(out, "git_commit", first);
    appendString(out, gitCommit());

    appendKey(out, "parameters", first);
    out.push_back('{');
    bool firstParameter = true;
    for (const SettingInfo& info : settingInfos()) {
        if (isRunSetting(info.key)) continue;
        appendKey(out, info.key, firstParameter);
        appendValue(out, settingValue(config, info.key));
    }
    out.push_back('}');
    for (const std::string_view key : {"seed", "rounds", "burn_in"}) {
        appendKey(out, key, first);
        appendValue(out, settingValue(config, key));
    }
    appendKey(out, "rounds_played", first);
    out.append(std::to_string(summary.rounds_played));
    appendKey(out, "rounds_measured", first);
    out.append(std::to_string(summary.rounds_measured));

    appendKey(out, "observables", first);
    out.push_back('{');
    bool firstObservable = true;
    forEachObservable(summary, [&](std::string_view name, std::optional<double> value) {
        appendKey(out, name, firstObservable);
        if (value && std::isfinite(*value)) {
            appendNumber(out, *value);
        } else {
            out.append("null");
        }
    });
    out.append("}}");
    return out;
}

} // namespace dramolex::run
