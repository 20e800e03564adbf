// The placement part of a media holder.

#include "host/title/PlacementObject.h"

namespace merrowhost {

PlacementObject::PlacementObject() = default;

PlacementObject::~PlacementObject() {
    CzfObjectFactory::zfFreeObject(media_);
}

bool PlacementObject::zfSetMedia(CzfServiceObject* media, CzfErrorInfo*) {
    if (media != media_) CzfObjectFactory::zfFreeObject(media_);
    media_ = media;
    return true;
}

bool PlacementObject::zfSetPlacement(int first, int second, CzfErrorInfo*) {
    placementSet_ = true;
    placementFirst_ = first;
    placementSecond_ = second;
    return true;
}

bool PlacementObject::zfSetOption(int option, CzfErrorInfo*) {
    optionSet_ = true;
    option_ = option;
    return true;
}

void* PlacementObject::findInterface(const GUID& interfaceId) {
    if (interfaceId == kIidPlacementMedia) return static_cast<SzfPlacementMedia*>(this);
    if (interfaceId == kIidPlacementPosition) return static_cast<SzfPlacementPosition*>(this);
    if (interfaceId == kIidPlacementOption) return static_cast<SzfPlacementOption*>(this);
    return nullptr;
}

}  // namespace merrowhost
