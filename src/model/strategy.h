#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/model_options.h"

namespace dramolex::random {
class GlibcRandom;
}

namespace dramolex::model {

// A fixed rule from the history index (0 .. 2^memory - 1) to a side, with a
// virtual score. The sides are packed into bits: bit STI holds the side for STI.
class Strategy {
public:
    static constexpr int32_t initialScore = 100;

    // 2^memory draws of rand() % 2, for history index 0 upwards.
    explicit Strategy(random::GlibcRandom& uniform, int32_t memory = ModelOptions::defaultMemory);
    // Given sides for a memory of at most 6 (bit STI of decisions for STI).
    Strategy(uint64_t decisions, int32_t score, int32_t memory = ModelOptions::defaultMemory);
    // Given sides as 64-bit words, entry STI at bit STI % 64 of word STI / 64.
    Strategy(std::vector<uint64_t> decisions, int32_t score, int32_t memory);

    int32_t getDecision(int32_t STI) const
    {
        return static_cast<int32_t>((words_[static_cast<size_t>(STI) >> 6] >> (STI & 63)) & 1u);
    }
    int32_t getScore() const { return score_; }
    // +1 if the side for STI equals result, else -1; stops at the int32 range.
    void updateScore(int32_t result, int32_t STI);

    int32_t getMemory() const { return memory_; }
    const std::vector<uint64_t>& decisions() const { return words_; }

private:
    std::vector<uint64_t> words_;
    int32_t score_ = initialScore;
    int32_t memory_ = ModelOptions::defaultMemory;
};

} // namespace dramolex::model
