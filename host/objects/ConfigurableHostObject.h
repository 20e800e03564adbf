#pragma once
// A host object whose interfaces can be withheld one by one, so that tests and the host program
// can hand the component an object that lacks an interface it asks for.

#include <vector>

#include "host/objects/Guid.h"
#include "host/objects/HostObject.h"

namespace merrowhost {

class ConfigurableHostObject : public HostObject {
public:
    // From now on the object answers no interface with this identifier.
    void withoutInterface(const GUID& interfaceId);
    // Answers the interface again.
    void restoreInterface(const GUID& interfaceId);
    bool isInterfaceWithheld(const GUID& interfaceId) const;

    // Withheld interfaces answer null; the others come from findInterface.
    void* queryInterface(const GUID& interfaceId) final;

protected:
    // The interface with the given identifier, or null.
    virtual void* findInterface(const GUID& interfaceId) = 0;

private:
    std::vector<GUID> withheld_;
};

}  // namespace merrowhost
