#include "cli/import/MediaKey.h"

#include <sys/stat.h>

#include "cli/import/Sidecar.h"

namespace merrowcli::import {

namespace {

// Nothing for a time that does not fit in 64 bits of nanoseconds (before 1677 or after 2262).
std::optional<FileStamp> stampOf(const struct stat& info) {
    long long nanoseconds = 0;
    if (__builtin_mul_overflow(static_cast<long long>(info.st_mtim.tv_sec), 1000000000LL,
                               &nanoseconds) ||
        __builtin_add_overflow(nanoseconds, static_cast<long long>(info.st_mtim.tv_nsec),
                               &nanoseconds)) {
        return std::nullopt;
    }
    return FileStamp{static_cast<long long>(info.st_size), nanoseconds};
}

}  // namespace

std::optional<MediaKey> mediaKeyOf(const std::filesystem::path& folder, const MediaFile& file) {
    const std::filesystem::path path = folder / file.path;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    const std::optional<FileStamp> stamp = stampOf(info);
    if (!stamp) return std::nullopt;
    MediaKey key;
    key.path = file.path;
    key.file = *stamp;
    for (const std::string& name : sidecarNames(path)) {
        const std::filesystem::path sidecar = path.parent_path() / name;
        // Found as sidecarDate finds it (a link counts, even a broken one); the stamp is of
        // what it leads to, which is what is read.
        if (::lstat(sidecar.c_str(), &info) != 0) continue;
        key.sidecar = name;
        if (::stat(sidecar.c_str(), &info) == 0) {
            const std::optional<FileStamp> sidecarStamp = stampOf(info);
            if (!sidecarStamp) return std::nullopt;
            key.sidecarStamp = *sidecarStamp;
        }
        break;
    }
    return key;
}

}  // namespace merrowcli::import
