#pragma once
// Whether a track file of an output folder is a PNG picture that decodes to the end.

#include <filesystem>
#include <string>
#include <vector>

namespace merrowcli {

// Empty when the file decodes; otherwise what is wrong ("missing", or libpng's reason).
std::string trackPictureProblem(const std::filesystem::path& file);

// trackPictureProblem of each file, in the order given, decoded on up to `threads` threads at
// once (a folder of thousands of tracks takes a fraction of the time on several cores).
std::vector<std::string> trackPictureProblems(const std::vector<std::filesystem::path>& files,
                                              int threads);

}  // namespace merrowcli
