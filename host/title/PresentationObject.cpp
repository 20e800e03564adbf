// The host's presentation object.

#include "host/title/PresentationObject.h"

#include "host/title/ImageTrackEncoder.h"
#include "host/title/ImageTrackObject.h"

namespace merrowhost {

PresentationObject::PresentationObject() {
    trackCollection_.onImageTrackAdded(
        [this](ImageTrackObject* track) { encodeRegistered(track); });
}

PresentationObject::~PresentationObject() = default;

void PresentationObject::encodeRegistered(ImageTrackObject* track) {
    try {
        if (encoder_ == nullptr) encoder_ = std::make_unique<ImageTrackEncoder>();
    } catch (...) {
        return;  // the track keeps its pixels and is encoded when written
    }
    track->encodeWith(*encoder_);
}

bool PresentationObject::zfSetup(int first, int second, CzfErrorInfo*) {
    setUp_ = true;
    setupFirst_ = first;
    setupSecond_ = second;
    return true;
}

bool PresentationObject::zfBindDocument(unsigned domId, int reserved, CzfErrorInfo*) {
    bound_ = true;
    boundDomId_ = domId;
    bindingReserved_ = reserved;
    return true;
}

CzfServiceObject* PresentationObject::zfGetTrackCollection(CzfErrorInfo*) {
    return &trackCollection_;
}

void* PresentationObject::findInterface(const GUID& interfaceId) {
    if (interfaceId == kIidSettingsAccess) return static_cast<SzfSettingsAccess*>(&settings_);
    if (interfaceId == kIidPresentationSetup) return static_cast<SzfPresentationSetup*>(this);
    if (interfaceId == kIidDocumentBinding) return static_cast<SzfDocumentBinding*>(this);
    if (interfaceId == kIidTrackCollectionAccess) {
        return static_cast<SzfTrackCollectionAccess*>(this);
    }
    return nullptr;
}

}  // namespace merrowhost
