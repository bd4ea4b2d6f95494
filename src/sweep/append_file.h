#pragma once

#include <string>
#include <string_view>

namespace dramolex::sweep {

// An output file written straight to the descriptor (no user-space buffer),
// so each write() that returns is in the file even if the process is killed
// right after. A row handed to write() in one piece lands in one piece.
class AppendFile {
public:
    AppendFile() = default;
    ~AppendFile();
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    bool openEmpty(const std::string& path);   // creates or empties
    bool openAppend(const std::string& path);  // creates or appends
    bool write(std::string_view text);
    bool close();

    bool isOpen() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }
    const std::string& error() const { return error_; }  // "<path>: <reason>"

private:
    bool open(const std::string& path, int flags);
    bool fail();

    int fd_ = -1;
    std::string path_;
    std::string error_;
};

} // namespace dramolex::sweep
