#pragma once
// The import cache: what an import read of each media file and which pictures it drew, kept in
// the project folder (kCacheFile) so that the next import of the same media reads only the
// files that changed and takes the pictures it would draw the same from the previous project.
// A result is used again only when everything it depends on is unchanged: the file (its path,
// size and modification time, and its sidecar: MediaKey), the time zone, the code that made it
// (its revision below) and the libraries that code uses; so the project is the same with or
// without the cache.

#include <cstddef>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cli/import/Design.h"
#include "cli/import/Media.h"
#include "cli/import/MediaKey.h"

namespace merrowcli::import {

inline constexpr const char* kCacheFile = ".merrowkit-import-cache";

// The revisions of the code whose results the cache keeps. Raise kReadingRevision with any
// change that can give another MediaItem (or skip reason) for the same file and zone, and
// kDrawingRevision with any change that can give other bytes for the same picture; a cache of
// another revision is not used for that part.
inline constexpr int kReadingRevision = 1;
inline constexpr int kDrawingRevision = 1;

// What the cached results depend on beyond each file: the same for every record.
struct CacheContext {
    int readingRevision = kReadingRevision;
    int drawingRevision = kDrawingRevision;
    std::string readingLibraries;  // their versions
    std::string drawingLibraries;
    std::string zone;         // zoneFingerprint()
    std::string mediaFolder;  // as project.xml records it
    bool operator==(const CacheContext&) const = default;
};

// The context of this run for a media folder as project.xml records it.
CacheContext currentCacheContext(const std::string& recordedMediaFolder);

// What readMedia gave for a file: its item, or the reason it was skipped.
struct MediaRecord {
    MediaKey key;
    std::optional<MediaItem> item;  // path and kind are the key's; sidecarProblem is relative
                                    // to the file's folder
    std::string reason;             // when there is no item
};

// A file left out as an exact copy of another file, with its stamp when they were compared.
struct DuplicateRecord {
    std::string path;
    FileStamp file;
};

// A file of the media folder as the previous import compared it with the files of its size.
struct ComparedFile {
    std::string path;
    FileStamp file;
    bool duplicate = false;  // left out as a copy of one before it
};

// The outcome of reading one file, as the import takes it.
struct MediaOutcome {
    std::optional<MediaItem> item;
    std::string reason;
};

// A picture as drawn from its own source: the source photo or video (at `seconds`), read for a
// largest thumbnail of `read` (a photo is decoded at a scale that depends on it), filled to
// `size`, plain or highlighted.
struct PictureKey {
    std::string path;  // the media file, relative to the media folder
    FileStamp file;
    double seconds = 0;
    Size read;
    Size size;
    bool highlighted = false;
    bool operator==(const PictureKey&) const = default;
};

struct PictureRecord {
    PictureKey key;
    std::string file;  // the picture file, relative to the project folder
    long long bytes = 0;
    std::string digest;  // Digest of its bytes
};

// The largest cache file read (a record is some hundred bytes).
inline constexpr long long kLargestCacheFile = 64LL << 20;

// The largest picture file the cache takes again.
inline constexpr long long kLargestCachedPicture = 64LL << 20;

class ImportCache {
public:
    ImportCache() = default;
    explicit ImportCache(CacheContext context) : context_(std::move(context)) {}

    const CacheContext& context() const { return context_; }
    const std::vector<MediaRecord>& media() const { return media_; }
    const std::vector<DuplicateRecord>& duplicates() const { return duplicates_; }
    const std::vector<PictureRecord>& pictures() const { return pictures_; }

    // The record of a file of mediaFolder: its outcome as readMedia gave it. False when the
    // outcome cannot be kept exactly (a sidecar problem that does not name the sidecar as
    // expected, a value out of the ranges kept): the file is then read again next time.
    bool addMedia(const MediaKey& key, const MediaOutcome& outcome,
                  const std::filesystem::path& mediaFolder, const MediaFile& file);
    // Records as they are read from a cache file; false when one is not valid or a second
    // record of a path or picture file.
    bool addMediaRecord(MediaRecord record);
    bool addDuplicate(DuplicateRecord record);
    bool addPicture(PictureRecord record);

    // The outcome kept for a file whose key is now `key`; nothing when there is none or the
    // file changed.
    std::optional<MediaOutcome> findMedia(const MediaKey& key,
                                          const std::filesystem::path& mediaFolder,
                                          const MediaFile& file) const;
    // The files of one size the previous import compared (those it read and those it left
    // out), by path.
    std::map<std::string, ComparedFile> filesOfSize(long long size) const;
    // The picture files kept for a key (pictures drawn the same are written under several
    // names), in the order they were added.
    std::vector<const PictureRecord*> findPictures(const PictureKey& key) const;

    // Keeps, of a cache read from a file, the parts that still apply in the context `now`: the
    // media and duplicate records when the reading code, its libraries, the time zone and the
    // media folder are the same; the picture records when the drawing code, its libraries and the
    // media folder are. Returns why each part left out was (empty when none was).
    std::vector<std::string> keepWhatApplies(const CacheContext& now);

private:
    CacheContext context_;
    std::vector<MediaRecord> media_;
    std::map<std::string, size_t> mediaByPath_;
    std::vector<DuplicateRecord> duplicates_;
    std::map<std::string, size_t> duplicatesByPath_;
    std::multimap<long long, std::string> pathsBySize_;  // of media and duplicate records
    std::vector<PictureRecord> pictures_;
    std::map<std::string, size_t> picturesByFile_;
    std::multimap<std::string, size_t> picturesBySource_;  // by path
};

// True when every field of a record is in the range the import can give: what the writer keeps
// and the reader takes.
bool isValidRecord(const MediaRecord& record);
bool isValidRecord(const DuplicateRecord& record);
bool isValidRecord(const PictureRecord& record);

}  // namespace merrowcli::import
