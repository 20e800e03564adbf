#pragma once
// The clips of a disc: every title's video written as BDMV/STREAM/NNNNN.m2ts (N the title's
// number, five digits), from the clip cache when it holds it, else copied or converted (and
// then kept in the cache), with a progress line on a terminal and a note per clip with -v.

#include <filesystem>
#include <string>
#include <vector>

#include "cli/disc/ClipCache.h"
#include "cli/disc/ClipTitles.h"

namespace merrowcli::disc {

struct ClipCounts {
    int fromCache = 0;
    int copied = 0;     // video copied as it was
    int converted = 0;  // video encoded anew
};

// The clip's file name of title number: "00001.m2ts".
std::string clipFileName(int number);

// Writes the clips into streamFolder (which exists). False with *error, one line naming the
// video or the file, when a clip cannot be made.
bool writeTitleClipFiles(const std::vector<TitleClip>& titles,
                         const std::filesystem::path& streamFolder, const ClipCache& cache,
                         ClipCounts* counts, std::string* error);

}  // namespace merrowcli::disc
