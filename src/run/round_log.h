#pragma once

#include <cstdint>
#include <string>

#include "model/round_report.h"

namespace dramolex::run {

// The text of the run log, one block per round. The header is written before
// the round is played and the body after it, so they are separate calls;
// both append to out with '\n' line ends.
void appendRoundHeader(std::string& out, int64_t round);
void appendRoundBody(std::string& out, int64_t round, const model::pass_graph& report);

// The stream's default floating form: printf's "%g" with precision 6.
void appendShortFloat(std::string& out, double value);

} // namespace dramolex::run
