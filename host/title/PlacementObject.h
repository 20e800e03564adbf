#pragma once
// The placement part of a media holder: the media object it shows (owned), its placement pair
// and its option switch.

#include "host/objects/ConfigurableHostObject.h"
#include "host/objects/HostInterfaces.h"

namespace merrowhost {

class PlacementObject : public ConfigurableHostObject,
                        public SzfPlacementMedia,
                        public SzfPlacementPosition,
                        public SzfPlacementOption {
public:
    PlacementObject();
    ~PlacementObject() override;

    const char* classPrefix() const override { return "placement"; }

    // Takes the media object, freeing one held before (null just frees it).
    bool zfSetMedia(CzfServiceObject* media, CzfErrorInfo* error) override;
    bool zfSetPlacement(int first, int second, CzfErrorInfo* error) override;
    bool zfSetOption(int option, CzfErrorInfo* error) override;

    CzfServiceObject* media() const { return media_; }
    bool hasPlacement() const { return placementSet_; }
    int placementFirst() const { return placementFirst_; }
    int placementSecond() const { return placementSecond_; }
    bool hasOption() const { return optionSet_; }
    int option() const { return option_; }

protected:
    void* findInterface(const GUID& interfaceId) override;

private:
    CzfServiceObject* media_ = nullptr;
    bool placementSet_ = false;
    int placementFirst_ = 0;
    int placementSecond_ = 0;
    bool optionSet_ = false;
    int option_ = 0;
};

}  // namespace merrowhost
