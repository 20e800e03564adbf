#pragma once
// BDMV/index.bdmv: which object the player starts for First Play, the Top Menu and each title.
// Only BD-J objects are written (the calendar menu is a BD-J title).

#include <cstdint>
#include <string>
#include <vector>

namespace merrowbdmv {

struct BdjObjectRef {
    // The five-digit name of the BDJO file in BDMV/BDJO/ ("00000").
    std::string name;
    // 2: movie (the title plays video), 3: interactive (a menu).
    uint8_t playbackType = 3;
};

struct IndexFile {
    BdjObjectRef firstPlay;
    BdjObjectRef topMenu;
    std::vector<BdjObjectRef> titles;
};

// The bytes of index.bdmv (version "0200", no extension data).
std::vector<uint8_t> encodeIndex(const IndexFile& index);

}  // namespace merrowbdmv
