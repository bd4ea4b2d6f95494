#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sweep/run_grid.h"
#include "sweep/shard.h"

namespace dramolex::sweep {

struct RunFailure {
    uint64_t run;
    std::string message;
};

struct OutputDigest {
    std::string file;  // name inside the output directory
    std::string sha256;
    uint64_t bytes = 0;
};

// manifest.json (manifest-I-of-N.json for a shard): how the outputs beside it
// were made. Written through a temporary file and a rename.
struct Manifest {
    std::string version;
    std::string gitCommit;
    std::string configFile;
    std::string configJson;    // SweepConfig::canonicalJson()
    std::string configSha256;  // of configJson; shards of one sweep share it
    uint32_t baseSeed = 0;
    uint64_t runsTotal = 0;
    Shard shard;
    uint64_t runsInShard = 0;
    uint64_t runsDone = 0;    // rows with status done in the summary
    uint64_t runsFailed = 0;  // runs that failed in this invocation
    std::vector<RunFailure> failures;
    std::string status;       // running, done, runs failed, interrupted, write error
    std::string started;
    std::string ended;
    std::string host;
    unsigned jobs = 1;
    bool roundsCsv = false;
    std::string summaryFile;
    std::vector<OutputDigest> outputs;
};

// Writes the manifest with the per-run seeds of the whole sweep
// ("seeds": seed of run 0, run 1, ...). "" or the reason.
std::string writeManifest(const std::string& path, const Manifest& manifest, const SeedTable& seeds);

// The parts a resume or a merge checks; error is set when the file is unreadable.
std::optional<Manifest> readManifest(const std::string& path, std::string& error);

std::string utcNow();
std::string hostName();

} // namespace dramolex::sweep
