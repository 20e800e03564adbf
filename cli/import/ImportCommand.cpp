#include "cli/import/ImportCommand.h"

#include <unistd.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <system_error>
#include <utility>
#include <vector>

#include "cli/core/Messages.h"
#include "cli/core/ProgramPaths.h"
#include "cli/core/StagingFolder.h"
#include "cli/import/Design.h"
#include "cli/import/ImportCache.h"
#include "cli/import/ImportRun.h"
#include "cli/import/ProjectWriter.h"

namespace merrowcli {

namespace fs = std::filesystem;

namespace {

constexpr const char* kDefaultProjectFolder = "merrowkit-project";
constexpr const char* kArtFolder = "art";

bool isPictureFile(const fs::path& file) {
    std::string extension = file.extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".png" || extension == ".jpg" || extension == ".jpeg";
}

// True when folder holds only picture files and folders of them; *stray names the first
// thing that is neither.
bool holdsOnlyPictures(const fs::path& folder, const std::string& shown, std::string* stray) {
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = shown + "/" + entry.path().filename().string();
        const fs::file_type type = entry.symlink_status(ec).type();
        if (type == fs::file_type::directory) {
            if (!holdsOnlyPictures(entry.path(), name, stray)) return false;
        } else if (type != fs::file_type::regular || !isPictureFile(entry.path())) {
            *stray = name;
            return false;
        }
    }
    if (ec) {
        *stray = shown;
        return false;
    }
    return true;
}

}  // namespace

std::string ImportCommand::description() const {
    return "Makes a calendar project folder from the photos (.jpg, .jpeg, .png, .heic,\n"
           ".heif) and videos (.mp4, .mov, .m2ts, .mts, .mkv, .avi) under MEDIA_DIR: one\n"
           "year, month and day entry per year, month and day with media (by an XMP\n"
           "sidecar's date, EXIF, a video's creation time, a date in the file's name, else\n"
           "the modification time, on the wall clock where it was taken), photos of a day\n"
           "taken within --gap hours of each other as one slideshow, each video as a title\n"
           "with its chapters. Writes PROJECT_DIR/presentation.xml (the design's layout with the\n"
           "calendar), project.xml, slideshow.xml and the pictures under art/; then\n"
           "'merrowkit build PROJECT_DIR' builds it.";
}

std::string ImportCommand::epilogue() const {
    return "Exit status: 0 imported, 1 the project could not be written, 2 bad usage or bad\n"
           "input (no photos or videos, a design that cannot be read, a PROJECT_DIR that\n"
           "holds other files).\n"
           "\n"
           "PROJECT_DIR/.merrowkit-import-cache keeps what was read of each file (by its\n"
           "path, size, modification time and sidecar) and the thumbnails drawn, so that\n"
           "importing the same folder again reads and draws only what changed; the project\n"
           "is the same with or without it.";
}

void ImportCommand::declare(ArgumentParser& parser) {
    parser.addOperand(ArgumentParser::folderOperand(
        "MEDIA_DIR", "the folder of photos and videos (and its sub-folders)", mediaFolder_));
    parser.addFolderOption("output", 'o', "PROJECT_DIR",
                           "the project folder to write (default: ./merrowkit-project);\n"
                           "it is replaced only when it holds nothing but an import",
                           "project folder", projectFolder_);
    parser.addValueOption(
        "design", 0, "DESIGN_DIR",
        "the design: a folder with design.xml and its art\n"
        "(default: the shipped designs/calendar)",
        [this](const std::string& value, std::string* problem) {
            if (value.empty()) {
                *problem = "DESIGN_DIR is empty";
                return false;
            }
            designFolder_ = value;
            return true;
        },
        "needs a folder");
    parser.addValueOption(
        "gap", 0, "HOURS",
        "photos of a day taken within HOURS of the previous one\n"
        "form one slideshow (default: 2)",
        [this](const std::string& value, std::string* problem) {
            char* end = nullptr;
            const double hours = std::strtod(value.c_str(), &end);
            if (value.empty() || end == nullptr || *end != '\0' || !std::isfinite(hours) ||
                hours < 0 || hours > 24 * 366) {
                *problem = "--gap takes a number of hours from 0 to 8784, not '" + value + "'";
                return false;
            }
            gapHours_ = hours;
            gapGiven_ = true;
            return true;
        },
        "needs a number of hours");
    parser.addValueOption(
        "jobs", 'j', "N",
        "read and draw on N threads (default: MERROWKIT_JOBS,\n"
        "else one per core); the project is the same for any N",
        [this](const std::string& value, std::string* problem) {
            char* end = nullptr;
            const long jobs = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || end == nullptr || *end != '\0' || jobs < 1 || jobs > 64) {
                *problem = "-j takes a number of threads from 1 to 64, not '" + value + "'";
                return false;
            }
            jobs_ = static_cast<int>(jobs);
            return true;
        },
        "needs a number of threads");
    parser.addFlag("no-cache", 0,
                   "read every file and draw every thumbnail again, instead\n"
                   "of taking them from PROJECT_DIR's import cache; a new\n"
                   "cache is still written",
                   [this] { noCache_ = true; });
}

fs::path ImportCommand::defaultDesignFolder() {
    const fs::path program = programFolder();
    std::error_code ec;
    for (const fs::path& folder : {program / "designs" / "calendar",
                                   installedDataFolder(program) / "designs" / "calendar"}) {
        if (fs::is_regular_file(folder / import::Design::kDesignFile, ec)) return folder;
    }
#ifdef MERROWKIT_SOURCE_DESIGNS
    const fs::path source = fs::path(MERROWKIT_SOURCE_DESIGNS) / "calendar";
    if (fs::is_regular_file(source / import::Design::kDesignFile, ec)) return source;
#endif
    return {};
}

bool ImportCommand::checkTarget(const fs::path& target, std::string* error) {
    const StagingFolder::TargetState state = StagingFolder::targetState(target, error);
    if (state != StagingFolder::TargetState::kFolder) {
        return state == StagingFolder::TargetState::kMissing;
    }
    std::error_code ec;
    bool empty = true;
    for (const fs::directory_entry& entry : fs::directory_iterator(target, ec)) {
        (void)entry;
        empty = false;
        break;
    }
    if (ec) {
        *error = target.string() + ": " + ec.message();
        return false;
    }
    if (empty) return true;
    if (!fs::is_regular_file(target / kMarkerFile, ec)) {
        *error = target.string() + ": not replaced: it holds files and no " + kMarkerFile +
                 ", so merrowkit import did not write it";
        return false;
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(target, ec)) {
        const std::string name = entry.path().filename().string();
        const fs::file_type type = entry.symlink_status(ec).type();
        bool known = false;
        if (name == kMarkerFile || name == import::kPresentationFile ||
            name == import::kProjectFile || name == import::kSlideshowFile ||
            name == import::kCacheFile) {
            known = type == fs::file_type::regular;
        } else if (name == kArtFolder && type == fs::file_type::directory) {
            std::string stray;
            if (!holdsOnlyPictures(entry.path(), name, &stray)) {
                *error = target.string() + ": not replaced: it holds '" + stray +
                         "', which merrowkit import does not write";
                return false;
            }
            known = true;
        }
        if (!known) {
            *error = target.string() + ": not replaced: it holds '" + name +
                     "', which merrowkit import does not write";
            return false;
        }
    }
    return true;
}

int ImportCommand::run() {
    return runCatching(kFailed, [this] { return runOrThrow(); });
}

int ImportCommand::runOrThrow() {
    ImportRun run({*mediaFolder_, projectFolder_.value_or(fs::path(kDefaultProjectFolder)),
                   designFolder_.value_or(fs::path()), gapHours_, jobs_, !noCache_});
    if (!run.checkMediaFolder() || !run.loadDesign() || !run.prepareProjectFolder() ||
        !run.readMedia() || !run.writeProject() || !run.drawArt() || !run.writeCache() ||
        !run.commit()) {
        return run.failure();
    }
    run.summarise();
    return kImported;
}

}  // namespace merrowcli
