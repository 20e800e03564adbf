// The host's advanced title.

#include "host/title/AdvancedTitleObject.h"

#include "host/objects/CallFailure.h"
#include "host/title/ClipListObject.h"
#include "host/title/PresentationObject.h"

namespace merrowhost {

namespace {

// Takes `incoming` into `slot`, freeing what the slot held unless it is the same object.
void replaceOwned(CzfServiceObject*& slot, CzfServiceObject* incoming) {
    if (slot != incoming) CzfObjectFactory::zfFreeObject(slot);
    slot = incoming;
}

}  // namespace

AdvancedTitleObject::AdvancedTitleObject() = default;

AdvancedTitleObject::~AdvancedTitleObject() {
    CzfObjectFactory::zfFreeObject(clipList_);
    CzfObjectFactory::zfFreeObject(presentation_);
}

bool AdvancedTitleObject::zfSetClipList(CzfServiceObject* clipList, CzfErrorInfo*) {
    replaceOwned(clipList_, clipList);
    ++clipListSets_;
    return true;
}

bool AdvancedTitleObject::zfSetPresentation(CzfServiceObject* presentation, CzfErrorInfo*) {
    replaceOwned(presentation_, presentation);
    ++presentationSets_;
    return true;
}

bool AdvancedTitleObject::zfGetObjectID(GUID* out, CzfErrorInfo* error) {
    if (out == nullptr) return reportCallFailure(error, kCallBadArgument);
    *out = titleId();
    return true;
}

GUID AdvancedTitleObject::titleId() const {
    const unsigned number = serial();
    return GUID{0x4d455252,
                0x0000,
                0x4000,
                {0x80, 0x00, 0x00, 0x00, static_cast<uint8_t>(number >> 24),
                 static_cast<uint8_t>(number >> 16), static_cast<uint8_t>(number >> 8),
                 static_cast<uint8_t>(number)}};
}

ClipListObject* AdvancedTitleObject::clipListObject() const {
    return dynamic_cast<ClipListObject*>(clipList_);
}

PresentationObject* AdvancedTitleObject::presentationObject() const {
    return dynamic_cast<PresentationObject*>(presentation_);
}

void* AdvancedTitleObject::findInterface(const GUID& interfaceId) {
    if (interfaceId == kIidSettingsAccess) return static_cast<SzfSettingsAccess*>(&settings_);
    if (interfaceId == kIidTitleClips) return static_cast<SzfTitleClips*>(this);
    if (interfaceId == kIidTitlePresentation) return static_cast<SzfTitlePresentation*>(this);
    if (interfaceId == kIidObjectIdentifier) return static_cast<SzfObjectIdentifier*>(this);
    return nullptr;
}

}  // namespace merrowhost
