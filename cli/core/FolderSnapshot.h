#pragma once
// What a folder held at one moment: every entry below it (symbolic links not followed) with its
// type, size, modification time and inode. A run looks at its output folder when it checks it
// and again before replacing it, so that a file someone put there in the meantime is never
// swapped away with the previous output.

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <string>

namespace merrowcli {

class FolderSnapshot {
public:
    // An empty snapshot: the folder was missing.
    FolderSnapshot() = default;

    // The entries of folder now; a missing folder (or a name that is not a folder) gives the
    // snapshot of a missing folder with exists() telling which.
    static FolderSnapshot take(const std::filesystem::path& folder);

    bool exists() const { return exists_; }

    // The first entry (a path relative to the folder, in sorted order) that `now` holds and this
    // snapshot did not, or holds changed, with *what "appeared" or "changed"; empty when `now`
    // holds nothing new. An entry named `ignored` at the top is left out (the run's own stamp).
    std::string firstNewEntry(const FolderSnapshot& now, const std::string& ignored,
                              std::string* what) const;

private:
    struct Entry {
        int type = 0;
        off_t size = 0;
        long long modified = 0;  // nanoseconds
        ino_t inode = 0;
        bool operator==(const Entry&) const = default;
    };
    bool exists_ = false;
    std::map<std::string, Entry> entries_;
};

}  // namespace merrowcli
