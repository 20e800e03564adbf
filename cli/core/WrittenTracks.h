#pragma once
// What a build has just written as its track files, by file name (ID.png): each file's size and
// digest (merrowhost::contentDigest). libpng made them from pixels, so a file that still holds
// exactly these bytes decodes, and the build's check of its own output does not decode it again.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

namespace merrowcli {

struct WrittenTrack {
    size_t size = 0;
    uint64_t digest = 0;
};

using WrittenTracks = std::map<std::string, WrittenTrack>;

}  // namespace merrowcli
