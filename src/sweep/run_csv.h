#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace dramolex::sweep {

// CSV files whose rows start with a run number (summary.csv, rounds.csv).
// Rows arrive in the order runs finish; these helpers put them in run order
// and clean up after an interruption. Both stream the file, keeping only an
// index of one entry per run block in memory, and replace the file through a
// temporary file and a rename, so a reader never sees it half-rewritten.

// The run number at the start of a row, if it has one.
std::optional<uint64_t> leadingRun(std::string_view row);

// Reorders the rows after the header into blocks of ascending run number
// (the rows of one run stay together and in order). Leaves a file that is
// already in order untouched. "" on success, else the reason.
std::string sortRunBlocks(const std::string& path);

// Keeps the header and the complete rows (ending in a newline) for which
// keep(row) is true, in order; drops a half-written last row. "" or the reason.
std::string keepRows(const std::string& path, const std::function<bool(std::string_view row)>& keep);

// Reads a file row by row; the last row may lack its newline.
class RowReader {
public:
    explicit RowReader(const std::string& path);
    ~RowReader();
    RowReader(const RowReader&) = delete;
    RowReader& operator=(const RowReader&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    // The next row without its newline; false at the end or on a read error.
    bool next(std::string_view& row, bool& complete);
    uint64_t rowOffset() const { return rowOffset_; }  // where the last row returned starts
    bool failed() const { return failed_; }

private:
    bool fill();

    int fd_ = -1;
    std::string buffer_;
    size_t start_ = 0;
    size_t end_ = 0;
    uint64_t bufferOffset_ = 0;  // file offset of buffer_[0]
    uint64_t rowOffset_ = 0;
    bool eof_ = false;
    bool failed_ = false;
};

} // namespace dramolex::sweep
