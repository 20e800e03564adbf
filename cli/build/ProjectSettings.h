#pragma once
// What project.xml says, with the line of each element for messages.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/objects/Guid.h"

namespace merrowcli {

struct ProjectTitle {
    bool isUserTitle = true;
    GUID id{};
    int line = 0;
    // The title's video, relative to the media folder (escapes decoded); empty when none.
    std::string video;
    int videoLine = 0;
};

struct ProjectSettings {
    // The project file as named in messages.
    std::string projectFile;
    int projectLine = 0;

    int32_t discFormat = 10;
    bool rootMenuTitle = true;
    bool background = false;
    std::string backgroundImage;  // as written; empty when none
    int backgroundImageLine = 0;
    int32_t mediaKind = 2;
    uint32_t defaultMediaValue = 0;

    std::string presentationFile;  // as written
    int presentationLine = 0;

    std::optional<std::string> backgroundMediaFile;  // as written
    int backgroundMediaLine = 0;

    // Where the titles' videos are, as written (escapes decoded): relative to the project
    // folder, or absolute; empty means the project folder itself.
    std::string mediaFolder;
    int mediaLine = 0;

    // Present when project.xml has a <titles> element (possibly empty).
    std::optional<std::vector<ProjectTitle>> titles;
};

}  // namespace merrowcli
