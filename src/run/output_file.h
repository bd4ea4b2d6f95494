#pragma once

#include <string>
#include <string_view>

namespace dramolex::run {

// A plain output file with explicit error reporting. Every write goes straight
// to the file (no user-space buffer), so a reader following the file sees each
// write as soon as it returns.
//
// Opening is split in two so that a caller opening several files can empty
// them only after all have opened: openKeepingContents() creates the file if
// it is missing but leaves an existing one untouched; truncate() empties it.
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    OutputFile(OutputFile&& other) noexcept;
    OutputFile& operator=(OutputFile&& other) noexcept;

    // Opens for writing and empties the file. False on failure; see error().
    bool open(const std::string& path);
    bool openKeepingContents(const std::string& path);
    bool truncate();
    // Deletes the file if this object created it; used to undo a failed start.
    void removeIfCreated();

    bool write(std::string_view text);
    bool close();

    bool isOpen() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }
    // "<path>: <reason>" for the latest failure.
    const std::string& error() const { return error_; }
    // Identity of the open file, to tell whether two paths name one file.
    bool sameFileAs(const OutputFile& other) const;

private:
    bool fail();

    int fd_ = -1;
    bool created_ = false;
    std::string path_;
    std::string error_;
};

} // namespace dramolex::run
