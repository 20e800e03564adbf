#pragma once
// An image track the host makes itself from a picture file, as it does for the project's
// background media: the decoded colour buffer and alpha plane, the file's size, option 1 and
// a copy of the project record.

#include <memory>
#include <string>

#include "host/objects/HostTypes.h"
#include "host/title/ImageTrackObject.h"

namespace merrowhost {

// Null with *problem the decoder's reason when the file cannot be read as a PNG or JPEG.
std::unique_ptr<ImageTrackObject> loadImageTrackFile(const std::string& path, SAVEDATA* record,
                                                     std::string* problem);

}  // namespace merrowhost
