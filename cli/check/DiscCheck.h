#pragma once
// The check of a Blu-ray disc folder, read back through the parsers a player uses: libbluray
// for the titles, playlists, clip information and marks, libavformat for the clips' streams
// and I-frames. It finds what keeps a title from playing: a playlist without its clip, a mark
// outside its clip, an EP map entry that is no I-frame, a stream a player does not accept, a
// title of the menu without its playlist.

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace merrowcli {

struct DiscProblem {
    std::string file;  // as shown: the disc folder as given, then the path inside it
    std::string problem;
};

struct DiscReport {
    bool readable = false;
    std::string error;  // when not readable: one line naming the folder
    std::vector<DiscProblem> problems;
    size_t playlists = 0;
    size_t clips = 0;
    size_t marks = 0;
    size_t entryPoints = 0;
    size_t streams = 0;
};

// True when folder holds BDMV/index.bdmv (what the check takes for a disc folder).
bool looksLikeDisc(const std::filesystem::path& folder);

// Checks the disc in folder; shown is how the folder is named in the lines.
DiscReport checkDisc(const std::filesystem::path& folder, const std::string& shown);

}  // namespace merrowcli
