#include "run/observables.h"

#include <stdexcept>
#include <string>

namespace dramolex::run {

RoundObservables::RoundObservables(int32_t memory, int32_t numAgents)
    : numAgents_(numAgents), countOf_(size_t{1} << memory), aSumOf_(size_t{1} << memory)
{
}

void RoundObservables::add(int32_t attendance, int32_t mu, int32_t winners, int32_t deaths, int64_t ageSum)
{
    if (mu < 0 || static_cast<size_t>(mu) >= countOf_.size()) {
        throw std::logic_error("history index " + std::to_string(mu) + " outside 0 to " +
                               std::to_string(countOf_.size() - 1) + " for the configured memory");
    }
    const int64_t a = 2 * int64_t{attendance} - numAgents_;
    ++rounds_;
    attendanceSum_ += attendance;
    winnersSum_ += winners;
    deathsSum_ += deaths;
    ageSum_ += ageSum;
    aSum_ += a;
    aSquareSum_ += a * a;
    ++countOf_[static_cast<size_t>(mu)];
    aSumOf_[static_cast<size_t>(mu)] += a;
}

std::optional<double> RoundObservables::mean(int64_t sum, int64_t divisor) const
{
    if (rounds_ == 0) return std::nullopt;
    return static_cast<double>(sum) / (static_cast<double>(rounds_) * static_cast<double>(divisor));
}

std::optional<double> RoundObservables::sigma2OverN() const
{
    if (rounds_ == 0) return std::nullopt;
    // Var(A) = (n sum A^2 - (sum A)^2) / n^2, the numerator exact in 128 bits.
    const WideSum numerator = WideSum{rounds_} * aSquareSum_ - WideSum{aSum_} * WideSum{aSum_};
    const double n = static_cast<double>(rounds_);
    return static_cast<double>(numerator) / (n * n) / numAgents_;
}

std::optional<double> RoundObservables::hOverN() const
{
    if (rounds_ == 0) return std::nullopt;
    double sum = 0.0;
    for (size_t mu = 0; mu < countOf_.size(); ++mu) {
        if (countOf_[mu] == 0) continue;
        const double conditional = static_cast<double>(aSumOf_[mu]) / static_cast<double>(countOf_[mu]);
        sum += conditional * conditional;
    }
    return sum / static_cast<double>(countOf_.size()) / numAgents_;
}

std::optional<double> RoundObservables::meanAttendance() const { return mean(attendanceSum_); }
std::optional<double> RoundObservables::meanWinners() const { return mean(winnersSum_); }
std::optional<double> RoundObservables::meanDeaths() const { return mean(deathsSum_); }
std::optional<double> RoundObservables::meanAge() const { return mean(ageSum_, numAgents_); }

} // namespace dramolex::run
