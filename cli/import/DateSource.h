#pragma once
// Where the import found when a photo or video was taken, most trusted first: `-v` names it for
// each file and the summary counts each.

namespace merrowcli::import {

enum class DateSource {
    kSidecar,    // an XMP sidecar beside the file
    kExif,       // the photo's EXIF
    kContainer,  // the video container's creation time
    kFileName,   // a date in the file's name
    kFileTime,   // the file's modification time, which a copy resets
};

inline constexpr DateSource kDateSources[] = {DateSource::kSidecar, DateSource::kExif,
                                              DateSource::kContainer, DateSource::kFileName,
                                              DateSource::kFileTime};

// "sidecar", "EXIF", "container", "file name", "file time".
const char* dateSourceName(DateSource source);

}  // namespace merrowcli::import
