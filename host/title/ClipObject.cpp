// A clip of a title's clip list.

#include "host/title/ClipObject.h"

#include "host/objects/CallFailure.h"
#include "host/title/MediaHolderObject.h"

namespace merrowhost {

ClipObject::ClipObject(int kind) : kind_(kind) {}

ClipObject::~ClipObject() {
    CzfObjectFactory::zfFreeObject(mediaHolder_);
}

bool ClipObject::zfSetMediaHolder(CzfServiceObject* holder, CzfErrorInfo*) {
    if (holder != mediaHolder_) CzfObjectFactory::zfFreeObject(mediaHolder_);
    mediaHolder_ = holder;
    return true;
}

bool ClipObject::zfSetValue(int slot, uint32_t value, CzfErrorInfo* error) {
    try {
        values_[slot] = value;
    } catch (...) {
        return reportCallFailure(error, kCallRefused);
    }
    return true;
}

bool ClipObject::zfSetOwner(CzfServiceObject* title, CzfErrorInfo*) {
    owner_ = title;
    return true;
}

MediaHolderObject* ClipObject::mediaHolderObject() const {
    return dynamic_cast<MediaHolderObject*>(mediaHolder_);
}

uint32_t ClipObject::value(int slot) const {
    const auto found = values_.find(slot);
    return found != values_.end() ? found->second : 0;
}

void* ClipObject::findInterface(const GUID& interfaceId) {
    if (interfaceId == kIidClipSettings) return static_cast<SzfClipSettings*>(this);
    if (interfaceId == kIidClipOwner) return static_cast<SzfClipOwner*>(this);
    return nullptr;
}

}  // namespace merrowhost
