#pragma once

#include <cstdint>
#include <string>

#include "model/round_report.h"

namespace dramolex::run {

// One line per round for spreadsheets and scripts; doubles are written in
// their shortest form that reads back to the same value.
void appendCsvHeader(std::string& out);
void appendCsvRow(std::string& out, int64_t round, const model::pass_graph& report);

} // namespace dramolex::run
