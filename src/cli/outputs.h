#pragma once

#include <array>
#include <cstdio>
#include <string_view>

#include "cli/runner_options.h"
#include "run/output_file.h"

namespace dramolex::cli {

// The file names that --charts writes into its directory.
inline constexpr std::array<const char*, 7> chartFileNames = {
    "winningbars.png", "winners.png", "avgstratscores.png", "beststrat.png",
    "bardist.png",     "numdeaths.png", "agedist.png",
};

// The runner's log, CSV and summary outputs, opened so that a run that cannot start
// destroys nothing: every output is opened and the chart directory checked
// before anything is emptied, and existing files are emptied only once every
// output has taken its first write. Files are emptied in place, so a reader
// following one (tail -f) keeps following it.
class RunOutputs {
public:
    // 0 when every output is open; else the exit code (1: cannot open,
    // 2: conflicting paths) with the reason reported to err, and every file
    // that the attempt created removed again.
    int open(const RunnerOptions& options, std::FILE* err);
    // Gives the log and CSV their first text (either may be empty; the
    // summary's comes at the end of the run), emptying the
    // existing files first. False, with the reason reported, when an output
    // refuses it; no file has been emptied then.
    bool begin(std::string_view logFirst, std::string_view csvFirst, std::FILE* err);

    bool wantLog() const { return outputs_[log].wanted; }
    bool wantCsv() const { return outputs_[csv].wanted; }
    bool wantSummary() const { return outputs_[summary].wanted; }
    // The open files, for the run session to write its rounds into.
    run::OutputFile& logFile() { return outputs_[log].file; }
    run::OutputFile& csvFile() { return outputs_[csv].file; }
    bool writeSummary(std::string_view text, std::FILE* err) { return write(outputs_[summary], text, err); }
    bool writeLog(std::string_view text, std::FILE* err) { return write(outputs_[log], text, err); }
    bool writeCsv(std::string_view text, std::FILE* err) { return write(outputs_[csv], text, err); }
    bool close(std::FILE* err);

private:
    struct Output {
        const char* option;
        const char* noun;
        bool wanted = false;
        run::OutputFile file;
    };
    static constexpr size_t log = 0, csv = 1, summary = 2;

    static bool write(Output& out, std::string_view text, std::FILE* err);
    int refuse(int exitCode, const std::string& why, std::FILE* err);
    int checkChartDirectory(const std::string& dir, std::FILE* err);

    std::array<Output, 3> outputs_{Output{"--log", "log", false, {}}, Output{"--csv", "CSV", false, {}},
                                   Output{"--summary", "summary", false, {}}};
};

} // namespace dramolex::cli
