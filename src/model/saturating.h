#pragma once

#include <cstdint>
#include <limits>

namespace dramolex::model {

// Capital and scores move by one per round. After about 2^31 rounds they
// would leave the int32 range; they stop at its ends instead.
constexpr int32_t saturatingStep(int32_t value, bool up)
{
    const int64_t moved = static_cast<int64_t>(value) + (up ? 1 : -1);
    constexpr int64_t lowest = std::numeric_limits<int32_t>::min();
    constexpr int64_t highest = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(moved < lowest ? lowest : moved > highest ? highest : moved);
}

} // namespace dramolex::model
