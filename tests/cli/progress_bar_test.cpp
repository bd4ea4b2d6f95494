#include "cli/progress_bar.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>

namespace {

using dramolex::cli::ProgressBar;

TEST(ProgressBar, LineShowsBarCountRateAndTimeLeft)
{
    struct Case {
        int64_t done, total;
        double seconds;
        const char* expected;
    };
    const Case cases[] = {
        {0, 100, 0.0, "[..............................] 0/100 rounds  0 rounds/s  --:-- left"},
        {50, 100, 1.0, "[###############...............] 50/100 rounds  50 rounds/s  0:01 left"},
        {1, 3, 1.0, "[##########....................] 1/3 rounds  1 rounds/s  0:02 left"},
        {29, 30, 29.0, "[#############################.] 29/30 rounds  1 rounds/s  0:01 left"},
        {100, 100, 4.0, "[##############################] 100/100 rounds  25 rounds/s  0:00 left"},
        {10, 7510, 1.0, "[..............................] 10/7510 rounds  10 rounds/s  12:30 left"},
        {0, 0, 0.0, "[##############################] 0/0 rounds  0 rounds/s  --:-- left"},
        {5, 10, 0.0, "[###############...............] 5/10 rounds  0 rounds/s  --:-- left"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProgressBar::line(c.done, c.total, c.seconds), c.expected) << c.done << "/" << c.total;
    }
}

// finish() draws at once, whatever the time since the last drawing, and
// ends the line so that the next message starts on its own.
TEST(ProgressBar, FinishDrawsTheFinalCountAndEndsTheLine)
{
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    ProgressBar bar(out, 200);
    bar.update(64);
    bar.finish(130);
    std::rewind(out);
    char buffer[1024] = {};
    const size_t n = std::fread(buffer, 1, sizeof buffer - 1, out);
    std::fclose(out);
    const std::string text(buffer, n);
    const std::string last = text.substr(text.rfind('\r'));
    EXPECT_EQ(last.rfind("\r[###################...........] 130/200 rounds  ", 0), 0u) << last;
    EXPECT_TRUE(last.ends_with(" left\033[K\n")) << last;
    EXPECT_EQ(text.find('\n'), text.size() - 1) << "one line end, at the end: " << text;
}

} // namespace
