#include "sweep/merge.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <queue>

#include "sweep/append_file.h"
#include "sweep/manifest.h"
#include "sweep/run_csv.h"
#include "sweep/summary_row.h"
#include "sweep/sweep_runner.h"

namespace dramolex::sweep {
namespace {

namespace fs = std::filesystem;

constexpr size_t maxNamedRuns = 10;

struct Input {
    std::string manifestPath;
    std::string summaryPath;
    Manifest manifest;
    std::unique_ptr<RowReader> reader;
    std::string row;  // the current row
    uint64_t run = 0;
    bool atEnd = false;
    std::string error;

    // Moves to the next row; a row without a run number or out of order is an error.
    void advance()
    {
        const uint64_t previous = run;
        const bool first = row.empty();
        std::string_view next;
        bool complete = false;
        if (!reader->next(next, complete)) {
            atEnd = true;
            if (reader->failed()) error = summaryPath + ": read error";
            return;
        }
        const auto number = leadingRun(next);
        if (!complete || !number) {
            error = summaryPath + ": a row at byte " + std::to_string(reader->rowOffset()) + " is not a complete run row";
            atEnd = true;
            return;
        }
        if (!first && *number <= previous) {
            error = *number == previous ? summaryPath + ": run " + std::to_string(*number) + " is there twice"
                                        : summaryPath + ": rows are not in run order (resume the shard to finish it)";
            atEnd = true;
            return;
        }
        row.assign(next);
        run = *number;
    }
};

std::vector<std::string> manifestsIn(const std::string& dir)
{
    std::vector<std::string> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(dir, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("manifest", 0) == 0 && entry.path().extension() == ".json") found.push_back(entry.path().string());
    }
    std::sort(found.begin(), found.end());
    return found;
}

class MissingRuns {
public:
    void add(uint64_t from, uint64_t to)  // [from, to)
    {
        for (uint64_t run = from; run < to && named_.size() < maxNamedRuns; ++run) named_.push_back(run);
        count_ += to - from;
    }
    bool any() const { return count_ > 0; }
    std::string text() const
    {
        std::string listed;
        for (uint64_t run : named_) listed += (listed.empty() ? "" : ", ") + std::to_string(run);
        if (count_ > named_.size()) listed += " and " + std::to_string(count_ - named_.size()) + " more";
        return (count_ == 1 ? "run " : "runs ") + listed + (count_ == 1 ? " is" : " are") + " missing";
    }

private:
    std::vector<uint64_t> named_;
    uint64_t count_ = 0;
};

} // namespace

int mergeShards(const std::vector<std::string>& dirs, const std::string& outFile, std::FILE* err)
{
    std::vector<std::string> problems;
    std::vector<std::unique_ptr<Input>> inputs;
    for (const std::string& dir : dirs) {
        const auto manifests = manifestsIn(dir);
        if (manifests.empty()) problems.push_back(dir + ": no manifest*.json here (not a sweep output directory)");
        for (const std::string& path : manifests) {
            std::string error;
            auto manifest = readManifest(path, error);
            if (!manifest) {
                problems.push_back(error);
                continue;
            }
            auto input = std::make_unique<Input>();
            input->manifestPath = path;
            input->summaryPath = (fs::path(path).parent_path() / manifest->summaryFile).string();
            input->manifest = std::move(*manifest);
            inputs.push_back(std::move(input));
        }
    }
    for (const auto& input : inputs) {
        const Manifest& m = input->manifest;
        if (m.configSha256 != inputs.front()->manifest.configSha256)
            problems.push_back(input->manifestPath + ": a different config from " + inputs.front()->manifestPath);
        else if (m.status != "done" && m.status != "runs failed")
            problems.push_back(input->manifestPath + ": the shard is not finished (status " + m.status +
                               "); complete it with --resume");
    }
    std::string header;
    for (auto& input : inputs) {
        input->reader = std::make_unique<RowReader>(input->summaryPath);
        std::string_view first;
        bool complete = false;
        if (!input->reader->isOpen() || !input->reader->next(first, complete) || !complete) {
            problems.push_back(input->summaryPath + ": cannot read its header");
            continue;
        }
        if (header.empty()) header = first;
        else if (first != header) problems.push_back(input->summaryPath + ": different columns from the other summaries");
    }
    auto refuse = [&] {
        for (const std::string& problem : problems) std::fprintf(err, "dramolex-sweep: merge: %s\n", problem.c_str());
        return static_cast<int>(exitUsage);
    };
    if (!problems.empty() || inputs.empty()) {
        if (inputs.empty() && problems.empty()) problems.push_back("no shards given");
        return refuse();
    }

    const std::string temporaryPath = outFile + ".merging";
    AppendFile out;
    if (!out.openEmpty(temporaryPath) || !out.write(header + "\n")) {
        std::fprintf(err, "dramolex-sweep: merge: cannot write %s\n", out.error().c_str());
        return exitWriteError;
    }
    // A k-way merge of summaries that are each in run order: memory stays
    // one row per shard however many runs there are.
    auto later = [&](size_t a, size_t b) { return inputs[a]->run > inputs[b]->run; };
    std::priority_queue<size_t, std::vector<size_t>, decltype(later)> heads(later);
    for (size_t i = 0; i < inputs.size(); ++i) {
        inputs[i]->advance();
        if (!inputs[i]->atEnd) heads.push(i);
    }
    const uint64_t total = inputs.front()->manifest.runsTotal;
    MissingRuns missing;
    uint64_t expected = 0, failed = 0;
    size_t lastInput = 0;
    std::string pending;
    bool written = true;
    while (!heads.empty() && written) {
        const size_t i = heads.top();
        heads.pop();
        Input& input = *inputs[i];
        if (input.run < expected) {
            if (problems.size() < maxNamedRuns)
                problems.push_back("run " + std::to_string(input.run) + " is in both " + inputs[lastInput]->summaryPath +
                                   " and " + input.summaryPath);
        } else {
            if (input.run > expected) missing.add(expected, std::min(input.run, total));
            if (input.run >= total) problems.push_back(input.summaryPath + ": run " + std::to_string(input.run) + " is not in the sweep");
            if (SummaryFormat::status(input.row) != "done") ++failed;
            pending.append(input.row).push_back('\n');
            if (pending.size() >= (1 << 16)) {
                written = out.write(pending);
                pending.clear();
            }
            expected = input.run + 1;
            lastInput = i;
        }
        input.advance();
        if (!input.error.empty()) problems.push_back(input.error);
        else if (!input.atEnd) heads.push(i);
    }
    if (expected < total) missing.add(expected, total);
    if (missing.any()) problems.push_back(missing.text());
    written = written && out.write(pending) && out.close();
    if (!problems.empty() || !written) {
        out.close();
        std::remove(temporaryPath.c_str());
        if (!written) {
            std::fprintf(err, "dramolex-sweep: merge: cannot write %s\n", out.error().c_str());
            return exitWriteError;
        }
        return refuse();
    }
    if (std::rename(temporaryPath.c_str(), outFile.c_str()) != 0) {
        std::remove(temporaryPath.c_str());
        std::fprintf(err, "dramolex-sweep: merge: cannot write %s\n", outFile.c_str());
        return exitWriteError;
    }
    if (failed > 0) {
        std::fprintf(err, "dramolex-sweep: merge: %llu runs failed (their rows have status failed)\n",
                     static_cast<unsigned long long>(failed));
        return exitRunsFailed;
    }
    return exitDone;
}

} // namespace dramolex::sweep
