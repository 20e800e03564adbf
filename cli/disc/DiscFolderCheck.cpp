#include "cli/disc/DiscFolderCheck.h"

#include <system_error>

#include "cli/core/StagingFolder.h"

namespace merrowcli::disc {

namespace fs = std::filesystem;

namespace {

bool refuse(const fs::path& target, const fs::path& entry, std::string* error) {
    *error = target.string() + ": not replaced: it holds '" + entry.string() +
             "', which merrowkit disc does not write";
    return false;
}

// Everything below a disc folder's top folders is folders and regular files.
bool onlyFoldersAndFiles(const fs::path& target, const fs::path& folder, std::string* error) {
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::file_status status = it->symlink_status(ec);
        if (ec) break;
        if (!fs::is_directory(status) && !fs::is_regular_file(status)) {
            return refuse(target, fs::relative(it->path(), target), error);
        }
    }
    if (ec) {
        *error = folder.string() + ": cannot be read: " + ec.message();
        return false;
    }
    return true;
}

}  // namespace

bool checkDiscTarget(const fs::path& target, std::string* error) {
    switch (StagingFolder::targetState(target, error)) {
        case StagingFolder::TargetState::kMissing:
            return true;
        case StagingFolder::TargetState::kRefused:
            return false;
        case StagingFolder::TargetState::kFolder:
            break;
    }
    std::error_code ec;
    for (fs::directory_iterator it(target, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if ((name != "BDMV" && name != "CERTIFICATE") ||
            !fs::is_directory(it->symlink_status(ec))) {
            return refuse(target, name, error);
        }
        if (!onlyFoldersAndFiles(target, it->path(), error)) return false;
    }
    if (ec) {
        *error = target.string() + ": cannot be read: " + ec.message();
        return false;
    }
    return true;
}

}  // namespace merrowcli::disc
