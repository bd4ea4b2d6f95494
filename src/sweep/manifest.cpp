#include "sweep/manifest.h"

#include <cstdio>
#include <ctime>
#include <fstream>
#include <nlohmann/json.hpp>
#include <unistd.h>

#include "sweep/append_file.h"

namespace dramolex::sweep {

using Json = nlohmann::ordered_json;

std::string writeManifest(const std::string& path, const Manifest& m, const SeedTable& seeds)
{
    Json json;
    json["program"] = "dramolex-sweep";
    json["version"] = m.version;
    json["git_commit"] = m.gitCommit;
    json["status"] = m.status;
    json["config_file"] = m.configFile;
    json["config"] = Json::parse(m.configJson);
    json["config_sha256"] = m.configSha256;
    json["base_seed"] = m.baseSeed;
    json["runs_total"] = m.runsTotal;
    json["shard"] = {{"index", m.shard.index}, {"count", m.shard.count}};
    json["runs_in_shard"] = m.runsInShard;
    json["runs_done"] = m.runsDone;
    json["runs_failed"] = m.runsFailed;
    Json failures = Json::array();
    for (const RunFailure& failure : m.failures) failures.push_back({{"run", failure.run}, {"message", failure.message}});
    json["failures"] = std::move(failures);
    json["started"] = m.started;
    json["ended"] = m.ended;
    json["host"] = m.host;
    json["jobs"] = m.jobs;
    json["rounds_csv"] = m.roundsCsv;
    json["summary_file"] = m.summaryFile;
    Json outputs = Json::object();
    for (const OutputDigest& output : m.outputs) outputs[output.file] = {{"sha256", output.sha256}, {"bytes", output.bytes}};
    json["outputs"] = std::move(outputs);

    // The seeds go last, written in pieces: a sweep may have millions.
    std::string text = json.dump(2);
    text.pop_back();  // the closing brace
    while (!text.empty() && text.back() == '\n') text.pop_back();
    text += ",\n  \"seeds\": [";
    const std::string temporaryPath = path + ".writing";
    AppendFile file;
    bool good = file.openEmpty(temporaryPath);
    for (uint64_t run = 0; good && run < seeds.size(); ++run) {
        if (run > 0) text += ',';
        text += std::to_string(seeds[run]);
        if (text.size() >= (1 << 16)) {
            good = file.write(text);
            text.clear();
        }
    }
    text += "]\n}\n";
    good = good && file.write(text) && file.close();
    if (!good) {
        const std::string why = file.error();
        std::remove(temporaryPath.c_str());
        return why;
    }
    if (std::rename(temporaryPath.c_str(), path.c_str()) != 0) {
        std::remove(temporaryPath.c_str());
        return path + ": cannot replace the manifest";
    }
    return {};
}

std::optional<Manifest> readManifest(const std::string& path, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot read";
        return std::nullopt;
    }
    try {
        const Json json = Json::parse(in);
        Manifest m;
        m.configJson = json.at("config").dump();
        m.configSha256 = json.at("config_sha256").get<std::string>();
        m.baseSeed = json.at("base_seed").get<uint32_t>();
        m.runsTotal = json.at("runs_total").get<uint64_t>();
        m.shard.index = json.at("shard").at("index").get<uint64_t>();
        m.shard.count = json.at("shard").at("count").get<uint64_t>();
        m.runsDone = json.at("runs_done").get<uint64_t>();
        m.status = json.at("status").get<std::string>();
        m.roundsCsv = json.at("rounds_csv").get<bool>();
        m.summaryFile = json.at("summary_file").get<std::string>();
        return m;
    } catch (const std::exception& problem) {
        error = path + ": not a sweep manifest (" + problem.what() + ")";
        return std::nullopt;
    }
}

std::string utcNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

std::string hostName()
{
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return "unknown";
    return name;
}

} // namespace dramolex::sweep
