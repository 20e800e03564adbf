#pragma once
// The disc's clip information and playlists: for each clip BDMV/STREAM/NNNNN.m2ts, its
// BDMV/CLIPINF/NNNNN.clpi (streams, time line, an EP map of every I-frame, found by reading the
// clip with libavformat) and BDMV/PLAYLIST/NNNNN.mpls (one play item over the whole clip, an
// entry mark at each chapter start of title NNNNN), each with its BACKUP copy.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/disc/ClipTitles.h"

namespace merrowcli::disc {

struct WrittenPlaylist {
    int number = 0;
    size_t marks = 0;
    int64_t duration90k = 0;
    size_t entryPoints = 0;
};

struct PlaylistReport {
    std::vector<WrittenPlaylist> playlists;
    // One line each, naming the file: chapters left out (past the clip's end).
    std::vector<std::string> warnings;
    std::string error;
};

// Writes the clip information and playlist of every NNNNN.m2ts in discRoot/BDMV/STREAM, in
// name order, with a mark at each chapter start of the title numbered NNNNN (its time from the
// video's start added to the clip's first picture). A title without chapters given, or without
// an entry in titles, gets one mark at its start. False with report->error, one line naming the
// file, when a clip cannot be read or a file cannot be written.
bool writePlaylists(const std::filesystem::path& discRoot, const std::vector<TitleClip>& titles,
                    PlaylistReport* report);

}  // namespace merrowcli::disc
