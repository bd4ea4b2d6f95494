#pragma once

#include <string>
#include <string_view>

namespace dramolex::run {

// A value as echoed in a one-line message: unchanged when short, else its
// beginning and end around "..." with the full length, so that a pasted
// megabyte never floods the terminal.
std::string shortenedForMessage(std::string_view value);

// The longest value echoed unchanged.
inline constexpr size_t longestEchoedValue = 160;

} // namespace dramolex::run
