#pragma once
// BDMV/PLAYLIST/NNNNN.mpls: a movie playlist of one play item over one clip, with the streams a
// player may select and entry marks (the chapters a viewer can jump to).

#include <cstdint>
#include <string>
#include <vector>

#include "bdmv/ClipStream.h"

namespace merrowbdmv {

struct Playlist {
    // The five-digit name of the clip ("00001" for STREAM/00001.m2ts).
    std::string clipName;
    // Where play starts and ends on the clip's time line, 90 kHz (stored at 45 kHz).
    int64_t in90k = 0;
    int64_t out90k = 0;
    std::vector<ClipStream> streams;
    // Entry marks on the clip's time line, 90 kHz, in time order, each within [in, out).
    std::vector<int64_t> entryMarks90k;
};

// The bytes of a playlist file (version "0200"), or empty when the playlist does not fit the
// format (a clip name not of five characters, marks out of order or outside the play item, no
// video stream).
std::vector<uint8_t> encodePlaylist(const Playlist& playlist);

}  // namespace merrowbdmv
