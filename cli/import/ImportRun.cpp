#include "cli/import/ImportRun.h"

#include <libxml/parser.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <exiv2/exiv2.hpp>
#include <optional>
#include <set>
#include <system_error>
#include <utility>
#include <vector>

#include "cli/core/Messages.h"
#include "cli/core/ParallelJobs.h"
#include "cli/core/ProgressLine.h"
#include "cli/import/CacheFile.h"
#include "cli/import/CachedDuplicates.h"
#include "cli/import/ImportCommand.h"
#include "cli/import/MediaReader.h"
#include "cli/import/ProjectWriter.h"
#include "host/framework/AtomicFileWriter.h"
#include "host/framework/RegularFile.h"

namespace merrowcli {

namespace fs = std::filesystem;

namespace {

// The project's files are new files of the staging folder.
bool writeFile(const fs::path& file, const std::string& text, std::string* error) {
    return merrowhost::writeWholeFile(file.string(), text.data(), text.size(),
                                      merrowhost::FileCreation::kNew, error);
}

std::string plural(size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// A design picture is at most this large.
constexpr long long kLargestDesignPicture = 256LL << 20;

// Files dated by their modification time are named one warning each up to this many; more are
// counted in one warning.
constexpr size_t kFileTimeWarningsNamed = 5;

// Names each file's date source (with -v) and warns of the files dated by their modification
// time, which a copy resets.
void reportDateSources(const std::vector<import::MediaItem>& items, const fs::path& mediaFolder) {
    size_t byFileTime = 0;
    for (const import::MediaItem& item : items) {
        if (!item.sidecarProblem.empty()) {
            Messages::instance().note(item.sidecarProblem + " (its sidecar gives no date)");
        }
        Messages::instance().note((mediaFolder / item.path).string() + ": dated by " +
                                  import::dateSourceName(item.dateSource));
        if (item.dateSource == import::DateSource::kFileTime) ++byFileTime;
    }
    if (byFileTime > kFileTimeWarningsNamed) {
        Messages::instance().warning(
            mediaFolder.string(), 0,
            plural(byFileTime, "file", "files") +
                " dated only by their modification time (no date in a sidecar, their metadata "
                "or their name)");
        return;
    }
    for (const import::MediaItem& item : items) {
        if (item.dateSource != import::DateSource::kFileTime) continue;
        Messages::instance().warning((mediaFolder / item.path).string(), 0,
                                     "dated only by its modification time (no date in a sidecar, "
                                     "its metadata or its name)");
    }
}

// "312 by EXIF, 29 by file name, 6 by sidecar, 3 by file time": how many were dated by each
// source, the commonest first (ties in the order of trust), sources of none left out.
std::string dateSourceCounts(const std::vector<import::MediaItem>& items) {
    std::vector<std::pair<size_t, import::DateSource>> counts;
    for (const import::DateSource source : import::kDateSources) {
        size_t count = 0;
        for (const import::MediaItem& item : items) count += item.dateSource == source ? 1 : 0;
        if (count > 0) counts.emplace_back(count, source);
    }
    std::stable_sort(counts.begin(), counts.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    std::string text;
    for (const auto& [count, source] : counts) {
        if (!text.empty()) text += ", ";
        text += std::to_string(count) + " by " + import::dateSourceName(source);
    }
    return text;
}

// What libexiv2 and libxml2 set up on first use is set up here, on one thread, before the
// workers read media (libexiv2 asks for its XMP parser to be initialised so).
void prepareLibrariesForThreads() {
    xmlInitParser();
    Exiv2::XmpParser::initialize();
}

}  // namespace

ImportRun::ImportRun(ImportOptions options)
    : options_(std::move(options)),
      mediaShown_(options_.mediaFolder.string()),
      workers_(workerCount(options_.jobs)) {}

bool ImportRun::fail(int status, const std::string& message) {
    Messages::instance().error(message);
    failure_ = status;
    return false;
}

bool ImportRun::checkMediaFolder() {
    Messages::instance().resetWarningCount();
    tzset();
    std::error_code ec;
    if (!fs::is_directory(options_.mediaFolder, ec)) {
        return fail(ImportCommand::kBadInput, mediaShown_ + ": not a folder");
    }
    return true;
}

bool ImportRun::loadDesign() {
    if (options_.designFolder.empty()) options_.designFolder = ImportCommand::defaultDesignFolder();
    if (options_.designFolder.empty()) {
        return fail(ImportCommand::kBadInput,
                    "the shipped design designs/calendar is not installed; give --design");
    }
    std::string error;
    if (!design_.load(options_.designFolder, &error)) return fail(ImportCommand::kBadInput, error);
    Messages::instance().note("design " + options_.designFolder.string());
    return true;
}

bool ImportRun::prepareProjectFolder() {
    const fs::path& named = options_.projectFolder;
    target_ = StagingFolder::normaliseTarget(named);
    if (target_.empty()) {
        return fail(ImportCommand::kBadInput,
                    named.string() + ": cannot be used as the project folder");
    }
    std::string error;
    fs::path restored;
    if (!StagingFolder::recover(target_, &restored, &error)) {
        return fail(ImportCommand::kFailed, error);
    }
    // Looked at before it is checked: whatever appears there later is kept (StagingFolder::commit).
    seen_ = FolderSnapshot::take(target_);
    if (!ImportCommand::checkTarget(target_, &error)) return fail(ImportCommand::kBadInput, error);
    recordedMediaFolder_ = import::recordedMediaFolder(options_.mediaFolder, target_);
    loadCache();
    return true;
}

void ImportRun::loadCache() {
    next_ = import::ImportCache(import::currentCacheContext(recordedMediaFolder_));
    const std::string shown = (options_.projectFolder / import::kCacheFile).string();
    if (!options_.readCache) {
        Messages::instance().note(shown + ": not read (--no-cache)");
        return;
    }
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(target_ / import::kCacheFile, ec))) return;
    merrowhost::RegularFile in;
    std::string bytes;
    std::string problem;
    import::ImportCache read;
    if (!in.open((target_ / import::kCacheFile).string(), &problem) ||
        !in.readAll(&bytes, &problem, import::kLargestCacheFile) ||
        !import::readCacheText(bytes, &read, &problem)) {
        Messages::instance().note(shown + ": not used: " + problem);
        return;
    }
    for (const std::string& dropped : read.keepWhatApplies(next_.context())) {
        Messages::instance().note(shown + ": " + dropped);
    }
    previous_ = std::move(read);
}

bool ImportRun::readMedia() {
    ProgressLine progress;
    std::vector<import::SkippedFile> skipped;
    std::vector<import::SkippedFile> shortened;  // videos with chapters left out
    // Each file's key is taken before it is compared or read: a change meanwhile changes the
    // key the next import finds.
    const std::vector<import::MediaFile> listed = import::listMedia(options_.mediaFolder, &skipped);
    std::vector<std::optional<import::MediaKey>> listedKeys(listed.size());
    runJobs(listed.size(), workers_,
            [&](size_t i) { listedKeys[i] = import::mediaKeyOf(options_.mediaFolder, listed[i]); });
    const import::DuplicateCheck check =
        import::checkDuplicates(options_.mediaFolder, listed, listedKeys, previous_);
    duplicates_ = listed.size() - check.kept.size();
    for (const import::DuplicateRecord& record : check.leftOut) next_.addDuplicate(record);
    std::vector<import::MediaFile> files;
    std::vector<std::optional<import::MediaKey>> keys;
    for (const size_t at : check.kept) {
        files.push_back(listed[at]);
        keys.push_back(listedKeys[at]);
    }
    // Each file is read on a worker into its own slot; the slots are then taken in file order,
    // so the outcome does not depend on the number of workers. A file whose key is that of a
    // record of the previous import's cache is not read.
    std::vector<import::MediaOutcome> outcomes(files.size());
    std::vector<char> fromCache(files.size(), 0);
    prepareLibrariesForThreads();
    runJobs(
        files.size(), workers_,
        [&](size_t i) {
            if (keys[i]) {
                if (std::optional<import::MediaOutcome> kept =
                        previous_.findMedia(*keys[i], options_.mediaFolder, files[i])) {
                    outcomes[i] = std::move(*kept);
                    fromCache[i] = 1;
                    return;
                }
            }
            outcomes[i].item =
                import::readMedia(options_.mediaFolder, files[i], &outcomes[i].reason);
        },
        [&](size_t finished) {
            progress.show("reading media " + std::to_string(finished) + "/" +
                          std::to_string(files.size()));
        });
    items_.reserve(files.size());
    filesSeen_ = files.size();
    for (size_t i = 0; i < files.size(); ++i) {
        const import::MediaFile& file = files[i];
        if (keys[i]) {
            next_.addMedia(*keys[i], outcomes[i], options_.mediaFolder, file);
            stamps_.emplace(file.path, keys[i]->file);
        }
        filesFromCache_ += fromCache[i] != 0 ? 1 : 0;
        if (std::optional<import::MediaItem>& item = outcomes[i].item) {
            if (item->chaptersLeftOut > 0) {
                shortened.push_back(
                    {file.path, "only the first " + std::to_string(import::kMaxChapters) +
                                    " of its " +
                                    std::to_string(item->chapters.size() + item->chaptersLeftOut) +
                                    " chapters are kept"});
            }
            items_.push_back(std::move(*item));
        } else {
            skipped.push_back({file.path, outcomes[i].reason});
        }
    }
    progress.clear();
    for (const import::SkippedFile& file : skipped) {
        Messages::instance().skipped((options_.mediaFolder / file.path).string(), file.reason);
    }
    for (const import::SkippedFile& file : shortened) {
        Messages::instance().warning((options_.mediaFolder / file.path).string(), 0, file.reason);
    }
    if (items_.empty()) {
        return fail(ImportCommand::kBadInput, mediaShown_ + ": no photos or videos found");
    }
    reportDateSources(items_, options_.mediaFolder);
    calendar_ = import::makeCalendar(std::move(items_), options_.gapHours);
    plan_ = import::planArt(calendar_, design_.sizes());
    return true;
}

bool ImportRun::writeProject() {
    std::string error;
    staging_.expect(std::move(seen_));
    if (!staging_.create(target_, &error)) return fail(ImportCommand::kFailed, error);
    const fs::path out = staging_.path();
    if (!writeFile(out / import::kPresentationFile,
                   import::presentationXml(calendar_, design_, plan_), &error) ||
        !writeFile(out / import::kProjectFile, import::projectXml(calendar_, recordedMediaFolder_),
                   &error) ||
        !writeFile(out / import::kSlideshowFile, import::slideshowXml(calendar_), &error) ||
        !writeFile(out / ImportCommand::kMarkerFile, "written by merrowkit import\n", &error)) {
        return fail(ImportCommand::kFailed, error);
    }
    return copyDesignPictures();
}

// Each picture the design's layout names, read whole and written as a new file.
bool ImportRun::copyDesignPictures() {
    std::set<fs::path> copied;  // names that differ only in "./" or "a/../" name one file
    for (const std::string& picture : design_.pictures()) {
        const fs::path relative = fs::path(picture).lexically_normal();
        if (!copied.insert(relative).second) continue;
        const fs::path to = staging_.path() / relative;
        std::error_code ec;
        fs::create_directories(to.parent_path(), ec);
        merrowhost::RegularFile from;
        std::string bytes;
        std::string problem;
        if (!from.open((options_.designFolder / picture).string(), &problem) ||
            !from.readAll(&bytes, &problem, kLargestDesignPicture) ||
            !writeFile(to, bytes, &problem)) {
            return fail(ImportCommand::kFailed,
                        to.string() + ": cannot copy the design's picture: " + problem);
        }
    }
    return true;
}

bool ImportRun::drawArt() {
    ProgressLine progress;
    import::ArtCache cache;
    cache.previous = &previous_;
    cache.previousProject = target_;
    cache.stamps = std::move(stamps_);
    art_ = import::drawArt(
        calendar_, plan_, options_.mediaFolder, staging_.path(), workers_,
        [&progress](int drawn, int total) {
            progress.show("drawing pictures " + std::to_string(drawn) + "/" +
                          std::to_string(total));
        },
        cache);
    progress.clear();
    for (import::PictureRecord& record : art_.kept) next_.addPicture(std::move(record));
    for (const std::string& problem : art_.problems) Messages::instance().warning(problem);
    if (!art_.error.empty()) return fail(ImportCommand::kFailed, art_.error);
    return true;
}

bool ImportRun::writeCache() {
    std::string error;
    if (!writeFile(staging_.path() / import::kCacheFile, import::cacheText(next_), &error)) {
        return fail(ImportCommand::kFailed, error);
    }
    Messages::instance().note(
        (options_.projectFolder / import::kCacheFile).string() + ": " +
        std::to_string(filesFromCache_) + " of " + std::to_string(filesSeen_) + " files and " +
        std::to_string(art_.reused) + " of " + std::to_string(2 * plan_.thumbnails.size()) +
        " thumbnails taken from the previous import");
    return true;
}

bool ImportRun::commit() {
    std::string error;
    if (!staging_.commit(&error)) return fail(ImportCommand::kFailed, error);
    if (!staging_.warning().empty()) Messages::instance().warning(staging_.warning());
    return true;
}

void ImportRun::summarise() const {
    size_t months = 0;
    size_t days = 0;
    size_t contents = 0;
    for (const import::CalendarYear& year : calendar_.years) {
        months += year.months.size();
        for (const import::CalendarMonth& month : year.months) {
            days += month.days.size();
            for (const import::CalendarDay& day : month.days) contents += day.contents.size();
        }
    }
    Messages::instance().summary(
        "imported " + plural(calendar_.slideshow.size(), "photo", "photos") + " and " +
        plural(calendar_.titles.size(), "video", "videos") + " into " +
        options_.projectFolder.string() + ": " + plural(calendar_.years.size(), "year", "years") +
        ", " + plural(months, "month", "months") + ", " + plural(days, "day", "days") + ", " +
        plural(contents, "content", "contents") + ", " +
        plural(static_cast<size_t>(art_.written), "picture", "pictures") + "; dated " +
        dateSourceCounts(calendar_.media) +
        (duplicates_ > 0 ? "; " + plural(duplicates_, "duplicate", "duplicates") + " left out"
                         : std::string()));
}

}  // namespace merrowcli
