#pragma once
// objcore: the service-object model, the object factory and the disc template settings.

#include <cstdint>
#include <functional>

#include "host/objects/ErrorInfo.h"
#include "host/objects/Guid.h"
#include "host/objects/HostTypes.h"

class CzfServiceObject {
public:
    CzfServiceObject();
    // The base answers no interface: *out becomes null and the result is false.
    virtual bool zfQueryService(const GUID* interfaceId, void** out, CzfErrorInfo* error);
    // The base knows no kind: *out becomes false and the result is false.
    virtual bool zfIsKindOf(const GUID* categoryId, int kind, bool* out, CzfErrorInfo* error);
    virtual bool zfGetClassID(GUID* out, CzfErrorInfo* error);
    virtual bool zfIsRunTimeTypeOf(const GUID* typeId, int kind, bool* out, CzfErrorInfo* error);
    virtual ~CzfServiceObject();

    CzfServiceObject(const CzfServiceObject&) = delete;
    CzfServiceObject& operator=(const CzfServiceObject&) = delete;
};

// Queries an interface and casts it; null when the object is null or lacks the interface.
template <typename Interface>
Interface* zfQuery(CzfServiceObject* object, const GUID& interfaceId, CzfErrorInfo* error) {
    if (object == nullptr) return nullptr;
    void* out = nullptr;
    if (!object->zfQueryService(&interfaceId, &out, error)) return nullptr;
    return static_cast<Interface*>(out);
}

class CzfObjectFactory {
public:
    // Creates an object of a registered host class; null (and error code 7 in the record) when
    // the class is unknown or disabled.
    static CzfServiceObject* zfCreateObject(const GUID* classId, CzfErrorInfo* error);
    static void zfFreeObject(CzfServiceObject* object);
};

namespace merrowhost {

using ClassCreator = std::function<CzfServiceObject*()>;

// The registry of host classes behind CzfObjectFactory.
void registerClass(const GUID& classId, ClassCreator creator);
bool isClassRegistered(const GUID& classId);

// While disabled, zfCreateObject of the class fails as if it were unknown. For tests of the
// component's failure paths.
void setClassDisabled(const GUID& classId, bool disabled);

class ScopedClassDisabled {
public:
    explicit ScopedClassDisabled(const GUID& classId) : classId_(classId) {
        setClassDisabled(classId_, true);
    }
    ~ScopedClassDisabled() { setClassDisabled(classId_, false); }
    ScopedClassDisabled(const ScopedClassDisabled&) = delete;
    ScopedClassDisabled& operator=(const ScopedClassDisabled&) = delete;

private:
    GUID classId_;
};

}  // namespace merrowhost

using zfDiscFormat = int32_t;

// Disc template settings: read from a source object, applied to a title or presentation.
// The project record is borrowed from whoever filled the settings; objects that keep it copy it.
class CzfDiscTemplateSettings {
public:
    CzfDiscTemplateSettings();
    ~CzfDiscTemplateSettings();

    zfDiscFormat zfGetDiscFormat() const { return discFormat_; }
    SAVEDATA* zfGetVIOSaveData() const { return saveData_; }

    // Host side: filled by the settings-access "read" of a host object.
    void setDiscFormat(zfDiscFormat format) { discFormat_ = format; }
    void setSaveData(SAVEDATA* record) { saveData_ = record; }

private:
    zfDiscFormat discFormat_ = 0;
    SAVEDATA* saveData_ = nullptr;
};
