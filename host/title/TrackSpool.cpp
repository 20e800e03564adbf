// Spooled track encodings.

#include "host/title/TrackSpool.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <string_view>
#include <utility>

#include "host/framework/AtomicFileWriter.h"

namespace merrowhost {

namespace {

std::mutex currentMutex;
std::shared_ptr<TrackSpool> currentSpool;

// A rename that never replaces what stands at target; where the file system cannot promise
// that in one call, a hard link and the removal of the old name do it.
bool renameNoReplace(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) return false;
    if (link(from.c_str(), to.c_str()) != 0) return false;
    unlink(from.c_str());
    return true;
}

}  // namespace

uint64_t contentDigest(const void* data, size_t size) {
    return std::hash<std::string_view>{}(std::string_view(static_cast<const char*>(data), size));
}

SpooledFile::SpooledFile(std::string path, size_t size, uint64_t digest)
    : path_(std::move(path)), size_(size), digest_(digest) {}

std::string SpooledFile::path() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return path_;
}

bool SpooledFile::read(std::vector<uint8_t>* bytes, std::string* error) const {
    const std::string file = path();
    const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        setWriteError(error, file + ": " + std::strerror(errno));
        return false;
    }
    bytes->resize(size_);
    size_t done = 0;
    while (done < size_) {
        const ssize_t got = ::read(fd, bytes->data() + done, size_ - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<size_t>(got);
    }
    close(fd);
    if (done != size_) {
        setWriteError(error, file + ": shorter than it was written");
        return false;
    }
    return true;
}

bool SpooledFile::moveTo(const std::string& target, std::string* error) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!renameNoReplace(path_, target)) {
        const int code = errno;
        setWriteError(error, target + ": " + std::strerror(code));
        errno = code;
        return false;
    }
    path_ = target;
    return true;
}

TrackSpool::TrackSpool(std::string folder) : folder_(std::move(folder)) {}

std::shared_ptr<SpooledFile> TrackSpool::store(const std::vector<uint8_t>& bytes,
                                               std::string* error) {
    uint64_t number = 0;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        number = ++next_;
    }
    const std::string file = folder_ + "/" + std::to_string(number) + ".png";
    AtomicFileWriter writer;
    if (!writer.openNew(file) || !writer.write(bytes.data(), bytes.size()) || !writer.commit()) {
        setWriteError(error, file + ": " + writer.error());
        return nullptr;
    }
    return std::make_shared<SpooledFile>(file, bytes.size(),
                                         contentDigest(bytes.data(), bytes.size()));
}

TrackSpoolScope::TrackSpoolScope(std::shared_ptr<TrackSpool> spool) {
    const std::lock_guard<std::mutex> lock(currentMutex);
    previous_ = std::exchange(currentSpool, std::move(spool));
}

TrackSpoolScope::~TrackSpoolScope() {
    const std::lock_guard<std::mutex> lock(currentMutex);
    currentSpool = std::move(previous_);
}

std::shared_ptr<TrackSpool> TrackSpoolScope::current() {
    const std::lock_guard<std::mutex> lock(currentMutex);
    return currentSpool;
}

}  // namespace merrowhost
