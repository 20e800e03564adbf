#pragma once
// Makes one image track for a builder from a file path or, without a path, from a creator, and
// gives its identifier ("" when no track was made or there is no source).

#include <string>

#include "imagetrack/ImageTrackCreator.h"

class CzfServiceObject;

namespace Merrow {

struct ImageTrackResult {
    bool hasSource = false;
    std::string id;
};

ImageTrackResult makeImageTrack(CzfServiceObject* presentation, const std::string& path,
                                ImageTrackCreator* creator);

}  // namespace Merrow
