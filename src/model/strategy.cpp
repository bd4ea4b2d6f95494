#include "model/strategy.h"

#include "random/glibc_random.h"

namespace dramolex::model {

Strategy::Strategy(random::GlibcRandom& uniform)
{
    for (int sti = 0; sti < 8; ++sti) decisions_ |= static_cast<uint8_t>(uniform.below(2) << sti);
}

} // namespace dramolex::model
