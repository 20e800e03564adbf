#include "cli/core/FolderSnapshot.h"

#include <sys/stat.h>

#include <system_error>

namespace merrowcli {

namespace fs = std::filesystem;

namespace {

bool statOf(const fs::path& path, struct stat* info) {
    return lstat(path.c_str(), info) == 0;
}

}  // namespace

FolderSnapshot FolderSnapshot::take(const fs::path& folder) {
    FolderSnapshot snapshot;
    struct stat info {};
    if (!statOf(folder, &info) || !S_ISDIR(info.st_mode)) return snapshot;
    const auto entryOf = [](const struct stat& from) {
        Entry entry;
        entry.type = static_cast<int>(from.st_mode & S_IFMT);
        entry.size = S_ISDIR(from.st_mode) ? 0 : from.st_size;
        entry.modified =
            S_ISDIR(from.st_mode)
                ? 0
                : static_cast<long long>(from.st_mtim.tv_sec) * 1000000000LL + from.st_mtim.tv_nsec;
        entry.inode = from.st_ino;
        return entry;
    };
    snapshot.exists_ = true;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        struct stat entryInfo {};
        const std::string relative = it->path().lexically_relative(folder).string();
        if (statOf(it->path(), &entryInfo)) snapshot.entries_[relative] = entryOf(entryInfo);
    }
    return snapshot;
}

std::string FolderSnapshot::firstNewEntry(const FolderSnapshot& now, const std::string& ignored,
                                          std::string* what) const {
    if (!now.exists_) return {};
    for (const auto& [name, entry] : now.entries_) {
        if (name == ignored) continue;
        const auto before = entries_.find(name);
        if (before == entries_.end()) {
            *what = "appeared";
            return name;
        }
        if (!(before->second == entry)) {
            *what = "changed";
            return name;
        }
    }
    return {};
}

}  // namespace merrowcli
