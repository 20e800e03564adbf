#pragma once
// An item of the title source's collection: a title of the project with its 128-bit identifier.
// Only user titles answer the user-title kind test.

#include "host/objects/ConfigurableHostObject.h"
#include "host/objects/Guid.h"
#include "host/objects/HostInterfaces.h"

namespace merrowhost {

class TitleItemObject : public ConfigurableHostObject, public SzfObjectIdentifier {
public:
    TitleItemObject(bool isUserTitle, const GUID& id);
    ~TitleItemObject() override;

    const char* classPrefix() const override { return "titleitem"; }

    // True, with *out true, only for a user title asked with kCategoryUserTitle and
    // kKindUserTitle; every other pair gets the base's answer.
    bool zfIsKindOf(const GUID* categoryId, int kind, bool* out, CzfErrorInfo* error) override;
    bool zfGetObjectID(GUID* out, CzfErrorInfo* error) override;

    bool isUserTitle() const { return isUserTitle_; }
    const GUID& id() const { return id_; }

protected:
    void* findInterface(const GUID& interfaceId) override;

private:
    bool isUserTitle_;
    GUID id_;
};

}  // namespace merrowhost
