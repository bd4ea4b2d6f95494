#include "run/output_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace dramolex::run {

OutputFile::~OutputFile()
{
    if (fd_ >= 0) ::close(fd_);
}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), created_(other.created_), path_(std::move(other.path_)),
      error_(std::move(other.error_))
{
}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        created_ = other.created_;
        path_ = std::move(other.path_);
        error_ = std::move(other.error_);
    }
    return *this;
}

bool OutputFile::fail()
{
    error_ = path_ + ": " + std::strerror(errno);
    return false;
}

bool OutputFile::openKeepingContents(const std::string& path)
{
    close();
    path_ = path;
    error_.clear();
    if (path.empty()) {
        errno = ENOENT;
        return fail();
    }
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    created_ = fd_ >= 0;
    if (fd_ < 0 && errno == EEXIST) fd_ = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd_ < 0) return fail();
    return true;
}

bool OutputFile::open(const std::string& path)
{
    return openKeepingContents(path) && truncate();
}

bool OutputFile::truncate()
{
    struct stat info {};
    // Devices and pipes cannot be truncated and need not be.
    if (::fstat(fd_, &info) == 0 && !S_ISREG(info.st_mode)) return true;
    if (::ftruncate(fd_, 0) != 0) return fail();
    return true;
}

void OutputFile::removeIfCreated()
{
    if (fd_ < 0 || !created_) return;
    ::close(fd_);
    fd_ = -1;
    ::unlink(path_.c_str());
}

bool OutputFile::write(std::string_view text)
{
    if (fd_ < 0) {
        errno = EBADF;
        return fail();
    }
    while (!text.empty()) {
        const ssize_t written = ::write(fd_, text.data(), text.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return fail();
        }
        text.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

bool OutputFile::close()
{
    if (fd_ < 0) return true;
    const int result = ::close(fd_);
    fd_ = -1;
    if (result != 0) return fail();
    return true;
}

bool OutputFile::sameFileAs(const OutputFile& other) const
{
    struct stat a {}, b {};
    if (fd_ < 0 || other.fd_ < 0 || ::fstat(fd_, &a) != 0 || ::fstat(other.fd_, &b) != 0) return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace dramolex::run
