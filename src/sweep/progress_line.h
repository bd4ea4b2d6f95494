#pragma once

#include <cstdint>
#include <string>

namespace dramolex::sweep {

// "runs 120/800, 35.2 runs/s, 0:19 left" for a terminal's status line.
std::string progressLine(uint64_t done, uint64_t total, double seconds);

} // namespace dramolex::sweep
