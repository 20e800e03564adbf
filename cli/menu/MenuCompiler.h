#pragma once
// Compiles the calendar menu of a build's output folder (AppPresentation.xml, title.xml and the
// sizes of tracks/*.png) into the model both players follow: it plays every key in every state
// it can reach from the start, and keeps each view it meets with its drawn elements and its key
// table.

#include <filesystem>
#include <string>

#include "cli/menu/MenuModel.h"

namespace merrowcli::menu {

// What the project's slideshow holds, which the output folder does not say: how many photos and
// how long each is shown. A slideshow content shows its photos up to the next content's start
// frame (or the end of the slideshow).
struct SlideshowFacts {
    int photos = 0;  // 0: unknown (the last content's photos are then counted as none)
    int secondsPerPhoto = 3;
};

// False with *error ("SHOWN/AppPresentation.xml: ...") when the document cannot be read or is
// not well-formed. title.xml and the tracks are optional: without them the stage is black and a
// picture takes the size its element gives. `shown` is how messages name the folder.
bool compileMenu(const std::filesystem::path& outputFolder, const std::string& shown,
                 MenuModel* model, std::string* error,
                 const SlideshowFacts& slideshow = SlideshowFacts());

}  // namespace merrowcli::menu
