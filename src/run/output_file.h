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
//
// A path that names one of the process's own descriptors (/dev/stdout,
// /dev/stderr, /dev/fd/N, /proc/self/fd/N) uses that descriptor as the shell
// set it up instead of opening the file again: "--csv /dev/stdout >> x"
// appends to x and never empties it.
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
    // Writes to standard output; shown as "standard output" in messages.
    bool openStandardOutput();
    // Empties a regular file opened by path; pipes, terminals, devices and
    // inherited descriptors are left as they are.
    bool truncate();
    // Whether the output is a regular file, whose contents a run may destroy.
    bool isRegularFile() const;
    // Tries whether the file takes text without keeping any of it: writes it
    // after the current end and cuts the file back to its old length. For
    // regular files only; pipes and devices cannot take a write back.
    bool probe(std::string_view text);
    // Deletes the file if this object created it; used to undo a failed start.
    void removeIfCreated();

    bool write(std::string_view text);
    bool close();

    bool isOpen() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }
    // "<path>: <reason>" for the latest failure.
    const std::string& error() const { return error_; }
    // Whether two outputs would write into one file or one pipe. Character
    // devices (/dev/null, a terminal) are shared harmlessly and never count.
    bool sameFileAs(const OutputFile& other) const;
    // Whether this output is the file at path (which may not exist).
    bool isFileAt(const std::string& path) const;

private:
    bool fail();
    bool adopt(int descriptor, std::string shownName);

    int fd_ = -1;
    bool created_ = false;
    bool inherited_ = false;
    std::string path_;
    std::string error_;
};

} // namespace dramolex::run
