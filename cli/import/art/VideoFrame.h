#pragma once
// Frames of videos for the import's thumbnails.

#include <filesystem>
#include <optional>
#include <string>

#include "cli/import/art/Picture.h"

namespace merrowcli::import {

// The video frame at `seconds` from the start (or the nearest decodable one after it; the last
// frame when `seconds` is past the end), decoded with libavcodec and converted to RGBA with
// libswscale at the display aspect ratio, turned by the stream's display matrix (quarter turns,
// as a phone's portrait video needs). On failure: nothing, and error names the file and why.
std::optional<Picture> readVideoFrame(const std::filesystem::path& file, double seconds,
                                      std::string& error);

}  // namespace merrowcli::import
