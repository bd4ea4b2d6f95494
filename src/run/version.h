#pragma once

#include <string_view>

namespace dramolex::run {

// The project's version ("1.0.0") and the git commit the build was
// configured from ("unknown" outside a git checkout).
std::string_view programVersion();
std::string_view gitCommit();

} // namespace dramolex::run
