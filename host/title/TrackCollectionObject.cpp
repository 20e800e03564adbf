// The presentation's track collection.

#include "host/title/TrackCollectionObject.h"

#include <algorithm>

#include "host/objects/CallFailure.h"
#include "host/title/ImageTrackObject.h"

namespace merrowhost {

TrackCollectionObject::TrackCollectionObject() = default;

TrackCollectionObject::~TrackCollectionObject() {
    for (CzfServiceObject* object : objects_) CzfObjectFactory::zfFreeObject(object);
}

bool TrackCollectionObject::zfAddTrack(CzfServiceObject* track, CzfErrorInfo* error) {
    if (track == nullptr) return reportCallFailure(error, kCallBadArgument);
    // Holding a track twice would free it twice.
    if (std::find(objects_.begin(), objects_.end(), track) != objects_.end()) {
        return reportCallFailure(error, kCallRefused);
    }
    try {
        objects_.push_back(track);
    } catch (...) {
        // The track was handed over: it must not outlive a failed add.
        CzfObjectFactory::zfFreeObject(track);
        return reportCallFailure(error, kCallRefused);
    }
    if (onAdded_) {
        if (auto* image = dynamic_cast<ImageTrackObject*>(track)) onAdded_(image);
    }
    return true;
}

std::vector<ImageTrackObject*> TrackCollectionObject::tracks() const {
    std::vector<ImageTrackObject*> result;
    for (CzfServiceObject* object : objects_) {
        if (auto* track = dynamic_cast<ImageTrackObject*>(object)) result.push_back(track);
    }
    return result;
}

void* TrackCollectionObject::findInterface(const GUID& interfaceId) {
    if (interfaceId == kIidTrackCollection) return static_cast<SzfTrackCollection*>(this);
    return nullptr;
}

}  // namespace merrowhost
