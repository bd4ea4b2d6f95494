#include "round_table.h"

#include <algorithm>
#include <memory>
#include <sstream>

#include "run/round_csv.h"

namespace py = pybind11;

namespace dramolex::python {
namespace {

constexpr int64_t reserveCap = int64_t{1} << 20;

// A NumPy array that owns the vector's buffer: the vector moves into a heap
// object whose lifetime the array's base capsule ends.
template <typename T>
py::array_t<T> adopt(std::vector<T>&& values, std::vector<py::ssize_t> shape)
{
    auto owned = std::make_unique<std::vector<T>>(std::move(values));
    T* data = owned->data();
    py::capsule base(owned.get(), [](void* p) { delete static_cast<std::vector<T>*>(p); });
    owned.release(); // the capsule owns it now
    return py::array_t<T>(std::move(shape), data, base);
}

template <typename T>
py::array_t<T> adopt(std::vector<T>&& values)
{
    const auto n = static_cast<py::ssize_t>(values.size());
    return adopt(std::move(values), {n});
}

template <typename T>
py::array_t<T> copied(const std::vector<T>& values)
{
    return adopt(std::vector<T>(values));
}

} // namespace

void RoundTable::reserve(int64_t rounds)
{
    const auto n = static_cast<size_t>(std::clamp<int64_t>(rounds, 0, reserveCap));
    round_.reserve(n);
    capitalGap_.reserve(n);
    winners_.reserve(n);
    avgStrategyScore_.reserve(n);
    bestStrategyScore_.reserve(n);
    deaths_.reserve(n);
    attendance_.reserve(n);
    result_.reserve(n);
    if (keepAges_) ages_.reserve(n * ageCount);
}

void RoundTable::add(int64_t round, const model::pass_graph& report)
{
    round_.push_back(round);
    capitalGap_.push_back(report.capitalGap);
    winners_.push_back(report.numWinners);
    avgStrategyScore_.push_back(report.avgStratScore);
    bestStrategyScore_.push_back(report.bestStratScore);
    deaths_.push_back(report.numDeaths);
    attendance_.push_back(report.attendance);
    result_.push_back(report.result);
    if (keepAges_) ages_.insert(ages_.end(), report.ageDist.begin(), report.ageDist.end());
}

const std::vector<std::string>& RoundTable::columnNames()
{
    static const std::vector<std::string> names = [] {
        std::string header;
        run::appendCsvHeader(header);
        std::vector<std::string> out;
        std::istringstream in(header.substr(0, header.find('\n')));
        for (std::string name; std::getline(in, name, ',');) out.push_back(name);
        return out;
    }();
    return names;
}

// The columns below follow the CSV header's order; module start-up checks
// that the header has exactly this many names.
py::dict RoundTable::releaseColumns()
{
    const auto& names = columnNames();
    py::dict columns;
    columns[names[0].c_str()] = adopt(std::move(round_));
    columns[names[1].c_str()] = adopt(std::move(capitalGap_));
    columns[names[2].c_str()] = adopt(std::move(winners_));
    columns[names[3].c_str()] = adopt(std::move(avgStrategyScore_));
    columns[names[4].c_str()] = adopt(std::move(bestStrategyScore_));
    columns[names[5].c_str()] = adopt(std::move(deaths_));
    columns[names[6].c_str()] = adopt(std::move(attendance_));
    columns[names[7].c_str()] = adopt(std::move(result_));
    return columns;
}

py::dict RoundTable::copyColumns() const
{
    RoundTable copy(false);
    copy.round_ = round_;
    copy.capitalGap_ = capitalGap_;
    copy.winners_ = winners_;
    copy.avgStrategyScore_ = avgStrategyScore_;
    copy.bestStrategyScore_ = bestStrategyScore_;
    copy.deaths_ = deaths_;
    copy.attendance_ = attendance_;
    copy.result_ = result_;
    return copy.releaseColumns();
}

py::object RoundTable::releaseAges()
{
    if (!keepAges_) return py::none();
    const auto rows = static_cast<py::ssize_t>(ages_.size() / ageCount);
    return adopt(std::move(ages_), {rows, py::ssize_t{ageCount}});
}

py::object RoundTable::copyAges() const
{
    if (!keepAges_) return py::none();
    const auto rows = static_cast<py::ssize_t>(ages_.size() / ageCount);
    return adopt(std::vector<int32_t>(ages_), {rows, py::ssize_t{ageCount}});
}

} // namespace dramolex::python
