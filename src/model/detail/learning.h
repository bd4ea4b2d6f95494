#pragma once

#include <cstdint>
#include <vector>

#include "model/detail/agent_columns.h"
#include "model/model_options.h"
#include "random/glibc_random.h"

namespace dramolex::model::detail {

// The per-agent steps of the model on the column store, one agent at a time:
// every draw is made in the order the reference Agent makes it. Used for the
// agents the block pass hands over, for the last partial word, and as the
// whole learning step where no vector pass is built.
class Learning {
public:
    // Working memory kept between rounds so that no round allocates.
    struct Scratch {
        std::vector<int32_t> draws;
        std::vector<uint64_t> bits;
    };

    Learning(AgentColumns& columns, random::GlibcRandom& source, const ModelOptions& modelOptions, Scratch& memory)
        : a(columns), uniform(source), options(modelOptions), scratch(memory)
    {
    }

    // Fresh strategies for the agents of word w whose bits are set in
    // newborns, in agent order, each in slot order; every score 100, and under
    // the best rule the slot each starts with. All their draws are taken in
    // one block and each bit plane is written once.
    void drawNewborns(size_t w, uint64_t newborns);

    // The whole learning step of one agent, with saturating arithmetic.
    // Returns the agent's average strategy score.
    int32_t learn(int32_t agent, int32_t result, int32_t sti, bool won);

    // The rest of the learning step once capital and scores are updated:
    // replacement draws in slot order, then the choice of the played slot.
    void finish(int32_t agent);

    // Under the best rule: plays the r-th of the tied slots holding the
    // highest score top, for one draw r = rand() % tied.
    void playOneOf(int32_t agent, int32_t top, int32_t tied);

    // playOneOf for every agent of word w whose bit is set in ties, in agent
    // order, with top[j] and tied[j] for agent 64w+j: the draws are taken in
    // one block. Only for a word in which no other agent draws.
    void playTied(size_t w, uint64_t ties, const int32_t* top, const int32_t* tied);

    // Sum of the agent's scores divided by the number of slots, truncated.
    int32_t average(int32_t agent) const;

private:
    // The slot played among the tied ones for one draw, and the move to it.
    void playDrawn(int32_t agent, int32_t top, int32_t tied, int32_t draw);
    void redraw(int32_t agent, int32_t slot);
    void choosePlayed(int32_t agent);

    AgentColumns& a;
    random::GlibcRandom& uniform;
    const ModelOptions& options;
    Scratch& scratch;
};

} // namespace dramolex::model::detail
