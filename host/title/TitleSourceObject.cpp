// The host's title source.

#include "host/title/TitleSourceObject.h"

#include "host/objects/CallFailure.h"

namespace merrowhost {

TitleSourceObject::TitleSourceObject() = default;

TitleSourceObject::TitleSourceObject(const std::vector<Title>& titles) {
    for (const Title& title : titles) addTitle(title.isUserTitle, title.id);
}

TitleSourceObject::~TitleSourceObject() = default;

CzfServiceObject* TitleSourceObject::zfGetFirstTitle(uint32_t* cookie, CzfErrorInfo* error) {
    if (cookie == nullptr) {
        reportCallFailure(error, kCallBadArgument);
        return nullptr;
    }
    *cookie = 0;
    return zfGetNextTitle(cookie, error);
}

CzfServiceObject* TitleSourceObject::zfGetNextTitle(uint32_t* cookie, CzfErrorInfo* error) {
    if (cookie == nullptr) {
        reportCallFailure(error, kCallBadArgument);
        return nullptr;
    }
    if (*cookie >= items_.size()) return nullptr;
    TitleItemObject* found = items_[*cookie].get();
    ++*cookie;
    return found;
}

void TitleSourceObject::addTitle(bool isUserTitle, const GUID& id) {
    items_.push_back(std::make_unique<TitleItemObject>(isUserTitle, id));
}

TitleItemObject* TitleSourceObject::item(std::size_t position) const {
    return position < items_.size() ? items_[position].get() : nullptr;
}

void* TitleSourceObject::findInterface(const GUID& interfaceId) {
    if (interfaceId == kIidTitleCollection) return static_cast<SzfTitleCollection*>(this);
    return nullptr;
}

}  // namespace merrowhost
