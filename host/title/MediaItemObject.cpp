// An item of the source's media collection.

#include "host/title/MediaItemObject.h"

#include "host/objects/CallFailure.h"

namespace merrowhost {

MediaItemObject::MediaItemObject(intptr_t value) : value_(value) {}

MediaItemObject* MediaItemObject::holdingMedia(CzfServiceObject* media) {
    auto* item = new MediaItemObject;
    item->holdsMedia_ = true;
    item->media_ = media;
    return item;
}

MediaItemObject::~MediaItemObject() {
    CzfObjectFactory::zfFreeObject(media_);
}

bool MediaItemObject::zfGetValue(intptr_t* out, CzfErrorInfo* error) {
    if (out == nullptr) return reportCallFailure(error, kCallBadArgument);
    ++reads_;
    if (!holdsMedia_) {
        *out = value_;
        return true;
    }
    if (handedOver_) {
        // The object has one owner already; giving it out again would make two.
        *out = 0;
        return reportCallFailure(error, kCallRefused);
    }
    *out = reinterpret_cast<intptr_t>(media_);
    media_ = nullptr;
    handedOver_ = true;
    return true;
}

void* MediaItemObject::findInterface(const GUID& interfaceId) {
    if (interfaceId == kIidMediaItem) return static_cast<SzfMediaItem*>(this);
    return nullptr;
}

}  // namespace merrowhost
