#include "sweep/progress_line.h"

#include <cstdio>

namespace dramolex::sweep {

std::string progressLine(uint64_t done, uint64_t total, double seconds)
{
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0.0;
    char text[128];
    if (done == 0 || rate <= 0) {
        std::snprintf(text, sizeof text, "runs %llu/%llu", static_cast<unsigned long long>(done),
                      static_cast<unsigned long long>(total));
        return text;
    }
    const auto left = static_cast<unsigned long long>(static_cast<double>(total - done) / rate + 0.5);
    std::snprintf(text, sizeof text, "runs %llu/%llu, %.1f runs/s, %llu:%02llu:%02llu left",
                  static_cast<unsigned long long>(done), static_cast<unsigned long long>(total), rate, left / 3600,
                  left / 60 % 60, left % 60);
    return text;
}

} // namespace dramolex::sweep
