#include "cli/core/StagingFolder.h"

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>
#include <system_error>
#include <vector>

#include "cli/core/OutputLayout.h"
#include "cli/core/RunStamp.h"
#include "cli/core/TestHook.h"

namespace merrowcli {

namespace fs = std::filesystem;

namespace {

constexpr const char* kStagingSuffix = ".staging-";
constexpr const char* kOldSuffix = ".old-";

// The mode a folder made now gets by default: 0777 less the umask (read without changing it
// for good).
mode_t folderModeFromUmask() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0777 & ~mask;
}

// A new empty folder in parent named stem + "PID-" + six characters of mkdtemp, with the mode
// the umask gives (mkdtemp itself makes it 0700).
bool makeUniqueFolder(const fs::path& parent, const std::string& stem, fs::path* out,
                      std::string* error) {
    std::string pattern =
        (parent / (stem + std::to_string(static_cast<long>(getpid())) + "-XXXXXX")).string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) {
        *error = parent.string() + ": cannot make a folder: " + std::strerror(errno);
        return false;
    }
    if (chmod(buffer.data(), folderModeFromUmask()) != 0) {
        *error = std::string(buffer.data()) + ": cannot set the mode: " + std::strerror(errno);
        rmdir(buffer.data());
        return false;
    }
    *out = fs::path(buffer.data());
    return true;
}

// The folders beside target that a run which is gone left: staging folders and old outputs.
struct Forsaken {
    std::vector<fs::path> staging;
    std::vector<fs::path> old;
};

Forsaken findForsaken(const fs::path& target) {
    Forsaken found;
    std::string stem(1, '.');
    stem.append(target.filename().string());
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(target.parent_path(), ec)) {
        const std::string name = entry.path().filename().string();
        if (name.compare(0, stem.size(), stem) != 0) continue;
        const std::string_view rest = std::string_view(name).substr(stem.size());
        std::error_code typeError;
        if (entry.symlink_status(typeError).type() != fs::file_type::directory) continue;
        for (const char* suffix : {kStagingSuffix, kOldSuffix}) {
            const std::string_view wanted(suffix);
            // Only a folder that carries the stamp of a run that is gone is ours to clean.
            if (rest.substr(0, wanted.size()) == wanted && stampedByGoneRun(entry.path())) {
                (suffix == kStagingSuffix ? found.staging : found.old).push_back(entry.path());
            }
        }
    }
    return found;
}

// Swaps two paths in one step; false with errno set when it cannot.
bool exchange(const fs::path& a, const fs::path& b) {
    if (exchangeDisabledForTest()) {
        errno = EINVAL;
        return false;
    }
    return renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0;
}

// ".NAME" + suffix: the hidden name of a folder beside target. Built by appending (GCC 12 warns
// falsely about "." + std::string at -O2).
std::string besideName(const fs::path& target, const char* suffix) {
    std::string name(1, '.');
    name.append(target.filename().string());
    name.append(suffix);
    return name;
}

bool isTrackFile(const fs::directory_entry& entry) {
    std::error_code ec;
    return entry.is_regular_file(ec) && entry.path().extension() == ".png";
}

}  // namespace

StagingFolder::~StagingFolder() {
    discard();
}

fs::path StagingFolder::normaliseTarget(const fs::path& target) {
    if (target.empty()) return {};
    std::error_code ec;
    fs::path absolute = fs::absolute(target, ec);
    if (ec) return {};
    absolute = absolute.lexically_normal();
    if (absolute.filename().empty()) absolute = absolute.parent_path();
    if (absolute.filename().empty() || absolute == absolute.root_path()) return {};
    return absolute;
}

StagingFolder::TargetState StagingFolder::targetState(const fs::path& target, std::string* error) {
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(target, ec);
    if (status.type() == fs::file_type::not_found) return TargetState::kMissing;
    if (ec) {
        *error = target.string() + ": " + ec.message();
        return TargetState::kRefused;
    }
    if (status.type() != fs::file_type::directory) {
        *error = target.string() + ": exists and is not a folder; not replaced";
        return TargetState::kRefused;
    }
    return TargetState::kFolder;
}

bool StagingFolder::checkTarget(const fs::path& target, std::string* error) {
    const TargetState state = targetState(target, error);
    if (state != TargetState::kFolder) return state == TargetState::kMissing;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(target, ec)) {
        const std::string name = entry.path().filename().string();
        bool known = false;
        if (name == OutputLayout::kDocumentFile || name == OutputLayout::kTitleFile ||
            name == OutputLayout::kPreviewFile) {
            known = entry.is_regular_file(ec);
        } else if (name == OutputLayout::kTracksFolder && entry.is_directory(ec)) {
            known = true;
            for (const fs::directory_entry& track : fs::directory_iterator(entry.path(), ec)) {
                if (!isTrackFile(track)) {
                    *error = target.string() + ": not replaced: it holds '" + name + "/" +
                             track.path().filename().string() +
                             "', which merrowkit build does not write";
                    return false;
                }
            }
        }
        if (!known) {
            *error = target.string() + ": not replaced: it holds '" + name +
                     "', which merrowkit build does not write";
            return false;
        }
    }
    if (ec) {
        *error = target.string() + ": " + ec.message();
        return false;
    }
    return true;
}

bool StagingFolder::create(const fs::path& target, std::string* error) {
    discard();
    target_ = target;
    committed_ = false;
    kept_ = false;
    std::error_code ec;
    fs::create_directories(target.parent_path(), ec);
    if (ec) {
        *error = target.parent_path().string() + ": cannot make the folder: " + ec.message();
        return false;
    }
    if (!makeUniqueFolder(target.parent_path(), besideName(target, kStagingSuffix), &path_,
                          error)) {
        return false;
    }
    if (!writeRunStamp(path_, error)) {
        rmdir(path_.c_str());
        path_.clear();
        return false;
    }
    deferredSync_ = std::make_unique<merrowhost::DeferredSyncScope>();
    return true;
}

bool StagingFolder::syncContents(std::string* error) const {
    const int folder = open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        *error = path_.string() + ": cannot open: " + std::strerror(errno);
        return false;
    }
    const bool synced = syncfs(folder) == 0;
    close(folder);
    if (synced) return true;
    // One by one, files first, then the folders that name them.
    std::error_code ec;
    std::vector<fs::path> folders = {path_};
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(path_, ec)) {
        std::error_code typeError;
        if (entry.is_directory(typeError)) {
            folders.push_back(entry.path());
            continue;
        }
        const int fd = open(entry.path().c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || fsync(fd) != 0) {
            *error = entry.path().string() + ": cannot put on disk: " + std::strerror(errno);
            if (fd >= 0) close(fd);
            return false;
        }
        close(fd);
    }
    for (const fs::path& each : folders) {
        const int fd = open(each.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0 || fsync(fd) != 0) {
            *error = each.string() + ": cannot put on disk: " + std::strerror(errno);
            if (fd >= 0) close(fd);
            return false;
        }
        close(fd);
    }
    if (ec) {
        *error = path_.string() + ": " + ec.message();
        return false;
    }
    return true;
}

bool StagingFolder::recover(const fs::path& target, fs::path* restored, std::string* error) {
    restored->clear();
    Forsaken found = findForsaken(target);
    std::error_code ec;
    if (!found.old.empty() && fs::symlink_status(target, ec).type() == fs::file_type::not_found) {
        // Killed between moving the previous output aside and moving the new one in: the
        // newest such folder is the output the user last had.
        size_t newest = 0;
        fs::file_time_type newestTime = fs::file_time_type::min();
        for (size_t i = 0; i < found.old.size(); ++i) {
            const fs::file_time_type time = fs::last_write_time(found.old[i], ec);
            if (!ec && time >= newestTime) {
                newest = i;
                newestTime = time;
            }
        }
        fs::rename(found.old[newest], target, ec);
        if (ec) {
            *error = target.string() + ": cannot put back the previous output " +
                     found.old[newest].string() + ": " + ec.message();
            return false;
        }
        removeRunStamp(target);
        *restored = found.old[newest];
        found.old.erase(found.old.begin() + static_cast<std::ptrdiff_t>(newest));
    } else if (stampedByGoneRun(target)) {
        // Killed between the swap and taking the stamp off the new output.
        removeRunStamp(target);
    }
    for (const std::vector<fs::path>* list : {&found.staging, &found.old}) {
        for (const fs::path& folder : *list) fs::remove_all(folder, ec);
    }
    return true;
}

bool StagingFolder::commit(std::string* error) {
    if (path_.empty() || committed_) {
        *error = "nothing to move into place";
        return false;
    }
    deferredSync_.reset();
    if (!syncContents(error)) return false;
    killedAtForTest("commit");
    // Whatever appeared in the output folder since the run looked at it stays, and so does the
    // new output, in its staging folder (without its stamp, so that no clean-up takes it).
    std::string what;
    const std::string added =
        expected_.firstNewEntry(FolderSnapshot::take(target_), kRunStampFile, &what);
    if (!added.empty()) {
        removeRunStamp(path_);
        kept_ = true;
        *error = target_.string() + ": not replaced: '" + added + "' " + what +
                 " in it while this run was writing; the new output is left in " + path_.string();
        return false;
    }
    std::error_code ec;
    const bool hadTarget = fs::symlink_status(target_, ec).type() != fs::file_type::not_found;
    // The previous output carries a stamp as well, so that if this run dies once it is moved
    // aside, the next run puts it back or removes it.
    if (hadTarget && fs::is_directory(fs::symlink_status(target_, ec)) &&
        !writeRunStamp(target_, error)) {
        return false;
    }
    killedAtForTest("swap");
    fs::path previous;
    if (hadTarget && exchange(path_, target_)) {
        // The staging folder now holds the previous output.
        previous = path_;
    } else if (hadTarget && errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
        *error = target_.string() + ": cannot swap in the new output: " + std::strerror(errno);
        removeRunStamp(target_);
        return false;
    } else {
        if (hadTarget) {
            // mkdtemp reserves a unique empty folder; renaming a folder onto an empty folder
            // replaces it.
            if (!makeUniqueFolder(target_.parent_path(), besideName(target_, kOldSuffix), &previous,
                                  error)) {
                removeRunStamp(target_);
                return false;
            }
            fs::rename(target_, previous, ec);
            if (ec) {
                const std::string reason = ec.message();
                fs::remove(previous, ec);
                removeRunStamp(target_);
                *error = target_.string() + ": cannot move the previous output aside: " + reason;
                return false;
            }
            killedAtForTest("aside");
        }
        fs::rename(path_, target_, ec);
        if (ec) {
            const std::string reason = ec.message();
            if (hadTarget) fs::rename(previous, target_, ec);
            removeRunStamp(target_);
            *error = target_.string() + ": cannot move the new output into place: " + reason;
            return false;
        }
    }
    committed_ = true;
    path_.clear();
    removeRunStamp(target_);
    if (!previous.empty()) {
        killedAtForTest("swapped");
        // A file put into the output folder in the moment before the swap is in the previous
        // output now: that folder is kept, named in the warning.
        const std::string late =
            expected_.firstNewEntry(FolderSnapshot::take(previous), kRunStampFile, &what);
        if (!late.empty()) {
            removeRunStamp(previous);
            warning_ = previous.string() + ": the previous output is kept: '" + late + "' " + what +
                       " in " + target_.string() + " while this run was writing";
            return true;
        }
        fs::remove_all(previous, ec);
        if (ec) {
            warning_ =
                previous.string() + ": the previous output could not be removed: " + ec.message();
        }
    }
    return true;
}

void StagingFolder::discard() noexcept {
    deferredSync_.reset();
    if (!path_.empty() && !committed_ && !kept_) {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    path_.clear();
}

}  // namespace merrowcli
