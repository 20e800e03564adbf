#pragma once
// The presentation's track collection: owns the tracks added to it, in the order added.

#include <functional>
#include <vector>

#include "host/objects/ConfigurableHostObject.h"
#include "host/objects/HostInterfaces.h"

namespace merrowhost {

class ImageTrackObject;

class TrackCollectionObject : public ConfigurableHostObject, public SzfTrackCollection {
public:
    TrackCollectionObject();
    ~TrackCollectionObject() override;

    const char* classPrefix() const override { return "trackcollection"; }

    // Takes the track. False, taking nothing, for a null track or one already held.
    bool zfAddTrack(CzfServiceObject* track, CzfErrorInfo* error) override;

    // Called with each image track added (the presentation hands its pixels to its encoder).
    void onImageTrackAdded(std::function<void(ImageTrackObject*)> hook) {
        onAdded_ = std::move(hook);
    }

    // Everything added, in order.
    const std::vector<CzfServiceObject*>& objects() const { return objects_; }
    // The image tracks among them, in order.
    std::vector<ImageTrackObject*> tracks() const;

protected:
    void* findInterface(const GUID& interfaceId) override;

private:
    std::vector<CzfServiceObject*> objects_;
    std::function<void(ImageTrackObject*)> onAdded_;
};

}  // namespace merrowhost
