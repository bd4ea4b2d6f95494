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
// the round. With mortality, an agent whose slot holds a newborn (age 0) after
// a measured round died during the window and is not counted at all.
class FrozenAgents {
public:
    // Before the first measured round.
    template <typename Population>
    void start(const Population& population)
    {
        const int32_t n = population.getNumAgents();
        firstStrategy_.resize(static_cast<size_t>(n));
        state_.assign(static_cast<size_t>(n), frozen);
        for (int32_t slot = 0; slot < n; ++slot) firstStrategy_[static_cast<size_t>(slot)] = population.playedStrategyOf(slot);
        started_ = true;
    }

    // Before every later measured round. mortal: the run has mortality.
    template <typename Population>
    void check(const Population& population, bool mortal)
    {
        if (!started_) return;
        const int32_t n = population.getNumAgents();
        for (int32_t slot = 0; slot < n; ++slot) {
            uint8_t& s = state_[static_cast<size_t>(slot)];
            if (s == dead) continue;
            if (mortal && population.ageOf(slot) == 0) {
                s = dead;
            } else if (population.playedStrategyOf(slot) != firstStrategy_[static_cast<size_t>(slot)]) {
                s = switched;
            }
        }
    }

    // After the last measured round: only its deaths count, the strategies
    // are those of a round not played yet.
    template <typename Population>
    void checkDeaths(const Population& population)
    {
        if (!started_) return;
        const int32_t n = population.getNumAgents();
        for (int32_t slot = 0; slot < n; ++slot) {
            if (population.ageOf(slot) == 0) state_[static_cast<size_t>(slot)] = dead;
        }
    }

    // Frozen agents over agents alive through the window; nullopt if none
    // was, or if the window has not begun.
    std::optional<double> fraction() const;

private:
    static constexpr uint8_t frozen = 0;
    static constexpr uint8_t switched = 1;
    static constexpr uint8_t dead = 2;

    bool started_ = false;
    std::vector<int32_t> firstStrategy_;
    std::vector<uint8_t> state_;
};

} // namespace dramolex::run
