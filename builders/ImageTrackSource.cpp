#include "builders/ImageTrackSource.h"

#include "document/CreatorSetToolBox.h"

namespace Merrow {

ImageTrackResult makeImageTrack(CzfServiceObject* presentation, const std::string& path,
                                ImageTrackCreator* creator) {
    ImageTrackResult result;
    if (!path.empty()) {
        // A path wins over a creator.
        ImageTrackCreator fileCreator(path.c_str());
        result.hasSource = true;
        result.id =
            CreatorSetToolBox::addImageTrackToApplication(presentation, nullptr, fileCreator);
    } else if (creator != nullptr) {
        result.hasSource = true;
        result.id = CreatorSetToolBox::addImageTrackToApplication(presentation, nullptr, *creator);
    }
    return result;
}

}  // namespace Merrow
