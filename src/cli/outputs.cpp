#include "cli/outputs.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "cli/report.h"
#include "run/message_text.h"

namespace dramolex::cli {

int RunOutputs::refuse(int exitCode, const std::string& why, std::FILE* err)
{
    reportLine(err, why);
    for (Output& out : outputs_) out.file.removeIfCreated();
    return exitCode;
}

int RunOutputs::open(const RunnerOptions& options, std::FILE* err)
{
    outputs_[log].wanted = !options.logPath.empty();
    outputs_[csv].wanted = !options.csvPath.empty();
    outputs_[summary].wanted = !options.summaryPath.empty();
    const std::string* paths[] = {&options.logPath, &options.csvPath, &options.summaryPath};
    for (size_t i = 0; i < outputs_.size(); ++i) {
        Output& out = outputs_[i];
        if (!out.wanted) continue;
        const bool opened = *paths[i] == "-" ? out.file.openStandardOutput() : out.file.openKeepingContents(*paths[i]);
        if (!opened) return refuse(1, std::string("cannot open ") + out.noun + " " + out.file.error(), err);
    }
    for (size_t i = 0; i < outputs_.size(); ++i) {
        for (size_t j = i + 1; j < outputs_.size(); ++j) {
            if (outputs_[i].wanted && outputs_[j].wanted && outputs_[i].file.sameFileAs(outputs_[j].file)) {
                return refuse(2, std::string(outputs_[i].option) + " and " + outputs_[j].option + " name the same file", err);
            }
        }
    }
    if (!options.chartsDir.empty()) return checkChartDirectory(options.chartsDir, err);
    return 0;
}

int RunOutputs::checkChartDirectory(const std::string& dir, std::FILE* err)
{
    auto unusable = [&](const char* reason) {
        return refuse(1, "cannot use chart directory " + run::shortenedForMessage(dir) + ": " + reason, err);
    };
    // A missing directory is made, with its parents.
    std::error_code ignored;
    std::filesystem::create_directories(dir, ignored);
    struct stat info {};
    if (::stat(dir.c_str(), &info) != 0) return unusable(std::strerror(errno));
    if (!S_ISDIR(info.st_mode)) return unusable(std::strerror(ENOTDIR));
    if (::access(dir.c_str(), W_OK) != 0) return unusable(std::strerror(errno));
    // The outputs exist by now (opening creates them), so a chart image that
    // would land on one is the same file, whichever way the paths spell it.
    for (const char* name : chartFileNames) {
        const std::string chart = (std::filesystem::path(dir) / name).string();
        for (const Output& out : outputs_) {
            if (out.wanted && out.file.isFileAt(chart)) {
                return refuse(2, std::string(out.option) + " " + run::shortenedForMessage(out.file.path()) +
                                     " is the chart image " + run::shortenedForMessage(chart) + " that --charts writes",
                              err);
            }
        }
    }
    return 0;
}

bool RunOutputs::begin(std::string_view logFirst, std::string_view csvFirst, std::FILE* err)
{
    const std::string_view first[] = {logFirst, csvFirst, {}};
    auto failed = [&](const Output& out) {
        refuse(1, std::string("error writing ") + out.noun + " " + out.file.error(), err);
        return false;
    };
    // Regular files try their first text and keep their contents...
    for (size_t i = 0; i < outputs_.size(); ++i) {
        Output& out = outputs_[i];
        if (out.wanted && out.file.isRegularFile() && !out.file.probe(first[i])) return failed(out);
    }
    // ...while pipes and devices cannot take a write back: theirs is real.
    for (size_t i = 0; i < outputs_.size(); ++i) {
        Output& out = outputs_[i];
        if (out.wanted && !out.file.isRegularFile() && !out.file.write(first[i])) return failed(out);
    }
    // Every output has shown it takes a write: only now is anything emptied.
    for (size_t i = 0; i < outputs_.size(); ++i) {
        Output& out = outputs_[i];
        if (!out.wanted || !out.file.isRegularFile()) continue;
        if (!out.file.truncate() || !out.file.write(first[i])) return failed(out);
    }
    return true;
}

bool RunOutputs::write(Output& out, std::string_view text, std::FILE* err)
{
    if (out.file.write(text)) return true;
    reportLine(err, std::string("error writing ") + out.noun + " " + out.file.error());
    return false;
}

bool RunOutputs::close(std::FILE* err)
{
    bool closed = true;
    for (Output& out : outputs_) {
        if (!out.wanted || out.file.close()) continue;
        reportLine(err, std::string("error closing ") + out.noun + " " + out.file.error());
        closed = false;
    }
    return closed;
}

} // namespace dramolex::cli
