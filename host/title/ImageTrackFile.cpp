#include "host/title/ImageTrackFile.h"

#include <cstdint>

#include "host/pictures/DvdBuf.h"

namespace merrowhost {

std::unique_ptr<ImageTrackObject> loadImageTrackFile(const std::string& path, SAVEDATA* record,
                                                     std::string* problem) {
    CDVDBuf colour;
    uint8_t* alpha = nullptr;
    if (!colour.Create(path.c_str(), nullptr, &alpha)) {
        *problem = colour.lastError();
        return nullptr;
    }
    int width = 0;
    int height = 0;
    int bits = 0;
    colour.GetWHU(&width, &height, &bits);
    CDVDBuf alphaPlane;
    if (alpha != nullptr) alphaPlane.Adopt(alpha, 8, width, height);

    auto track = std::make_unique<ImageTrackObject>();
    // Numbered in creation order, as the factory numbers the objects it makes.
    track->serial();
    // The track takes both buffers.
    track->zfSetImageData(ImageTrackObject::kModeBuffers, colour.Detach(), alphaPlane.Detach(), 0,
                          nullptr);
    if (record != nullptr) track->zfSetProjectRecord(record, nullptr);
    track->zfSetSize(width, height, 0, nullptr);
    track->zfSetOption(1, 0, nullptr);
    return track;
}

}  // namespace merrowhost
