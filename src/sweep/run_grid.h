#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sweep/run_model.h"
#include "sweep/sweep_config.h"

namespace dramolex::sweep {

// The runs of a sweep and their numbers. Grid points are numbered like nested
// loops over the [parameters] lists in file order, the last list varying
// fastest; each point is repeated `replications` times in a row, so
//   run = point * replications + replication.
class RunGrid {
public:
    explicit RunGrid(const SweepConfig& config) : config_(config) {}

    uint64_t points() const { return config_.points(); }
    uint64_t runs() const { return config_.runs(); }
    uint64_t pointOf(uint64_t run) const { return run / static_cast<uint64_t>(config_.replications); }
    uint64_t replicationOf(uint64_t run) const { return run % static_cast<uint64_t>(config_.replications); }

    // The settings of a grid point, every [parameters] key in file order; reuses `into`.
    void pointSettings(uint64_t point, std::vector<Setting>& into) const;
    // "agents = 101, memory = 3": the point's value on every list (empty without lists).
    std::string describePoint(uint64_t point) const;

private:
    const SweepConfig& config_;
};

// Every run's seed. A run's seed is the low 32 bits of the first SplitMix64
// output from state (base seed * 2^32 + run). A seed of 0 (which the C
// library's srand treats like 1) or one that a lower-numbered run already has
// is replaced by the run's next SplitMix64 outputs until it is non-zero and
// not the first choice of any run nor taken by a lower-numbered run. So seeds
// are unique in a sweep and depend only on the base seed and the run number
// (and, for the rare replaced seed, on the number of runs).
class SeedTable {
public:
    SeedTable(uint32_t baseSeed, uint64_t runs);
    uint32_t operator[](uint64_t run) const { return seeds_[run]; }
    uint64_t size() const { return seeds_.size(); }
    // How many runs got a replacement seed.
    uint64_t replaced() const { return replaced_; }

    static uint32_t firstChoice(uint32_t baseSeed, uint64_t run);

private:
    std::vector<uint32_t> seeds_;
    uint64_t replaced_ = 0;
};

} // namespace dramolex::sweep
