#pragma once
// Replaces the creator of a host class while it lives, then restores the host's own creator.
// For tests that need the factory to hand the component a differently configured object (a
// title whose settings apply fails, a title without its presentation interface).

#include <utility>

#include "host/objects/Guid.h"
#include "host/objects/ServiceObject.h"
#include "host/title/HostClasses.h"

namespace merrowhost {

class ScopedClassOverride {
public:
    ScopedClassOverride(const GUID& classId, ClassCreator creator) : classId_(classId) {
        registerClass(classId_, std::move(creator));
    }
    ~ScopedClassOverride() { restoreHostClass(classId_); }
    ScopedClassOverride(const ScopedClassOverride&) = delete;
    ScopedClassOverride& operator=(const ScopedClassOverride&) = delete;

private:
    GUID classId_;
};

}  // namespace merrowhost
