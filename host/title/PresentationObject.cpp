// The host's presentation object.

#include "host/title/PresentationObject.h"

namespace merrowhost {

PresentationObject::PresentationObject() = default;
PresentationObject::~PresentationObject() = default;

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
