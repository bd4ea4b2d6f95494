#pragma once

#include <cstdint>
#include <vector>

#include "model/detail/agent_columns.h"
#include "model/detail/learning.h"
#include "model/group.h"
#include "model/model_options.h"
#include "model/round_report.h"
#include "random/glibc_random.h"
#include "random/ziggurat.h"

namespace dramolex::model {

// The same population as Town, round for round and draw for draw, stored as
// columns across agents (strategy sides as bit planes, scores as rows) so that
// a round is a few vector passes. Town stays the reference it is tested
// against; this is the class runs use.
class FastTown {
public:
    static constexpr int32_t noMortality = -1;
    static constexpr int32_t maxAgents = 16348;

    FastTown(int32_t numAgents, int32_t grouperPercent, int32_t avgAge, int32_t numGroups, uint32_t seed);
    FastTown(int32_t numAgents, int32_t grouperPercent, int32_t avgAge, int32_t numGroups, uint32_t seed,
             random::Ziggurat& normal);
    // A member of the model family: fixed life spans from the process-wide
    // normal generator, seeded ones from a generator of this population's own.
    FastTown(int32_t numAgents, int32_t grouperPercent, int32_t avgAge, int32_t numGroups, uint32_t seed,
             const ModelOptions& options);
    // The same, with fixed life spans from the given generator instead.
    FastTown(int32_t numAgents, int32_t grouperPercent, int32_t avgAge, int32_t numGroups, uint32_t seed,
             const ModelOptions& options, random::Ziggurat& normal);

    // Plays one round; the same record is returned (and overwritten) each time.
    const pass_graph& turn();

    int32_t getSti() const { return sti; }
    // The last results, the latest in bit 0: the next round's history index.
    uint32_t getHistoryBits() const { return static_cast<uint32_t>(nextSti); }
    const pass_graph& getReport() const { return report; }
    int32_t getNumAgents() const { return numAgents; }
    int32_t getNumGroups() const { return numGroups; }
    int32_t getGrouperPercent() const { return grouperPercent; }
    int32_t getAvgAge() const { return avgAge; }
    const ModelOptions& getOptions() const { return options; }

    int32_t capitalOf(int32_t slot) const { return columns.capital[static_cast<size_t>(slot)]; }
    int32_t groupIndexOf(int32_t slot) const { return columns.groupIndex[static_cast<size_t>(slot)]; }
    int32_t ageOf(int32_t slot) const { return columns.age[static_cast<size_t>(slot)]; }
    int32_t playedStrategyOf(int32_t slot) const { return columns.playedSlot[static_cast<size_t>(slot)]; }

    // The rest of an agent's state, for comparing with the reference.
    int32_t lifeSpanOf(int32_t slot) const { return columns.lifeSpan[static_cast<size_t>(slot)]; }
    int32_t recordScoreOf(int32_t slot) const { return columns.record[static_cast<size_t>(slot)]; }
    int32_t scoreOf(int32_t slot, int32_t strategy) const { return columns.score(strategy, slot); }
    int32_t sideOf(int32_t slot, int32_t strategy, int32_t historyIndex) const
    {
        return columns.side(slot, strategy, historyIndex);
    }

    // Whether rounds run through the vector pass in this build.
    static bool vectorPassBuilt();
    // Rounds before the scalar path takes over from the vector pass for good.
    static constexpr int64_t vectorRoundLimit = int64_t{1} << 26;

    // For tests only: count rounds from the given number, to reach the
    // hand-over to the scalar path without playing 67 million rounds.
    void setRoundsPlayedForTesting(int64_t rounds) { roundsPlayed = rounds; }

private:
    FastTown(int32_t numAgents, int32_t grouperPercent, int32_t avgAge, int32_t numGroups, uint32_t seed,
             const ModelOptions& options, random::Ziggurat* fixedNormal);
    void createAgents();
    void newAgent(int32_t slot);
    void newborns(size_t word, uint64_t born);
    int32_t herd();
    int32_t leaderStep();
    int32_t groupStep();
    void learn(int32_t result);
    void popControl();
    random::Ziggurat& normal() { return sharedNormal != nullptr ? *sharedNormal : ownNormal; }
    int32_t countSideOne() const;

    int32_t avgAge;
    int32_t sti = 0;
    int32_t nextSti = 0;
    pass_graph report{};
    int32_t numAgents;
    int32_t numGroups;
    int32_t grouperPercent;
    ModelOptions options;
    random::GlibcRandom uniform;
    // Life spans come from the caller's generator, or from this one when
    // the population owns its own.
    random::Ziggurat* sharedNormal;
    random::Ziggurat ownNormal;
    float capitalLimit;
    int64_t roundsPlayed = 0;

    detail::AgentColumns columns;
    std::vector<uint64_t> decisions;      // this round's sides, one bit per agent
    std::vector<Group> groups;            // suggestions only: member lists live in memberGroup and memberSlots
    std::vector<int32_t> memberGroup;     // group whose member list names the slot, or -1
    std::vector<int32_t> memberSlots;     // slots named by some member list, in slot order
    int32_t groupedAlive = 0;
    detail::Learning::Scratch scratch;    // room for bulk draws, kept between rounds
    std::vector<Group::Tally> tallies;
};

} // namespace dramolex::model
