// An item of the title source's collection.

#include "host/title/TitleItemObject.h"

#include "host/objects/CallFailure.h"

namespace merrowhost {

TitleItemObject::TitleItemObject(bool isUserTitle, const GUID& id)
    : isUserTitle_(isUserTitle), id_(id) {}

TitleItemObject::~TitleItemObject() = default;

bool TitleItemObject::zfIsKindOf(const GUID* categoryId, int kind, bool* out, CzfErrorInfo* error) {
    if (isUserTitle_ && categoryId != nullptr && *categoryId == kCategoryUserTitle &&
        kind == kKindUserTitle) {
        if (out != nullptr) *out = true;
        return true;
    }
    return CzfServiceObject::zfIsKindOf(categoryId, kind, out, error);
}

bool TitleItemObject::zfGetObjectID(GUID* out, CzfErrorInfo* error) {
    if (out == nullptr) return reportCallFailure(error, kCallBadArgument);
    *out = id_;
    return true;
}

void* TitleItemObject::findInterface(const GUID& interfaceId) {
    if (interfaceId == kIidObjectIdentifier) return static_cast<SzfObjectIdentifier*>(this);
    return nullptr;
}

}  // namespace merrowhost
