#pragma once
// The bytes of track files as a build has just written them, by file name (ID.png). libpng made
// them from pixels, so a file that still holds exactly these bytes decodes, and the build's
// check of its own output does not decode it again.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace merrowcli {

using WrittenTracks = std::map<std::string, std::shared_ptr<const std::vector<uint8_t>>>;

}  // namespace merrowcli
