#include "sweep/run_csv.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include "sweep/append_file.h"

namespace dramolex::sweep {
namespace {

constexpr size_t readBlock = 1 << 16;

std::string systemError(const std::string& path) { return path + ": " + std::strerror(errno); }

// Writes the file's bytes [offset, offset + length) to out.
bool copyRange(int fd, uint64_t offset, uint64_t length, AppendFile& out, std::string& buffer)
{
    buffer.resize(readBlock);
    while (length > 0) {
        const size_t want = static_cast<size_t>(std::min<uint64_t>(length, buffer.size()));
        const ssize_t got = ::pread(fd, buffer.data(), want, static_cast<off_t>(offset));
        if (got <= 0) return false;
        if (!out.write(std::string_view(buffer.data(), static_cast<size_t>(got)))) return false;
        offset += static_cast<uint64_t>(got);
        length -= static_cast<uint64_t>(got);
    }
    return true;
}

std::string replaceWith(AppendFile& temporary, const std::string& path)
{
    const std::string temporaryPath = temporary.path();
    if (!temporary.close()) {
        std::remove(temporaryPath.c_str());
        return temporary.error();
    }
    if (std::rename(temporaryPath.c_str(), path.c_str()) != 0) {
        const std::string why = systemError(path);
        std::remove(temporaryPath.c_str());
        return why;
    }
    return {};
}

} // namespace

std::optional<uint64_t> leadingRun(std::string_view row)
{
    uint64_t run = 0;
    const auto [end, error] = std::from_chars(row.data(), row.data() + row.size(), run);
    if (error != std::errc() || end == row.data() || (end != row.data() + row.size() && *end != ',')) return std::nullopt;
    return run;
}

RowReader::RowReader(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}

RowReader::~RowReader()
{
    if (fd_ >= 0) ::close(fd_);
}

bool RowReader::fill()
{
    if (eof_ || failed_) return false;
    // Keep the unread part, then read more after it.
    buffer_.erase(0, start_);
    bufferOffset_ += start_;
    end_ -= start_;
    start_ = 0;
    buffer_.resize(std::max(buffer_.size(), end_ + readBlock));
    const ssize_t got = ::read(fd_, buffer_.data() + end_, buffer_.size() - end_);
    if (got < 0) failed_ = true;
    if (got <= 0) {
        eof_ = true;
        return false;
    }
    end_ += static_cast<size_t>(got);
    return true;
}

bool RowReader::next(std::string_view& row, bool& complete)
{
    if (fd_ < 0) return false;
    size_t searchFrom = start_;
    for (;;) {
        const void* found = std::memchr(buffer_.data() + searchFrom, '\n', end_ - searchFrom);
        if (found != nullptr) {
            const size_t newline = static_cast<size_t>(static_cast<const char*>(found) - buffer_.data());
            row = std::string_view(buffer_.data() + start_, newline - start_);
            rowOffset_ = bufferOffset_ + start_;
            start_ = newline + 1;
            complete = true;
            return true;
        }
        const size_t scanned = end_ - start_;
        if (!fill()) break;
        searchFrom = start_ + scanned;
    }
    if (start_ == end_) return false;
    row = std::string_view(buffer_.data() + start_, end_ - start_);
    rowOffset_ = bufferOffset_ + start_;
    start_ = end_;
    complete = false;
    return true;
}

std::string sortRunBlocks(const std::string& path)
{
    // 16 bytes per run: a sweep's runs number below 2^32, and one run's
    // rows stay far below 4 GB.
    struct Block {
        uint32_t run;
        uint32_t length;
        uint64_t offset;
    };
    std::vector<Block> blocks;
    uint64_t headerLength = 0;
    bool inOrder = true;
    {
        RowReader reader(path);
        if (!reader.isOpen()) return systemError(path);
        std::string_view row;
        bool complete = false;
        bool first = true;
        while (reader.next(row, complete)) {
            const uint64_t end = reader.rowOffset() + row.size() + (complete ? 1 : 0);
            if (first) {
                headerLength = end;
                first = false;
                continue;
            }
            const auto run = leadingRun(row);
            if (!run || !complete) return path + ": row at byte " + std::to_string(reader.rowOffset()) + " is not a complete run row";
            if (*run > UINT32_MAX) return path + ": run " + std::to_string(*run) + " is out of range";
            if (!blocks.empty() && blocks.back().run == *run && blocks.back().offset + blocks.back().length == reader.rowOffset()) {
                if (end - blocks.back().offset > UINT32_MAX) return path + ": the rows of run " + std::to_string(*run) + " exceed 4 GB";
                blocks.back().length = static_cast<uint32_t>(end - blocks.back().offset);
                continue;
            }
            if (!blocks.empty() && blocks.back().run > *run) inOrder = false;
            if (end - reader.rowOffset() > UINT32_MAX) return path + ": a row exceeds 4 GB";
            if (blocks.size() == blocks.capacity()) blocks.reserve(blocks.size() + blocks.size() / 4 + 1024);
            blocks.push_back({static_cast<uint32_t>(*run), static_cast<uint32_t>(end - reader.rowOffset()), reader.rowOffset()});
        }
        if (reader.failed()) return systemError(path);
    }
    if (inOrder) return {};
    std::stable_sort(blocks.begin(), blocks.end(), [](const Block& a, const Block& b) { return a.run < b.run; });

    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return systemError(path);
    AppendFile temporary;
    std::string buffer;
    bool good = temporary.openEmpty(path + ".sorting") && copyRange(fd, 0, headerLength, temporary, buffer);
    for (size_t i = 0; good && i < blocks.size(); ++i) good = copyRange(fd, blocks[i].offset, blocks[i].length, temporary, buffer);
    ::close(fd);
    if (!good) {
        const std::string why = temporary.error().empty() ? systemError(path) : temporary.error();
        temporary.close();
        std::remove(temporary.path().c_str());
        return why;
    }
    return replaceWith(temporary, path);
}

std::string keepRows(const std::string& path, const std::function<bool(std::string_view row)>& keep)
{
    RowReader reader(path);
    if (!reader.isOpen()) return systemError(path);
    AppendFile temporary;
    if (!temporary.openEmpty(path + ".resuming")) return temporary.error();
    std::string_view row;
    bool complete = false;
    bool first = true;
    bool good = true;
    std::string pending;
    while (good && reader.next(row, complete)) {
        if (!complete) break;
        if (first || keep(row)) {
            pending.append(row).push_back('\n');
            if (pending.size() >= readBlock) {
                good = temporary.write(pending);
                pending.clear();
            }
        }
        first = false;
    }
    if (good) good = temporary.write(pending);
    if (!good || reader.failed()) {
        const std::string why = good ? systemError(path) : temporary.error();
        temporary.close();
        std::remove(temporary.path().c_str());
        return why;
    }
    return replaceWith(temporary, path);
}

} // namespace dramolex::sweep
