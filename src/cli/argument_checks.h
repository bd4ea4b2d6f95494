#pragma once

#include <optional>
#include <string>

#include "cli/runner_options.h"

namespace CLI {
class App;
}

namespace dramolex::cli {

// Checks of the command line beyond what the parser does; each returns the
// error line (without the program name) or nothing.

// Before parsing: an option that takes a value must not take the next option
// as its value ("--log --quiet" would write a file named --quiet). A value
// starting with "--" is written attached: --log=--quiet.
std::optional<std::string> optionTakenAsValue(const CLI::App& app, int argc, const char* const* argv);

// After parsing: no empty output path; "-" (standard output) for one of
// --log and --csv at most, and never for --charts.
std::optional<std::string> outputPathProblem(const CLI::App& app, const RunnerOptions& options);

// A parser message with every overlong argument it echoes shortened.
std::string withArgumentsShortened(std::string message, int argc, const char* const* argv);

} // namespace dramolex::cli
