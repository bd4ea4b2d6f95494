#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace dramolex::sweep {

// Shard I of N runs the runs whose number modulo N is I.
struct Shard {
    uint64_t index = 0;
    uint64_t count = 1;

    bool whole() const { return count == 1; }
    bool owns(uint64_t run) const { return run % count == index; }
    // "" for the whole sweep, else "-I-of-N": summary-0-of-3.csv, manifest-0-of-3.json.
    std::string fileSuffix() const;
};

struct ShardParse {
    Shard shard;
    std::string error;  // one line naming the value and what is accepted
};

// "I/N" with 0 <= I < N, or "slurm": I = SLURM_ARRAY_TASK_ID minus
// SLURM_ARRAY_TASK_MIN (0 when unset), N = SLURM_ARRAY_TASK_COUNT.
ShardParse parseShard(const std::string& text, const std::function<const char*(const char*)>& getEnv);

} // namespace dramolex::sweep
