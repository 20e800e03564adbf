#pragma once
// The thumbnails an import takes from the previous project instead of drawing them, and the
// records it keeps of those it writes, for the next import.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/import/ImportCache.h"

namespace merrowcli::import {

// Gives projectFolder/file the bytes of a file of the previous project: the first the cache
// keeps for the key that is still there with the recorded size and digest and is a PNG of the
// key's size, linked to the new name (a hard link) or, where that cannot be, copied. The record
// of the new file, or nothing when no kept file passes (the picture is then drawn) or it cannot
// be written.
std::optional<PictureRecord> reusePicture(const ImportCache& previous,
                                          const std::filesystem::path& previousProject,
                                          const PictureKey& key,
                                          const std::filesystem::path& projectFolder,
                                          const std::string& file);

// The record of a picture just written as file (relative to the project folder) with these
// bytes; nothing when there are none or more than the cache keeps (it is then drawn again next
// time).
std::optional<PictureRecord> recordPicture(const PictureKey& key, const std::string& file,
                                           const std::vector<uint8_t>& bytes);

}  // namespace merrowcli::import
