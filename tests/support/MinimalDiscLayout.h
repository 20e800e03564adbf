#pragma once
// The least disc folder the playlist and check tests build on: First Play, Top Menu and title 1
// all the BD-J object 00000, whose Xlet is never run.

#include <filesystem>
#include <string>

#include "bdmv/DiscFolder.h"

namespace merrowtest {

inline bool writeMinimalDiscLayout(const std::filesystem::path& folder, std::string* error) {
    merrowbdmv::DiscLayout layout;
    layout.index.firstPlay = {"00000", 3};
    layout.index.topMenu = {"00000", 3};
    layout.index.titles = {{"00000", 3}};
    merrowbdmv::BdjObject object;
    object.application.jarName = "00000";
    object.application.initialClass = "org.example.Menu";
    layout.objects = {{"00000", object}};
    return merrowbdmv::writeDiscLayout(folder, layout, error);
}

}  // namespace merrowtest
