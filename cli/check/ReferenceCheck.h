#pragma once
// Checks that every reference of a built output folder holds: the pictures the document names
// (tracks/ID.png, decodable), the ids its pages, buttons, focus items, triggers, uses and menu
// properties name, the uniqueness of every id so named, and title.xml's track count.

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace merrowcli {

struct ReferenceProblem {
    std::string file;  // as shown: OUT_DIR/AppPresentation.xml or OUT_DIR/title.xml
    int line = 0;
    std::string problem;
};

struct ReferenceReport {
    // False when the folder or one of its two documents cannot be read; `error` says why.
    bool readable = false;
    std::string error;
    std::vector<ReferenceProblem> problems;  // in the order of the document
    int referencesChecked = 0;
    int tracksChecked = 0;
};

// The bytes of track files as a build has just written them, by file name (ID.png). libpng made
// them from pixels, so a file that still holds exactly these bytes decodes, and is not decoded
// again; any other file is decoded as usual.
using WrittenTracks = std::map<std::string, std::shared_ptr<const std::vector<uint8_t>>>;

// Checks the output folder; `shown` is how messages name it (the folder as the user gave it).
ReferenceReport checkOutputFolder(const std::filesystem::path& folder, const std::string& shown,
                                  const WrittenTracks* written = nullptr);

}  // namespace merrowcli
