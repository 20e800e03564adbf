#pragma once
// The folder tree of a Blu-ray disc without video: BDMV/ with its navigation files, their
// copies under BDMV/BACKUP/, the BD-J objects, and CERTIFICATE/ with the disc's identity. The
// JARs and the files the Xlet reads are added by the caller (writeFile, copyFile).

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "bdmv/BdjoFile.h"
#include "bdmv/IdFile.h"
#include "bdmv/IndexFile.h"

namespace merrowbdmv {

struct DiscLayout {
    IndexFile index;
    // BDMV/BDJO/NAME.bdjo, by five-digit name.
    std::vector<std::pair<std::string, BdjObject>> objects;
    DiscIdentity identity;
};

// Writes the tree under root (which exists). False with *error, one line naming the file, when
// a file cannot be written or an object cannot be encoded.
bool writeDiscLayout(const std::filesystem::path& root, const DiscLayout& layout,
                     std::string* error);

// Writes a navigation file under bdmv (the disc's BDMV folder) and its copy under
// bdmv/BACKUP/, the relative path the same in both ("PLAYLIST/00001.mpls").
bool writeWithBackup(const std::filesystem::path& bdmv, const std::filesystem::path& relative,
                     const std::vector<uint8_t>& bytes, std::string* error);

// Writes bytes into a new file, creating its folder.
bool writeFile(const std::filesystem::path& file, const std::vector<uint8_t>& bytes,
               std::string* error);
// Copies a file, creating the destination's folder.
bool copyFile(const std::filesystem::path& from, const std::filesystem::path& to,
              std::string* error);

}  // namespace merrowbdmv
