// The host's source object.

#include "host/title/ProjectSourceObject.h"

#include <algorithm>

#include "host/objects/CallFailure.h"

namespace merrowhost {

ProjectSourceObject::ProjectSourceObject() = default;
ProjectSourceObject::~ProjectSourceObject() = default;

bool ProjectSourceObject::zfGetBackgroundSwitch(bool* out, CzfErrorInfo* error) {
    if (out == nullptr) return reportCallFailure(error, kCallBadArgument);
    *out = backgroundSwitch_;
    return true;
}

bool ProjectSourceObject::zfGetMediaKind(int32_t* out, CzfErrorInfo* error) {
    if (out == nullptr) return reportCallFailure(error, kCallBadArgument);
    *out = mediaKind_;
    return true;
}

CzfServiceObject* ProjectSourceObject::zfGetDefaultItem(CzfErrorInfo*) {
    return defaultItem_.get();
}

CzfServiceObject* ProjectSourceObject::zfGetItem(int index, CzfErrorInfo*) {
    return item(index);
}

wchar_t* ProjectSourceObject::zfGetBackgroundPath(CzfErrorInfo* error) {
    ++backgroundPathReads_;
    if (!backgroundPath_) return nullptr;
    try {
        auto* copy = new wchar_t[backgroundPath_->size() + 1];
        std::copy(backgroundPath_->begin(), backgroundPath_->end(), copy);
        copy[backgroundPath_->size()] = L'\0';
        return copy;
    } catch (...) {
        reportCallFailure(error, kCallRefused);
        return nullptr;
    }
}

bool ProjectSourceObject::zfGetPresentationDomId(unsigned* out, CzfErrorInfo* error) {
    if (out == nullptr) return reportCallFailure(error, kCallBadArgument);
    *out = presentationDomId_;
    return true;
}

bool ProjectSourceObject::zfGetRootTitleSwitch(bool* out, CzfErrorInfo* error) {
    if (out == nullptr) return reportCallFailure(error, kCallBadArgument);
    *out = rootTitleSwitch_;
    return true;
}

void ProjectSourceObject::setDefaultItemValue(intptr_t value) {
    defaultItem_ = std::make_unique<MediaItemObject>(value);
}

void ProjectSourceObject::clearDefaultItem() {
    defaultItem_.reset();
}

void ProjectSourceObject::setItemValue(int index, intptr_t value) {
    items_[index] = std::make_unique<MediaItemObject>(value);
}

void ProjectSourceObject::setItemMedia(int index, CzfServiceObject* media) {
    std::unique_ptr<MediaItemObject> item(MediaItemObject::holdingMedia(media));
    items_[index] = std::move(item);
}

void ProjectSourceObject::removeItem(int index) {
    items_.erase(index);
}

MediaItemObject* ProjectSourceObject::item(int index) const {
    const auto found = items_.find(index);
    return found != items_.end() ? found->second.get() : nullptr;
}

void* ProjectSourceObject::findInterface(const GUID& interfaceId) {
    if (interfaceId == kIidSettingsAccess) return static_cast<SzfSettingsAccess*>(&settings_);
    if (interfaceId == kIidBackgroundSwitch) return static_cast<SzfBackgroundSwitch*>(this);
    if (interfaceId == kIidMediaIndex) return static_cast<SzfMediaIndex*>(this);
    if (interfaceId == kIidMediaCollection) return static_cast<SzfMediaCollection*>(this);
    if (interfaceId == kIidBackgroundPath) return static_cast<SzfBackgroundPath*>(this);
    if (interfaceId == kIidProjectPresentation) return static_cast<SzfProjectPresentation*>(this);
    if (interfaceId == kIidRootTitleSwitch) return static_cast<SzfRootTitleSwitch*>(this);
    return nullptr;
}

}  // namespace merrowhost
