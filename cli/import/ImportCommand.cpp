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
#include "cli/import/ArtPlan.h"
#include "cli/import/ArtWriter.h"
#include "cli/import/Calendar.h"
#include "cli/import/Design.h"
#include "cli/import/MediaReader.h"
#include "cli/import/ProjectWriter.h"

namespace merrowcli {

namespace fs = std::filesystem;

namespace {

constexpr const char* kDefaultProjectFolder = "merrowkit-project";
constexpr const char* kArtFolder = "art";

// One line on stderr that is rewritten in place while the import reads and draws; shown only
// when stderr is a terminal and the run is not quiet.
class ProgressLine {
public:
    ProgressLine()
        : active_(isatty(STDERR_FILENO) == 1 &&
                  Messages::instance().verbosity() != Messages::Verbosity::kQuiet) {}
    ~ProgressLine() { clear(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void show(const char* what, int done, int total) {
        if (!active_) return;
        std::fprintf(stderr, "\rmerrowkit: %s %d/%d\033[K", what, done, total);
        std::fflush(stderr);
        shown_ = true;
    }
    void clear() {
        if (!shown_) return;
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
        shown_ = false;
    }

private:
    bool active_;
    bool shown_ = false;
};

bool writeFile(const fs::path& file, const std::string& text, std::string* error) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) {
        *error = file.string() + ": cannot write the file";
        return false;
    }
    return true;
}

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

std::string plural(size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::string ImportCommand::description() const {
    return "Makes a calendar project folder from the photos (.jpg, .jpeg, .png) and videos\n"
           "(.mp4, .mov, .m2ts, .mts, .mkv, .avi) under MEDIA_DIR: one year, month and day\n"
           "entry per year, month and day with media (by EXIF date, a video's creation\n"
           "time, else the modification time, in local time), photos of a day taken within\n"
           "--gap hours of each other as one slideshow, each video as a title with its\n"
           "chapters. Writes PROJECT_DIR/presentation.xml (the design's layout with the\n"
           "calendar), project.xml, slideshow.xml and the pictures under art/; then\n"
           "'merrowkit build PROJECT_DIR' builds it.";
}

std::string ImportCommand::epilogue() const {
    return "Exit status: 0 imported, 1 the project could not be written, 2 bad usage or bad\n"
           "input (no photos or videos, a design that cannot be read, a PROJECT_DIR that\n"
           "holds other files).";
}

void ImportCommand::declare(ArgumentParser& parser) {
    parser.addOperand({"MEDIA_DIR", "the folder of photos and videos (and its sub-folders)", true,
                       false, [this](const std::string& value, std::string* problem) {
                           if (value.empty()) {
                               *problem = "MEDIA_DIR is empty";
                               return false;
                           }
                           mediaFolder_ = value;
                           return true;
                       }});
    parser.addValueOption(
        "output", 'o', "PROJECT_DIR",
        "the project folder to write (default: ./merrowkit-project);\n"
        "it is replaced only when it holds nothing but an import",
        [this](const std::string& value, std::string* problem) {
            if (projectFolder_) {
                *problem = "the project folder is given twice";
                return false;
            }
            if (value.empty()) {
                *problem = "PROJECT_DIR is empty";
                return false;
            }
            projectFolder_ = value;
            return true;
        },
        "needs a folder");
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
            name == import::kProjectFile || name == import::kSlideshowFile) {
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
    try {
        return runOrThrow();
    } catch (const std::exception& e) {
        Messages::instance().error(e.what());
    } catch (...) {
        Messages::instance().error("unexpected failure");
    }
    return kFailed;
}

int ImportCommand::runOrThrow() {
    Messages& messages = Messages::instance();
    messages.resetWarningCount();
    tzset();
    const fs::path& media = *mediaFolder_;
    const std::string mediaShown = media.string();
    std::error_code ec;
    if (!fs::is_directory(media, ec)) {
        messages.error(mediaShown + ": not a folder");
        return kBadInput;
    }

    const fs::path designFolder = designFolder_ ? *designFolder_ : defaultDesignFolder();
    if (designFolder.empty()) {
        messages.error("the shipped design designs/calendar is not installed; give --design");
        return kBadInput;
    }
    import::Design design;
    std::string error;
    if (!design.load(designFolder, &error)) {
        messages.error(error);
        return kBadInput;
    }
    messages.note("design " + designFolder.string());

    const fs::path named = projectFolder_ ? *projectFolder_ : fs::path(kDefaultProjectFolder);
    const fs::path target = StagingFolder::normaliseTarget(named);
    if (target.empty()) {
        messages.error(named.string() + ": cannot be used as the project folder");
        return kBadInput;
    }
    fs::path restored;
    if (!StagingFolder::recover(target, &restored, &error)) {
        messages.error(error);
        return kFailed;
    }
    // Looked at before it is checked: whatever appears there later is kept (StagingFolder::commit).
    FolderSnapshot seen = FolderSnapshot::take(target);
    if (!checkTarget(target, &error)) {
        messages.error(error);
        return kBadInput;
    }

    // Read the media.
    ProgressLine progress;
    std::vector<import::SkippedFile> skipped;
    const std::vector<import::MediaFile> files = import::listMedia(media, &skipped);
    std::vector<import::MediaItem> items;
    items.reserve(files.size());
    std::vector<import::SkippedFile> chapterWarnings;  // videos with chapters left out
    int done = 0;
    for (const import::MediaFile& file : files) {
        progress.show("reading media", ++done, static_cast<int>(files.size()));
        std::string reason;
        if (std::optional<import::MediaItem> item = import::readMedia(media, file, &reason)) {
            if (item->chaptersLeftOut > 0) {
                chapterWarnings.push_back(
                    {file.path, "only the first " + std::to_string(import::kMaxChapters) +
                                    " of its " +
                                    std::to_string(item->chapters.size() + item->chaptersLeftOut) +
                                    " chapters are kept"});
            }
            items.push_back(std::move(*item));
        } else {
            skipped.push_back({file.path, reason});
        }
    }
    progress.clear();
    for (const import::SkippedFile& file : skipped) {
        messages.skipped((media / file.path).string(), file.reason);
    }
    for (const import::SkippedFile& file : chapterWarnings) {
        messages.warning((media / file.path).string(), 0, file.reason);
    }
    if (items.empty()) {
        messages.error(mediaShown + ": no photos or videos found");
        return kBadInput;
    }

    const import::Calendar calendar = import::makeCalendar(std::move(items), gapHours_);
    const import::ArtPlan plan = import::planArt(calendar, design.sizes());

    StagingFolder staging;
    staging.expect(std::move(seen));
    if (!staging.create(target, &error)) {
        messages.error(error);
        return kFailed;
    }
    const fs::path out = staging.path();
    if (!writeFile(out / import::kPresentationFile, import::presentationXml(calendar, design, plan),
                   &error) ||
        !writeFile(out / import::kProjectFile, import::projectXml(calendar), &error) ||
        !writeFile(out / import::kSlideshowFile, import::slideshowXml(calendar), &error) ||
        !writeFile(out / kMarkerFile, "written by merrowkit import\n", &error)) {
        messages.error(error);
        return kFailed;
    }
    for (const std::string& picture : design.pictures()) {
        const fs::path to = out / picture;
        fs::create_directories(to.parent_path(), ec);
        if (!fs::copy_file(designFolder / picture, to, fs::copy_options::overwrite_existing, ec)) {
            messages.error(to.string() + ": cannot copy the design's picture: " + ec.message());
            return kFailed;
        }
    }

    const import::ArtResult art = import::drawArt(
        calendar, plan, media, out,
        [&progress](int drawn, int total) { progress.show("drawing pictures", drawn, total); });
    progress.clear();
    for (const std::string& problem : art.problems) messages.warning(problem);
    if (!art.error.empty()) {
        messages.error(art.error);
        return kFailed;
    }
    if (!staging.commit(&error)) {
        messages.error(error);
        return kFailed;
    }
    if (!staging.warning().empty()) messages.warning(staging.warning());

    size_t months = 0;
    size_t days = 0;
    size_t contents = 0;
    for (const import::CalendarYear& year : calendar.years) {
        months += year.months.size();
        for (const import::CalendarMonth& month : year.months) {
            days += month.days.size();
            for (const import::CalendarDay& day : month.days) contents += day.contents.size();
        }
    }
    messages.summary("imported " + plural(calendar.slideshow.size(), "photo", "photos") + " and " +
                     plural(calendar.titles.size(), "video", "videos") + " into " + named.string() +
                     ": " + plural(calendar.years.size(), "year", "years") + ", " +
                     plural(months, "month", "months") + ", " + plural(days, "day", "days") + ", " +
                     plural(contents, "content", "contents") + ", " +
                     plural(static_cast<size_t>(art.written), "picture", "pictures"));
    return kImported;
}

}  // namespace merrowcli
