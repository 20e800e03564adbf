#include "host/framework/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace merrowhost {

RegularFile::~RegularFile() {
    close();
}

RegularFile::RegularFile(RegularFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), size_(other.size_) {}

RegularFile& RegularFile::operator=(RegularFile&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        size_ = other.size_;
    }
    return *this;
}

void RegularFile::close() noexcept {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    size_ = 0;
}

bool RegularFile::open(const std::string& path, std::string* problem) {
    close();
    // O_NONBLOCK: opening a FIFO without a writer, or a device, returns at once instead of
    // waiting; the type check below then refuses it.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (problem != nullptr) *problem = std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        if (problem != nullptr) *problem = std::strerror(errno);
        ::close(fd);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        if (problem != nullptr) {
            *problem = S_ISDIR(info.st_mode) ? "is a folder, not a file" : "not a regular file";
        }
        ::close(fd);
        return false;
    }
    // Regular files never block; reads go on in the ordinary blocking mode.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    fd_ = fd;
    size_ = static_cast<long long>(info.st_size);
    return true;
}

std::FILE* RegularFile::releaseToStream() {
    if (fd_ < 0) return nullptr;
    std::FILE* stream = ::fdopen(fd_, "rb");
    if (stream == nullptr) {
        close();
        return nullptr;
    }
    fd_ = -1;
    size_ = 0;
    return stream;
}

bool RegularFile::readAll(std::string* bytes, std::string* problem, long long maxBytes) {
    bytes->clear();
    if (fd_ < 0) {
        if (problem != nullptr) *problem = "not open";
        return false;
    }
    if (size_ > maxBytes) {
        if (problem != nullptr) *problem = "larger than " + std::to_string(maxBytes) + " bytes";
        return false;
    }
    bytes->reserve(static_cast<size_t>(size_));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            if (problem != nullptr) *problem = std::strerror(errno);
            return false;
        }
        if (static_cast<long long>(bytes->size()) + n > maxBytes) {
            if (problem != nullptr) *problem = "larger than " + std::to_string(maxBytes) + " bytes";
            return false;
        }
        bytes->append(buffer, static_cast<size_t>(n));
    }
    return true;
}

}  // namespace merrowhost
