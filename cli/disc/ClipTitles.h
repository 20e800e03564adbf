#pragma once
// The titles whose videos go on the disc: project.xml's user titles that name a video, with
// their number (the Nth user title is UserTitle_N, clip 0000N) and their chapter start times
// read from the video's container, as the import reads them.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace merrowcli::disc {

struct TitleClip {
    int number = 0;                         // N of UserTitle_N, from 1
    std::filesystem::path video;            // the file to read
    std::vector<int64_t> chapterStarts90k;  // from the first frame, in order; at least one
};

// Every user title of projectFolder/project.xml in order; a title without a video gets a
// warning and no entry. False with *error (one line naming the file) when project.xml cannot
// be read or a named video is missing or cannot be read by libavformat.
bool readTitleClips(const std::filesystem::path& projectFolder, std::vector<TitleClip>* titles,
                    std::string* error);

// The chapter start times of a video at 90 kHz from its first frame (time 0 of its clip): its
// container chapters (the first 99 in time order), or one chapter at 0 when it has none. False with
// *error naming the file when libavformat cannot open it.
bool readChapterStarts(const std::filesystem::path& video, std::vector<int64_t>* starts,
                       std::string* error);

}  // namespace merrowcli::disc
