#include "cli/progress_bar.h"

#include <cinttypes>

namespace dramolex::cli {

ProgressBar::ProgressBar(std::FILE* out, int64_t total)
    : out_(out), total_(total), start_(std::chrono::steady_clock::now()), lastDraw_(start_)
{
}

std::string ProgressBar::line(int64_t done, int64_t total, double seconds)
{
    constexpr int width = 30;
    const double fraction = total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 1.0;
    const int filled = static_cast<int>(fraction * width);
    std::string bar(static_cast<size_t>(filled), '#');
    bar.append(static_cast<size_t>(width - filled), '.');

    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0.0;
    char left[32] = "--:--";
    if (rate > 0) {
        const auto remaining = static_cast<int64_t>(static_cast<double>(total - done) / rate);
        std::snprintf(left, sizeof left, "%" PRId64 ":%02" PRId64, remaining / 60, remaining % 60);
    }
    char text[160];
    std::snprintf(text, sizeof text, "[%s] %" PRId64 "/%" PRId64 " rounds  %.0f rounds/s  %s left", bar.c_str(), done,
                  total, rate, left);
    return text;
}

void ProgressBar::redraw(int64_t done, bool force)
{
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - lastDraw_ < std::chrono::milliseconds(100)) return;
    lastDraw_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    std::fprintf(out_, "\r%s\033[K", line(done, total_, seconds).c_str());
    std::fflush(out_);
}

void ProgressBar::finish(int64_t done)
{
    redraw(done, true);
    std::fputc('\n', out_);
}

} // namespace dramolex::cli
