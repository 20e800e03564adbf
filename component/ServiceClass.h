#pragma once
// What both service objects share: one service table row, one kind table row, their own class
// identifier, the report locations, and the bodies of the four operations every service object
// answers the same way.

#include <cstdint>
#include <new>

#include "component/ErrorReport.h"
#include "host/objects/ServiceObject.h"
#include "merrowkit/Services.h"

namespace Merrow {

struct ServiceClass {
    const GUID* classId;
    const GUID* interfaceId;
    const GUID* kindCategory;
    int kind;
    int32_t locationCreateAndQuery;
    int32_t locationKindAndClassId;
};

// Creator function body: a new Object in *out.
template <typename Object>
bool createServiceObject(const ServiceClass& serviceClass, CzfServiceObject** out,
                         CzfErrorInfo* error) {
    ErrorReport report(error, merrowkit::kSourceServiceClass, 0);
    try {
        if (out == nullptr) {
            return report.fail(merrowkit::kErrorNullArgument, serviceClass.locationCreateAndQuery);
        }
        // A constructor that throws after allocation gives the memory back before the exception
        // reaches the handler below.
        Object* object = new (std::nothrow) Object();
        *out = object;
        if (object == nullptr) {
            return report.fail(merrowkit::kErrorOutOfMemory, serviceClass.locationCreateAndQuery);
        }
        return true;
    } catch (...) {
        return report.failCurrentException(serviceClass.locationCreateAndQuery);
    }
}

// zfQueryService: the object's own interface is answered with interfaceBase (the same object
// seen through its interface base); everything else goes to the base class.
bool queryService(const ServiceClass& serviceClass, CzfServiceObject& self, void* interfaceBase,
                  const GUID* interfaceId, void** out, CzfErrorInfo* error);
bool isKindOf(const ServiceClass& serviceClass, CzfServiceObject& self, const GUID* categoryId,
              int kind, bool* out, CzfErrorInfo* error);
bool getClassId(const ServiceClass& serviceClass, GUID* out, CzfErrorInfo* error);

}  // namespace Merrow
