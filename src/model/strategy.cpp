#include "model/strategy.h"

#include <utility>

#include "model/saturating.h"
#include "random/glibc_random.h"

namespace dramolex::model {

namespace {

size_t wordsFor(int32_t memory) { return ((size_t{1} << memory) + 63) / 64; }

} // namespace

Strategy::Strategy(random::GlibcRandom& uniform, int32_t memory) : words_(wordsFor(memory)), memory_(memory)
{
    const int32_t entries = int32_t{1} << memory;
    for (int32_t sti = 0; sti < entries; ++sti) {
        words_[static_cast<size_t>(sti) >> 6] |= static_cast<uint64_t>(uniform.below(2)) << (sti & 63);
    }
}

Strategy::Strategy(uint64_t decisions, int32_t score, int32_t memory)
    : words_(wordsFor(memory)), score_(score), memory_(memory)
{
    words_[0] = memory >= 6 ? decisions : decisions & ((uint64_t{1} << (int32_t{1} << memory)) - 1);
}

Strategy::Strategy(std::vector<uint64_t> decisions, int32_t score, int32_t memory)
    : words_(std::move(decisions)), score_(score), memory_(memory)
{
    words_.resize(wordsFor(memory));
}

void Strategy::updateScore(int32_t result, int32_t STI) { score_ = saturatingStep(score_, getDecision(STI) == result); }

} // namespace dramolex::model
