#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include "model/round_report.h"

namespace dramolex::python {

// The per-round table of a run, one column per field of the runner's CSV,
// filled in C++ while the rounds are played and handed to Python as NumPy
// arrays. The age counts are kept only when asked for: they are 101 values a
// round, against 8 for everything else.
class RoundTable {
public:
    static constexpr int32_t ageCount = 101;

    explicit RoundTable(bool keepAges) : keepAges_(keepAges) {}

    // Room for `rounds` rows without reallocating, up to a cap, so an
    // open-ended request does not reserve memory it may never use.
    void reserve(int64_t rounds);
    void add(int64_t round, const model::pass_graph& report);

    int64_t size() const { return static_cast<int64_t>(round_.size()); }
    bool keepsAges() const { return keepAges_; }

    // The CSV header's column names, in its order.
    static const std::vector<std::string>& columnNames();

    // Column name -> array. The moving form hands the buffers over without
    // copying them and leaves the table empty.
    pybind11::dict releaseColumns();
    pybind11::dict copyColumns() const;
    // rounds x 101 array of age counts; None when ages are not kept.
    pybind11::object releaseAges();
    pybind11::object copyAges() const;

private:
    bool keepAges_;
    std::vector<int64_t> round_;
    std::vector<int32_t> capitalGap_;
    std::vector<int32_t> winners_;
    std::vector<double> avgStrategyScore_;
    std::vector<double> bestStrategyScore_;
    std::vector<int32_t> deaths_;
    std::vector<int32_t> attendance_;
    std::vector<int32_t> result_;
    std::vector<int32_t> ages_;
};

} // namespace dramolex::python
