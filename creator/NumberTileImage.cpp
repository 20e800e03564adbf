// The image track of a number tile picture (or of a grid mark's picture), made from a file with
// the project record of the creator's source and handed to the presentation object.

#include <string>

#include "creator/BDJCalendarApplicationCreator.h"
#include "document/CreatorSetToolBox.h"
#include "host/objects/GlobalApi.h"
#include "host/objects/HostInterfaces.h"
#include "host/objects/ServiceObject.h"

namespace {

// A track made here and not yet handed on; freed when it goes out of scope, on every path.
class PendingTrack {
public:
    PendingTrack() = default;
    ~PendingTrack() {
        if (track_ != nullptr) CzfObjectFactory::zfFreeObject(track_);
    }
    PendingTrack(const PendingTrack&) = delete;
    PendingTrack& operator=(const PendingTrack&) = delete;

    CzfServiceObject** out() { return &track_; }
    CzfServiceObject* get() const { return track_; }
    void handedOn() { track_ = nullptr; }

private:
    CzfServiceObject* track_ = nullptr;
};

}  // namespace

std::string CBDJCalendarApplicationCreator::makeNumberTileImage(const char* fileName,
                                                                CzfServiceObject* presentation,
                                                                SAVEDATA* record,
                                                                bool resolveFile) {
    char objectId[CzfGlobalAPI2::kObjectIdBufferSize] = {};

    // The source's project record, when the source has one to give, replaces the argument.
    CzfDiscTemplateSettings settings;
    if (source != nullptr) {
        if (auto* access =
                zfQuery<SzfSettingsAccess>(source, merrowhost::kIidSettingsAccess, nullptr)) {
            access->zfReadSettings(&settings, nullptr);
            record = settings.zfGetVIOSaveData();
        }
    }

    const std::string name = fileName != nullptr ? fileName : "";
    const std::string file = resolveFile ? CreatorSetToolBox::imagePathProcess(name.c_str()) : name;
    PendingTrack track;
    if (!CreatorSetToolBox::createImageTrack(track.out(), file.c_str(), record, nullptr) ||
        track.get() == nullptr) {
        return std::string();
    }
    CzfGlobalAPI2::zfGetObjectIDString(track.get(), true, objectId, nullptr);
    objectId[sizeof(objectId) - 1] = '\0';
    // Without a presentation to take it the track is freed at once; its id is still written.
    if (presentation != nullptr && CreatorSetToolBox::registerImageTrack(presentation, track.get()))
        track.handedOn();
    return std::string(objectId);
}
