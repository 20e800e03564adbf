#pragma once
// The host's media holder: wraps a clip's media with a time value, a copy of the project record
// and a placement part (owned, handed out as a view). Created by CzfObjectFactory from
// kClassMediaHolder.

#include <cstdint>
#include <optional>

#include "host/objects/ConfigurableHostObject.h"
#include "host/objects/HostInterfaces.h"
#include "host/title/PlacementObject.h"

namespace merrowhost {

class MediaHolderObject : public ConfigurableHostObject,
                          public SzfMediaHolderSettings,
                          public SzfMediaHolderParts {
public:
    MediaHolderObject();
    ~MediaHolderObject() override;

    const char* classPrefix() const override { return "mediaholder"; }

    bool zfSetTimeValue(int64_t value, CzfErrorInfo* error) override;
    // Keeps a copy of the record; null clears it.
    bool zfSetProjectRecord(SAVEDATA* record, CzfErrorInfo* error) override;
    // The holder's own placement part (a view).
    CzfServiceObject* zfGetPlacement(CzfErrorInfo* error) override;

    bool hasTimeValue() const { return timeSet_; }
    int64_t timeValue() const { return timeValue_; }
    const SAVEDATA* record() const { return record_ ? &*record_ : nullptr; }
    PlacementObject& placement() { return placement_; }
    const PlacementObject& placement() const { return placement_; }

protected:
    void* findInterface(const GUID& interfaceId) override;

private:
    bool timeSet_ = false;
    int64_t timeValue_ = 0;
    std::optional<SAVEDATA> record_;
    PlacementObject placement_;
};

}  // namespace merrowhost
