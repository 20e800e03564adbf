// Whole-or-nothing file writes through a temporary file and a rename.

#include "host/framework/AtomicFileWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "host/framework/ProjectFolder.h"

namespace merrowhost {

namespace {

std::atomic<int>& deferredScopes() {
    static std::atomic<int> count{0};
    return count;
}

}  // namespace

DeferredSyncScope::DeferredSyncScope() {
    deferredScopes().fetch_add(1);
}

DeferredSyncScope::~DeferredSyncScope() {
    deferredScopes().fetch_sub(1);
}

bool syncDeferred() {
    return deferredScopes().load() > 0;
}

AtomicFileWriter::~AtomicFileWriter() {
    discard();
}

bool AtomicFileWriter::fail(const char* reason) {
    std::snprintf(error_, sizeof error_, "%s", reason != nullptr ? reason : "unknown error");
    return false;
}

void AtomicFileWriter::discard() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (created_) {
        ::unlink(temporary_.c_str());
        created_ = false;
    }
}

bool AtomicFileWriter::open(const std::string& target) {
    if (!target_.empty() || created_) return fail("the writer was opened before");
    if (target.empty()) return fail(std::strerror(ENOENT));
    // Process id and a counter keep concurrent writers, in this process and others, apart.
    static std::atomic<unsigned> counter{0};
    try {
        target_ = target;
        temporary_ = target + ".tmp" + std::to_string(::getpid()) + "-" +
                     std::to_string(counter.fetch_add(1) + 1);
    } catch (...) {
        return fail("out of memory");
    }
    return create();
}

bool AtomicFileWriter::openNew(const std::string& target) {
    if (!target_.empty() || created_) return fail("the writer was opened before");
    if (target.empty()) return fail(std::strerror(ENOENT));
    try {
        target_ = target;
        temporary_ = target;
    } catch (...) {
        return fail("out of memory");
    }
    inPlace_ = true;
    return create();
}

bool AtomicFileWriter::create() {
    // O_EXCL refuses any name that is taken, a symbolic link included; O_NOFOLLOW says so again
    // for systems where O_EXCL alone would not.
    const int fd =
        ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return fail(std::strerror(errno));
    created_ = true;
    file_ = ::fdopen(fd, "wb");
    if (file_ == nullptr) {
        const int code = errno;
        ::close(fd);
        discard();
        return fail(std::strerror(code));
    }
    return true;
}

bool AtomicFileWriter::write(const void* data, size_t size) {
    if (file_ == nullptr) return fail(std::strerror(EBADF));
    if (size == 0) return true;
    if (std::fwrite(data, 1, size, file_) != size) return fail(std::strerror(errno));
    return true;
}

bool AtomicFileWriter::commit() {
    if (file_ == nullptr) return fail(std::strerror(EBADF));
    // A write that failed earlier may have left a hole that a later flush would not show.
    if (std::ferror(file_) != 0) {
        discard();
        return fail("a write to the file failed");
    }
    if (std::fflush(file_) != 0 || (!syncDeferred() && ::fsync(::fileno(file_)) != 0)) {
        const int code = errno;
        discard();
        return fail(std::strerror(code));
    }
    const int closed = std::fclose(file_);
    const int closeCode = errno;
    file_ = nullptr;
    if (closed != 0) {
        discard();
        return fail(std::strerror(closeCode));
    }
    if (!inPlace_ && ::rename(temporary_.c_str(), target_.c_str()) != 0) {
        const int code = errno;
        discard();
        return fail(std::strerror(code));
    }
    created_ = false;
    return true;
}

void setWriteError(std::string* error, const std::string& text) {
    if (error == nullptr) return;
    try {
        *error = text;
    } catch (...) {
        error->clear();
    }
}

bool writeWholeFile(const std::string& path, const void* data, size_t size, FileCreation how,
                    std::string* error) {
    AtomicFileWriter writer;
    const bool ok = (how == FileCreation::kNew ? writer.openNew(path) : writer.open(path)) &&
                    writer.write(data, size) && writer.commit();
    if (!ok) setWriteError(error, path + ": " + writer.error());
    return ok;
}

bool openResolved(AtomicFileWriter& writer, const std::string& path, std::string* error) {
    std::string target;
    try {
        target = resolvePath(path);
    } catch (...) {
        setWriteError(error, "out of memory");
        return false;
    }
    if (!writer.open(target)) {
        setWriteError(error, target + ": " + writer.error());
        return false;
    }
    return true;
}

}  // namespace merrowhost
