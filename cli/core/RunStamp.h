#pragma once
// The stamp a run of merrowkit puts into the folders it makes beside an output folder (a
// staging folder, the previous output moved aside): a small file ".merrowkit-run" that names
// the program and the run's process, "merrowkit PID\n". Clean-up removes or puts back only
// folders that carry a stamp of a process that is gone, never a folder of the same name that
// someone else made.

#include <filesystem>
#include <string>

namespace merrowcli {

inline constexpr const char* kRunStampFile = ".merrowkit-run";

// Writes this process's stamp into folder, created new (never through a link, never over a
// file that is there). False with *error set when it cannot.
bool writeRunStamp(const std::filesystem::path& folder, std::string* error);

// The process a stamp in folder names; 0 when folder holds no stamp of ours (no file, a link,
// not a regular file, or other text).
long runStampProcess(const std::filesystem::path& folder);

// True when folder holds a stamp of a process that is gone (not this one; a process id that is
// in use again keeps the folder, which errs on the safe side).
bool stampedByGoneRun(const std::filesystem::path& folder);

// Removes the stamp from folder (so that the folder is never cleaned up); true when there is
// none now.
bool removeRunStamp(const std::filesystem::path& folder);

}  // namespace merrowcli
