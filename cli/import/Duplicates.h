#pragma once
// Exact duplicates in a media folder: the same photo or video copied into two folders (a phone's
// backup beside the phone's folder) counts once.

#include <cstddef>
#include <filesystem>
#include <vector>

#include "cli/import/MediaReader.h"

namespace merrowcli::import {

// The files (in byte order of their paths, as listMedia gives them) without those whose bytes
// equal those of a file before them; *leftOut is how many were dropped. A file whose size
// cannot be read, or that cannot be compared, is kept (reading it will say what is wrong).
std::vector<MediaFile> withoutDuplicates(const std::filesystem::path& folder,
                                         std::vector<MediaFile> files, size_t* leftOut);

}  // namespace merrowcli::import
