#pragma once
// The versions of the libraries the import's pictures are read, scaled and written with, as
// one text: the import cache keeps a picture (and what it read of a video or HEIF file) only
// for the same libraries, since another version may give other pixels or other PNG bytes.

#include <string>

namespace merrowcli::import {

std::string artLibraryVersions();

}  // namespace merrowcli::import
