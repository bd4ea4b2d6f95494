#pragma once

#include <cstdint>

namespace dramolex::model {

// Capital and scores move by one per round. After about 2^31 rounds they
// would leave the int32 range; they stop at its ends instead.
constexpr int32_t saturatingStep(int32_t value, bool up)
{
    const int32_t limit = up ? INT32_MAX : INT32_MIN;
    return value == limit ? value : value + (up ? 1 : -1);
}

} // namespace dramolex::model
