#pragma once
// Where the host may read files from. A program that runs the component on a user's project
// confines reads to the project folder (and the template folders it ships); then a picture
// path such as "../x.png", an absolute path or a symbolic link that leads out of those folders
// is refused. Unconfined (the default), reads go anywhere.

#include <string>
#include <vector>

namespace merrowhost {

// Confines reads to the given folders and everything below them; the folders' real locations
// (symbolic links resolved) count, and a folder that does not exist is left out.
void confineReads(const std::vector<std::string>& folders);
// Lets reads go anywhere again.
void unconfineReads();
bool readsConfined();

// True when reads are not confined, when path does not exist (opening it then fails as usual),
// or when its real location lies inside one of the folders. Relative paths are taken as the
// caller gives them (resolve them first).
bool readAllowed(const std::string& path);

// The problem a refused path is reported with.
constexpr const char* kOutsideProblem = "outside the project folder";

}  // namespace merrowhost
