#pragma once
// The pictures the component takes by name from the template folders: the number tiles
// "Numbers_S1.png" and the background picture "Background.jpg". When the project needs one that
// is in no template folder of any template root, the component quietly leaves it out (no number
// tiles, no background clip); the command warns about it first.

#include <filesystem>
#include <string>
#include <vector>

#include "cli/build/ProjectSettings.h"

namespace merrowcli {

class ProjectLoader;

struct MissingTemplatePicture {
    std::string file;     // the project file that needs the picture, as messages name it
    std::string problem;  // one line
};

// The template folders, searched below each root in this order, as the component searches them.
inline constexpr const char* kTemplateFolders[] = {
    "Content/Menu Template/HD Popup/16x9/BD Calendar/", "Content/Menu Template/BD Application/"};

// True when a regular file called name (exact case) is in a template folder, or below one,
// of one of the roots.
bool inTemplateFolders(const std::string& name, const std::vector<std::string>& roots);

// The pictures the project needs that are in no template folder of the roots: "Background.jpg"
// when the project asks for a background clip without naming its picture or media, and
// "Numbers_S1.png" when the reference document's layout has a number (a "graphictext", or an
// element whose id holds "INDEX_1" or "NUMBER_").
std::vector<MissingTemplatePicture> missingTemplatePictures(const std::filesystem::path& folder,
                                                            const ProjectSettings& settings,
                                                            unsigned referenceDomId,
                                                            const std::vector<std::string>& roots);

// Writes one warning per missing picture of a loaded project (the host's template roots).
void warnMissingTemplatePictures(const std::filesystem::path& folder, const ProjectLoader& project);

}  // namespace merrowcli
