#pragma once
// Reading the files a user names (project.xml, the reference document): regular files only,
// with messages that name the file as the user named it.

#include <filesystem>
#include <string>

namespace merrowcli {

// "FILE:LINE: problem", or "FILE: problem" without a line (line 0 or less).
std::string located(const std::string& file, int line, const std::string& problem);

// Reads a whole file. False with *error "SHOWN: reason" when it is missing, not a regular
// file (a folder, a FIFO, a device: refused without waiting) or cannot be read.
bool readInputFile(const std::filesystem::path& file, const std::string& shown, std::string* bytes,
                   std::string* error);

}  // namespace merrowcli
