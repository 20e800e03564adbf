#include "component/ServiceClass.h"

namespace Merrow {

namespace {
constexpr int32_t kMethodQueryService = 1;
constexpr int32_t kMethodIsKindOf = 2;
constexpr int32_t kMethodGetClassID = 9;
}  // namespace

bool queryService(const ServiceClass& serviceClass, CzfServiceObject& self, void* interfaceBase,
                  const GUID* interfaceId, void** out, CzfErrorInfo* error) {
    ErrorReport report(error, merrowkit::kSourceServiceClass, kMethodQueryService);
    try {
        if (out == nullptr) {
            return report.fail(merrowkit::kErrorNullArgument, serviceClass.locationCreateAndQuery);
        }
        *out = nullptr;
        if (IsEqualGUIDPtr(serviceClass.interfaceId, interfaceId)) {
            *out = interfaceBase;
            return true;
        }
        return self.CzfServiceObject::zfQueryService(interfaceId, out, error);
    } catch (...) {
        return report.failCurrentException(serviceClass.locationCreateAndQuery);
    }
}

bool isKindOf(const ServiceClass& serviceClass, CzfServiceObject& self, const GUID* categoryId,
              int kind, bool* out, CzfErrorInfo* error) {
    ErrorReport report(error, merrowkit::kSourceServiceClass, kMethodIsKindOf);
    try {
        if (out == nullptr) {
            return report.fail(merrowkit::kErrorNullArgument, serviceClass.locationKindAndClassId);
        }
        *out = false;
        if (serviceClass.kind == kind && IsEqualGUIDPtr(serviceClass.kindCategory, categoryId)) {
            *out = true;
            return true;
        }
        return self.CzfServiceObject::zfIsKindOf(categoryId, kind, out, error);
    } catch (...) {
        return report.failCurrentException(serviceClass.locationKindAndClassId);
    }
}

bool getClassId(const ServiceClass& serviceClass, GUID* out, CzfErrorInfo* error) {
    ErrorReport report(error, merrowkit::kSourceServiceClass, kMethodGetClassID);
    if (out == nullptr) {
        return report.fail(merrowkit::kErrorNullArgument, serviceClass.locationKindAndClassId);
    }
    *out = *serviceClass.classId;
    return true;
}

}  // namespace Merrow
