// Interface lookup with a list of withheld identifiers.

#include "host/objects/ConfigurableHostObject.h"

#include <algorithm>

namespace merrowhost {

void ConfigurableHostObject::withoutInterface(const GUID& interfaceId) {
    if (!isInterfaceWithheld(interfaceId)) withheld_.push_back(interfaceId);
}

void ConfigurableHostObject::restoreInterface(const GUID& interfaceId) {
    std::erase(withheld_, interfaceId);
}

bool ConfigurableHostObject::isInterfaceWithheld(const GUID& interfaceId) const {
    return std::find(withheld_.begin(), withheld_.end(), interfaceId) != withheld_.end();
}

void* ConfigurableHostObject::queryInterface(const GUID& interfaceId) {
    if (isInterfaceWithheld(interfaceId)) return nullptr;
    return findInterface(interfaceId);
}

}  // namespace merrowhost
