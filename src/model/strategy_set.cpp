#include "model/strategy_set.h"

#include <utility>

#include "model/saturating.h"

namespace dramolex::model {

StrategySet StrategySet::drawn(random::GlibcRandom& uniform, int32_t count, int32_t memory, bool replaces)
{
    StrategySet set;
    set.count_ = static_cast<uint8_t>(count);
    set.memory_ = static_cast<uint8_t>(memory);
    set.replaces_ = replaces;
    set.defaultShape_ = count == defaultShape.count && set.sidesInline() && replaces == defaultShape.replaces;
    const size_t entries = size_t{1} << memory;
    const size_t total = static_cast<size_t>(count) * entries;
    if (!set.sidesInline()) set.packed_.assign((total + 7) / 8 + readSlack, 0);

    constexpr size_t block = 256;
    int32_t draws[block];
    if (set.sidesInline()) {
        // At most 16 x 8 draws: one block, taken strategy by strategy.
        // rand() is never negative, so % 2 is the lowest bit.
        uniform.take(draws, total);
        const int32_t* draw = draws;
        for (int32_t i = 0; i < count; ++i) {
            for (size_t sti = 0; sti < entries; ++sti) {
                set.inline_[sti] = static_cast<uint16_t>(set.inline_[sti] | (*draw++ & 1) << i);
            }
        }
    } else {
        // In blocks: strategy i's side for STI is draw number i * 2^memory + STI.
        for (size_t first = 0; first < total; first += block) {
            const size_t n = total - first < block ? total - first : block;
            uniform.take(draws, n);
            for (size_t k = 0; k < n; ++k) {
                const size_t draw = first + k;
                set.setSide(static_cast<int32_t>(draw >> memory), static_cast<int32_t>(draw & (entries - 1)),
                            draws[k] % 2 == 1);
            }
        }
    }
    for (int32_t i = 0; i < count; ++i) set.scores_[static_cast<size_t>(i)] = Strategy::initialScore;
    set.sum_ = static_cast<int64_t>(count) * Strategy::initialScore;
    return set;
}

Strategy StrategySet::get(int32_t index) const
{
    const int32_t entries = int32_t{1} << memory_;
    std::vector<uint64_t> words((static_cast<size_t>(entries) + 63) / 64);
    for (int32_t sti = 0; sti < entries; ++sti) {
        words[static_cast<size_t>(sti) >> 6] |= static_cast<uint64_t>(decision(index, sti)) << (sti & 63);
    }
    return Strategy(std::move(words), score(index), memory_);
}

void StrategySet::set(int32_t index, const Strategy& s)
{
    const int32_t entries = int32_t{1} << memory_;
    for (int32_t sti = 0; sti < entries; ++sti) setSide(index, sti, s.getDecision(sti) == 1);
    setScore(index, s.getScore());
}

void StrategySet::setScore(int32_t index, int32_t value)
{
    int32_t& lane = scores_[static_cast<size_t>(index)];
    sum_ += static_cast<int64_t>(value) - lane;
    lane = value;
}

void StrategySet::replaceFailed(random::GlibcRandom& uniform)
{
    // In slot order, so the draws come in the order of the slots.
    for (int32_t i = 0; i < count_; ++i) {
        if (scores_[static_cast<size_t>(i)] < 0) redraw(i, uniform);
    }
}

void StrategySet::redraw(int32_t index, random::GlibcRandom& uniform)
{
    const int32_t entries = int32_t{1} << memory_;
    for (int32_t sti = 0; sti < entries; ++sti) setSide(index, sti, uniform.below(2) == 1);
    setScore(index, Strategy::initialScore);
}

uint32_t StrategySet::highestSlots() const
{
#if defined(__SSE2__)
    switch ((count_ + 3) / 4) {
    case 1: return lanes::highest<1>(scores_.data(), count_);
    case 2: return lanes::highest<2>(scores_.data(), count_);
    case 3: return lanes::highest<3>(scores_.data(), count_);
    default: return lanes::highest<4>(scores_.data(), count_);
    }
#else
    int32_t top = scores_[0];
    uint32_t slots = 1;
    for (int32_t i = 1; i < count_; ++i) {
        const int32_t s = scores_[static_cast<size_t>(i)];
        if (s > top) {
            top = s;
            slots = 0;
        }
        if (s == top) slots |= uint32_t{1} << i;
    }
    return slots;
#endif
}

StrategySet::Outcome StrategySet::scoreEach(uint32_t right, int32_t record)
{
    bool anyNegative = false;
    bool beatsRecord = false;
    int64_t sum = 0;
    for (int32_t i = 0; i < count_; ++i) {
        int32_t& lane = scores_[static_cast<size_t>(i)];
        lane = saturatingStep(lane, ((right >> i) & 1u) != 0);
        anyNegative |= lane < 0;
        beatsRecord |= lane > record;
        sum += lane;
    }
    sum_ = sum;
    return Outcome(anyNegative, beatsRecord);
}

void StrategySet::setSide(int32_t index, int32_t STI, bool one)
{
    if (sidesInline()) {
        uint16_t& mask = inline_[static_cast<size_t>(STI)];
        const auto bit = static_cast<uint16_t>(1u << index);
        mask = static_cast<uint16_t>(one ? (mask | bit) : (mask & ~bit));
        return;
    }
    const size_t bit = static_cast<size_t>(STI) * count_ + static_cast<size_t>(index);
    uint8_t& byte = packed_[bit >> 3];
    const auto mask = static_cast<uint8_t>(1u << (bit & 7));
    byte = static_cast<uint8_t>(one ? (byte | mask) : (byte & ~mask));
}

} // namespace dramolex::model
