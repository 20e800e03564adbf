// The host's media holder.

#include "host/title/MediaHolderObject.h"

namespace merrowhost {

MediaHolderObject::MediaHolderObject() = default;
MediaHolderObject::~MediaHolderObject() = default;

bool MediaHolderObject::zfSetTimeValue(int64_t value, CzfErrorInfo*) {
    timeSet_ = true;
    timeValue_ = value;
    return true;
}

bool MediaHolderObject::zfSetProjectRecord(SAVEDATA* record, CzfErrorInfo*) {
    if (record != nullptr) {
        record_ = *record;
    } else {
        record_.reset();
    }
    return true;
}

CzfServiceObject* MediaHolderObject::zfGetPlacement(CzfErrorInfo*) {
    return &placement_;
}

void* MediaHolderObject::findInterface(const GUID& interfaceId) {
    if (interfaceId == kIidMediaHolderSettings) return static_cast<SzfMediaHolderSettings*>(this);
    if (interfaceId == kIidMediaHolderParts) return static_cast<SzfMediaHolderParts*>(this);
    return nullptr;
}

}  // namespace merrowhost
