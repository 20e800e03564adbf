#pragma once
// Finds the photos and videos of a media folder and reads what the calendar needs of each:
// when it was taken (an XMP sidecar's date, EXIF dates with libexiv2, a video's QuickTime
// creationdate or creation_time with libavformat, else a date in the file's name, else the
// modification time), a photo's EXIF orientation, a video's length and chapters.

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/import/Media.h"

namespace merrowcli::import {

// The marker file of a project folder that merrowkit import wrote.
inline constexpr const char* kImportMarkerFile = ".merrowkit-import";

struct MediaFile {
    std::string path;  // relative to the media folder, '/' between folders
    MediaKind kind = MediaKind::kPhoto;
};

// A problem with one file or folder of the media folder, which is then left out.
struct SkippedFile {
    std::string path;  // relative to the media folder
    std::string reason;
};

// The photos (.jpg, .jpeg, .png, .heic, .heif) and videos (.mp4, .mov, .m2ts, .mts, .mkv, .avi)
// under folder, extensions in any case, symbolic links not followed, in byte order of their paths.
// Folders that cannot be listed, and entries whose type cannot be read (a path longer than
// PATH_MAX, say), are added to *skipped. A folder that holds merrowkit's marker or stamp
// (a project folder, a run's staging folder) is not entered.
std::vector<MediaFile> listMedia(const std::filesystem::path& folder,
                                 std::vector<SkippedFile>* skipped);

// Reads one file; nothing, with *reason set, when it cannot be read as what its name says.
std::optional<MediaItem> readMedia(const std::filesystem::path& folder, const MediaFile& file,
                                   std::string* reason);

// "YYYY:MM:DD HH:MM:SS" as EXIF writes it; nothing for an empty, blank or impossible date.
std::optional<LocalTime> parseExifTime(const std::string& text);
// A container's creation_time ("YYYY-MM-DDTHH:MM:SS[.ffffff][Z]", UTC) in local time; its real
// instant in *utcSeconds when given.
std::optional<LocalTime> parseCreationTime(const std::string& text,
                                           std::optional<long long>* utcSeconds = nullptr);
// QuickTime's com.apple.quicktime.creationdate ("2023-05-14T21:15:00+0200", ISO 8601): the wall
// clock written, its real instant in *utcSeconds when it has an offset or "Z".
std::optional<LocalTime> parseQuickTimeDate(const std::string& text,
                                            std::optional<long long>* utcSeconds);
// A moment in local time (as TZ says).
LocalTime localTimeOf(std::time_t moment);

}  // namespace merrowcli::import
