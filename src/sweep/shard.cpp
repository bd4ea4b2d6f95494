#include "sweep/shard.h"

#include <charconv>

namespace dramolex::sweep {
namespace {

bool parseCount(std::string_view text, uint64_t& into)
{
    if (text.empty()) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), into);
    return error == std::errc() && end == text.data() + text.size();
}

} // namespace

std::string Shard::fileSuffix() const
{
    std::string suffix;
    if (whole()) return suffix;
    suffix += '-';
    suffix += std::to_string(index);
    suffix += "-of-";
    suffix += std::to_string(count);
    return suffix;
}

ShardParse parseShard(const std::string& text, const std::function<const char*(const char*)>& getEnv)
{
    ShardParse result;
    uint64_t index = 0, count = 0;
    if (text == "slurm") {
        const char* id = getEnv("SLURM_ARRAY_TASK_ID");
        const char* total = getEnv("SLURM_ARRAY_TASK_COUNT");
        const char* minimum = getEnv("SLURM_ARRAY_TASK_MIN");
        uint64_t first = 0;
        if (id == nullptr || total == nullptr) {
            result.error = "--shard slurm: SLURM_ARRAY_TASK_ID and SLURM_ARRAY_TASK_COUNT are not set (run it as a job array: sbatch --array=0-N)";
            return result;
        }
        if (!parseCount(id, index) || !parseCount(total, count) || (minimum != nullptr && !parseCount(minimum, first)) ||
            index < first) {
            result.error = std::string("--shard slurm: SLURM_ARRAY_TASK_ID '") + id + "', SLURM_ARRAY_TASK_COUNT '" + total +
                           "': not a task of the array";
            return result;
        }
        index -= first;
    } else {
        const size_t slash = text.find('/');
        if (slash == std::string::npos || !parseCount(std::string_view(text).substr(0, slash), index) ||
            !parseCount(std::string_view(text).substr(slash + 1), count)) {
            result.error = "--shard '" + text + "': expected I/N (0 <= I < N) or slurm";
            return result;
        }
    }
    if (count == 0 || index >= count) {
        std::string shown = text;
        if (text == "slurm") {
            shown = std::to_string(index);
            shown += '/';
            shown += std::to_string(count);
        }
        result.error = "--shard '";
        result.error += shown;
        result.error += "': out of range (accepted: I/N with 0 <= I < N)";
        return result;
    }
    result.shard = {index, count};
    return result;
}

} // namespace dramolex::sweep
