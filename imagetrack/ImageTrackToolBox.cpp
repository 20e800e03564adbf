// The image-track operations of CreatorSetToolBox: files, buffers and rendered bitmaps become
// image track objects, which are then registered with the presentation object.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "document/CreatorSetToolBox.h"
#include "host/objects/GlobalApi.h"
#include "host/objects/HostInterfaces.h"
#include "host/objects/ServiceObject.h"
#include "imagetrack/ImageTrackCreator.h"

namespace {

// The fallback picture: 100 x 100, colour bytes 255, 0, 0 and alpha 50.
constexpr int kFailSide = 100;
constexpr uint8_t kFailColour[3] = {255, 0, 0};
constexpr uint8_t kFailAlpha = 50;

// Creates an image track object and hands it its pixels (mode 0: CDVDBuf buffers; mode 1:
// bitmaps). From the image-data call on, the pixels belong to the track. Null when the factory
// fails or the object cannot take image data; the pixels then stay the caller's.
CzfServiceObject* newImageTrack(int mode, void* first, void* second, int width, int height,
                                SAVEDATA* record) {
    CzfServiceObject* track =
        CzfObjectFactory::zfCreateObject(&merrowhost::kClassImageTrack, nullptr);
    if (track == nullptr) return nullptr;
    auto* data = zfQuery<SzfImageData>(track, merrowhost::kIidImageData, nullptr);
    if (data == nullptr) {
        CzfObjectFactory::zfFreeObject(track);
        return nullptr;
    }
    data->zfSetImageData(mode, first, second, 0, nullptr);
    if (record != nullptr) {
        if (auto* project = zfQuery<SzfImageProjectRecord>(
                track, merrowhost::kIidImageProjectRecord, nullptr)) {
            project->zfSetProjectRecord(record, nullptr);
        }
    }
    if (auto* size = zfQuery<SzfImageSize>(track, merrowhost::kIidImageSize, nullptr)) {
        size->zfSetSize(width, height, 0, nullptr);
    }
    if (auto* option = zfQuery<SzfImageOption>(track, merrowhost::kIidImageOption, nullptr)) {
        option->zfSetOption(1, 0, nullptr);
    }
    return track;
}

// Frees a track that was made but could not be handed on.
void freeTrack(CzfServiceObject*& track) {
    if (track != nullptr) CzfObjectFactory::zfFreeObject(track);
    track = nullptr;
}

}  // namespace

bool CreatorSetToolBox::createImageTrack(CzfServiceObject** out, const char* file, SAVEDATA* record,
                                         CzfErrorInfo* /*error*/) {
    if (out == nullptr || file == nullptr) return false;
    CDVDBuf colour;
    uint8_t* alphaPlane = nullptr;
    if (!colour.Create(file, nullptr, &alphaPlane)) {
        delete[] alphaPlane;
        return false;
    }
    CDVDBuf alpha;
    if (alphaPlane != nullptr) {
        int width = 0;
        int height = 0;
        int bits = 0;
        colour.GetWHU(&width, &height, &bits);
        alpha.Adopt(alphaPlane, 8, width, height);
    }
    // On failure both buffers are freed with their holders.
    return createImageTrack(out, &colour, alphaPlane != nullptr ? &alpha : nullptr, record,
                            nullptr);
}

bool CreatorSetToolBox::createImageTrack(CzfServiceObject** out, CDVDBuf* colour, CDVDBuf* alpha,
                                         SAVEDATA* record, CzfErrorInfo* /*error*/) {
    if (out == nullptr || colour == nullptr || colour->GetBuffer() == nullptr) return false;
    int width = 0;
    int height = 0;
    int bits = 0;
    colour->GetWHU(&width, &height, &bits);
    CzfServiceObject* track =
        newImageTrack(0, colour->GetBuffer(), alpha != nullptr ? alpha->GetBuffer() : nullptr,
                      width, height, record);
    if (track == nullptr) return false;
    // The track owns the buffers now: the holders give them up without freeing them.
    colour->Detach();
    if (alpha != nullptr) alpha->Detach();
    *out = track;
    return true;
}

bool CreatorSetToolBox::createImageTrack(CzfServiceObject** out, BITMAPINFOHEADER* image,
                                         BITMAPINFOHEADER* mask, SAVEDATA* record,
                                         CzfErrorInfo* /*error*/) {
    // On failure the bitmaps stay the caller's.
    if (out == nullptr || image == nullptr) return false;
    // A top-down bitmap has a negative height; the track's size counts its rows.
    CzfServiceObject* track =
        newImageTrack(1, image, mask, image->biWidth, std::abs(image->biHeight), record);
    if (track == nullptr) return false;
    *out = track;
    return true;
}

bool CreatorSetToolBox::createFailImageTrack(CzfServiceObject** out, SAVEDATA* record,
                                             CzfErrorInfo* /*error*/) {
    if (out == nullptr) return false;
    CDVDBuf colour;
    CDVDBuf alpha;
    if (!colour.Alloc(24, kFailSide, kFailSide) || !alpha.Alloc(8, kFailSide, kFailSide)) {
        return false;
    }
    colour.Fill(kFailColour[0], kFailColour[1], kFailColour[2]);
    alpha.Fill(kFailAlpha);
    return createImageTrack(out, &colour, &alpha, record, nullptr);
}

std::string CreatorSetToolBox::addImageTrackToApplication(CzfServiceObject* presentation,
                                                          CzfServiceObject** out,
                                                          ImageTrackCreator& creator) {
    CzfServiceObject* track = nullptr;
    try {
        CzfDiscTemplateSettings settings;
        SAVEDATA* record = nullptr;
        if (presentation != nullptr) {
            if (auto* access = zfQuery<SzfSettingsAccess>(
                    presentation, merrowhost::kIidSettingsAccess, nullptr)) {
                access->zfReadSettings(&settings, nullptr);
                record = settings.zfGetVIOSaveData();
            }
        }

        if (!creator.createImageTrack(&track, record, nullptr)) {
            freeTrack(track);
            return std::string();
        }

        std::string id;
        if (track != nullptr) {
            char buffer[CzfGlobalAPI2::kObjectIdBufferSize] = {};
            CzfGlobalAPI2::zfGetObjectIDString(track, true, buffer, nullptr);
            id = buffer;
        }
        if (track != nullptr) {
            CzfServiceObject* registered = track;
            if (presentation != nullptr && registerImageTrack(presentation, registered)) {
                track = nullptr;  // the presentation's now
            } else {
                // Nobody takes the track: free it rather than leave it behind. Its identifier
                // is still the result.
                freeTrack(track);
                registered = nullptr;
            }
            if (out != nullptr) *out = registered;
        } else if (out != nullptr) {
            *out = nullptr;
        }
        return id;
    } catch (...) {
        // Only a track not yet handed on can still be ours here.
        freeTrack(track);
        return std::string();
    }
}

bool CreatorSetToolBox::registerImageTrack(CzfServiceObject* presentation,
                                           CzfServiceObject* track) {
    auto* access = zfQuery<SzfTrackCollectionAccess>(
        presentation, merrowhost::kIidTrackCollectionAccess, nullptr);
    if (access == nullptr || track == nullptr) return false;
    CzfServiceObject* collection = access->zfGetTrackCollection(nullptr);
    auto* tracks =
        zfQuery<SzfTrackCollection>(collection, merrowhost::kIidTrackCollection, nullptr);
    return tracks != nullptr && tracks->zfAddTrack(track, nullptr);
}
