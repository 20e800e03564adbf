#pragma once
// Where the running program is, and the installed folders seen from it: the component library,
// the templates, the sample project and the designs are found beside the program (the build
// tree, or a copy of the whole folder) or in the installed layout next to it.

#include <filesystem>

namespace merrowcli {

// The folder of the running program; empty when it cannot be read.
std::filesystem::path programFolder();

// The installed data folder (share/merrowkit) seen from a program folder; not checked.
std::filesystem::path installedDataFolder(const std::filesystem::path& programFolder);

// The installed library folder (lib, or lib/ARCH) seen from a program folder; not checked.
std::filesystem::path installedLibraryFolder(const std::filesystem::path& programFolder);

}  // namespace merrowcli
