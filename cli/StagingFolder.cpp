#include "cli/StagingFolder.h"

#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

namespace merrowcli {

namespace fs = std::filesystem;

namespace {

// A new empty folder in parent whose name starts with stem (mkdtemp adds six characters).
bool makeUniqueFolder(const fs::path& parent, const std::string& stem, fs::path* out,
                      std::string* error) {
    std::string pattern = (parent / (stem + "XXXXXX")).string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) {
        *error = parent.string() + ": cannot make a folder: " + std::strerror(errno);
        return false;
    }
    *out = fs::path(buffer.data());
    return true;
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

bool StagingFolder::checkTarget(const fs::path& target, std::string* error) {
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(target, ec);
    if (status.type() == fs::file_type::not_found) return true;
    if (ec) {
        *error = target.string() + ": " + ec.message();
        return false;
    }
    if (status.type() != fs::file_type::directory) {
        *error = target.string() + ": exists and is not a folder; not replaced";
        return false;
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(target, ec)) {
        const std::string name = entry.path().filename().string();
        bool known = false;
        if (name == kDocumentFile || name == kTitleFile || name == kPreviewFile) {
            known = entry.is_regular_file(ec);
        } else if (name == kTracksFolder && entry.is_directory(ec)) {
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
    std::error_code ec;
    fs::create_directories(target.parent_path(), ec);
    if (ec) {
        *error = target.parent_path().string() + ": cannot make the folder: " + ec.message();
        return false;
    }
    return makeUniqueFolder(target.parent_path(), besideName(target, ".staging-"), &path_, error);
}

bool StagingFolder::commit(std::string* error) {
    if (path_.empty() || committed_) {
        *error = "nothing to move into place";
        return false;
    }
    std::error_code ec;
    fs::path aside;
    const bool hadTarget = fs::symlink_status(target_, ec).type() != fs::file_type::not_found;
    if (hadTarget) {
        // mkdtemp reserves a unique empty folder; renaming a folder onto an empty folder
        // replaces it.
        if (!makeUniqueFolder(target_.parent_path(), besideName(target_, ".old-"), &aside, error)) {
            return false;
        }
        fs::rename(target_, aside, ec);
        if (ec) {
            const std::string reason = ec.message();
            fs::remove(aside, ec);
            *error = target_.string() + ": cannot move the previous output aside: " + reason;
            return false;
        }
    }
    fs::rename(path_, target_, ec);
    if (ec) {
        const std::string reason = ec.message();
        if (hadTarget) fs::rename(aside, target_, ec);
        *error = target_.string() + ": cannot move the new output into place: " + reason;
        return false;
    }
    committed_ = true;
    path_.clear();
    if (hadTarget) {
        fs::remove_all(aside, ec);
        if (ec) {
            warning_ =
                aside.string() + ": the previous output could not be removed: " + ec.message();
        }
    }
    return true;
}

void StagingFolder::discard() noexcept {
    if (!path_.empty() && !committed_) {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    path_.clear();
}

}  // namespace merrowcli
