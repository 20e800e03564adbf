#pragma once
// An item of the source's media collection. Its value is pointer-sized: a plain number, or a
// media object that the item owns until its value is read. Reading hands the object over (the
// reader owns it from then on) and leaves the item empty; an item never read frees its object.

#include <cstdint>

#include "host/objects/ConfigurableHostObject.h"
#include "host/objects/HostInterfaces.h"

namespace merrowhost {

class MediaItemObject : public ConfigurableHostObject, public SzfMediaItem {
public:
    // An item whose value is the number.
    explicit MediaItemObject(intptr_t value);
    // An item that owns the media object (may be null) and hands it over on the first read.
    static MediaItemObject* holdingMedia(CzfServiceObject* media);
    ~MediaItemObject() override;

    const char* classPrefix() const override { return "mediaitem"; }

    // A number item gives its number every time. A media item gives its object once, with
    // ownership; after that it gives 0 and false.
    bool zfGetValue(intptr_t* out, CzfErrorInfo* error) override;

    bool holdsMedia() const { return holdsMedia_; }
    // The object still owned, null once handed over.
    CzfServiceObject* media() const { return media_; }
    bool mediaHandedOver() const { return handedOver_; }
    int reads() const { return reads_; }

protected:
    void* findInterface(const GUID& interfaceId) override;

private:
    MediaItemObject() = default;

    bool holdsMedia_ = false;
    intptr_t value_ = 0;
    CzfServiceObject* media_ = nullptr;
    bool handedOver_ = false;
    int reads_ = 0;
};

}  // namespace merrowhost
