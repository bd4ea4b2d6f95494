#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "model/agent.h"
#include "model/group.h"
#include "model/model_options.h"
#include "model/round_report.h"
#include "random/glibc_random.h"
#include "random/ziggurat.h"

namespace dramolex::model {

// The simulated population. Owns its agents, groups, outcome history, round
// report and its own uniform random source, so a seed fully determines a run
// (together with the state of the process-wide normal generator when life
// spans are fixed; with seeded life spans the population owns that as well).
class Town {
public:
    static constexpr int32_t noMortality = -1;
    static constexpr int32_t maxAgents = 16348;

    // Values must lie in the ranges the parameter window enforces:
    // numAgents 1..16348, grouperPercent 0..100, avgAge -1 or 1..100,
    // numGroups 1..max(1, numAgents / 2); options in the ranges of ModelOptions.
    // The default model with life spans from the process-wide normal generator.
    Town(int32_t numAgents, int32_t grouperPercent, int32_t avgAge, int32_t numGroups, uint32_t seed);
    // The default model with life spans from the given normal generator.
    Town(int32_t numAgents, int32_t grouperPercent, int32_t avgAge, int32_t numGroups, uint32_t seed,
         random::Ziggurat& normal);
    // A member of the model family; the defaults give the constructors above.
    // Fixed life spans come from the process-wide normal generator, seeded
    // ones from a generator of this population's own, started from the seed.
    Town(int32_t numAgents, int32_t grouperPercent, int32_t avgAge, int32_t numGroups, uint32_t seed,
         const ModelOptions& options);
    // The same, with fixed life spans from the given generator instead.
    Town(int32_t numAgents, int32_t grouperPercent, int32_t avgAge, int32_t numGroups, uint32_t seed,
         const ModelOptions& options, random::Ziggurat& normal);

    // Plays one round; the same record is returned (and overwritten) each time.
    const pass_graph& turn();

    // Ages every agent, replaces those that die, counts ages and deaths.
    void popControl();

    std::span<const Agent> agents() const { return agents_; }
    std::span<const Group> groups() const { return groups_; }
    // The three most recent results, entry 0 the latest; results older than
    // the memory reads as 0.
    std::array<int32_t, 3> getHistory() const;
    // The last memory results, the latest in bit 0: the next round's index.
    uint32_t getHistoryBits() const { return history; }
    int32_t getSti() const { return sti; }
    const pass_graph& getReport() const { return report; }
    int32_t getNumAgents() const { return numAgents; }
    int32_t getNumGroups() const { return numGroups; }
    int32_t getGrouperPercent() const { return grouperPercent; }
    int32_t getAvgAge() const { return avgAge; }
    const ModelOptions& getOptions() const { return options; }

    // Per-agent state by slot, the same accessors on every population class,
    // so observers need not know how agents are stored.
    int32_t capitalOf(int32_t slot) const { return agents_[static_cast<size_t>(slot)].getCapital(); }
    int32_t groupIndexOf(int32_t slot) const { return agents_[static_cast<size_t>(slot)].getGroupIndex(); }
    int32_t ageOf(int32_t slot) const { return agents_[static_cast<size_t>(slot)].getAge(); }
    int32_t playedStrategyOf(int32_t slot) const { return agents_[static_cast<size_t>(slot)].getBestIndex(); }

private:
    void createGroups(int32_t numGrps);
    void createAgents(int32_t count);
    Agent newAgent();
    int32_t herd();
    int32_t leaderStep();
    int32_t groupStep();

    Town(int32_t numAgents, int32_t grouperPercent, int32_t avgAge, int32_t numGroups, uint32_t seed,
         const ModelOptions& options, random::Ziggurat* sharedNormal);
    random::Ziggurat& normalSource() { return sharedNormal != nullptr ? *sharedNormal : ownNormal; }

    int32_t avgAge;
    uint32_t history = 0;
    int32_t sti = 0;
    pass_graph report{};
    std::vector<Agent> agents_;
    std::vector<Group> groups_;
    int32_t numAgents;
    int32_t numGroups;
    int32_t grouperPercent;
    ModelOptions options;
    random::GlibcRandom uniform;
    // Life spans come from a shared generator (fixed) or, when that is null,
    // from the population's own (seeded), which shares no state with others.
    random::Ziggurat* sharedNormal;
    random::Ziggurat ownNormal;
    // Agents whose group index is not -1; falls as grouped agents die.
    int32_t groupedAlive = 0;
    // For each slot, the group whose member list names it, or -1; fixed at
    // construction like the member lists.
    std::vector<int32_t> memberGroup;
    // Scratch space of the herding steps, allocated once.
    std::vector<int32_t> herdDraws;
    std::vector<Group::Tally> tallies;
};

} // namespace dramolex::model
