#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "model/score_lanes.h"
#include "model/strategy.h"
#include "random/glibc_random.h"

namespace dramolex::model {

// The strategies of one agent, stored side by side.
//
// Sides: for each history index, the sides of all strategies as one mask
// (bit i for strategy i). With a memory of up to 3 the eight 16-bit masks
// live inside the object and share a cache line with the agent's own fields;
// longer memories keep the masks packed count bits apiece in a heap table,
// which is as small as the sides allow.
//
// Scores: sixteen 32-bit lanes, the unused ones 0, so that scoring all
// strategies is a few vector instructions; their sum is kept up to date by
// every change.
class StrategySet {
public:
    static constexpr int32_t maxCount = 16;

    // count strategies of 2^memory sides each, drawn with rand() % 2 as count
    // Strategy constructions draw them: strategy 0's sides for history index
    // 0 upwards first, then strategy 1's, and so on. replaces tells whether
    // the owner replaces strategies that fall below zero.
    static StrategySet drawn(random::GlibcRandom& uniform, int32_t count, int32_t memory, bool replaces);

    int32_t count() const { return count_; }
    int32_t memory() const { return memory_; }
    bool replaces() const { return replaces_; }

    Strategy get(int32_t index) const;
    void set(int32_t index, const Strategy& s);

    int32_t decision(int32_t index, int32_t STI) const { return static_cast<int32_t>((sidesFor(STI) >> index) & 1u); }
    int32_t score(int32_t index) const { return scores_[static_cast<size_t>(index)]; }
    // Puts a score in place, keeping the sum right.
    void setScore(int32_t index, int32_t value);

    // Every strategy below zero, in slot order, becomes a fresh one:
    // 2^memory draws, score 100.
    void replaceFailed(random::GlibcRandom& uniform);

    // The slots that hold the highest score: bit i for slot i.
    uint32_t highestSlots() const;

    // What scoring one round leaves behind for the agent's learning step.
    // One integer rather than two flags: the compiler keeps it in a register,
    // where two bytes written apart and read back whole stall the processor.
    class Outcome {
    public:
        constexpr explicit Outcome(uint32_t flags) : flags_(flags) {}
        constexpr Outcome(bool anyNegative, bool beatsRecord)
            : flags_((anyNegative ? lanes::belowZeroBits : 0) | (beatsRecord ? lanes::aboveRecordBits : 0))
        {
        }
        // Some strategy is below zero.
        constexpr bool anyNegative() const { return (flags_ & lanes::belowZeroBits) != 0; }
        // Some score is above the given record.
        constexpr bool beatsRecord() const { return (flags_ & lanes::aboveRecordBits) != 0; }

    private:
        uint32_t flags_;
    };

    // A shape that a caller may fix at compile time, so that the default
    // population's learning step runs on constants. anyShape reads everything
    // from the set; a fixed shape promises count strategies, a memory of at
    // most 3 if inlineSides, and replacement if replaces.
    struct Shape {
        int32_t count;
        bool inlineSides;
        bool replaces;
    };
    static constexpr Shape anyShape{0, false, false};
    static constexpr Shape defaultShape{ModelOptions::defaultStrategies, true, true};
    bool hasDefaultShape() const { return defaultShape_; }

    // Every strategy +1 if its side for STI equals result, else -1; scores
    // stop at the ends of the int32 range. record must be at least every
    // current score (the agent's record is).
    template <Shape S = anyShape>
    Outcome score(int32_t result, int32_t STI, int32_t record)
    {
        const int32_t count = S.count != 0 ? S.count : count_;
        const uint32_t sides = S.inlineSides ? inline_[static_cast<size_t>(STI)] : sidesFor(STI);
        const uint32_t right = (result ? sides : ~sides) & ((uint32_t{1} << count) - 1);
#if defined(__SSE2__)
        // Scores move by one a round, so a plain addition can only wrap when
        // the record sits at the top, or, where failed strategies stay, when
        // some score sits at the bottom.
        const bool replacing = S.replaces || replaces_;
        const bool nearLimit =
            record == std::numeric_limits<int32_t>::max() || (!replacing && lanes::anyAtBottom(scores_.data()));
        if (!nearLimit) {
            uint32_t flags = 0;
            int32_t gained = 0;
            if constexpr (S.count != 0) {
                flags = lanes::score<(S.count + 3) / 4>(scores_.data(), S.count, right, record, gained);
            } else {
                switch ((count + 3) / 4) {
                case 1: flags = lanes::score<1>(scores_.data(), count, right, record, gained); break;
                case 2: flags = lanes::score<2>(scores_.data(), count, right, record, gained); break;
                case 3: flags = lanes::score<3>(scores_.data(), count, right, record, gained); break;
                default: flags = lanes::score<4>(scores_.data(), count, right, record, gained); break;
                }
            }
            sum_ += gained;
            return Outcome(flags);
        }
#endif
        return scoreEach(right, record);
    }

    // The sum of the scores.
    int64_t sum() const { return sum_; }

    // sum / count, truncating toward zero. Each case divides by a constant,
    // which compiles to a multiplication; a division by the variable count
    // would cost tens of cycles per agent and round.
    template <Shape S = anyShape>
    int32_t average() const
    {
        if constexpr (S.count != 0) return static_cast<int32_t>(sum_ / S.count);
        switch (count_) {
        case 1: return static_cast<int32_t>(sum_);
        case 2: return static_cast<int32_t>(sum_ / 2);
        case 3: return static_cast<int32_t>(sum_ / 3);
        case 4: return static_cast<int32_t>(sum_ / 4);
        case 5: return static_cast<int32_t>(sum_ / 5);
        case 6: return static_cast<int32_t>(sum_ / 6);
        case 7: return static_cast<int32_t>(sum_ / 7);
        case 8: return static_cast<int32_t>(sum_ / 8);
        case 9: return static_cast<int32_t>(sum_ / 9);
        case 10: return static_cast<int32_t>(sum_ / 10);
        case 11: return static_cast<int32_t>(sum_ / 11);
        case 12: return static_cast<int32_t>(sum_ / 12);
        case 13: return static_cast<int32_t>(sum_ / 13);
        case 14: return static_cast<int32_t>(sum_ / 14);
        case 15: return static_cast<int32_t>(sum_ / 15);
        default: return static_cast<int32_t>(sum_ / count_);
        }
    }

private:
    static constexpr int32_t inlineMemory = 3;
    // A packed read of up to 16 bits may start at any bit of a byte and
    // reaches two bytes on.
    static constexpr size_t readSlack = 2;

    bool sidesInline() const { return memory_ <= inlineMemory; }
    uint32_t usedSlots() const { return (uint32_t{1} << count_) - 1; }

    // The sides of all strategies for STI: bit i for strategy i.
    uint32_t sidesFor(int32_t STI) const
    {
        if (sidesInline()) return inline_[static_cast<size_t>(STI)];
        const size_t first = static_cast<size_t>(STI) * count_;
        const uint8_t* at = packed_.data() + (first >> 3);
        const uint32_t window = at[0] | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16;
        return (window >> (first & 7)) & usedSlots();
    }
    void setSide(int32_t index, int32_t STI, bool one);
    void redraw(int32_t index, random::GlibcRandom& uniform);

    // One slot at a time, saturating: the plain form of the lanes above.
    Outcome scoreEach(uint32_t right, int32_t record);

    std::array<uint16_t, size_t{1} << inlineMemory> inline_{};
    uint8_t count_ = 0;
    uint8_t memory_ = 0;
    bool replaces_ = true;
    bool defaultShape_ = false;  // the set has defaultShape
    int64_t sum_ = 0;
    alignas(16) std::array<int32_t, maxCount> scores_{};
    std::vector<uint8_t> packed_;
};

} // namespace dramolex::model
