#pragma once
// Whether a track file of an output folder is a PNG picture that decodes to the end.

#include <filesystem>
#include <string>

namespace merrowcli {

// Empty when the file decodes; otherwise what is wrong ("missing", or libpng's reason).
std::string trackPictureProblem(const std::filesystem::path& file);

}  // namespace merrowcli
