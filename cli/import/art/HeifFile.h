#pragma once
// HEIC/HEIF photos (an iPhone's default) through libheif: the primary image's EXIF block and its
// picture as shown, with the file's own rotation and mirror (irot, imir) applied by libheif.

#include <filesystem>
#include <optional>
#include <string>

#include "cli/import/art/Picture.h"

namespace merrowcli::import {

// True when the bytes begin as an ISO base media file of a HEIF brand (heic, heix, mif1, ...).
bool looksLikeHeif(const std::string& firstBytes);

// The primary image's EXIF block as a TIFF structure (from its "II"/"MM" header on), empty when
// it has none; nothing, with *problem set, when the file is no HEIF libheif can read.
std::optional<std::string> readHeifExif(const std::filesystem::path& file, std::string* problem);

// The primary image, turned and mirrored as the file says; nothing, with *problem set, when it
// cannot be decoded (no decoder for its codec, a broken file, a size beyond the host's limit).
// With a size asked, it is scaled by libheif to the smallest of 1/2, 1/4 and 1/8 that still
// gives at least that size.
std::optional<Picture> readHeifPicture(const std::filesystem::path& file, std::string* problem,
                                       int atLeastWidth = 0, int atLeastHeight = 0);

}  // namespace merrowcli::import
