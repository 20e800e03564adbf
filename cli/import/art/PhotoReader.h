#pragma once
// Reads photos for the import's thumbnails.

#include <filesystem>
#include <optional>
#include <string>

#include "cli/import/art/Picture.h"

namespace merrowcli::import {

// Reads a JPEG, PNG or HEIF photo (the kind told by its first bytes) as an opaque-or-not RGBA
// picture and turns it upright: a JPEG or PNG by its EXIF orientation (1..8, as read by the
// caller; 0 or 1 = as stored, other values are taken as 1), a HEIF by its own transformations,
// which libheif applies (orientation is then not used). On failure: nothing, and error names the
// file and why.
// A JPEG is decoded at the smallest of 1/2, 1/4 and 1/8 of its size (libjpeg's DCT scaling)
// that still shows at least atLeastWidth x atLeastHeight once turned, a HEIF decoded whole and
// then scaled by libheif the same way; 0, 0: at its full size.
std::optional<Picture> readPhoto(const std::filesystem::path& file, int orientation,
                                 std::string& error, int atLeastWidth = 0, int atLeastHeight = 0);

// The picture as shown for an EXIF orientation (mirrors and quarter turns); 0, 1 and values
// out of range return it unchanged.
Picture orientPicture(const Picture& stored, int orientation);

}  // namespace merrowcli::import
