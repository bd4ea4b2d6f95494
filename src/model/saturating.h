#pragma once

#include <cstdint>
#include <limits>

namespace dramolex::model {

// Capital and scores move by one per round. After about 2^31 rounds they
// would leave the int32 range; they stop at its ends instead.
// Written without branches: whether an agent won is a coin toss that the
// processor cannot predict.
constexpr int32_t saturatingStep(int32_t value, bool up)
{
    const int32_t u = up ? 1 : 0;
    // INT32_MAX when going up, INT32_MIN (its complement) when going down.
    const int32_t limit = std::numeric_limits<int32_t>::max() ^ (u - 1);
    const int32_t step = (2 * u - 1) & -static_cast<int32_t>(value != limit);
    return value + step;
}

} // namespace dramolex::model
