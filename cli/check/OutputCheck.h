#pragma once
// Checks that every reference of a built output folder holds: the pictures the document names
// (tracks/ID.png, decodable), the ids its pages, buttons, focus items, triggers, uses and menu
// properties name, the uniqueness of every id so named, and title.xml's track count.

#include <filesystem>
#include <string>
#include <vector>

#include "cli/core/WrittenTracks.h"

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

// Checks the output folder; `shown` is how messages name it (the folder as the user gave it).
ReferenceReport checkOutputFolder(const std::filesystem::path& folder, const std::string& shown,
                                  const WrittenTracks* written = nullptr);

}  // namespace merrowcli
