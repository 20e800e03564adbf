#include "cli/core/RunStamp.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace merrowcli {

namespace fs = std::filesystem;

namespace {

constexpr const char* kStampPrefix = "merrowkit ";

// The folder opened without following a link at its last component; -1 when it cannot be.
int openFolder(const fs::path& folder) {
    return open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

}  // namespace

bool writeRunStamp(const fs::path& folder, std::string* error) {
    const int dir = openFolder(folder);
    if (dir < 0) {
        *error = folder.string() + ": cannot open: " + std::strerror(errno);
        return false;
    }
    const int fd =
        openat(dir, kRunStampFile, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        *error = (folder / kRunStampFile).string() + ": cannot write: " + std::strerror(errno);
        close(dir);
        return false;
    }
    const std::string text = kStampPrefix + std::to_string(static_cast<long>(getpid())) + "\n";
    const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    const int writeErrno = errno;
    close(fd);
    if (!written) {
        unlinkat(dir, kRunStampFile, 0);
        *error = (folder / kRunStampFile).string() + ": cannot write: " + std::strerror(writeErrno);
    }
    close(dir);
    return written;
}

long runStampProcess(const fs::path& folder) {
    const int dir = openFolder(folder);
    if (dir < 0) return 0;
    const int fd = openat(dir, kRunStampFile, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    close(dir);
    if (fd < 0) return 0;
    struct stat info {};
    char text[32] = {};
    ssize_t got = -1;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size < 32) {
        got = read(fd, text, sizeof text - 1);
    }
    close(fd);
    const size_t prefix = std::strlen(kStampPrefix);
    if (got <= static_cast<ssize_t>(prefix) || std::strncmp(text, kStampPrefix, prefix) != 0) {
        return 0;
    }
    long pid = 0;
    size_t at = prefix;
    for (; at < static_cast<size_t>(got) && text[at] >= '0' && text[at] <= '9'; ++at) {
        if (pid > 100000000) return 0;
        pid = pid * 10 + (text[at] - '0');
    }
    if (at == prefix || at + 1 != static_cast<size_t>(got) || text[at] != '\n') return 0;
    return pid;
}

bool stampedByGoneRun(const fs::path& folder) {
    const long pid = runStampProcess(folder);
    if (pid <= 0 || pid == static_cast<long>(getpid())) return false;
    return kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

bool removeRunStamp(const fs::path& folder) {
    const int dir = openFolder(folder);
    if (dir < 0) return errno == ENOENT;
    const bool removed = unlinkat(dir, kRunStampFile, 0) == 0 || errno == ENOENT;
    close(dir);
    return removed;
}

}  // namespace merrowcli
