#pragma once
// project.xml: read strictly (unknown elements and attributes are refused, so that a misspelt
// name is never silently ignored) into ProjectSettings, with the line of every problem.

#include <filesystem>
#include <string>

#include "cli/build/ProjectSettings.h"
#include "host/objects/Guid.h"

namespace merrowcli {

// Reads and checks a project file. False with *error one message of the form
// "FILE:LINE: problem" ("FILE:LINE:COLUMN: problem" for XML syntax errors, "FILE: problem"
// when no line applies).
bool readProjectFile(const std::filesystem::path& file, ProjectSettings* settings,
                     std::string* error);

// Where a title's video is: the project folder, then the media folder (an absolute media
// folder replaces the project folder), then the title's video. Empty when it names none.
std::filesystem::path titleVideoPath(const std::filesystem::path& projectFolder,
                                     const ProjectSettings& settings, const ProjectTitle& title);

// The identifier given to the title at a 1-based position of the title source when the
// project names none: {4D4B5449-544C-4000-8000-00000000NNNN}, NNNN the position in hex.
GUID defaultTitleId(uint32_t position);

}  // namespace merrowcli
