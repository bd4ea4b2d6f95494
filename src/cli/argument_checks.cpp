#include "cli/argument_checks.h"

#include <CLI/CLI.hpp>
#include <string_view>

#include "run/message_text.h"

namespace dramolex::cli {
namespace {

bool takesValue(const CLI::App& app, std::string_view argument)
{
    if (!argument.starts_with("-") || argument.find('=') != std::string_view::npos) return false;
    const CLI::Option* option = app.get_option_no_throw(std::string(argument));
    return option != nullptr && option->get_items_expected_min() > 0;
}

} // namespace

std::optional<std::string> optionTakenAsValue(const CLI::App& app, int argc, const char* const* argv)
{
    for (int i = 1; i + 1 < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--") break;
        if (!takesValue(app, argument)) continue;
        const std::string_view value = argv[i + 1];
        if (value.starts_with("--")) {
            const std::string shown = run::shortenedForMessage(value);
            return std::string(argument) + " needs a value, not the option '" + shown + "' (a value starting with -- is written " +
                   std::string(argument) + "=" + shown + ")";
        }
        ++i;
    }
    return std::nullopt;
}

std::optional<std::string> outputPathProblem(const CLI::App& app, const RunnerOptions& options)
{
    struct Path {
        const char* option;
        const std::string& value;
        const char* accepted;
    };
    const Path paths[] = {
        {"--log", options.logPath, "a file, or - for standard output"},
        {"--csv", options.csvPath, "a file, or - for standard output"},
        {"--summary", options.summaryPath, "a file, or - for standard output"},
        {"--charts", options.chartsDir, "a directory"},
    };
    for (const Path& path : paths) {
        if (app.count(path.option) > 0 && path.value.empty()) {
            return std::string(path.option) + " '': empty path (accepted: " + path.accepted + ")";
        }
    }
    if (options.chartsDir == "-") return "--charts '-': not a directory (accepted: a directory)";
    const int toStandardOutput = (options.logPath == "-") + (options.csvPath == "-") + (options.summaryPath == "-");
    if (toStandardOutput > 1) return "only one of --log, --csv and --summary can write to standard output ('-')";
    return std::nullopt;
}

std::string withArgumentsShortened(std::string message, int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument.size() <= run::longestEchoedValue) continue;
        const std::string shown = run::shortenedForMessage(argument);
        for (size_t at = message.find(argument); at != std::string::npos; at = message.find(argument, at + shown.size())) {
            message.replace(at, argument.size(), shown);
        }
    }
    return message;
}

} // namespace dramolex::cli
