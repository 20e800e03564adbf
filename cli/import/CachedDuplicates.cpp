#include "cli/import/CachedDuplicates.h"

#include <map>
#include <set>
#include <string>

#include "cli/import/Duplicates.h"

namespace merrowcli::import {

namespace {

// True when the previous import compared exactly these files, each as it is now.
bool comparedBefore(const ImportCache& previous, long long size, const std::vector<size_t>& group,
                    const std::vector<std::optional<MediaKey>>& keys) {
    const std::map<std::string, ComparedFile> before = previous.filesOfSize(size);
    if (before.size() != group.size()) return false;
    for (const size_t at : group) {
        const auto found = before.find(keys[at]->path);
        if (found == before.end() || !(found->second.file == keys[at]->file)) return false;
    }
    return true;
}

// The files of `group` that withoutDuplicates keeps.
std::set<size_t> keptOf(const std::filesystem::path& folder, const std::vector<MediaFile>& files,
                        const std::vector<size_t>& group) {
    std::vector<MediaFile> some;
    std::map<std::string, size_t> index;
    for (const size_t at : group) {
        some.push_back(files[at]);
        index[files[at].path] = at;
    }
    size_t leftOut = 0;
    std::set<size_t> kept;
    for (const MediaFile& file : withoutDuplicates(folder, std::move(some), &leftOut)) {
        kept.insert(index.at(file.path));
    }
    return kept;
}

}  // namespace

DuplicateCheck checkDuplicates(const std::filesystem::path& folder,
                               const std::vector<MediaFile>& files,
                               const std::vector<std::optional<MediaKey>>& keys,
                               const ImportCache& previous) {
    std::vector<size_t> all(files.size());
    for (size_t i = 0; i < files.size(); ++i) all[i] = i;
    std::map<long long, std::vector<size_t>> bySize;
    bool everyKey = true;
    for (size_t i = 0; i < files.size(); ++i) {
        if (!keys[i]) {
            everyKey = false;
            break;
        }
        bySize[keys[i]->file.size].push_back(i);
    }
    std::set<size_t> kept;
    if (!everyKey) {
        kept = keptOf(folder, files, all);
    } else {
        for (const auto& [size, group] : bySize) {
            if (group.size() == 1) {
                kept.insert(group.front());
            } else if (comparedBefore(previous, size, group, keys)) {
                const std::map<std::string, ComparedFile> before = previous.filesOfSize(size);
                for (const size_t at : group) {
                    if (!before.at(keys[at]->path).duplicate) kept.insert(at);
                }
            } else {
                const std::set<size_t> some = keptOf(folder, files, group);
                kept.insert(some.begin(), some.end());
            }
        }
    }
    DuplicateCheck check;
    for (const size_t at : all) {
        if (kept.count(at) != 0) {
            check.kept.push_back(at);
        } else if (keys[at]) {
            check.leftOut.push_back({keys[at]->path, keys[at]->file});
        }
    }
    return check;
}

}  // namespace merrowcli::import
