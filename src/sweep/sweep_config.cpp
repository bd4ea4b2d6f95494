#include "sweep/sweep_config.h"

#include <algorithm>
#include <fstream>
#include <limits>
#include <nlohmann/json.hpp>
#include <sstream>
#include <toml++/toml.h>

#include "sweep/run_grid.h"

namespace dramolex::sweep {
namespace {

constexpr std::string_view runLevelKeys = "rounds, burn_in, replications, seed, [parameters]";
constexpr std::string_view perRunKeys[] = {"rounds", "burn_in", "seed"};
constexpr size_t maxPointErrors = 5;

class Reader {
public:
    Reader(const std::string& fileName, const RunModel& model) : fileName_(fileName), model_(model) {}

    void read(const toml::table& root)
    {
        for (const auto& [key, node] : root) {
            const std::string name(key.str());
            if (name == "parameters") readParameters(node);
            else if (name == "rounds") readRunLevel(node, name, config_.rounds);
            else if (name == "burn_in") readRunLevel(node, name, config_.burnIn);
            else if (name == "replications") readReplications(node);
            else if (name == "seed") readSeed(node);
            else fail(node, "unknown key '" + name + "' (accepted: " + std::string(runLevelKeys) + ")");
        }
        if (errors_.empty()) checkTotals();
        if (errors_.empty()) checkPoints();
    }

    ConfigReading result() { return {std::move(config_), std::move(errors_)}; }

    void fail(const toml::node* node, const std::string& what)
    {
        std::string where = fileName_;
        if (node != nullptr && node->source().begin.line > 0) where += ":" + std::to_string(node->source().begin.line);
        errors_.push_back(where + ": " + what);
    }
    void fail(const toml::node& node, const std::string& what) { fail(&node, what); }

private:
    void readRunLevel(const toml::node& node, const std::string& key, int64_t& into)
    {
        const auto value = node.value_exact<int64_t>();
        if (!value) return fail(node, key + ": expected an integer, got " + typeName(node));
        const std::string problem = model_.checkSetting(Setting{key, *value});
        if (!problem.empty()) return fail(node, problem);
        into = *value;
    }

    void readReplications(const toml::node& node)
    {
        const auto value = node.value_exact<int64_t>();
        if (!value) return fail(node, "replications: expected an integer, got " + typeName(node));
        if (*value < 1 || static_cast<uint64_t>(*value) > SweepConfig::maxRuns)
            return fail(node, "replications = " + std::to_string(*value) + ": out of range (accepted: 1 to " +
                                  std::to_string(SweepConfig::maxRuns) + ")");
        config_.replications = *value;
    }

    void readSeed(const toml::node& node)
    {
        const auto value = node.value_exact<int64_t>();
        if (!value) return fail(node, "seed: expected an integer, got " + typeName(node));
        if (*value < 0 || *value > std::numeric_limits<uint32_t>::max())
            return fail(node, "seed = " + std::to_string(*value) + ": out of range (accepted: 0 to 4294967295)");
        config_.seed = static_cast<uint32_t>(*value);
    }

    void readParameters(const toml::node& node)
    {
        const toml::table* table = node.as_table();
        if (table == nullptr) return fail(node, "parameters: expected a table, got " + typeName(node));
        // toml++ keeps keys sorted; the grid's axes follow the file's order.
        std::vector<std::pair<std::string, const toml::node*>> entries;
        for (const auto& [key, value] : *table) entries.emplace_back(std::string(key.str()), &value);
        std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
            const auto& pa = a.second->source().begin;
            const auto& pb = b.second->source().begin;
            return pa.line != pb.line ? pa.line < pb.line : pa.column < pb.column;
        });
        for (const auto& [key, value] : entries) readParameter(key, *value);
    }

    void readParameter(const std::string& key, const toml::node& node)
    {
        if (std::find(std::begin(perRunKeys), std::end(perRunKeys), key) != std::end(perRunKeys)) {
            const std::string why = key == "seed" ? "each run's seed is derived from the top-level base seed"
                                                  : "it applies to every run";
            return fail(node, "parameters." + key + ": set " + key + " at the top level, not under [parameters] (" +
                                  why + ")");
        }
        const bool known = std::any_of(model_.parameters.begin(), model_.parameters.end(),
                                       [&](const ParameterInfo& info) { return info.key == key; });
        if (!known) return fail(node, "parameters: unknown key '" + key + "' (accepted: " + acceptedParameters() + ")");

        Parameter parameter{key, {}, node.is_array()};
        if (const toml::array* list = node.as_array()) {
            if (list->empty()) return fail(node, key + ": an empty list gives no runs");
            for (const toml::node& element : *list) {
                if (auto value = settingValue(key, element)) {
                    if (std::find(parameter.values.begin(), parameter.values.end(), *value) != parameter.values.end())
                        fail(element, key + ": " + settingText(*value) + " is listed twice");
                    else
                        parameter.values.push_back(std::move(*value));
                }
            }
        } else if (auto value = settingValue(key, node)) {
            parameter.values.push_back(std::move(*value));
        }
        config_.parameters.push_back(std::move(parameter));
    }

    // The value of one setting, checked against the model's range.
    std::optional<SettingValue> settingValue(const std::string& key, const toml::node& node)
    {
        SettingValue value;
        if (auto integer = node.value_exact<int64_t>()) value = *integer;
        else if (auto text = node.value_exact<std::string>()) value = *text;
        else if (auto flag = node.value_exact<bool>(); flag && key == "replacement") value = std::string(*flag ? "on" : "off");
        else {
            fail(node, key + ": expected an integer or a string" + std::string(node.is_array() ? " (lists do not nest)" : "") +
                           ", got " + typeName(node));
            return std::nullopt;
        }
        const std::string problem = model_.checkSetting(Setting{key, value});
        if (!problem.empty()) {
            fail(node, problem);
            return std::nullopt;
        }
        return value;
    }

    void checkTotals()
    {
        uint64_t runs = static_cast<uint64_t>(config_.replications);
        for (const Parameter& parameter : config_.parameters) {
            if (runs > SweepConfig::maxRuns / parameter.values.size()) {
                runs = SweepConfig::maxRuns + 1;
                break;
            }
            runs *= parameter.values.size();
        }
        if (runs > SweepConfig::maxRuns)
            fail(nullptr, "the grid times the replications gives more than " + std::to_string(SweepConfig::maxRuns) + " runs");
    }

    // Cross-field rules (groups against agents, burn_in against rounds) are
    // checked for every grid point before any run starts.
    void checkPoints()
    {
        const RunGrid grid(config_);
        size_t failures = 0;
        std::vector<Setting> settings;
        for (uint64_t point = 0; point < grid.points(); ++point) {
            grid.pointSettings(point, settings);
            const std::string problem = model_.checkRun(config_.rounds, config_.burnIn, settings);
            if (problem.empty()) continue;
            if (++failures <= maxPointErrors) {
                const std::string where = grid.describePoint(point);
                fail(nullptr, (where.empty() ? "" : where + ": ") + problem);
            }
        }
        if (failures > maxPointErrors)
            fail(nullptr, std::to_string(failures) + " grid points in all cannot be run");
    }

    std::string acceptedParameters() const
    {
        std::string text;
        for (const ParameterInfo& info : model_.parameters) {
            if (std::find(std::begin(perRunKeys), std::end(perRunKeys), info.key) != std::end(perRunKeys)) continue;
            if (!text.empty()) text += ", ";
            text += info.key;
        }
        return text;
    }

    static std::string typeName(const toml::node& node)
    {
        switch (node.type()) {
        case toml::node_type::table: return "a table";
        case toml::node_type::array: return "a list";
        case toml::node_type::string: return "a string";
        case toml::node_type::integer: return "an integer";
        case toml::node_type::floating_point: return "a decimal number";
        case toml::node_type::boolean: return "a boolean";
        default: return "a date or time";
        }
    }

    const std::string& fileName_;
    const RunModel& model_;
    SweepConfig config_;
    std::vector<std::string> errors_;
};

} // namespace

std::string settingText(const SettingValue& value)
{
    if (const auto* integer = std::get_if<int64_t>(&value)) return std::to_string(*integer);
    return std::get<std::string>(value);
}

uint64_t SweepConfig::points() const
{
    uint64_t count = 1;
    for (const Parameter& parameter : parameters) count *= parameter.values.size();
    return count;
}

std::string SweepConfig::canonicalJson() const
{
    auto json = [](const SettingValue& value) -> nlohmann::ordered_json {
        if (const auto* integer = std::get_if<int64_t>(&value)) return *integer;
        return std::get<std::string>(value);
    };
    nlohmann::ordered_json parametersJson = nlohmann::ordered_json::object();
    for (const Parameter& parameter : parameters) {
        if (!parameter.isList) {
            parametersJson[parameter.key] = json(parameter.values.front());
            continue;
        }
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        for (const SettingValue& value : parameter.values) list.push_back(json(value));
        parametersJson[parameter.key] = std::move(list);
    }
    nlohmann::ordered_json whole;
    whole["rounds"] = rounds;
    whole["burn_in"] = burnIn;
    whole["replications"] = replications;
    whole["seed"] = seed;
    whole["parameters"] = std::move(parametersJson);
    return whole.dump();
}

ConfigReading readSweepConfig(std::string_view text, const std::string& fileName, const RunModel& model)
{
    Reader reader(fileName, model);
    try {
        const toml::table root = toml::parse(text, fileName);
        reader.read(root);
    } catch (const toml::parse_error& error) {
        const auto& where = error.source().begin;
        ConfigReading failed;
        failed.errors.push_back(fileName + ":" + std::to_string(where.line) + ":" + std::to_string(where.column) +
                                ": not valid TOML: " + std::string(error.description()));
        return failed;
    }
    return reader.result();
}

ConfigReading readSweepConfigFile(const std::string& path, const RunModel& model)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ConfigReading failed;
        failed.errors.push_back(path + ": cannot read the config file");
        return failed;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return readSweepConfig(text.str(), path, model);
}

} // namespace dramolex::sweep
