#include "model/detail/learning.h"

#include <limits>

#include "model/detail/block_pass.h"

namespace dramolex::model::detail {

namespace {

constexpr int32_t initialScore = 100;

int32_t saturatingStep(int32_t value, bool up)
{
    if (up) return value == std::numeric_limits<int32_t>::max() ? value : value + 1;
    return value == std::numeric_limits<int32_t>::min() ? value : value - 1;
}

} // namespace

void Learning::drawNewborns(size_t w, uint64_t newborns)
{
    const int32_t slots = a.numStrategies;
    const int32_t indices = a.numIndices;
    const size_t sides = static_cast<size_t>(slots) * static_cast<size_t>(indices);
    // Under the best rule all slots tie at 100, so a newborn with two or more
    // slots draws the one it plays right after its strategies.
    const bool chooses = options.rule == Rule::best && slots >= 2;
    const size_t perNewborn = sides + (chooses ? 1 : 0);
    std::vector<int32_t>& draws = scratch.draws;
    std::vector<uint64_t>& bits = scratch.bits;
    draws.resize(perNewborn * static_cast<size_t>(__builtin_popcountll(newborns)));
    uniform.take(draws.data(), draws.size());
    bits.assign(sides, 0);
    const int32_t* draw = draws.data();
    for (uint64_t m = newborns; m != 0; m &= m - 1) {
        const int j = __builtin_ctzll(m);
        foldSides(bits.data(), draw, sides, j);
        const auto agent = static_cast<int32_t>(w * AgentColumns::laneBits) + j;
        for (int32_t s = 0; s < slots; ++s) a.score(s, agent) = initialScore;
        a.record[static_cast<size_t>(agent)] = initialScore;
        a.setPlayed(agent, chooses ? draw[sides] % slots : 0);
        draw += perNewborn;
    }
    // Draw k of a newborn is slot k / indices, history index k % indices.
    uint64_t* words = a.sideWords(w, 0);
    for (int32_t h = 0; h < indices; ++h) {
        for (int32_t s = 0; s < slots; ++s) {
            uint64_t& word = words[static_cast<size_t>(h) * static_cast<size_t>(slots) + static_cast<size_t>(s)];
            word = (word & ~newborns) | bits[static_cast<size_t>(s) * static_cast<size_t>(indices) + static_cast<size_t>(h)];
        }
    }
}

void Learning::redraw(int32_t agent, int32_t slot)
{
    std::vector<int32_t>& draws = scratch.draws;
    const size_t count = static_cast<size_t>(a.numIndices);
    draws.resize(count);
    uniform.take(draws.data(), count);
    for (int32_t h = 0; h < a.numIndices; ++h) a.setSide(agent, slot, h, draws[static_cast<size_t>(h)] & 1);
    a.score(slot, agent) = initialScore;
}

void Learning::choosePlayed(int32_t agent)
{
    const size_t i = static_cast<size_t>(agent);
    int32_t top = a.score(0, agent);
    int32_t first = 0;
    int32_t tied = 1;
    for (int32_t s = 1; s < a.numStrategies; ++s) {
        const int32_t v = a.score(s, agent);
        if (v > top) {
            top = v;
            first = s;
            tied = 1;
        } else if (v == top) {
            ++tied;
        }
    }
    if (options.rule == Rule::record) {
        // Scanning with "strictly above the record" ends on the lowest slot
        // among the highest scores, and only if it beats the record.
        if (top > a.record[i]) {
            a.record[i] = top;
            a.setPlayed(agent, first);
        }
        return;
    }
    if (top > a.record[i]) a.record[i] = top;
    if (tied >= 2) {
        playOneOf(agent, top, tied);
    } else {
        a.setPlayed(agent, first);
    }
}

void Learning::playOneOf(int32_t agent, int32_t top, int32_t tied)
{
    playDrawn(agent, top, tied, uniform.rand());
}

void Learning::playTied(size_t w, uint64_t ties, const int32_t* top, const int32_t* tied)
{
    std::vector<int32_t>& draws = scratch.draws;
    draws.resize(static_cast<size_t>(__builtin_popcountll(ties)));
    uniform.take(draws.data(), draws.size());
    const int32_t* draw = draws.data();
    if (a.numStrategies == 2) {
        // Both slots tie: the draw's low bit is the slot, and the two played
        // planes are written once for the whole word.
        int32_t* playedSlot = a.playedSlot.data() + w * AgentColumns::laneBits;
        uint64_t second = 0;
        for (uint64_t m = ties; m != 0; m &= m - 1) {
            const int j = __builtin_ctzll(m);
            const int32_t slot = *draw++ & 1;
            playedSlot[j] = slot;
            second |= static_cast<uint64_t>(slot) << j;
        }
        uint64_t* planes = a.playedWords(w);
        planes[0] = (planes[0] & ~ties) | (ties & ~second);
        planes[1] = (planes[1] & ~ties) | second;
        return;
    }
    for (uint64_t m = ties; m != 0; m &= m - 1) {
        const int j = __builtin_ctzll(m);
        playDrawn(static_cast<int32_t>(w * AgentColumns::laneBits) + j, top[j], tied[j], *draw++);
    }
}

void Learning::playDrawn(int32_t agent, int32_t top, int32_t tied, int32_t draw)
{
    // rand() is never negative, so for a power of two the remainder is a mask.
    int32_t r = (tied & (tied - 1)) == 0 ? draw & (tied - 1) : draw % tied;
    // With every slot tied (always so for two), the r-th tied slot is slot r.
    if (tied == a.numStrategies) {
        a.setPlayed(agent, r);
        return;
    }
    for (int32_t s = 0; s < a.numStrategies; ++s) {
        if (a.score(s, agent) == top && r-- == 0) {
            a.setPlayed(agent, s);
            return;
        }
    }
}

void Learning::finish(int32_t agent)
{
    if (options.replacement) {
        for (int32_t s = 0; s < a.numStrategies; ++s) {
            if (a.score(s, agent) < 0) redraw(agent, s);
        }
    }
    choosePlayed(agent);
}

int32_t Learning::learn(int32_t agent, int32_t result, int32_t sti, bool won)
{
    int32_t& capital = a.capital[static_cast<size_t>(agent)];
    capital = saturatingStep(capital, won);
    for (int32_t s = 0; s < a.numStrategies; ++s) {
        int32_t& v = a.score(s, agent);
        v = saturatingStep(v, a.side(agent, s, sti) == result);
    }
    finish(agent);
    return average(agent);
}

int32_t Learning::average(int32_t agent) const
{
    int64_t sum = 0;
    for (int32_t s = 0; s < a.numStrategies; ++s) sum += a.score(s, agent);
    return static_cast<int32_t>(sum / a.numStrategies);
}

} // namespace dramolex::model::detail
