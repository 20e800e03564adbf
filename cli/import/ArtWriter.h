#pragma once
// Draws the pictures of an art plan into a project folder: each photo or video frame is read
// once, turned upright, and cropped and scaled to every size its entries need, with a
// highlighted variant, on `workers` threads (the files do not depend on their number); texts
// are drawn in DejaVu Sans. A thumbnail the previous import drew from the same source at the
// same size is taken from its project instead (ArtCache).

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "cli/import/ArtPlan.h"
#include "cli/import/Calendar.h"
#include "cli/import/ImportCache.h"

namespace merrowcli::import {

struct ArtResult {
    int written = 0;                    // picture files written
    int reused = 0;                     // of them, taken from the previous project
    std::vector<std::string> problems;  // "FILE: problem" of pictures drawn as a blank instead
    std::string error;                  // set when a file could not be written
    // The thumbnails written from their own source (not a fallback, not a blank), source by
    // source: what the next import may take again.
    std::vector<PictureRecord> kept;
};

// The thumbnails of the previous import, taken again where their source and size are the
// same; without `previous`, everything is drawn (and still recorded in ArtResult::kept).
struct ArtCache {
    const ImportCache* previous = nullptr;
    std::filesystem::path previousProject;
    // Each media file's stamp, by its path, as this import found it; a source without one is
    // drawn and not recorded.
    std::map<std::string, FileStamp> stamps;
};

// done, total: pictures drawn so far and in all (for a progress line).
using ArtProgress = std::function<void(int done, int total)>;

ArtResult drawArt(const Calendar& calendar, const ArtPlan& plan,
                  const std::filesystem::path& mediaFolder,
                  const std::filesystem::path& projectFolder, int workers,
                  const ArtProgress& progress, const ArtCache& cache = {});

}  // namespace merrowcli::import
