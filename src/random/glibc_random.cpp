#include "random/glibc_random.h"

#include <cstddef>

namespace dramolex::random {

void GlibcRandom::srand(uint32_t seed)
{
    // glibc treats seed 0 as 1 and fills its table with the Park-Miller
    // "minimal standard" generator, computed with Schrage's method on the
    // seed taken as a signed 32-bit value.
    if (seed == 0) seed = 1;
    std::array<uint32_t, degree> table{};
    int32_t word = static_cast<int32_t>(seed);
    table[0] = static_cast<uint32_t>(word);
    for (int i = 1; i < degree; ++i) {
        const int64_t hi = word / 127773;
        const int64_t lo = word % 127773;
        word = static_cast<int32_t>(16807 * lo - 2836 * hi);
        if (word < 0) word += 2147483647;
        table[static_cast<size_t>(i)] = static_cast<uint32_t>(word);
    }
    // glibc's first update adds table[0] into table[3]: in sequence order the
    // table starts at entry 3 and wraps round.
    constexpr int separation = 3;
    for (int i = 0; i < degree; ++i) {
        values_[static_cast<size_t>(history - degree + i)] = table[static_cast<size_t>((i + separation) % degree)];
    }
    primed_ = false;
    next_ = bufferLength;
    // glibc discards the first ten turns of the table.
    for (int i = 0; i < degree * 10; ++i) (void)rand();
}

} // namespace dramolex::random
