#include "cli/import/MediaKey.h"

#include <sys/stat.h>

#include "cli/import/Sidecar.h"

namespace merrowcli::import {

namespace {

FileStamp stampOf(const struct stat& info) {
    return {static_cast<long long>(info.st_size),
            static_cast<long long>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec};
}

}  // namespace

std::optional<MediaKey> mediaKeyOf(const std::filesystem::path& folder, const MediaFile& file) {
    const std::filesystem::path path = folder / file.path;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    MediaKey key;
    key.path = file.path;
    key.file = stampOf(info);
    for (const std::string& name : sidecarNames(path)) {
        const std::filesystem::path sidecar = path.parent_path() / name;
        // Found as sidecarDate finds it (a link counts, even a broken one); the stamp is of
        // what it leads to, which is what is read.
        if (::lstat(sidecar.c_str(), &info) != 0) continue;
        key.sidecar = name;
        key.sidecarStamp = ::stat(sidecar.c_str(), &info) == 0 ? stampOf(info) : FileStamp{};
        break;
    }
    return key;
}

}  // namespace merrowcli::import
