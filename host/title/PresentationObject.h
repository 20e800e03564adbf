#pragma once
// The host's presentation object: the settings applied to it, its setup pair, the document
// bound to it and the image tracks registered with it. Created by CzfObjectFactory from
// kClassPresentation.
//
// The presentation lasts as long as the request: while it lives, decoded picture files are
// kept (PictureCacheScope), and the image tracks registered with it are encoded on the host's
// workers as they come (ImageTrackEncoder), so that none holds its raw pixels to the end.

#include <memory>
#include <vector>

#include "host/objects/ConfigurableHostObject.h"
#include "host/objects/HostInterfaces.h"
#include "host/objects/TemplateSettingsStore.h"
#include "host/pictures/PictureCache.h"
#include "host/pictures/PicturePrefetch.h"
#include "host/title/TrackCollectionObject.h"

namespace merrowhost {

class ImageTrackObject;
class ImageTrackEncoder;

class PresentationObject : public ConfigurableHostObject,
                           public SzfPresentationSetup,
                           public SzfDocumentBinding,
                           public SzfTrackCollectionAccess {
public:
    PresentationObject();
    ~PresentationObject() override;

    const char* classPrefix() const override { return "presentation"; }

    bool zfSetup(int first, int second, CzfErrorInfo* error) override;
    // Records the document's identifier; the document itself stays with the host's registry.
    bool zfBindDocument(unsigned domId, int reserved, CzfErrorInfo* error) override;
    // The presentation's own collection (a view).
    CzfServiceObject* zfGetTrackCollection(CzfErrorInfo* error) override;

    // The settings-access interface, with what was applied.
    TemplateSettingsStore& settings() { return settings_; }
    const TemplateSettingsStore& settings() const { return settings_; }

    bool isSetUp() const { return setUp_; }
    int setupFirst() const { return setupFirst_; }
    int setupSecond() const { return setupSecond_; }

    bool isBound() const { return bound_; }
    unsigned boundDomId() const { return boundDomId_; }
    int bindingReserved() const { return bindingReserved_; }

    TrackCollectionObject& trackCollection() { return trackCollection_; }
    // The image tracks registered, in order.
    std::vector<ImageTrackObject*> tracks() const { return trackCollection_.tracks(); }
    // The encoder of the registered tracks; null before the first registration.
    const ImageTrackEncoder* encoder() const { return encoder_.get(); }

protected:
    void* findInterface(const GUID& interfaceId) override;

private:
    void encodeRegistered(ImageTrackObject* track);

    PictureCacheScope pictureCache_;
    // Inside the cache's scope: it stops fetching before the cache goes.
    PicturePrefetchScope picturePrefetch_;
    TemplateSettingsStore settings_;
    // Destroyed after the tracks: it finishes what they handed over before it goes.
    std::unique_ptr<ImageTrackEncoder> encoder_;
    TrackCollectionObject trackCollection_;
    bool setUp_ = false;
    int setupFirst_ = 0;
    int setupSecond_ = 0;
    bool bound_ = false;
    unsigned boundDomId_ = 0;
    int bindingReserved_ = 0;
};

}  // namespace merrowhost
