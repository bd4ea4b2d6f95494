#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "model/round_report.h"

namespace dramolex::run {

// Sums of squares that cannot overflow in any run.
__extension__ typedef __int128 WideSum;

// Running sums of the per-round observables of a run, one pass, nothing
// stored per round. Sums are whole numbers, so every result is exact up to
// its final division and does not depend on the order of the rounds.
class RoundObservables {
public:
    // memory: M, so history indices run from 0 to 2^M - 1.
    RoundObservables(int32_t memory, int32_t numAgents);

    // One measured round: the side-1 count, the history index in force when
    // it was played, its winners and deaths, and the sum of the agents' ages
    // after it.
    void add(int32_t attendance, int32_t mu, int32_t winners, int32_t deaths, int64_t ageSum);

    int64_t rounds() const { return rounds_; }
    // Each is nullopt before the first round.
    std::optional<double> sigma2OverN() const;
    std::optional<double> hOverN() const;
    std::optional<double> meanAttendance() const;
    std::optional<double> meanWinners() const;
    std::optional<double> meanDeaths() const;
    std::optional<double> meanAge() const;

private:
    std::optional<double> mean(int64_t sum, int64_t divisor = 1) const;

    int32_t numAgents_;
    int64_t rounds_ = 0;
    int64_t attendanceSum_ = 0;
    int64_t winnersSum_ = 0;
    int64_t deathsSum_ = 0;
    int64_t ageSum_ = 0;
    // Sums of A = 2 x attendance - N and of A^2.
    int64_t aSum_ = 0;
    WideSum aSquareSum_ = 0;
    // Per history index: rounds played under it and their sum of A.
    std::vector<int64_t> countOf_;
    std::vector<int64_t> aSumOf_;
};

// Which agents never change the strategy they play over the measured rounds.
// The strategy an agent plays in a round is its playedStrategyOf() just before
// the round. Only agents that have not switched yet are looked at each round,
// so once most have switched a round costs next to nothing.
//
// With mortality only agents alive through the whole window count: every
// living agent ages by exactly one a round and a newborn starts at 0, so after
// T measured rounds a slot whose agent is younger than T was renewed during
// the window, and one at least T old holds the same agent as at its start.
class FrozenAgents {
public:
    // Before the first measured round.
    template <typename Population>
    void start(const Population& population)
    {
        const int32_t n = population.getNumAgents();
        firstStrategy_.resize(static_cast<size_t>(n));
        unswitched_.resize(static_cast<size_t>(n));
        for (int32_t slot = 0; slot < n; ++slot) {
            firstStrategy_[static_cast<size_t>(slot)] = population.playedStrategyOf(slot);
            unswitched_[static_cast<size_t>(slot)] = slot;
        }
        started_ = true;
    }

    // Before every later measured round.
    template <typename Population>
    void check(const Population& population)
    {
        size_t kept = 0;
        for (const int32_t slot : unswitched_) {
            unswitched_[kept] = slot;
            kept += population.playedStrategyOf(slot) == firstStrategy_[static_cast<size_t>(slot)];
        }
        unswitched_.resize(kept);
    }

    // Frozen agents over agents alive through the window, after `measured`
    // rounds; nullopt if no agent was, or if the window has not begun.
    template <typename Population>
    std::optional<double> fraction(const Population& population, int64_t measured, bool mortal) const
    {
        if (!started_) return std::nullopt;
        const int32_t n = population.getNumAgents();
        const auto survived = [&](int32_t slot) { return !mortal || population.ageOf(slot) >= measured; };
        int64_t alive = 0;
        for (int32_t slot = 0; slot < n; ++slot) alive += survived(slot);
        int64_t frozen = 0;
        for (const int32_t slot : unswitched_) frozen += survived(slot);
        if (alive == 0) return std::nullopt;
        return static_cast<double>(frozen) / static_cast<double>(alive);
    }

private:
    bool started_ = false;
    std::vector<int32_t> firstStrategy_;
    std::vector<int32_t> unswitched_;  // slots, ascending
};

} // namespace dramolex::run
