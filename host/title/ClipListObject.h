#pragma once
// A title's clip list: owns the clips inserted into it, in list order. Created by
// CzfObjectFactory from kClassClipList.

#include <vector>

#include "host/objects/ConfigurableHostObject.h"
#include "host/objects/HostInterfaces.h"

namespace merrowhost {

class ClipObject;

class ClipListObject : public ConfigurableHostObject, public SzfClipList {
public:
    ClipListObject();
    ~ClipListObject() override;

    const char* classPrefix() const override { return "cliplist"; }

    // Takes the clip and puts it at the position; positions past the end append. False, taking
    // nothing, for a null clip, a negative position or a clip already in the list.
    bool zfInsertClip(int position, CzfServiceObject* clip, CzfErrorInfo* error) override;

    const std::vector<CzfServiceObject*>& clips() const { return clips_; }
    std::size_t size() const { return clips_.size(); }
    // The clip at the position as the host's own class; null when out of range or another kind.
    ClipObject* clipAt(std::size_t position) const;

protected:
    void* findInterface(const GUID& interfaceId) override;

private:
    std::vector<CzfServiceObject*> clips_;
};

}  // namespace merrowhost
