#pragma once
// Which existing folders `merrowkit disc` may replace: an empty folder, or one that holds only
// what a disc folder holds (BDMV/ and CERTIFICATE/ with folders and regular files inside), so a
// mistyped -o never wipes a folder of other files.

#include <filesystem>
#include <string>

namespace merrowcli::disc {

// True when target is missing, empty or a disc folder; otherwise false with *error a one-line
// reason naming the folder.
bool checkDiscTarget(const std::filesystem::path& target, std::string* error);

}  // namespace merrowcli::disc
