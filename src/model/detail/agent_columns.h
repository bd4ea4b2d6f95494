#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace dramolex::model::detail {

// The state of every agent, one column per field instead of one object per
// agent. Sides are bit planes: one bit per agent in 64-bit words, one plane per
// (history index, strategy slot), stored word by word so that the slots of one
// history index for 64 agents are adjacent, and a newborn's whole table is one
// run of memory. Scores are rows: one int32 per agent, one row per slot.
// Columns are padded to whole words of 64 agents; padding lanes are never
// read back.
struct AgentColumns {
    static constexpr int laneBits = 64;

    int32_t numAgents = 0;
    int32_t words = 0;        // 64-agent words per plane
    int32_t numStrategies = 0;
    int32_t numIndices = 0;   // history indices: 2^memory

    // sides[(w * numIndices + h) * numStrategies + s]: bit j is the side that
    // slot s of agent 64w+j chooses for history index h.
    std::vector<uint64_t> sides;
    // played[w * numStrategies + s]: bit j is set when agent 64w+j plays slot s.
    std::vector<uint64_t> played;
    // scores[s * stride() + i]
    std::vector<int32_t> scores;

    std::vector<int32_t> capital;
    std::vector<int32_t> record;       // highest score the agent ever recorded
    std::vector<int32_t> playedSlot;
    std::vector<int32_t> age;
    std::vector<int32_t> lifeSpan;
    std::vector<int32_t> groupIndex;
    std::vector<uint64_t> grouped;     // bit set while groupIndex is not -1

    void resize(int32_t agents, int32_t strategies, int32_t memory)
    {
        numAgents = agents;
        words = (agents + laneBits - 1) / laneBits;
        numStrategies = strategies;
        numIndices = 1 << memory;
        const size_t lanes = static_cast<size_t>(stride());
        sides.assign(static_cast<size_t>(numIndices) * static_cast<size_t>(strategies) * static_cast<size_t>(words), 0);
        played.assign(static_cast<size_t>(strategies) * static_cast<size_t>(words), 0);
        scores.assign(static_cast<size_t>(strategies) * lanes, 0);
        capital.assign(lanes, 0);
        record.assign(lanes, 0);
        playedSlot.assign(lanes, 0);
        age.assign(lanes, 0);
        lifeSpan.assign(lanes, -1);
        groupIndex.assign(lanes, -1);
        grouped.assign(static_cast<size_t>(words), 0);
    }

    // Score rows are one cache line longer than the agents need: rows a power
    // of two apart would all fall into the same cache sets.
    int32_t stride() const { return words * laneBits + 16; }

    static size_t wordOf(int32_t agent) { return static_cast<size_t>(agent) / laneBits; }
    static uint64_t bitOf(int32_t agent) { return uint64_t{1} << (static_cast<uint32_t>(agent) % laneBits); }

    // The numStrategies words of word w for history index h.
    uint64_t* sideWords(size_t w, int32_t h)
    {
        return sides.data() + (w * static_cast<size_t>(numIndices) + static_cast<size_t>(h)) *
                                  static_cast<size_t>(numStrategies);
    }
    const uint64_t* sideWords(size_t w, int32_t h) const
    {
        return sides.data() + (w * static_cast<size_t>(numIndices) + static_cast<size_t>(h)) *
                                  static_cast<size_t>(numStrategies);
    }
    uint64_t* playedWords(size_t w) { return played.data() + w * static_cast<size_t>(numStrategies); }
    const uint64_t* playedWords(size_t w) const { return played.data() + w * static_cast<size_t>(numStrategies); }
    int32_t* scoreRow(int32_t s) { return scores.data() + static_cast<size_t>(s) * static_cast<size_t>(stride()); }
    const int32_t* scoreRow(int32_t s) const
    {
        return scores.data() + static_cast<size_t>(s) * static_cast<size_t>(stride());
    }
    int32_t& score(int32_t s, int32_t agent) { return scoreRow(s)[agent]; }
    int32_t score(int32_t s, int32_t agent) const { return scoreRow(s)[agent]; }

    int32_t side(int32_t agent, int32_t s, int32_t h) const
    {
        return (sideWords(wordOf(agent), h)[s] & bitOf(agent)) != 0 ? 1 : 0;
    }
    void setSide(int32_t agent, int32_t s, int32_t h, int32_t value)
    {
        uint64_t& word = sideWords(wordOf(agent), h)[s];
        word = (word & ~bitOf(agent)) | (value != 0 ? bitOf(agent) : 0);
    }

    void setPlayed(int32_t agent, int32_t slot)
    {
        const size_t w = wordOf(agent);
        const uint64_t bit = bitOf(agent);
        playedWords(w)[playedSlot[static_cast<size_t>(agent)]] &= ~bit;
        playedWords(w)[slot] |= bit;
        playedSlot[static_cast<size_t>(agent)] = slot;
    }

    void setGroupIndex(int32_t agent, int32_t group)
    {
        groupIndex[static_cast<size_t>(agent)] = group;
        uint64_t& word = grouped[wordOf(agent)];
        word = (word & ~bitOf(agent)) | (group != -1 ? bitOf(agent) : 0);
    }
};

} // namespace dramolex::model::detail
