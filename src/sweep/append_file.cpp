#include "sweep/append_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace dramolex::sweep {

AppendFile::~AppendFile()
{
    if (fd_ >= 0) ::close(fd_);
}

bool AppendFile::open(const std::string& path, int flags)
{
    close();
    path_ = path;
    error_.clear();
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | flags, 0666);
    return fd_ >= 0 || fail();
}

bool AppendFile::openEmpty(const std::string& path) { return open(path, O_TRUNC); }
bool AppendFile::openAppend(const std::string& path) { return open(path, O_APPEND); }

bool AppendFile::write(std::string_view text)
{
    if (fd_ < 0) return false;
    while (!text.empty()) {
        const ssize_t written = ::write(fd_, text.data(), text.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return fail();
        text.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

bool AppendFile::close()
{
    if (fd_ < 0) return error_.empty();
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0 || fail();
}

bool AppendFile::fail()
{
    error_ = path_ + ": " + std::strerror(errno);
    return false;
}

} // namespace dramolex::sweep
