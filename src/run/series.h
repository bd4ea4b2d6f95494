#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "model/round_report.h"

namespace dramolex::run {

// What each recorded statistic is called where it appears: its window in the
// history buffer, the chart view that draws it, its run log line, its CSV
// column and its entry in the window's chart selector. One row per chart view.
struct Series {
    int32_t selection;           // the chart selector's index of its view (1 to 7)
    const char* name;            // the view's name
    const char* title;           // the chart's title
    const char* fileName;        // the chart's PNG file
    int32_t firstIndex;          // where its values start in the history buffer
    int32_t size;                // values drawn (the venue pie: the caller's numbars)
    std::string_view logText;    // the run log's label ("" if the log has no line of its own)
    std::string_view csvColumn;  // the CSV column ("" if none)
    std::string_view selectorEntry;
    // For the five per-round statistics: the value of a round report, whether
    // it is a whole number, and its position among the five.
    double (*value)(const model::pass_graph&);
    bool whole;
    int32_t statistic;  // 0..4, or -1
};

// One row per chart view, in selector order 1 to 7.
inline constexpr std::array<Series, 7> seriesTable{{
    {1, "winningbars", "AvgCapital of Groupers - AvgCapital of NonGroupers", "winningbars.png", 0, 1000,
     "AvgCapital of Groupers - AvgCapital of NonGroupers: ", "capital_gap",
     "AvgCapital of Groupers - AvgCapital of NonGroupers", [](const model::pass_graph& t) { return double(t.capitalGap); },
     true, 0},
    {2, "winners", "Number of Winners", "winners.png", 1000, 1000, "Number of Winners: ", "winners",
     "Number of Winners", [](const model::pass_graph& t) { return double(t.numWinners); }, true, 1},
    {3, "avgstratscores", "Average Score of All Strategies", "avgstratscores.png", 2000, 1000,
     "Average Score of All Strategies: ", "avg_strategy_score", "Average Score of All Strategies",
     [](const model::pass_graph& t) { return t.avgStratScore; }, false, 2},
    {4, "beststrat", "Best Strategy's Score", "beststrat.png", 3000, 1000, "Best Strategy's Score: ",
     "best_strategy_score", "Best Strategy's Score", [](const model::pass_graph& t) { return t.bestStratScore; }, false, 3},
    // The venue pie has no title and an empty selector entry.
    {5, "bardist", "", "bardist.png", 6000, 0, "", "", "", nullptr, false, -1},
    {6, "numdeaths", "Number of Deaths", "numdeaths.png", 4000, 1000, "Number of Deaths: ", "deaths",
     "Number of Deaths", [](const model::pass_graph& t) { return double(t.numDeaths); }, true, 4},
    {7, "agedist", "Age Distribution", "agedist.png", 5000, 100, "People with age of index: ", "",
     "Age Distribution", nullptr, false, -1},
}};

// The five per-round statistics, in the order of the log, the CSV and the
// history buffer's series windows.
inline constexpr std::array<const Series*, 5> statisticsTable{&seriesTable[0], &seriesTable[1], &seriesTable[2],
                                                                  &seriesTable[3], &seriesTable[5]};

// All views, in selector order 1 to 7.
std::span<const Series> allSeries();
// The five per-round statistics, in the order of the log, the CSV and the
// history buffer's series windows.
std::span<const Series* const> statisticSeries();
// The view for a selector index, or nullptr (0 is "(N/A)", -1 no selection).
const Series* seriesForSelection(int32_t selection);

// The chart selector's first entry, which shows no view.
constexpr std::string_view noViewEntry = "(N/A)";

} // namespace dramolex::run
