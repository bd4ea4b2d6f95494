#include "run/output_file.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "run/message_text.h"

namespace dramolex::run {
namespace {

// The descriptor a path names when it is one of the process's own
// descriptors, as the shell's redirections set them up.
std::optional<int> ownDescriptor(std::string_view path)
{
    if (path == "/dev/stdout") return 1;
    if (path == "/dev/stderr") return 2;
    for (const std::string_view prefix : {std::string_view("/dev/fd/"), std::string_view("/proc/self/fd/")}) {
        if (!path.starts_with(prefix)) continue;
        const std::string_view digits = path.substr(prefix.size());
        int descriptor = -1;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), descriptor);
        if (!digits.empty() && error == std::errc{} && end == digits.data() + digits.size()) return descriptor;
    }
    return std::nullopt;
}

} // namespace

OutputFile::~OutputFile()
{
    if (fd_ >= 0) ::close(fd_);
}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), created_(other.created_), inherited_(other.inherited_),
      path_(std::move(other.path_)), error_(std::move(other.error_))
{
}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        created_ = other.created_;
        inherited_ = other.inherited_;
        path_ = std::move(other.path_);
        error_ = std::move(other.error_);
    }
    return *this;
}

bool OutputFile::fail()
{
    error_ = shortenedForMessage(path_) + ": " + std::strerror(errno);
    return false;
}

bool OutputFile::openKeepingContents(const std::string& path)
{
    close();
    path_ = path;
    error_.clear();
    inherited_ = false;
    created_ = false;
    if (path.empty()) {
        errno = ENOENT;
        return fail();
    }
    if (const auto descriptor = ownDescriptor(path)) return adopt(*descriptor, path);
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    created_ = fd_ >= 0;
    if (fd_ < 0 && errno == EEXIST) fd_ = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd_ < 0) return fail();
    return true;
}

bool OutputFile::openStandardOutput()
{
    close();
    error_.clear();
    created_ = false;
    return adopt(STDOUT_FILENO, "standard output");
}

bool OutputFile::adopt(int descriptor, std::string shownName)
{
    path_ = std::move(shownName);
    inherited_ = true;
    // A copy, so that closing this output leaves the process's own alone.
    fd_ = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 3);
    if (fd_ < 0) return fail();
    return true;
}

bool OutputFile::open(const std::string& path)
{
    return openKeepingContents(path) && truncate();
}

bool OutputFile::truncate()
{
    // Devices and pipes cannot be truncated and need not be; an inherited
    // descriptor was emptied or not by the shell's redirection.
    if (inherited_ || !isRegularFile()) return true;
    if (::ftruncate(fd_, 0) != 0) return fail();
    return true;
}

bool OutputFile::isRegularFile() const
{
    struct stat info {};
    return fd_ >= 0 && ::fstat(fd_, &info) == 0 && S_ISREG(info.st_mode);
}

bool OutputFile::probe(std::string_view text)
{
    struct stat info {};
    if (fd_ < 0 || ::fstat(fd_, &info) != 0) return fail();
    const off_t end = info.st_size;
    size_t done = 0;
    bool taken = true;
    while (done < text.size()) {
        const ssize_t written = ::pwrite(fd_, text.data() + done, text.size() - done, end + static_cast<off_t>(done));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            if (written == 0) errno = ENOSPC;
            taken = false;
            break;
        }
        done += static_cast<size_t>(written);
    }
    const int probeError = errno;
    if (::ftruncate(fd_, end) != 0) return fail();
    errno = probeError;
    return taken || fail();
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
    if (S_ISCHR(a.st_mode) || S_ISBLK(a.st_mode)) return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool OutputFile::isFileAt(const std::string& path) const
{
    struct stat mine {}, there {};
    if (fd_ < 0 || ::fstat(fd_, &mine) != 0 || ::stat(path.c_str(), &there) != 0) return false;
    if (S_ISCHR(mine.st_mode) || S_ISBLK(mine.st_mode)) return false;
    return mine.st_dev == there.st_dev && mine.st_ino == there.st_ino;
}

} // namespace dramolex::run
