#pragma once

// Starting the dramolex-run program as a user would. DRAMOLEX_RUN_BINARY in
// the environment points the tests at another build of the program.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

#include "support/files.h"

namespace runner_test {

#ifdef DRAMOLEX_RUNNER_HAS_CHARTS
inline constexpr bool hasCharts = true;
#else
inline constexpr bool hasCharts = false;
#endif

inline std::string runnerBinary()
{
    const char* other = std::getenv("DRAMOLEX_RUN_BINARY");
    return other != nullptr && *other != '\0' ? other : DRAMOLEX_RUN_BINARY;
}

struct Outcome {
    int exitCode;
    std::string out;
    std::string err;
};

// Runs the program through the shell inside dir, so that arguments may use
// quotes; -1 when it did not exit normally. Standard output goes to the
// outcome unless stdoutRedirection (">> x") sends it elsewhere.
inline Outcome runInShell(const std::filesystem::path& dir, const std::string& arguments,
                          const std::string& stdoutRedirection = "")
{
    const std::filesystem::path out = dir / ".stdout", err = dir / ".stderr";
    const std::string toOut = stdoutRedirection.empty() ? ">'" + out.string() + "'" : stdoutRedirection;
    const std::string command = "cd '" + dir.string() + "' && '" + runnerBinary() + "' " + arguments + " " + toOut +
                                " 2>'" + err.string() + "' </dev/null";
    const int status = std::system(command.c_str());
    Outcome o{WIFEXITED(status) ? WEXITSTATUS(status) : -1, test_support::readFile(out), test_support::readFile(err)};
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return o;
}

} // namespace runner_test
