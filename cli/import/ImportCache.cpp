#include "cli/import/ImportCache.h"

#include <libxml/xmlversion.h>

#include <climits>
#include <cmath>
#include <exiv2/exiv2.hpp>
#include <utility>

#include "cli/import/Digest.h"
#include "cli/import/ZoneFingerprint.h"
#include "cli/import/art/LibraryVersions.h"

namespace merrowcli::import {

namespace fs = std::filesystem;

namespace {

// Far beyond any instant of a valid date (years 1 to 9999) and its offset.
constexpr long long kLargestInstant = 1000000000000LL;

// What a sidecar problem starts with: the path of the file's folder, as sidecarDate names it.
std::string sidecarPrefix(const fs::path& mediaFolder, const MediaFile& file) {
    return ((mediaFolder / file.path).parent_path() / "").string();
}

bool isName(const std::string& name) {
    return !name.empty() && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos && name != "." && name != "..";
}

bool isValidItem(const MediaItem& item) {
    if (!isValidTime(item.taken) || item.microseconds < 0 || item.microseconds > 999999) {
        return false;
    }
    if (item.utcSeconds &&
        (*item.utcSeconds > kLargestInstant || *item.utcSeconds < -kLargestInstant)) {
        return false;
    }
    if (static_cast<int>(item.dateSource) < static_cast<int>(DateSource::kSidecar) ||
        static_cast<int>(item.dateSource) > static_cast<int>(DateSource::kFileTime)) {
        return false;
    }
    if (item.orientation < 0 || item.orientation > 8) return false;
    if (!std::isfinite(item.duration) || item.duration < 0) return false;
    if (item.chapters.size() > kMaxChapters || item.chaptersLeftOut > UINT_MAX) return false;
    if (item.chaptersLeftOut > 0 && item.chapters.size() != kMaxChapters) return false;
    for (const Chapter& chapter : item.chapters) {
        if (!std::isfinite(chapter.start)) return false;
    }
    return true;
}

// A picture file the import writes: art/media/NAME.png, NAME of letters, digits and '_'.
bool isDrawnFile(const std::string& file) {
    const std::string folder = Design::kDrawnFolder;
    const std::string suffix = ".png";
    if (file.size() <= folder.size() + suffix.size() ||
        file.compare(0, folder.size(), folder) != 0 ||
        file.compare(file.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return false;
    }
    for (size_t at = folder.size(); at < file.size() - suffix.size(); ++at) {
        const char c = file[at];
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
              c == '_')) {
            return false;
        }
    }
    return true;
}

bool isValidSize(const Size& size) {
    return size.width > 0 && size.height > 0;
}

bool isHexDigest(const std::string& digest) {
    if (digest.size() != kDigestLength) return false;
    for (const char c : digest) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}

std::string readingLibraryVersions() {
    return "exiv2 " + Exiv2::versionString() + " libxml2 " + LIBXML_DOTTED_VERSION + " " +
           artLibraryVersions();
}

}  // namespace

CacheContext currentCacheContext(const std::string& recordedMediaFolder) {
    CacheContext context;
    context.readingLibraries = readingLibraryVersions();
    context.drawingLibraries = artLibraryVersions();
    context.zone = zoneFingerprint();
    context.mediaFolder = recordedMediaFolder;
    return context;
}

bool isValidRecord(const MediaRecord& record) {
    const MediaKey& key = record.key;
    if (key.path.empty() || key.path.find('\0') != std::string::npos || key.file.size < 0) {
        return false;
    }
    if (key.sidecar.empty() ? key.sidecarStamp != FileStamp{}
                            : !isName(key.sidecar) || key.sidecarStamp.size < -1) {
        return false;
    }
    return !record.item || (isValidItem(*record.item) && record.reason.empty());
}

bool isValidRecord(const DuplicateRecord& record) {
    return !record.path.empty() && record.path.find('\0') == std::string::npos &&
           record.file.size >= 0;
}

bool isValidRecord(const PictureRecord& record) {
    const PictureKey& key = record.key;
    return !key.path.empty() && key.path.find('\0') == std::string::npos && key.file.size >= 0 &&
           std::isfinite(key.seconds) && isValidSize(key.read) && isValidSize(key.size) &&
           isDrawnFile(record.file) && record.bytes > 0 && record.bytes <= kLargestCachedPicture &&
           isHexDigest(record.digest);
}

bool ImportCache::addMedia(const MediaKey& key, const MediaOutcome& outcome,
                           const fs::path& mediaFolder, const MediaFile& file) {
    MediaRecord record;
    record.key = key;
    record.reason = outcome.reason;
    if (outcome.item) {
        record.reason.clear();
        record.item = outcome.item;
        std::string& problem = record.item->sidecarProblem;
        if (!problem.empty()) {
            const std::string prefix = sidecarPrefix(mediaFolder, file);
            if (problem.compare(0, prefix.size(), prefix) != 0) return false;
            problem.erase(0, prefix.size());
            if (problem.empty()) return false;
        }
    }
    return addMediaRecord(std::move(record));
}

bool ImportCache::addMediaRecord(MediaRecord record) {
    if (!isValidRecord(record) || duplicatesByPath_.count(record.key.path) != 0) return false;
    if (!mediaByPath_.emplace(record.key.path, media_.size()).second) return false;
    pathsBySize_.emplace(record.key.file.size, record.key.path);
    media_.push_back(std::move(record));
    return true;
}

bool ImportCache::addDuplicate(DuplicateRecord record) {
    if (!isValidRecord(record) || mediaByPath_.count(record.path) != 0) return false;
    if (!duplicatesByPath_.emplace(record.path, duplicates_.size()).second) return false;
    pathsBySize_.emplace(record.file.size, record.path);
    duplicates_.push_back(std::move(record));
    return true;
}

std::map<std::string, ComparedFile> ImportCache::filesOfSize(long long size) const {
    std::map<std::string, ComparedFile> files;
    const auto [first, last] = pathsBySize_.equal_range(size);
    for (auto at = first; at != last; ++at) {
        const std::string& path = at->second;
        if (const auto media = mediaByPath_.find(path); media != mediaByPath_.end()) {
            files[path] = {path, media_[media->second].key.file, false};
        } else {
            files[path] = {path, duplicates_[duplicatesByPath_.at(path)].file, true};
        }
    }
    return files;
}

bool ImportCache::addPicture(PictureRecord record) {
    if (!isValidRecord(record)) return false;
    if (!picturesByFile_.emplace(record.file, pictures_.size()).second) return false;
    picturesBySource_.emplace(record.key.path, pictures_.size());
    pictures_.push_back(std::move(record));
    return true;
}

std::optional<MediaOutcome> ImportCache::findMedia(const MediaKey& key, const fs::path& mediaFolder,
                                                   const MediaFile& file) const {
    const auto found = mediaByPath_.find(key.path);
    if (found == mediaByPath_.end()) return std::nullopt;
    const MediaRecord& record = media_[found->second];
    if (!(record.key == key)) return std::nullopt;
    MediaOutcome outcome;
    outcome.reason = record.reason;
    if (record.item) {
        outcome.item = record.item;
        outcome.item->path = file.path;
        outcome.item->kind = file.kind;
        std::string& problem = outcome.item->sidecarProblem;
        if (!problem.empty()) problem.insert(0, sidecarPrefix(mediaFolder, file));
    }
    return outcome;
}

std::vector<const PictureRecord*> ImportCache::findPictures(const PictureKey& key) const {
    std::vector<const PictureRecord*> found;
    const auto [first, last] = picturesBySource_.equal_range(key.path);
    for (auto at = first; at != last; ++at) {
        const PictureRecord& record = pictures_[at->second];
        if (record.key == key) found.push_back(&record);
    }
    return found;
}

std::vector<std::string> ImportCache::keepWhatApplies(const CacheContext& now) {
    std::string media;
    std::string pictures;
    if (context_.mediaFolder != now.mediaFolder) {
        media = pictures = "it is of another media folder";
    } else {
        if (context_.readingRevision != now.readingRevision) {
            media = "the reading code changed";
        } else if (context_.readingLibraries != now.readingLibraries) {
            media = "the libraries that read the media changed";
        } else if (context_.zone != now.zone) {
            media = "the time zone changed";
        }
        if (context_.drawingRevision != now.drawingRevision) {
            pictures = "the drawing code changed";
        } else if (context_.drawingLibraries != now.drawingLibraries) {
            pictures = "the libraries that draw the pictures changed";
        }
    }
    std::vector<std::string> dropped;
    if (!media.empty()) {
        media_.clear();
        mediaByPath_.clear();
        duplicates_.clear();
        duplicatesByPath_.clear();
        pathsBySize_.clear();
        dropped.push_back("every file is read again: " + media);
    }
    if (!pictures.empty()) {
        pictures_.clear();
        picturesByFile_.clear();
        picturesBySource_.clear();
        dropped.push_back("every thumbnail is drawn again: " + pictures);
    }
    context_ = now;
    return dropped;
}

}  // namespace merrowcli::import
