#pragma once

#include <cstdio>
#include <string>

namespace dramolex::cli {

// One line on the error stream, in the form every runner message takes.
inline void reportLine(std::FILE* err, const std::string& what)
{
    std::fprintf(err, "dramolex-run: %s\n", what.c_str());
}

} // namespace dramolex::cli
