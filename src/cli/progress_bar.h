#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace dramolex::cli {

// A one-line progress display (rounds, rounds per second, time left),
// redrawn at most ten times a second.
class ProgressBar {
public:
    ProgressBar(std::FILE* out, int64_t total);
    void update(int64_t done)
    {
        if ((done & 63) != 0 && done != total_) return;
        redraw(done, false);
    }
    void finish(int64_t done);

    // The line as drawn, for a given count and elapsed time.
    static std::string line(int64_t done, int64_t total, double seconds);

private:
    void redraw(int64_t done, bool force);

    std::FILE* out_;
    int64_t total_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastDraw_;
};

} // namespace dramolex::cli
