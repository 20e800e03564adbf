#pragma once
// Draws the pictures of an art plan into a project folder: each photo or video frame is read
// once, turned upright, and cropped and scaled to every size its entries need, with a
// highlighted variant, on `workers` threads (the files do not depend on their number); texts
// are drawn in DejaVu Sans.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "cli/import/ArtPlan.h"
#include "cli/import/Calendar.h"

namespace merrowcli::import {

struct ArtResult {
    int written = 0;                    // picture files written
    std::vector<std::string> problems;  // "FILE: problem" of pictures drawn as a blank instead
    std::string error;                  // set when a file could not be written
};

// done, total: pictures drawn so far and in all (for a progress line).
using ArtProgress = std::function<void(int done, int total)>;

ArtResult drawArt(const Calendar& calendar, const ArtPlan& plan,
                  const std::filesystem::path& mediaFolder,
                  const std::filesystem::path& projectFolder, int workers,
                  const ArtProgress& progress);

}  // namespace merrowcli::import
