#pragma once
// What the import cache keys a media file's record by: its path, size and modification time
// (to the nanosecond), and the XMP sidecar that gives its date (the first of the names
// sidecarDate tries that exists: its name, size and modification time), so that an edited
// file, or a sidecar that was added, edited or removed, is read again.

#include <filesystem>
#include <optional>
#include <string>

#include "cli/import/MediaReader.h"

namespace merrowcli::import {

struct FileStamp {
    long long size = -1;     // -1: it exists but cannot be looked at
    long long modified = 0;  // nanoseconds since 1970
    bool operator==(const FileStamp&) const = default;
};

struct MediaKey {
    std::string path;  // relative to the media folder, as MediaFile gives it
    FileStamp file;
    std::string sidecar;  // the sidecar's name beside the file; empty when there is none
    FileStamp sidecarStamp;
    bool operator==(const MediaKey&) const = default;
};

// The key of a file as it is now; nothing when the file cannot be looked at, or its or its
// sidecar's modification time is out of the range kept (it is then read, not looked up).
std::optional<MediaKey> mediaKeyOf(const std::filesystem::path& folder, const MediaFile& file);

}  // namespace merrowcli::import
