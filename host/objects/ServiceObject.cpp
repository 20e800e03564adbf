// The service-object base, the object factory over the registry of host classes, and the disc
// template settings.

#include "host/objects/ServiceObject.h"

#include <map>
#include <mutex>
#include <utility>

#include "host/objects/HostObject.h"

namespace {

// Orders identifiers by all 128 bits.
struct GuidLess {
    bool operator()(const GUID& a, const GUID& b) const {
        return std::memcmp(&a, &b, sizeof(GUID)) < 0;
    }
};

struct ClassEntry {
    merrowhost::ClassCreator creator;
    bool disabled = false;
};

struct ClassRegistry {
    std::mutex mutex;
    std::map<GUID, ClassEntry, GuidLess> classes;
};

// Kept for the whole process so that objects made or freed during exit still find it.
ClassRegistry& classRegistry() {
    static ClassRegistry* registry = new ClassRegistry;
    return *registry;
}

void reportFailure(CzfErrorInfo* error, int32_t code) {
    if (error == nullptr) return;
    error->errorCode = code;
    error->severity = 2;
}

}  // namespace

CzfServiceObject::CzfServiceObject() = default;

CzfServiceObject::~CzfServiceObject() {
    merrowhost::forgetForeignObject(this);
}

bool CzfServiceObject::zfQueryService(const GUID*, void** out, CzfErrorInfo*) {
    if (out == nullptr) return false;
    *out = nullptr;
    return false;
}

bool CzfServiceObject::zfIsKindOf(const GUID*, int, bool* out, CzfErrorInfo*) {
    if (out != nullptr) *out = false;
    return false;
}

bool CzfServiceObject::zfGetClassID(GUID*, CzfErrorInfo*) {
    return false;
}

bool CzfServiceObject::zfIsRunTimeTypeOf(const GUID*, int, bool* out, CzfErrorInfo*) {
    if (out != nullptr) *out = false;
    return false;
}

CzfServiceObject* CzfObjectFactory::zfCreateObject(const GUID* classId, CzfErrorInfo* error) {
    if (classId == nullptr) {
        reportFailure(error, 2);
        return nullptr;
    }
    merrowhost::ClassCreator creator;
    {
        ClassRegistry& registry = classRegistry();
        std::lock_guard<std::mutex> lock(registry.mutex);
        auto found = registry.classes.find(*classId);
        if (found != registry.classes.end() && !found->second.disabled) {
            creator = found->second.creator;
        }
    }
    if (!creator) {
        reportFailure(error, 7);
        return nullptr;
    }
    // The creator runs outside the lock: it may create parts of its object through the factory.
    CzfServiceObject* object = nullptr;
    try {
        object = creator();
    } catch (...) {
        object = nullptr;
    }
    if (object == nullptr) {
        reportFailure(error, 1);
        return nullptr;
    }
    // Host objects made here number themselves in creation order.
    if (auto* hostObject = dynamic_cast<merrowhost::HostObject*>(object)) hostObject->serial();
    return object;
}

void CzfObjectFactory::zfFreeObject(CzfServiceObject* object) {
    delete object;
}

namespace merrowhost {

void registerClass(const GUID& classId, ClassCreator creator) {
    ClassRegistry& registry = classRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    registry.classes[classId].creator = std::move(creator);
}

bool isClassRegistered(const GUID& classId) {
    ClassRegistry& registry = classRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    auto found = registry.classes.find(classId);
    return found != registry.classes.end() && static_cast<bool>(found->second.creator);
}

void setClassDisabled(const GUID& classId, bool disabled) {
    ClassRegistry& registry = classRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    // A class may be disabled before it is registered; the flag waits for it.
    registry.classes[classId].disabled = disabled;
}

}  // namespace merrowhost

CzfDiscTemplateSettings::CzfDiscTemplateSettings() = default;
CzfDiscTemplateSettings::~CzfDiscTemplateSettings() = default;
