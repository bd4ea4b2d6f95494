#pragma once

#include <cstdint>

namespace dramolex::random {
class GlibcRandom;
}

namespace dramolex::model {

// A fixed rule from the history index (0..7) to a side, with a virtual score.
// The eight sides are packed into one byte: bit STI holds the side for STI.
class Strategy {
public:
    static constexpr int32_t initialScore = 100;

    // Eight draws of rand() % 2, for history index 0 to 7 in order.
    explicit Strategy(random::GlibcRandom& uniform);
    Strategy(uint8_t decisions, int32_t score) : decisions_(decisions), score_(score) {}

    int32_t getDecision(int32_t STI) const { return (decisions_ >> STI) & 1; }
    int32_t getScore() const { return score_; }
    void updateScore(int32_t result, int32_t STI) { score_ += getDecision(STI) == result ? 1 : -1; }

    uint8_t decisions() const { return decisions_; }

private:
    uint8_t decisions_ = 0;
    int32_t score_ = initialScore;
};

} // namespace dramolex::model
