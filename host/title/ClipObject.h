#pragma once
// A clip of a title's clip list: its media holder (owned), its numbered values and its owning
// title (not owned). One class serves both clip classes, kClassClip1 (kind 1) and kClassClip2
// (kind 2).

#include <cstdint>
#include <map>

#include "host/objects/ConfigurableHostObject.h"
#include "host/objects/HostInterfaces.h"

namespace merrowhost {

class MediaHolderObject;

class ClipObject : public ConfigurableHostObject, public SzfClipSettings, public SzfClipOwner {
public:
    explicit ClipObject(int kind);
    ~ClipObject() override;

    const char* classPrefix() const override { return "clip"; }

    // Takes the holder, freeing one held before (null just frees it).
    bool zfSetMediaHolder(CzfServiceObject* holder, CzfErrorInfo* error) override;
    // Stores the value in the slot, replacing an earlier one.
    bool zfSetValue(int slot, uint32_t value, CzfErrorInfo* error) override;
    bool zfSetOwner(CzfServiceObject* title, CzfErrorInfo* error) override;

    // 1 or 2: the clip class it was made from.
    int kind() const { return kind_; }
    CzfServiceObject* mediaHolder() const { return mediaHolder_; }
    MediaHolderObject* mediaHolderObject() const;
    const std::map<int, uint32_t>& values() const { return values_; }
    bool hasValue(int slot) const { return values_.count(slot) != 0; }
    // The value in the slot, 0 when none was set.
    uint32_t value(int slot) const;
    CzfServiceObject* owner() const { return owner_; }

protected:
    void* findInterface(const GUID& interfaceId) override;

private:
    int kind_;
    CzfServiceObject* mediaHolder_ = nullptr;
    std::map<int, uint32_t> values_;
    CzfServiceObject* owner_ = nullptr;
};

}  // namespace merrowhost
